// The library's entry point: records the instance handle on process attach.
#include "platform/Export.h"
#include "services/HostServices.h"

#if defined(_WIN32)
#include <windows.h>

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID /*reserved*/) {
    if (reason == DLL_PROCESS_ATTACH) {
        qx::moduleState().instance = instance;
    }
    return TRUE;
}

#else

extern "C" QX_EXPORT int DllMain(void* instance, std::uint32_t reason, void* /*reserved*/) {
    if (reason == 1) {
        qx::moduleState().instance = instance;
    }
    return 1;
}

#endif

#if !defined(_WIN32)
#include <dlfcn.h>

namespace {
// POSIX loaders have no library entry point; mirror the Windows loader's attach call with
// the library's load address, which is what an instance handle is there.
__attribute__((constructor)) void attachModule() {
    Dl_info info{};
    void* instance = nullptr;
    if (dladdr(reinterpret_cast<void*>(&attachModule), &info) != 0) {
        instance = info.dli_fbase;
    }
    DllMain(instance, 1, nullptr);
}
} // namespace
#endif
