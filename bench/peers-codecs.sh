#!/usr/bin/env bash
# Times the libraries' own command-line tools (netpbm's pnmtopng/pngtopnm on libpng, since
# Debian ships no pngcp; libjpeg-turbo's cjpeg/djpeg) on one 4000 × 3000 24-bit picture, then
# runs bench_codecs on the same picture. The tools' times include process start and PPM I/O.
# Usage: bench/peers-codecs.sh [path/to/bench_codecs]   (built by the bench preset)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bench=${1:-$root/build/bench/bin/bench_codecs}
[[ -x $bench ]] || { echo "no $bench: cmake --preset bench && cmake --build --preset bench" >&2; exit 2; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"

# A smooth picture with noise, like the generated one, as PPM for the tools and BMP for us.
/usr/bin/convert -seed 5 -size 3000x4000 gradient:'#2060c0-#e0a040' -rotate 90 -attenuate 0.3 +noise Gaussian \
  -depth 8 PPM:picture.ppm
/usr/bin/convert picture.ppm BMP3:picture.bmp

best() {  # best of three wall-clock times of a command, in milliseconds
  local best=999999999 start took
  for _ in 1 2 3; do
    start=$(date +%s%N)
    "$@" >/dev/null
    took=$((($(date +%s%N) - start) / 1000000))
    ((took < best)) && best=$took
  done
  echo "$best"
}

pnmtopng -compression 9 picture.ppm >picture.png
cjpeg -quality 70 picture.ppm >baseline.jpg
cjpeg -quality 70 -progressive picture.ppm >progressive.jpg
printf '%-36s %8s %12s\n' "peer tool (same picture)" "ms" "file bytes"
row() { printf '%-36s %8s %12s\n' "$1" "$2" "$3"; }
row "pnmtopng -compression 9 (libpng)" "$(best pnmtopng -compression 9 picture.ppm)" "$(stat -c %s picture.png)"
row "pngtopnm (libpng)" "$(best pngtopnm picture.png)" ""
row "cjpeg -quality 70" "$(best cjpeg -quality 70 picture.ppm)" "$(stat -c %s baseline.jpg)"
row "djpeg baseline" "$(best djpeg baseline.jpg)" ""
row "cjpeg -quality 70 -progressive" "$(best cjpeg -quality 70 -progressive picture.ppm)" "$(stat -c %s progressive.jpg)"
row "djpeg progressive" "$(best djpeg progressive.jpg)" ""
echo
PICTAVOR_BENCH_PICTURE=picture.bmp "$bench" --benchmark_filter='png|jpeg'
