#!/usr/bin/env bash
# The C and C++ samples, as a user builds them: against nothing but the SDK staged for each
# build (its header and import library), for both architectures.
# Usage: tests/dist/samples_build.sh BUILD... (after scripts/dist.sh of those builds)
set -uo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# shellcheck source=tests/checks.sh
source "$root/tests/checks.sh"
for build in "$@"; do
  case "$build" in
    win64) triple=x86_64-w64-mingw32 ;; win32) triple=i686-w64-mingw32 ;;
    *) echo "unknown build: $build" >&2; exit 2 ;;
  esac
  staged="$root/build/dist/$build/Pictavor"
  sdk="$staged/sdk"
  "$triple-gcc" -Wall -Werror "$staged/samples/c/convert.c" -I "$sdk/include" \
    "$sdk/lib/libPictavor.dll.a" -lole32 -loleaut32 -o "$work/c-$build.exe"
  check "$build C sample builds against the SDK" 0 $?
  "$triple-g++" -Wall -Werror "$staged/samples/cpp/convert.cpp" -I "$sdk/include" -lole32 \
    -loleaut32 -luuid -o "$work/cpp-$build.exe"
  check "$build C++ sample builds against the SDK" 0 $?
  imports=$("$triple-objdump" -p "$work/c-$build.exe" | grep -c 'DLL Name: Pictavor.dll')
  check "$build C sample imports Pictavor.dll" 1 "$imports"
done
finish "samples"
