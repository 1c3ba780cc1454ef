// platform/: the only files that include operating-system headers: the library entry
// DllMain, the export marker, the tick count, debug output and process exit, for Win32 and
// for POSIX. Includes services/ (DllMain records the instance handle there) and nothing
// else of the module.
//
// The few things the module needs from the operating system.
#pragma once

#include <cstdint>

namespace qx::platform {

// Milliseconds since some fixed moment, wrapping at 2^32 (GetTickCount on Windows).
std::uint32_t tickCount();
// A line for an attached debugger (OutputDebugStringA on Windows, standard error elsewhere).
void debugOutput(const char* text);
// Ends the process at once with the given status.
[[noreturn]] void exitProcess(int status);

} // namespace qx::platform
