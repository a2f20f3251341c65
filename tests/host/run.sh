#!/usr/bin/env bash
# Drives the command-line host the way scripts and acceptance checks do: its output lines,
# exit status, --blocks, -f, BMP files of every depth written by ImageMagick and by itself, and
# PNG, JPEG and TIFF files and blocks checked against libpng, libjpeg-turbo and libtiff's tools.
# Usage: tests/host/run.sh PATH/TO/pictavor
set -uo pipefail
host=$(realpath "$1")
convert=/usr/bin/convert  # the package's own binary, not a stand-in earlier on PATH
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
passed=0 failed=0

check() {  # check NAME EXPECTED ACTUAL
  if [ "$2" == "$3" ]; then
    passed=$((passed + 1))
  else
    failed=$((failed + 1))
    printf 'FAIL %s\n--- expected\n%s\n--- got\n%s\n' "$1" "$2" "$3"
  fi
}

# An empty control, and calls the host cannot run.
check "empty control" $'GetWidth -1\nGetBitmapBits -1' "$("$host" 'GetWidth()' 'GetBitmapBits()')"
for bad in 'NoSuchMember()' 'GetWidth(' 'ColorRes(8)' 'LoadMemory(@"missing.bin", 0, 0)' 'Load(1, 0, 0)'; do
  out=$("$host" 'GetHeight()' "$bad" 'GetWidth()' 2>err.txt); status=$?
  check "exit status for $bad" 2 "$status"
  check "calls before $bad ran" "GetHeight -1" "$out"
  check "message names call 2 for $bad" 1 "$(grep -c 'call 2' err.txt)"
done

# ImageMagick's BMP files of every depth, then ours: load, convert to 8 bits, save.
"$convert" -seed 3 -size 31x17 plasma:fractal -type TrueColor BMP3:source24.bmp
"$convert" source24.bmp -type Bilevel BMP3:im1.bmp
"$convert" source24.bmp -colors 16 -type Palette -compress None BMP3:im4.bmp
"$convert" source24.bmp -colors 256 -type Palette -compress None BMP3:im8.bmp
"$convert" source24.bmp -colors 256 -type Palette -compress RLE BMP3:im8rle.bmp
"$convert" source24.bmp -alpha on -channel A -fx 1 -define bmp3:alpha=true BMP3:im32.bmp
cp source24.bmp im24.bmp
for depth in 1 4 8 8rle 24 32; do
  bits=${depth%rle}
  out=$("$host" "Load(\"im$depth.bmp\", 0, 0)" 'GetBitmapBits()' 'ColorRes(8, 0, 0, 0)' "Save(\"y$depth.bmp\", 4, 0, 0)")
  check "ImageMagick $depth-bit BMP" $'Load 0\nGetBitmapBits '"$bits"$'\nColorRes 0\nSave 0' "$out"
  check "saved $depth-bit as 8 bits" "31x17 8" "$(identify -format '%wx%h %z' "y$depth.bmp")"
done
"$convert" source24.bmp -define bmp:subtype=RGB565 BMP3:im16.bmp
check "bit-field BMP is kept but not shown" $'Load 5\nGetBitmapBits 16\nColorRes 5' \
  "$("$host" 'Load("im16.bmp", 0, 0)' 'GetBitmapBits()' 'ColorRes(8, 0, 0, 0)')"
for bits in 1 2 4 8 16 24 32; do
  out=$("$host" 'Load("source24.bmp", 0, 0)' "ColorRes($bits, 0, 0, 0)" "Save(\"own$bits.bmp\", 4, 0, 0)" \
        "Load(\"own$bits.bmp\", 0, 0)" 'GetBitmapBits()')
  expected_color=0; [ "$bits" -le 4 ] && expected_color=50
  check "own $bits-bit BMP" $'Load 0\nColorRes '"$expected_color"$'\nSave 0\nLoad 0\nGetBitmapBits '"$([ "$expected_color" = 50 ] && echo 24 || echo "$bits")" "$out"
done
check "24-bit pixels survive a round trip" 0 "$(compare -metric AE source24.bmp own24.bmp null: 2>&1)"
check "32-bit pixels survive a round trip" 0 "$(compare -metric AE source24.bmp own32.bmp null: 2>&1)"

# Blocks handed out, and a script with comments.
mkdir blocks
printf '# a comment\n\nLoad("source24.bmp", 0, 0)\r\n  SaveMemory(4, 8, 0)\nGetDIB()\nGetBitmapInfo()\n' > calls.txt
out=$("$host" --blocks blocks -f calls.txt)
check "script output" $'Load 0\nSaveMemory 0 phMem=1622B piSize=1622\nGetDIB 1608B\nGetBitmapInfo 40B' "$out"
check "blocks written" "1622 1608 40" "$(stat -c %s blocks/2.phMem.bin blocks/3.pVal.bin blocks/4.pVal.bin | xargs)"
check "block is a BMP file" "31x17 8" "$(identify -format '%wx%h %z' blocks/2.phMem.bin)"
check "memory load" $'LoadMemory 0\nGetWidth 31' "$("$host" 'LoadMemory(@"blocks/2.phMem.bin", 0, 0)' 'GetWidth()')"

