# MinGW-w64 cross toolchain for 64-bit Windows (x86_64).
set(PICTAVOR_MINGW_TRIPLE x86_64-w64-mingw32)
set(PICTAVOR_MINGW_PROCESSOR x86_64)
set(PICTAVOR_DEPS_NAME deps-win64)
include("${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake")
