# MinGW-w64 cross toolchain for 32-bit Windows (i686).
set(PICTAVOR_MINGW_TRIPLE i686-w64-mingw32)
set(PICTAVOR_MINGW_PROCESSOR i686)
set(PICTAVOR_DEPS_NAME deps-win32)
include("${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake")