# PNG, JPEG and TIFF: every save format code and JPEG quality check, through blocks and files,
# read back by the libraries' own tools; files from those tools loaded the same two ways.
"$convert" source24.bmp -depth 8 PPM:source.ppm
differing() { compare -quiet -metric AE "$1" "$2" null: 2>&1; }  # pixels that differ
calls=('Load("source24.bmp", 0, 0)')
expected=("Load 0")
codes=("1 70 0" "1 1 1" "1 255 1" "1 2 0" "1 254 0" "2 85 0" "2 0 1" "3 0 0" "3 999 0" "4 0 0" "5 0 1" "6 0 0" "0 0 1" "7 0 1")
for code in "${codes[@]}"; do
  read -r format quality result <<<"$code"
  calls+=("SaveMemory($format, 0, $quality)")
  if [ "$result" = 0 ]; then expected+=("SaveMemory 0 phMem=@B piSize=@"); else expected+=("SaveMemory $result phMem=0 piSize=0"); fi
done
rm -rf blocks && mkdir blocks
out=$("$host" --blocks blocks "${calls[@]}" 2>progress.txt | sed -E 's/=[0-9]+B/=@B/; s/piSize=[1-9][0-9]*/piSize=@/')
check "save format codes and quality range" "$(printf '%s\n' "${expected[@]}")" "$out"
check "no progress on standard output" 0 "$(grep -c saved <<<"$out")"
check "PNG progress on standard error" 1 "$(grep -c '100% saved' progress.txt)"
check "baseline JPEG (code 1) is cjpeg's" "" "$(cjpeg -quality 70 source.ppm | cmp - blocks/2.phMem.bin 2>&1)"
check "progressive JPEG (code 2)" "None JPEG" "$(identify -format '%[interlace] ' blocks/2.phMem.bin blocks/7.phMem.bin | xargs)"
check "quality 254 codes as 100" "$(cjpeg -quality 100 source.ppm | md5sum)" "$(md5sum <blocks/6.phMem.bin)"
check "TIFF block (code 3) for libtiff" "0 0" "$(tiffinfo blocks/9.phMem.bin >/dev/null 2>&1; echo $?) $(differing source.ppm blocks/9.phMem.bin)"
check "PNG block (code 6) for pngcheck" "OK" "$(pngcheck -q blocks/13.phMem.bin >/dev/null && echo OK)"
check "PNG pixels" "" "$(pngtopnm blocks/13.phMem.bin | cmp - source.ppm 2>&1)"
for n in 2 7 9 13; do
  check "LoadMemory of block $n" $'LoadMemory 0\nGetWidth 31\nGetHeight 17' \
    "$("$host" "LoadMemory(@\"blocks/$n.phMem.bin\", 0, 0)" 'GetWidth()' 'GetHeight()')"
done

# Files: Save with every writer, Load back (8 bits asked for on load as well).
for pair in "1 70 jpg" "2 70 jpg" "3 0 tif" "4 0 bmp" "6 0 png"; do
  read -r format quality ext <<<"$pair"
  out=$("$host" 'Load("source24.bmp", 0, 0)' "Save(\"f$format.$ext\", $format, 0, $quality)" \
        "Load(\"f$format.$ext\", 8, 0)" 'GetBitmapBits()' 2>/dev/null)
  check "Save and Load format $format" $'Load 0\nSave 0\nLoad 0\nGetBitmapBits 8' "$out"
done
check "saved TIFF for tiffdump" 15 "$(tiffdump f3.tif 2>/dev/null | grep -c '^[A-Za-z]*[ ]*([0-9]*) ')"
check "saved JPEG for djpeg" "P6 31 17" "$(djpeg -pnm f2.jpg | head -c 9 | xargs)"
check "saved PNG and TIFF keep the pixels" "0 0" "$(differing source.ppm f6.png) $(differing source.ppm f3.tif)"
out=$("$host" 'Load("source24.bmp", 0, 0)' 'Save("p8.tif", 3, 8, 0)' 'GetBitmapBits()' 'Save("g.jpg", 1, 0, 70)' \
      'ColorRes(32, 0, 0, 0)' 'Save("t.tif", 3, 0, 0)' 'Save("t.jpg", 2, 0, 70)' 'Save("t.png", 6, 0, 0)' 2>/dev/null)
check "depth on save and writers' depth limits" $'Load 0\nSave 0\nGetBitmapBits 8\nSave 0\nColorRes 0\nSave 8\nSave 8\nSave 0' "$out"
check "8-bit TIFF is a palette image" "palette" "$(tiffinfo p8.tif 2>/dev/null | grep -o 'palette' | head -1)"
check "8-bit JPEG is grey" "Gray" "$(identify -format '%[colorspace]' g.jpg)"
check "32-bit picture saved as PNG is its RGB" "24-bit RGB 0" "$(pngcheck t.png | grep -o '24-bit RGB') $(differing p8.tif t.png)"

# Files made by the libraries' tools, by path and by block.
pnmtopng -interlace source.ppm > tool.png
cjpeg -progressive source.ppm > tool.jpg
ppm2tiff -c none -r 5 source.ppm tool.tif 2>/dev/null
tiffcp -c lzw tool.tif lzw.tif
printf 'plain text' > text.txt
for case in "tool.png 0" "tool.jpg 0" "tool.tif 0" "lzw.tif 5" "text.txt 3"; do
  read -r file result <<<"$case"
  out=$("$host" "Load(\"$file\", 0, 0)" "LoadMemory(@\"$file\", 0, 0)" 'GetWidth()')
  check "load $file" $'Load '"$result"$'\nLoadMemory '"$result"$'\nGetWidth '"$([ "$result" = 0 ] && echo 31 || echo -1)" "$out"
done

echo "host: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
