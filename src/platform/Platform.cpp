#include "platform/Platform.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <time.h>
#include <unistd.h>

#include <cstdio>
#endif

namespace qx::platform {

#if defined(_WIN32)

std::uint32_t tickCount() { return GetTickCount(); }

void debugOutput(const char* text) { OutputDebugStringA(text); }

void exitProcess(int status) { ExitProcess(static_cast<UINT>(status)); }

#else

std::uint32_t tickCount() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<std::uint32_t>(static_cast<std::uint64_t>(now.tv_sec) * 1000u +
                                      static_cast<std::uint64_t>(now.tv_nsec) / 1000000u);
}

void debugOutput(const char* text) { std::fputs(text, stderr); }

void exitProcess(int status) { _exit(status); }

#endif

} // namespace qx::platform
