#!/usr/bin/env bash
# Drives the command-line host the way scripts and acceptance checks do: its output lines,
# exit status, --blocks, -f, BMP files of every depth written by ImageMagick and by itself, and
# PNG, JPEG and TIFF files and blocks checked against libpng, libjpeg-turbo and libtiff's tools.
# Usage: tests/host/run.sh PATH/TO/pictavor
set -uo pipefail
# shellcheck source=tests/checks.sh
source "$(dirname "${BASH_SOURCE[0]}")/../checks.sh"
host=$(realpath "$1")
here=$(realpath "$(dirname "${BASH_SOURCE[0]}")")
convert=/usr/bin/convert  # the package's own binary, not a stand-in earlier on PATH
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"

# An empty control, and calls the host cannot run.
check "empty control" $'GetWidth -1\nGetBitmapBits -1' "$("$host" 'GetWidth()' 'GetBitmapBits()')"
for bad in 'NoSuchMember()' 'GetWidth(' 'ColorRes(8)' 'LoadMemory(@"missing.bin", 0, 0)' 'Load(1, 0, 0)' \
           'GetClientDC()' 'ReleaseClientDC(0)' 'OperateMosaic()' 'OperateLoadLog(-1)'; do
  out=$("$host" 'GetHeight()' "$bad" 'GetWidth()' 2>err.txt); status=$?
  check "exit status for $bad" 2 "$status"
  check "calls before $bad ran" "GetHeight -1" "$out"
  check "message names call 2 for $bad" 1 "$(grep -c 'call 2' err.txt)"
done

# For people: usage, the member reference, the meaning of Result codes beside the results.
"$host" --help >help.txt; check "--help exits 0" 0 $?
check "--help shows the call syntax" 1 "$(grep -c 'A call is NAME(ARGUMENTS)' help.txt)"
"$host" --list >list.txt; check "--list exits 0" 0 $?
check "--list lists every member" 140 "$(tr -d '\r' <list.txt | grep -c .)"
check "--list line of a logged member" 'Rotate(fAngle float, lReSize long, lCol long) -> a Result code  [logged]' \
  "$(tr -d '\r' <list.txt | grep '^Rotate(')"
check "--list NAME in full" $'SetCursorID  (method, DISPID 121)\n  nID              long\n  pVal             a value\n  logged           no\n  needs window     no' \
  "$("$host" --list setcursorid | tr -d '\r')"
"$host" --list NoSuchMember 2>/dev/null; check "--list of an unknown member exits 2" 2 $?
out=$("$host" --explain 'Load("missing.bmp", 0, 0)' 'GetWidth()' 'ExecutePlugin(0, 0, 0)' 2>explain.txt)
check "--explain leaves the results alone" $'Load 2\nGetWidth -1\nExecutePlugin 16 phOutData=0 plOutSize=0' "$out"
check "--explain says why Load failed" 1 "$(tr -d '\r' <explain.txt | grep -c '^pictavor: Load 2: .')"
check "--explain gives the meaning of a code without a message" \
  'pictavor: ExecutePlugin 16: no plugins are loaded, or none has that file name' \
  "$(tr -d '\r' <explain.txt | grep ExecutePlugin)"
check "--explain says nothing of a value" 2 "$(grep -c . explain.txt)"

# The cursor ID is the control's state: a system cursor's ID replaces it, the whole 32 bits kept.
check "cursor IDs" $'SetCursorID 32512\nGetCursorID 32515\nSetCursorID 0\nSetCursorID 32515\nSetCursorOfArrow 98050\nGetCursorID 32512' \
  "$("$host" 'SetCursorID(32515)' 'GetCursorID()' 'SetCursorID(1)' 'SetCursorID(98050)' 'SetCursorOfArrow()' 'GetCursorID()')"

# No plugins here: the plugin members answer as with an empty registry value.
check "plugin members without plugins" $'GetPluginNumber -1\nGetPluginList 16 hList=0 lCnt=0\nSetPluginEnable 1\nGetPluginEnable 0\nExecutePlugin 16 phOutData=0 plOutSize=0' \
  "$("$host" 'GetPluginNumber("invert.dll")' 'GetPluginList()' 'SetPluginEnable(0, 0)' 'GetPluginEnable(0)' 'ExecutePlugin(0, 0, 0)')"

