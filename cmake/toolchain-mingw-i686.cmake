# 32-bit Windows with Debian's mingw-w64 cross compiler, -posix thread variant (the -win32
# variant has no std::mutex). Runtimes are linked in so that the DLL needs only system DLLs.
set(QX_MINGW_TRIPLE i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)

# SSE2 arithmetic (every Windows-capable x86 has it): x87 excess precision would round
# floating-point results, such as the blending tables, differently from the other builds.
set(CMAKE_C_FLAGS_INIT "-msse2 -mfpmath=sse")
set(CMAKE_CXX_FLAGS_INIT "-msse2 -mfpmath=sse")

# DllMain is stdcall here (_DllMain@12); the export list names it undecorated, and the
# linker's stdcall fix-up binds the two without a warning.
string(APPEND CMAKE_SHARED_LINKER_FLAGS_INIT " -Wl,--enable-stdcall-fixup")
