#!/usr/bin/env bash
# The main job on a built-in sample: the host loads a generated picture, converts its colour
# depth, runs a logged chain of operations, saves it in every format, replays the chain from
# its log, and says where everything is.
# Usage: scripts/demo.sh PATH-TO-PICTAVOR
set -euo pipefail

pictavor=$(realpath "${1:?usage: scripts/demo.sh PATH-TO-PICTAVOR}")
out="$(cd "$(dirname "$0")/.." && pwd)/build/demo"
rm -rf "$out"
mkdir -p "$out/blocks"
cd "$out"

# A 320 x 240 24-bit BMP: colour ramps with a few flat discs (bottom-up rows, blue-green-red).
perl -e '
  my ($w, $h) = (320, 240);
  my $stride = ($w * 3 + 3) & ~3;
  my $rows = "";
  for my $y (reverse 0 .. $h - 1) {
    my $row = "";
    for my $x (0 .. $w - 1) {
      my ($r, $g, $b) = (int(255 * $x / ($w - 1)), int(255 * $y / ($h - 1)), int(255 - 127 * ($x + $y) / ($w + $h)));
      for my $disc ([80, 80, 40, 255, 255, 255], [240, 160, 50, 20, 20, 20]) {
        my ($cx, $cy, $radius, @rgb) = @$disc;
        ($r, $g, $b) = @rgb if ($x - $cx) ** 2 + ($y - $cy) ** 2 < $radius ** 2;
      }
      $row .= pack("C3", $b, $g, $r);
    }
    $rows .= $row . ("\0" x ($stride - $w * 3));
  }
  print "BM", pack("V", 54 + length $rows), pack("v2", 0, 0), pack("V", 54),
        pack("V l l v v V V l l V V", 40, $w, $h, 1, 24, 0, length $rows, 2835, 2835, 0, 0), $rows;
' > sample.bmp

cat > demo.calls <<'CALLS'
# Load the sample and look at it.
Load("sample.bmp", 0, 0)
GetWidth()
GetHeight()
GetBitmapBits()
# 24 bits to 8 with the octree quantizer, then back up to true colour.
ColorRes(8, 0, 0, 0)
GetPaletteSize()
GetPalette(0)
Save("sample-8bit.bmp", 4, 0, 0)
ColorRes(32, 0, 0, 0)
Save("sample-32bit.bmp", 4, 0, 0)
# 16 bits (5-6-5), then back to 24 to show what the depth keeps; in memory as a BMP file too.
Load("sample.bmp", 16, 0)
ColorRes(24, 0, 0, 0)
Save("sample-via-16bit.bmp", 4, 0, 0)
SaveMemory(4, 0, 0)
# Too many colours for 4 bits: refused with 50, the image stays as it was.
ColorRes(4, 0, 0, 0)
GetBitmapBits()
GetDIB()
CALLS

cat > operations.calls <<'CALLS'
# A logged chain of operations, saved in every format, with its log as .pvr and as text.
StartLog()
Load("sample.bmp", 0, 0)
Rotate(30.0, 1, 0)
SetImageScale(0.5, 0.5, 0)
Gamma(1.4)
Save("sample-turned.png", 6, 0, 0)
Save("sample-turned.jpg", 1, 0, 85)
Save("sample-turned.tif", 3, 0, 0)
Grayscale(0, 0, 0, 0)
SobelFilter()
GetMonochromeThresh(0, 0, 100, 100)
Monochrome(60)
Labeling(20, -1, 0)
Save("sample-edges.png", 6, 0, 0)
Save("sample-edges.bmp", 4, 0, 0)
SaveLog("operations.pvr", 0)
SaveLogText("operations.txt")
CALLS

cat > replay.calls <<'CALLS'
# The same chain replayed from its log on the original picture.
Load("sample.bmp", 0, 0)
LoadLog("operations.pvr", -2)
ExecuteLog(0, 0)
Save("sample-edges-replayed.bmp", 4, 0, 0)
CALLS

for calls in demo operations replay; do
  echo "pictavor --blocks blocks -f $calls.calls (in $out):"
  "$pictavor" --blocks blocks -f "$calls.calls" 2>/dev/null | sed 's/^/  /'
done
echo
echo "The log as text (CP932, shown here in UTF-8):"
iconv -f CP932 -t UTF-8 operations.txt | tr -d '\r' | sed 's/^/  /'
if cmp -s sample-edges.bmp sample-edges-replayed.bmp; then
  echo "The replayed chain gave the same file, byte for byte."
else
  echo "The replayed chain gave a different file!"
fi
echo
echo "Pictures written in $out:"
for f in sample*.bmp sample*.png sample*.jpg sample*.tif operations.*; do
  printf '  %-22s %8d bytes\n' "$f" "$(stat -c %s "$f")"
done
echo "Memory blocks handed out, in $out/blocks:"
for f in blocks/*; do printf '  %-22s %8d bytes\n' "${f#blocks/}" "$(stat -c %s "$f")"; done