# The display queries without a window: no image reports 9 with the ranges zeroed; with one,
# the requested scale is the effective one.
check "display queries on an empty control" \
  $'GetDispScale 9 hor=0 ver=0\nClientToDIBPosition 9 x=3 y=4\nGetImageScrollRange 9 lHorMin=0 lHorMax=0 lVerMin=0 lVerMax=0' \
  "$("$host" 'GetDispScale()' 'ClientToDIBPosition(3, 4)' 'GetImageScrollRange()')"
"$convert" -size 8x6 xc:gray BMP3:small.bmp
check "display scale and mapping" $'SetDispScale 0\nGetDispScale 0 hor=2 ver=0.5\nClientToDIBPosition 0 x=1 y=4\nClientToDIBPosition 1 x=16 y=0' \
  "$("$host" 'Load("small.bmp", 0, 0)' 'StartLog()' 'SetDispScale(2.0, 0.5)' 'GetDispScale()' 'ClientToDIBPosition(3, 2)' \
     'ClientToDIBPosition(16, 0)' | grep -v '^Load\|^StartLog')"

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
mkdir codecs
out=$("$host" --blocks codecs "${calls[@]}" 2>progress.txt | sed -E 's/=[0-9]+B/=@B/; s/piSize=[1-9][0-9]*/piSize=@/')
check "save format codes and quality range" "$(printf '%s\n' "${expected[@]}")" "$out"
check "no progress on standard output" 0 "$(grep -c saved <<<"$out")"
check "PNG progress on standard error" 1 "$(grep -c '100% saved' progress.txt)"
check "baseline JPEG (code 1) is cjpeg's" "" "$(cjpeg -quality 70 source.ppm | cmp - codecs/2.phMem.bin 2>&1)"
check "progressive JPEG (code 2)" "None JPEG" "$(identify -format '%[interlace] ' codecs/2.phMem.bin codecs/7.phMem.bin | xargs)"
check "quality 254 codes as 100" "$(cjpeg -quality 100 source.ppm | md5sum)" "$(md5sum <codecs/6.phMem.bin)"
check "TIFF block (code 3) for libtiff" "0 0" "$(tiffinfo codecs/9.phMem.bin >/dev/null 2>&1; echo $?) $(differing source.ppm codecs/9.phMem.bin)"
check "PNG block (code 6) for pngcheck" "OK" "$(pngcheck -q codecs/13.phMem.bin >/dev/null && echo OK)"
check "PNG pixels" "" "$(pngtopnm codecs/13.phMem.bin | cmp - source.ppm 2>&1)"
for n in 2 7 9 13; do
  check "LoadMemory of block $n" $'LoadMemory 0\nGetWidth 31\nGetHeight 17' \
    "$("$host" "LoadMemory(@\"codecs/$n.phMem.bin\", 0, 0)" 'GetWidth()' 'GetHeight()')"
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

# Small files declaring huge pictures or chunks: cut JPEGs answer 3, the TIFF's strips 5, a PNG
# whose text chunk claims 1.7 GB 7, and the sparse RLE picture loads; none costs the host more
# than a few MiB beyond a run that loads nothing.
# Under Wine the sparse picture costs what its display bitmap does: the 2 GB of rows copied
# into it, and as much again for reading the untouched rows, which Wine commits (natively they
# read as the shared zero page). Any further copy of the picture would show.
mkdir hostile
native_host=0
[[ $(head -c 4 "$host") == $'\x7fELF' ]] && native_host=1
while read -r name load grew; do
  case "$name" in
    sparse-*) expected=Load=0 ;; tiff-*) expected=Load=5 ;; png-*) expected=Load=7 ;; *) expected=Load=3 ;;
  esac
  check "hostile $name answers" "$expected" "$load"
  bound=16
  [[ $native_host == 0 && $name == sparse-* ]] && bound=$((2 * 40000 * 50000 / 1048576 + 64))
  check "hostile $name costs at most $bound MiB (rose $grew MiB)" 1 "$((grew <= bound))"
