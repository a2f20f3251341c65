#!/usr/bin/env bash
# Drives the command-line host the way scripts and acceptance checks do: its output lines,
# exit status, --blocks, -f, and BMP files of every depth written by ImageMagick and by itself.
# Usage: tests/host/run.sh PATH/TO/pictavor
set -uo pipefail
# shellcheck source=tests/checks.sh
source "$(dirname "${BASH_SOURCE[0]}")/../checks.sh"
host=$(realpath "$1")
convert=/usr/bin/convert  # the package's own binary, not a stand-in earlier on PATH
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"

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

# The clipboard within one run, and device bitmaps (a handle that is no bitmap empties the control).
out=$("$host" 'Copy(0)' 'Load("source24.bmp", 0, 0)' 'Copy(0)' 'SetDIB(0)' 'GetWidth()' 'Paste(0)' 'GetWidth()' \
      'SetBITMAP(0)' 'GetWidth()')
check "clipboard and bitmaps" $'Copy 9\nLoad 0\nCopy 0\nSetDIB 0\nGetWidth -1\nPaste 0\nGetWidth 31\nSetBITMAP 0\nGetWidth -1' "$out"

# A chain of operations logged, saved, and replayed on the same picture in a second run.
out=$("$host" 'StartLog()' 'Load("source24.bmp", 0, 0)' 'ColorRes(8, 0, 0, 0)' 'SetPalette(7, 0x123456)' \
      'Monochrome(300)' 'ColorRes(24, 0, 0, 0)' 'Save("chain.bmp", 4, 0, 0)' 'SaveLog("chain.pvr", 0)' \
      'SaveLogText("chain.txt")')
check "logged chain" $'StartLog 0\nLoad 0\nColorRes 0\nSetPalette 0\nMonochrome 1\nColorRes 0\nSave 0\nSaveLog 0\nSaveLogText 0' "$out"
check "log file size" 68 "$(stat -c %s chain.pvr)"
check "log text" $'ｶﾗｰ階調変換  ﾋﾞｯﾄｶｳﾝﾄ:8\r\nｶﾗｰﾊﾟﾚｯﾄ  ﾊﾟﾚｯﾄ番号:7, R:86, G:52, B:18\r\nｶﾗｰ階調変換  ﾋﾞｯﾄｶｳﾝﾄ:24\r' \
  "$(iconv -f CP932 -t UTF-8 chain.txt)"
out=$("$host" 'Load("source24.bmp", 0, 0)' 'LoadLog("chain.pvr", -2)' 'ExecuteLog(0, 0)' 'Save("replayed.bmp", 4, 0, 0)')
check "replay run" $'Load 0\nLoadLog 0\nExecuteLog 0\nSave 0' "$out"
check "replay gives the same image" "" "$(cmp chain.bmp replayed.bmp)"

finish host
