#!/usr/bin/env bash
# The soak of one build: pictavor_soak CONTROLS CYCLES in a scratch directory, its figures on
# standard error. A Windows build's DLL is registered (in its own registry view) for the run and
# unregistered after it; a sanitizer build runs under LeakSanitizer where that works.
# Usage: bench/soak/run.sh native|native-asan|win64|win32 CONTROLS CYCLES
set -uo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
build="${1:?usage: bench/soak/run.sh BUILD CONTROLS CYCLES}" controls="${2:?}" cycles="${3:?}"
bin="$root/build/$build/bin"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$root/tests/fixtures/im_24bit.bmp" "$work/"
cd "$work" || exit 1
case "$build" in
  win64|win32)
    system='C:\windows\system32'
    [ "$build" = win32 ] && system='C:\windows\syswow64'
    wine() { "$root/scripts/wine.sh" run "$@"; }
    wine "$system\\regsvr32.exe" /s "$bin/Pictavor.dll" || { echo "regsvr32 failed" >&2; exit 1; }
    wine "$bin/pictavor_soak.exe" "$controls" "$cycles" im_24bit.bmp >/dev/null
    rc=$?
    wine "$system\\regsvr32.exe" /s /u "$bin/Pictavor.dll"
    exit $rc ;;
  *)
    ASAN_OPTIONS="detect_leaks=${PICTAVOR_LSAN:-1}" \
      "$bin/pictavor_soak" "$controls" "$cycles" im_24bit.bmp >/dev/null ;;
esac