done < <(python3 "$here/hostile_memory.py" "$host" hostile)

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

# Neighbourhood filters, morphology and labeling on an 8-bit grey BMP whose indices are the grey
# levels (a full ramp table), built around ImageMagick's raw grey bytes; width 32 has no padding.
le32() { printf "$(printf '\\x%02x\\x%02x\\x%02x\\x%02x' $(($1 & 255)) $(($1 >> 8 & 255)) $(($1 >> 16 & 255)) $(($1 >> 24 & 255)))"; }
gray_bmp() {  # gray_bmp OUT.bmp WIDTH HEIGHT < raw bottom-up rows
  local bytes=$(($2 * $3)) i
  {
    printf 'BM'; le32 $((1078 + bytes)); le32 0; le32 1078
    le32 40; le32 "$2"; le32 "$3"; printf '\x01\x00\x08\x00'; le32 0; le32 "$bytes"; le32 0; le32 0; le32 0; le32 0
    for i in $(seq 0 255); do printf "$(printf '\\x%02x\\x%02x\\x%02x\\x00' "$i" "$i" "$i")"; done
    cat
  } > "$1"
}
"$convert" -seed 5 -size 32x24 plasma:fractal -colorspace Gray -depth 8 -flip gray:- | gray_bmp plasma8.bmp 32 24
check "grey fixture" "32x24 8 Grayscale" "$(identify -format '%wx%h %z %[type]' plasma8.bmp)"
calls=('Load("plasma8.bmp", 0, 0)' 'SobelFilter()' 'RobinsonFilter()' 'LaplacianFilter()' 'Smooth()'
       'SmoothAsMaxDensity()' 'SmoothAsMinDensity()' 'Monochrome(128)' 'RemoveAlonePoint(0)' 'Expansion(1)'
       'Contraction(0)' 'SamplingOutline(0)' 'Labeling(-1, -1, 0)' 'Labeling(5, 3, 0)')
check "filter and morphology members" \
  "$(printf '%s 0\n' Load SobelFilter RobinsonFilter LaplacianFilter Smooth SmoothAsMaxDensity SmoothAsMinDensity \
     Monochrome RemoveAlonePoint Expansion Contraction SamplingOutline Labeling)"$'\nLabeling 1' "$("$host" "${calls[@]}")"
check "refusals on 24 bits and without an image" \
  $'SobelFilter 1\nLabeling 9\nExpansion 1\nLoad 0\nSobelFilter 8\nSmooth 0\nLabeling 8\nSamplingOutline 8' \
  "$("$host" 'SobelFilter()' 'Labeling(-1, -1, 0)' 'Expansion(0)' 'Load("source24.bmp", 0, 0)' 'SobelFilter()' \
     'Smooth()' 'Labeling(-1, -1, 0)' 'SamplingOutline(0)')"
"$host" 'Labeling(1)' 2>err.txt >/dev/null
check "Labeling takes three arguments" "2 1" "$? $(grep -c Labeling err.txt)"
# Maximum and minimum agree with ImageMagick's dilation and erosion away from the border.
for pair in SmoothAsMaxDensity:Dilate SmoothAsMinDensity:Erode; do
  "$host" 'Load("plasma8.bmp", 0, 0)' "${pair%:*}()" 'Save("ours.bmp", 4, 0, 0)' >/dev/null
  "$convert" plasma8.bmp -morphology "${pair#*:}" Square:1 -crop 30x22+1+1 theirs.png
  "$convert" ours.bmp -crop 30x22+1+1 ours.png
  check "${pair%:*} against ImageMagick" 0 "$(compare -metric AE ours.png theirs.png null: 2>&1)"
done
# Labeling counts from the bottom row of the picture: the lower spot becomes 1, the upper 2.
"$convert" -size 32x8 xc:black -fill white -draw 'rectangle 2,1 4,2' -draw 'rectangle 20,5 22,6' -depth 8 \
  -flip gray:- | gray_bmp spots.bmp 32 8
