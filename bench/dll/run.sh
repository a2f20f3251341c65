#!/usr/bin/env bash
# The DLL bench of one Windows build under Wine: pictavor_dllbench on the side-by-side
# comparison's pictures (made in PICTURES when absent), twice: as a host uses the control (each
# change rebuilds the display and paints; the display rows too) and with AutoRepaint 0 (the
# operations alone, as bench/compare/ours.cpp times them natively). Writes OUT/BUILD.txt and
# OUT/BUILD-no-repaint.txt, "<row> <median ms>" lines. The build's DLL is registered (in its
# own registry view) for the run and unregistered after it. A 32-bit build where this machine
# cannot run 32-bit Wine is not run: the reason is printed instead.
# Usage: bench/dll/run.sh win64|win32 PICTURES OUT [row...]
# Environment: PICTAVOR_BENCH_RUNS (default 5).
set -uo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
build="${1:?usage: bench/dll/run.sh win64|win32 PICTURES OUT [row...]}"
pictures="${2:?}" out="${3:?}"
shift 3
runs="${PICTAVOR_BENCH_RUNS:-5}"
bin="$root/build/$build/bin"
wine() { "$root/scripts/wine.sh" run "$@"; }
case "$build" in
  win64) system='C:\windows\system32' ;;
  win32)
    system='C:\windows\syswow64'
    if ! reason=$("$root/scripts/wine.sh" why-no-win32); then
      echo "win32 not run: $reason" >&2
      exit 0
    fi ;;
  *) echo "bench/dll/run.sh: BUILD is win64 or win32" >&2; exit 2 ;;
esac
[[ -f $bin/pictavor_dllbench.exe ]] || { echo "no $bin/pictavor_dllbench.exe: build the $build preset" >&2; exit 1; }
# shellcheck source=bench/compare/pictures.sh
source "$root/bench/compare/pictures.sh"
make_bmp_pictures "$pictures"
mkdir -p "$out"
wine "$system\\regsvr32.exe" /s "$bin/Pictavor.dll" || { echo "regsvr32 failed" >&2; exit 1; }
rc=0
# The DLL's PNG writer prints its progress ("\r 42% saved") to the same standard output.
for mode in "" --no-repaint; do
  file="$out/$build${mode:+-no-repaint}.txt"
  echo "==> $build${mode:+ $mode}, $runs runs each: $file" >&2
  wine "$bin/pictavor_dllbench.exe" $mode "$pictures/picture.bmp" "$pictures/grey.bmp" "$runs" "$@" \
    | tr '\r' '\n' | sed 's/^.*% saved//' | grep . | tee "$file" >&2
  (( PIPESTATUS[0] == 0 )) || rc=1
done
wine "$system\\regsvr32.exe" /s /u "$bin/Pictavor.dll"
exit $rc
