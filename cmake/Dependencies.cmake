# Third-party libraries, as imported targets.
#   PICTAVOR_CODEC_LIBS  libpng, libjpeg (libjpeg-turbo, API 62), zlib
#   PICTAVOR_GTEST_MAIN  GoogleTest with its main() (when PICTAVOR_TESTS)
# Natively they are the distribution's -dev packages. For MinGW the codecs are
# the static libraries scripts/build-deps.sh cross-builds into
# build/deps-win64 or build/deps-win32 (the toolchain file points
# CMAKE_FIND_ROOT_PATH there), and GoogleTest is compiled from the
# distribution's source in /usr/src/googletest with the cross compiler.

if(MINGW)
  if(NOT EXISTS "${PICTAVOR_DEPS_PREFIX}/lib/libz.a")
    message(FATAL_ERROR "No cross-built codec libraries in "
      "'${PICTAVOR_DEPS_PREFIX}': run scripts/build-deps.sh (or ./run build).")
  endif()
  # Only static archives: the programs must run with no DLL beside them.
  set(CMAKE_FIND_LIBRARY_SUFFIXES .a)
endif()

find_package(ZLIB REQUIRED)
find_package(PNG REQUIRED)
find_package(JPEG REQUIRED)
if(NOT JPEG_VERSION EQUAL 62)
  message(FATAL_ERROR "libjpeg API version ${JPEG_VERSION} found; 62 is needed "
    "(libjpeg-turbo's default, Debian's libjpeg62-turbo-dev).")
endif()
set(PICTAVOR_CODEC_LIBS PNG::PNG JPEG::JPEG ZLIB::ZLIB)

if(PICTAVOR_TESTS)
  if(MINGW)
    set(PICTAVOR_GOOGLETEST_SOURCE /usr/src/googletest CACHE PATH
      "GoogleTest source tree (Debian package googletest)")
    if(NOT EXISTS "${PICTAVOR_GOOGLETEST_SOURCE}/CMakeLists.txt")
      message(FATAL_ERROR "No GoogleTest source in '${PICTAVOR_GOOGLETEST_SOURCE}': "
        "apt-get install googletest")
    endif()
    set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
    add_subdirectory("${PICTAVOR_GOOGLETEST_SOURCE}"
      "${CMAKE_BINARY_DIR}/_deps/googletest" EXCLUDE_FROM_ALL SYSTEM)
    set(PICTAVOR_GTEST_MAIN gtest_main)
  else()
    find_package(GTest REQUIRED)
    set(PICTAVOR_GTEST_MAIN GTest::gtest_main)
  endif()
endif()