"$host" 'Load("spots.bmp", 0, 0)' 'Labeling(-1, -1, 0)' 'Save("labels.bmp", 4, 0, 0)' >/dev/null
check "labels from the bottom" "2 1 0" \
  "$("$convert" labels.bmp -format '%[fx:int(255*p{3,1}+0.5)] %[fx:int(255*p{21,6}+0.5)] %[fx:int(255*p{10,4}+0.5)]' info:)"

# Every one of them is logged, and replaying the log on the same picture gives the same bytes.
calls=('StartLog()' 'Load("plasma8.bmp", 0, 0)' 'Smooth()' 'SobelFilter()' 'RobinsonFilter()' 'LaplacianFilter()'
       'SmoothAsMaxDensity()' 'SmoothAsMinDensity()' 'Monochrome(100)' 'RemoveAlonePoint(0)' 'Expansion(0)'
       'Contraction(1)' 'SamplingOutline(0)' 'Labeling(10, 200, 1)' 'Labeling(-1, -1, 0)' 'Save("filtered.bmp", 4, 0, 0)'
       'SaveLog("filters.pvr", 0)' 'SaveLogText("filters.txt")')
"$host" "${calls[@]}" >/dev/null
check "filters logged" 112 "$(stat -c %s filters.pvr)"
check "filter log lines" "$(printf '%s\r\n' ｽﾑｰｼﾞﾝｸﾞ ｿｰﾍﾞﾙﾌｨﾙﾀ ﾛﾋﾞﾝｿﾝﾌｨﾙﾀ ﾗﾌﾟﾗｼｱﾝﾌｨﾙﾀ 最大濃度によるｽﾑｰｼﾞﾝｸﾞ \
  最小濃度によるｽﾑｰｼﾞﾝｸﾞ '２値化  閾値:100' '孤立点除去  背景色　黒' '膨張  背景色　黒' '収縮  背景色　白' \
  '輪郭抽出  背景色　黒' 'ﾗﾍﾞﾘﾝｸﾞ 検索範囲（ 10画素～200画素 ） 背景色　白' 'ﾗﾍﾞﾘﾝｸﾞ 検索範囲（ 全て ） 背景色　黒')" \
  "$(iconv -f CP932 -t UTF-8 filters.txt)"
"$host" 'Load("plasma8.bmp", 0, 0)' 'LoadLog("filters.pvr", -2)' 'ExecuteLog(0, 0)' 'Save("refiltered.bmp", 4, 0, 0)' >/dev/null
check "filters replayed" "" "$(cmp filtered.bmp refiltered.bmp)"

# Grayscale, threshold, tone curves and histograms on pictures of known levels.
ppm() {  # ppm FILE WIDTH HEIGHT R G B ...: a binary PPM of these samples, top row first
  local file=$1 width=$2 height=$3; shift 3
  { printf 'P6\n%d %d\n255\n' "$width" "$height"; for v in "$@"; do printf "\\$(printf '%03o' "$v")"; done; } > "$file"
}
count() {  # count FILE LEVEL: the count at LEVEL in a histogram block
  od --endian=little -An -tu4 -v -j $((4 * $2)) -N4 "$1" | tr -d ' '
}
ppm levels.ppm 4 2  255 255 255  200 100 0  1 1 1  128 128 128 \
                    50 50 50  200 200 200  50 50 50  200 200 200
"$convert" levels.ppm -type TrueColor BMP3:levels.bmp
check "tone members on an empty control" $'Grayscale 1\nGetMonochromeThresh 9 plTh=0\nGamma 1\nGetHistogram 1 phMem=0' \
  "$("$host" 'Grayscale(0, 0, 0, 0)' 'GetMonochromeThresh(0, 0, 1, 1)' 'Gamma(1)' 'GetHistogram(0, 0, 1, 1)')"
mkdir tone
out=$("$host" --blocks tone 'Load("levels.bmp", 0, 0)' 'GetRGBHistogram(0, 0, 4, 1)' 'Grayscale(8, 0, 0, 0)' \
      'Grayscale(6, 0, 0, 0)' 'Grayscale(0, 0, 0, 0)' 'GetBitmapBits()' 'GetHistogram(0, 0, 4, 1)' \
      'GetMonochromeThresh(0, 0, 4, 1)' 'GetMonochromeThresh(2, 0, 1, 1)' 'GetMonochromeThresh(0, 0, 5, 1)' \
      'GetHistogram(0, 0, 4, 3)' 'GetRGBHistogram(0, 0, 1, 1)')
