# 64-bit Windows with Debian's mingw-w64 cross compiler, -posix thread variant.
set(QX_MINGW_TRIPLE x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
