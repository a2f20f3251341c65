#!/usr/bin/env bash
# Cross-build zlib, libpng and libjpeg-turbo (API 62) as static libraries
# with headers from the distribution's source packages, for MinGW-w64.
# Usage: scripts/build-deps.sh [win64|win32]...   (default: both)
# Result: build/deps-<target>/{include,lib}; skipped when its stamp matches.
set -euo pipefail
# shellcheck source=scripts/lib.sh
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

SRC_CACHE="$PICTAVOR_BUILD/src-cache"

toolchain_of() {
  case "$1" in
    win64) echo "$PICTAVOR_ROOT/cmake/toolchain-mingw64.cmake" ;;
    win32) echo "$PICTAVOR_ROOT/cmake/toolchain-mingw32.cmake" ;;
    *) die "unknown target: $1" ;;
  esac
}

# What the result depends on: this script, the toolchain files, the sources.
fingerprint() {
  local target="$1"
  cat "${BASH_SOURCE[0]}" "$(toolchain_of "$target")" \
      "$PICTAVOR_ROOT/cmake/mingw-common.cmake" "$SRC_CACHE"/*.dir | sha256sum
}

# Run a command with its output in LOG; show the end of LOG if it fails.
logged() {
  local logfile="$1"; shift
  if ! "$@" >>"$logfile" 2>&1; then
    tail -n 40 "$logfile" >&2
    die "failed: $* (full log: $logfile)"
  fi
}

# Configure one source tree out of tree with the cross toolchain.
configure() {
  local target="$1" src="$2" bld="$3" prefix="$4"; shift 4
  logged "$bld.log" cmake -S "$src" -B "$bld" -G Ninja -Wno-dev \
    -DCMAKE_TOOLCHAIN_FILE="$(toolchain_of "$target")" \
    -DPICTAVOR_DEPS_PREFIX="$prefix" \
    -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_INSTALL_PREFIX="$prefix" "$@"
}

# zlib's CMake project always builds the DLL too: build only the static
# library and install it by hand as libz.a.
build_zlib() {
  local target="$1" bld="$2/zlib" prefix="$3"
  configure "$target" "$SRC_CACHE/zlib" "$bld" "$prefix"
  logged "$bld.log" cmake --build "$bld" -j "$PICTAVOR_JOBS" --target zlibstatic
  install -D -m644 "$bld/libzlibstatic.a" "$prefix/lib/libz.a"
  install -D -m644 -t "$prefix/include" "$SRC_CACHE/zlib/zlib.h" "$bld/zconf.h"
}

build_libpng() {
  local target="$1" bld="$2/libpng" prefix="$3"
  configure "$target" "$SRC_CACHE/libpng1.6" "$bld" "$prefix" \
    -DPNG_SHARED=OFF -DPNG_STATIC=ON -DPNG_TESTS=OFF -DPNG_EXECUTABLES=OFF \
    -DZLIB_ROOT="$prefix"
  logged "$bld.log" cmake --build "$bld" -j "$PICTAVOR_JOBS"
  logged "$bld.log" cmake --install "$bld"
}

# SIMD would need nasm; the portable C code is enough for our Windows builds.
# Only the static library is built (not the tools), and installed by hand.
build_libjpeg() {
  local target="$1" bld="$2/libjpeg" prefix="$3" src="$SRC_CACHE/libjpeg-turbo"
  configure "$target" "$src" "$bld" "$prefix" \
    -DENABLE_SHARED=OFF -DENABLE_STATIC=ON -DWITH_SIMD=OFF \
    -DWITH_TURBOJPEG=OFF -DWITH_JAVA=OFF
  logged "$bld.log" cmake --build "$bld" -j "$PICTAVOR_JOBS" --target jpeg-static
  install -D -m644 "$bld/libjpeg.a" "$prefix/lib/libjpeg.a"
  install -D -m644 -t "$prefix/include" \
    "$src/jpeglib.h" "$src/jmorecfg.h" "$src/jerror.h" "$bld/jconfig.h"
}

build_target() {
  local target="$1"
  local prefix="$PICTAVOR_BUILD/deps-$target" bld="$PICTAVOR_BUILD/deps-build-$target"
  local stamp="$prefix/.stamp" want start
  want="$(fingerprint "$target")"
  if [[ -f $stamp && "$(cat "$stamp")" == "$want" ]]; then
    log "deps for $target: up to date ($prefix)"
    return 0
  fi
  start=$(now)
  log "deps for $target: building into $prefix (logs in $bld/*.log)"
  rm -rf "$prefix" "$bld"; mkdir -p "$prefix" "$bld"
  build_zlib "$target" "$bld" "$prefix"
  build_libpng "$target" "$bld" "$prefix"
  build_libjpeg "$target" "$bld" "$prefix"
  rm -rf "$bld/zlib" "$bld/libpng" "$bld/libjpeg"  # keep only the logs
  echo "$want" >"$stamp"
  log "deps for $target: done in $(( $(now) - start ))s"
}

main() {
  local targets=("$@")
  [[ ${#targets[@]} == 0 ]] && targets=(win64 win32)
  "$PICTAVOR_ROOT/scripts/fetch-sources.sh"
  local t
  for t in "${targets[@]}"; do build_target "$t"; done
}

main "$@"