check "tone queries" $'Load 0\nGetRGBHistogram 0 phRMem=1024B phGMem=1024B phBMem=1024B\nGrayscale 1\nGrayscale 1
Grayscale 0\nGetBitmapBits 8\nGetHistogram 0 phMem=1024B\nGetMonochromeThresh 0 plTh=49\nGetMonochromeThresh 0 plTh=0
GetMonochromeThresh 1 plTh=0\nGetHistogram 1 phMem=0\nGetRGBHistogram 8 phRMem=0 phGMem=0 phBMem=0' "$out"
check "channel histograms" "1 1 1 1 1 1" "$(for level in 255 200 1; do count tone/2.phRMem.bin $level; done | xargs) \
$(count tone/2.phGMem.bin 100) $(count tone/2.phBMem.bin 0) $(count tone/2.phBMem.bin 128)"
check "grey levels of method 0" "1 1 1 1" "$(for level in 254 118 0 127; do count tone/7.phMem.bin $level; done | xargs)"
check "refused histograms write no block" "2.phBMem.bin 2.phGMem.bin 2.phRMem.bin 7.phMem.bin" "$(ls tone | xargs)"

# Tone curves change the levels a histogram then shows; the contrast levels come from the control.
mkdir curves
out=$("$host" --blocks curves 'Load("levels.bmp", 0, 0)' 'Grayscale(3, 0, 0, 0)' 'Gamma(1e300)' 'Gamma(2.2)' \
      'GetHistogram(0, 0, 4, 1)' 'RGBGamma(1, 1, 1)' 'get_ContrastLow()' 'get_ContrastHi()' 'put_ContrastLow(256)' \
      'put_ContrastLow(200)' 'put_ContrastHi(100)' 'Contrast(64, 192)' 'put_ContrastLow(0)' 'put_ContrastHi(255)' \
      'get_ContrastLow()' 'get_ContrastHi()' 'Contrast(64, 64)' 'Contrast(64, 192)' 'GetHistogram(0, 0, 4, 2)' \
      'AccentForHistogram(10, 8)' 'AccentForHistogram(1, 1)' 'GetHistogram(0, 0, 4, 2)')
check "tone curves" $'Load 0\nGrayscale 0\nGamma 1\nGamma 0\nGetHistogram 0 phMem=1024B\nRGBGamma 8
get_ContrastLow 0\nget_ContrastHi 255\nput_ContrastLow 0\nput_ContrastLow 0\nput_ContrastHi 0\nContrast 1
put_ContrastLow 0\nput_ContrastHi 0\nget_ContrastLow 0\nget_ContrastHi 255\nContrast 1\nContrast 0
GetHistogram 0 phMem=1024B\nAccentForHistogram 1\nAccentForHistogram 0\nGetHistogram 0 phMem=1024B' "$out"
# Red levels 255 200 1 128 / 50 200 50 200; gamma 2.2 gives 255 228 20 186 / 121 228 121 228.
check "gamma 2.2 levels" "1 1 1 1" "$(for level in 255 228 20 186; do count curves/5.phMem.bin $level; done | xargs)"
check "contrast 64..192 levels" "4 1 1 2" "$(for level in 255 0 243 113; do count curves/19.phMem.bin $level; done | xargs)"
check "accent bands" "4 4" "$(for level in 0 1; do count curves/22.phMem.bin $level; done | xargs)"

# Tone operations are logged and replay to the same image, contrast with its stored levels.
out=$("$host" 'StartLog()' 'Load("levels.bmp", 0, 0)' 'RGBGamma(1.5, 1, 0.5)' 'Grayscale(6, 0.25, 0.5, 0.25)' \
      'put_ContrastLow(10)' 'Contrast(64, 192)' 'Gamma(2.2)' 'Save("toned.bmp", 4, 0, 0)' 'SaveLog("tone.pvr", 0)')
