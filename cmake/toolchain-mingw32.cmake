# MinGW-w64 cross toolchain for 32-bit Windows (i686).
set(PICTAVOR_MINGW_TRIPLE i686-w64-mingw32)
set(PICTAVOR_MINGW_PROCESSOR i686)
set(PICTAVOR_DEPS_NAME deps-win32)
# SSE2 arithmetic instead of the x87 unit: x87 keeps intermediates in 80 bits, so tables,
# weights and truncations would differ from the 64-bit builds' in their last bits. Hosts call
# with the stack aligned to 4 bytes only: functions that spill SSE registers realign it.
set(CMAKE_C_FLAGS_INIT "-msse2 -mfpmath=sse -mstackrealign")
set(CMAKE_CXX_FLAGS_INIT "-msse2 -mfpmath=sse -mstackrealign")
include("${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake")
