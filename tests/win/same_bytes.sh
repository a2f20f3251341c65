#!/usr/bin/env bash
# One script of calls through the native host and through one Windows build's pictavor.exe:
# every logged operation on a picture at every bit depth, each result saved in the four
# formats, the whole log saved as .pvr and as text. Their output lines and every file they
# write must agree byte for byte (PNG files once their tIME chunk, the time of writing, is set
# aside).
# Usage: tests/win/same_bytes.sh win64|win32 (needs build/native and that build)
set -uo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
build="${1:?usage: tests/win/same_bytes.sh win64|win32}"
native="$root/build/native/bin/pictavor"
exe="$root/build/$build/bin/pictavor.exe"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# shellcheck source=tests/checks.sh
source "$(dirname "${BASH_SOURCE[0]}")/../checks.sh"

# Each depth: the picture it starts from, and the calls that take it there (1, 2 and 4 bits from
# pictures with few colours: a colour picture has too many for them).
depths=(
  "1|im_1bit.bmp|GetWidth()" "2|im_1bit.bmp|ColorRes(8, 0, 0, 0); ColorRes(2, 0, 0, 0)" "4|im_4bit.bmp|GetWidth()"
  "8|png_rgb8.png|ColorRes(8, 0, 0, 0)" "8-grey|png_rgb8.png|Grayscale(0, 0, 0, 0)"
  "16|png_rgb8.png|ColorRes(16, 0, 0, 0)" "24|png_rgb8.png|GetWidth()"
  "32|png_rgb8.png|ColorRes(32, 0, 0, 0)"
)
operations=(
  "Grayscale(0, 0, 0, 0)" "Grayscale(5, 0, 0, 0)" "Grayscale(7, 0.25, 0.5, 0.25)"
  "Trim(2.5, 3, 10.7, 9.2)" "Mosaic(3)" "ColorRes(4, 0, 0, 0)" "ColorRes(8, 1, 0, 0)"
  "ColorRes(8, 0, 1, 16)" "ColorRes(24, 0, 0, 0)" "Monochrome(128)"
  "SetSize(30, 25, 4, 65280)" "Rotate(30, 1, 255)" "Rotate(7.5, 0, 0)" "Rotate(45, 1, 16777215)"
  "TurnOver(0)" "TurnOver(1)" "SobelFilter()" "RobinsonFilter()" "Smooth()" "LaplacianFilter()"
  "SmoothAsMaxDensity()" "SmoothAsMinDensity()" "SetImageScale(1.7, 0.6, 0)"
  "SetImageScale(1.7, 0.6, 1)" "SetImageScale(0.45, 2.3, 2)" "SetImageScale(1.3, 1.3, 3)"
  "SetImageScale(0.7, 0.9, 4)" "AccentForHistogram(10, 5)" "SetPalette(3, 1193046)"
  "RemoveAlonePoint(0)" "Labeling(2, 100, 0)" "SamplingOutline(0)" "Expansion(0)"
  "Contraction(1)" "Contrast(20, 200)" "Gamma(1)" "Gamma(2.2)" "RGBGamma(0.8, 1.2, 1.9)"
)

write_calls() {
  local depth source setup op n=0
  echo 'StartLog()'
  for entry in "${depths[@]}"; do
    IFS='|' read -r depth source setup <<<"$entry"
    for op in "${operations[@]}"; do
      n=$((n + 1))
      printf 'Load("%s", 0, 0)\n%s\nGetBitmapBits()\n%s\n' "$source" "${setup//; /$'\n'}" "$op"
      printf '%s\n' 'GetBitmapBits()' 'GetWidth()' 'GetHeight()'
      printf 'Save("out/%s-%03d.bmp", 4, 0, 0)\nSave("out/%s-%03d.png", 6, 0, 0)\n' "$depth" $n "$depth" $n
      printf 'Save("out/%s-%03d.jpg", 1, 0, 75)\nSave("out/%s-%03d.tif", 3, 0, 0)\n' "$depth" $n "$depth" $n
    done
  done
  printf '%s\n' 'SaveLog("out/all.pvr", 0)' 'SaveLogText("out/all.txt")'
}

# The names of the files of folder A that differ from those of folder B, PNG files compared
# without their tIME chunk.
differing_files() {
  python3 - "$1" "$2" <<'EOF'
import os, struct, sys

def without_time(data):
    out, pos = bytearray(data[:8]), 8
    while pos + 8 <= len(data):
        length, kind = struct.unpack(">I4s", data[pos:pos + 8])
        if kind != b"tIME":
            out += data[pos:pos + 12 + length]
        pos += 12 + length
    return bytes(out)

a, b = sys.argv[1:]
for name in sorted(os.listdir(a)):
    x, y = (open(os.path.join(d, name), "rb").read() for d in (a, b))
    if name.endswith(".png"):
        x, y = without_time(x), without_time(y)
    if x != y:
        print(name)
EOF
}

# The PNG writer's progress ("\r 42% saved") goes to the console through the DLL's own C
# runtime, whose buffer pictavor.exe flushes at other points than the native host: it lands in
# pieces before the lines of later calls. Set it aside on both sides (call lines start with a
# member name, never with these characters).
without_progress() { tr -d '\r' <"$1" | sed -E 's/^[0-9 %saved]+//; /^$/d'; }

for host in native exe; do
  mkdir -p "$work/$host/out"
  cp "$root"/tests/fixtures/{im_1bit.bmp,im_4bit.bmp,png_rgb8.png} "$work/$host/"
done
write_calls >"$work/calls.txt"
(cd "$work/native" && "$native" -f ../calls.txt >lines.txt 2>&1; echo "exit $?" >>lines.txt)
(cd "$work/exe" && "$root/scripts/wine.sh" run "$exe" -f ../calls.txt 2>&1 | tr -d '\r' >lines.txt
 echo "exit ${PIPESTATUS[0]}" >>lines.txt)

check "$build prints the native host's lines" "" \
  "$(diff <(without_progress "$work/native/lines.txt") <(without_progress "$work/exe/lines.txt") | head -20)"
check "the script ran to its end" "exit 0" "$(tail -n 1 "$work/native/lines.txt")"
check "$build writes the files the native host writes" \
  "$(cd "$work/native/out" && ls)" "$(cd "$work/exe/out" && ls)"
check "$build files equal the native host's ($(ls "$work/native/out" | wc -l) files)" "" \
  "$(differing_files "$work/native/out" "$work/exe/out" | head -20)"
finish "same bytes, native and $build"