check "tone chain" $'StartLog 0\nLoad 0\nRGBGamma 0\nGrayscale 0\nput_ContrastLow 0\nContrast 0\nGamma 0\nSave 0\nSaveLog 0' "$out"
out=$("$host" 'Load("levels.bmp", 0, 0)' 'LoadLog("tone.pvr", -2)' 'ExecuteLog(0, 0)' 'Save("retoned.bmp", 4, 0, 0)')
check "tone replay" $'Load 0\nLoadLog 0\nExecuteLog 0\nSave 0' "$out"
check "tone replay gives the same image" "" "$(cmp toned.bmp retoned.bmp)"

# Geometry against ImageMagick's own flips, turns, crops, canvases and pixel replication.
"$convert" source24.bmp -colors 16 -type Palette -compress None BMP3:im4.bmp
geometry() {  # geometry NAME SOURCE CALL CONVERT-ARGS...
  local name=$1 source=$2 call=$3 member=${3%%(*}
  shift 3
  out=$("$host" 'put_BackColor(0x00FF00)' "Load(\"$source\", 0, 0)" "$call" "Save(\"g_$name.bmp\", 4, 0, 0)")
  check "$name output" $'put_BackColor 0\nLoad 0\n'"$member"$' 0\nSave 0' "$out"
  "$convert" "$source" "$@" "m_$name.png"
  check "$name matches ImageMagick" 0 "$(compare -metric AE "g_$name.bmp" "m_$name.png" null: 2>&1)"
}
geometry flip source24.bmp 'TurnOver(0)' -flip
geometry flop source24.bmp 'TurnOver(1)' -flop
geometry turn90 source24.bmp 'Rotate(90, 1, 0)' -rotate 90
geometry turn270 source24.bmp 'Rotate(-90, 1, 0)' -rotate -90
geometry turn180 source24.bmp 'Rotate(180, 0, 0)' -rotate 180
geometry turn90-canvas source24.bmp 'Rotate(90, 0, 0x0000FF)' -rotate 90 -background '#FF0000' -gravity center -extent 31x17
geometry turn90-1bit im1.bmp 'Rotate(90, 1, 0)' -rotate 90
geometry turn90-4bit im4.bmp 'Rotate(90, 1, 0)' -rotate 90
geometry crop source24.bmp 'Trim(3, 2, 10, 8)' -crop 10x8+3+2 +repage
geometry crop-4bit im4.bmp 'Trim(3.7, 2.2, 20.9, 12)' -crop 20x12+3+2 +repage
geometry trim-out source24.bmp 'Trim(-2, -3, 35, 21)' -background '#00FF00' -extent 35x21-2-3
geometry trim-out-1bit im1.bmp 'Trim(3, -2, 27, 12)' -background black -extent 27x12+3-2
geometry canvas source24.bmp 'SetSize(41, 27, 0x202, 0x0000FF)' -background '#FF0000' -gravity center -extent 41x27
geometry decimate source24.bmp 'SetImageScale(2, 2, 4)' -sample 200%
geometry decimate-8bit im8.bmp 'SetImageScale(62, 68, 0x10004)' -sample 200%x400%

# The other members' contract lines, and a profile block.
out=$("$host" --blocks blocks 'Load("source24.bmp", 0, 0)' 'get_BackColor()' 'put_BackColor(0x80000005)' \
  'get_BackColor()' 'Mosaic(0)' 'Mosaic(4)' 'GetProfile(0, 0, 30, 16)' 'GetProfile(0, 0, 31, 0)' \
  'SetImageScale(0.5, 0.5, 1)' 'GetWidth()' 'Rotate(30, 1, 0)' 'GetWidth()' 'GetHeight()' 'ColorRes(8, 0, 0, 0)' \
  'Mosaic(2)' 'TurnOver(5)' 'Rotate(30, 1, 256)' 'SetImageScale(1, 1, 5)' 'SetSize(10, 10, 0x203, 0)')
check "geometry member lines" 'Load 0
get_BackColor 0
put_BackColor 0
get_BackColor 2147483653
Mosaic 1
Mosaic 0
GetProfile 0 phMem=105B lSize=31
GetProfile 1 phMem=0 lSize=0
SetImageScale 0
GetWidth 16
Rotate 0
GetWidth 18
GetHeight 15
ColorRes 0
Mosaic 1
TurnOver 1
Rotate 1
SetImageScale 1
SetSize 1' "$out"
check "profile block" 105 "$(stat -c %s blocks/7.phMem.bin)"

# Geometry operations are logged with their arguments and replay to the same picture.
out=$("$host" 'StartLog()' 'put_BackColor(0x0000FF)' 'Load("source24.bmp", 0, 0)' 'Trim(-2.5, 1.5, 30, 20)' \
      'Mosaic(3)' 'SetSize(33, 21, 0x402, 0x00FF00)' 'Rotate(30, 1, 0x123456)' 'TurnOver(1)' \
      'SetImageScale(0.75, 1.5, 0)' 'Save("geometry.bmp", 4, 0, 0)' 'SaveLog("geometry.pvr", 0)')
check "logged geometry" $'StartLog 0\nput_BackColor 0\nLoad 0\nTrim 0\nMosaic 0\nSetSize 0\nRotate 0\nTurnOver 0\nSetImageScale 0\nSave 0\nSaveLog 0' "$out"
out=$("$host" 'put_BackColor(0x0000FF)' 'Load("source24.bmp", 0, 0)' 'LoadLog("geometry.pvr", -2)' 'ExecuteLog(0, 0)' \
      'Save("geometry-replayed.bmp", 4, 0, 0)')
check "geometry replay run" $'put_BackColor 0\nLoad 0\nLoadLog 0\nExecuteLog 0\nSave 0' "$out"
check "geometry replay gives the same image" "" "$(cmp geometry.bmp geometry-replayed.bmp)"

# Batch replay: a three-entry log over five pictures, one of them cut short. Every written
# picture is the one the same calls give one picture at a time (BMP: a PNG holds the time it
# was written); the cut one is reported.
for n in 1 2 3 4; do "$convert" -seed "$n" -size 40x30 plasma:fractal BMP3:"batch$n.bmp"; done
head -c 300 batch1.bmp >batch-cut.bmp
"$host" 'StartLog()' 'Load("batch1.bmp", 0, 0)' 'Grayscale(0, 0.299, 0.587, 0.114)' 'Smooth()' \
  'TurnOver(0)' 'SaveLog("batch.pvr", 0)' >/dev/null
inputs=(batch1.bmp batch2.bmp batch-cut.bmp batch3.bmp batch4.bmp)
mkdir -p one-by-one
for n in 1 2 3 4; do
  "$host" 'LoadLog("batch.pvr", -2)' "Load(\"batch$n.bmp\", 0, 0)" 'ExecuteLog(0, 0)' \
    "Save(\"one-by-one/batch$n.bmp\", 4, 0, 0)" >/dev/null 2>&1
done
for jobs in 1 2; do
  "$host" replay batch.pvr --out "jobs$jobs" --format bmp --jobs "$jobs" "${inputs[@]}" >out.txt 2>err.txt
  check "replay --jobs $jobs exits 1 for the cut picture" 1 $?
  check "replay --jobs $jobs writes nothing on standard output" "" "$(cat out.txt)"
  check "replay --jobs $jobs names the cut picture" 1 "$(tr -d '\r' <err.txt | grep -c '^pictavor: batch-cut.bmp: loading failed with 3')"
  check "replay --jobs $jobs writes the four others" "batch1.bmp batch2.bmp batch3.bmp batch4.bmp" "$(ls "jobs$jobs" | xargs)"
  for n in 1 2 3 4; do
    check "replay --jobs $jobs batch$n as one at a time" "" "$(cmp "jobs$jobs/batch$n.bmp" "one-by-one/batch$n.bmp" 2>&1)"
  done
done
"$host" replay batch.pvr --out jobs1 batch1.bmp 2>/dev/null
check "replay refuses an existing output" 2 $?
"$host" replay batch.pvr --out jobs1 --force batch1.bmp 2>/dev/null
check "replay --force replaces it" 0 $?
"$host" replay batch.pvr --out . batch1.bmp 2>/dev/null
check "replay never overwrites an input" 2 $?

finish host
