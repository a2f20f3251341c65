#!/usr/bin/env bash
# Side-by-side timings: our operations against the command-line tools people would use instead,
# on one deterministic 4000 x 3000 picture and its 8-bit grey version, single-threaded on both
# sides, median of RUNS runs. Ours are timed in-process (bench/compare/ours.cpp); a peer's time
# is the median of its command minus the median of a same-I/O no-op, run alternately.
#   side_by_side.sh <bench bin dir> <work dir> [results.md]
# Environment: PICTAVOR_BENCH_RUNS (default 5). The peer commands are strings run by eval, so
# the work directory's path must not hold spaces.
set -euo pipefail

BIN="$1" WORK="$2" RESULTS="${3:-}"
RUNS="${PICTAVOR_BENCH_RUNS:-5}"
IM=/usr/bin/convert   # the package's own binary: a stand-in may come earlier on PATH
[[ $WORK != *[[:space:]]* ]] || { echo "side_by_side.sh: no spaces in the work directory, please" >&2; exit 2; }
mkdir -p "$WORK/out"
W="$WORK" O="$WORK/out"

# Single-threaded peers; Debian's ImageMagick policy (256 MiB) would page to disk.
export OMP_NUM_THREADS=1 VIPS_CONCURRENCY=1 MAGICK_CONFIGURE_PATH="$W/magick"
mkdir -p "$W/magick"
cat >"$W/magick/policy.xml" <<'XML'
<policymap>
  <policy domain="resource" name="memory" value="4GiB"/>
  <policy domain="resource" name="map" value="8GiB"/>
  <policy domain="resource" name="width" value="64KP"/>
  <policy domain="resource" name="height" value="64KP"/>
  <policy domain="resource" name="area" value="4GP"/>
  <policy domain="resource" name="disk" value="16GiB"/>
</policymap>
XML

log() { printf '==> %s\n' "$*" >&2; }
# shellcheck source=bench/compare/pictures.sh
source "$(dirname "${BASH_SOURCE[0]}")/pictures.sh"

# ---- pictures ------------------------------------------------------------------

make_pictures() {
  [[ -f $W/ready ]] && return 0
  log "making the pictures in $W"
  make_bmp_pictures "$W"
  "$IM" "$W/grey.pgm" -threshold 50% -depth 8 "$W/binary.pgm"
  local name
  # Inputs each peer reads fastest: .miff for the Magicks, .v for vips.
  for name in picture grey binary; do
    local src="$W/$name.pgm"; [[ $name == picture ]] && src="$W/$name.ppm"
    "$IM" "$src" "$W/$name.miff"
    vips copy "$src" "$W/$name.v"
  done
  # Outputs of other sizes, for the no-ops of the rows whose output is not the picture's size.
  "$IM" "$W/picture.ppm" -sample 200% "$W/double.miff"
  "$IM" "$W/picture.ppm" -sample 50% "$W/half.miff"
  for name in double half; do vips copy "$W/$name.miff" "$W/$name.v"; done
  printf '3 3 9 0\n1 1 1\n1 1 1\n1 1 1\n' >"$W/box.mat"
  pnmtopng -compression 9 "$W/picture.ppm" >"$W/picture.png"
  cjpeg -quality 75 "$W/picture.ppm" >"$W/picture.jpg"
  ppm2tiff "$W/picture.ppm" "$W/picture.tif"
  touch "$W/ready"
}

# ---- peers ---------------------------------------------------------------------

ms_now() { local t=${EPOCHREALTIME/./}; echo $(( t / 1000 )); }

median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

# Median over `runs` of `op` minus median of `noop` (divided by `parts`), alternated, in ms;
# then the no-op's median, which shows how much noise the difference can hold, and the spread
# of the no-op's runs (slowest minus fastest).
time_peer() {
  local op="$1" noop="$2" parts="${3:-1}" runs="${4:-$RUNS}" i start ops=() noops=()
  for (( i = 0; i < runs; ++i )); do
    start=$(ms_now); eval "$noop" >/dev/null 2>&1; noops+=($(( ($(ms_now) - start) / parts )))
    start=$(ms_now)
    if ! eval "$op" >/dev/null 2>&1; then echo failed; return; fi
    ops+=($(( $(ms_now) - start )))
  done
  local a b spread
  a=$(printf '%s\n' "${ops[@]}" | median); b=$(printf '%s\n' "${noops[@]}" | median)
  spread=$(printf '%s\n' "${noops[@]}" | sort -n | awk 'NR == 1 { low = $1 } { high = $1 } END { print high - low }')
  echo "$(( a - b < 1 ? 1 : a - b )) $b $spread"
}

# A net time below the memory-copy floor of the bytes the row must touch, or within the spread
# of the no-op's own runs, is the noise of two process medians, not the operation: measured
# again with three times the runs, and marked "unmeasured" when it stays there.
time_peer_checked() {
  local op="$1" noop="$2" parts="$3" floor="$4" t
  t=$(time_peer "$op" "$noop" "$parts")
  noise "$t" "$floor" || { echo "$t measured"; return; }
  t=$(time_peer "$op" "$noop" "$parts" $(( 3 * RUNS )))
  if noise "$t" "$floor"; then echo "$t unmeasured"; else echo "$t remeasured"; fi
}
noise() {
  [[ $1 != failed ]] && awk -v t="$1" -v f="$2" 'BEGIN { split(t, v, " "); exit !(v[1] < f || v[1] <= v[3]) }'
}

on_im() { echo "$IM -limit thread 1 $W/$1.miff ${*:2} $O/im.miff"; }
on_gm() { echo "gm convert -limit threads 1 $W/$1.miff ${*:2} $O/gm.miff"; }
on_vips() { echo "vips $1 $W/$2.v $O/vips.v ${*:3}"; }
im_noop() { on_im "$1"; }
gm_noop() { on_gm "$1"; }
vp_noop() { echo "vips copy $W/$1.v $O/vips.v"; }
# A row reading the picture and writing an output the size of `other`: the mean of the two
# copies, picture to picture and other to other, reads and writes as much (the `2` is `parts`).
im_mixed() { echo "$(on_im picture); $(on_im "$1")|2"; }
gm_mixed() { echo "$(on_gm picture); $(on_gm "$1")|2"; }
vp_mixed() { echo "$(vp_noop picture); $(vp_noop "$1")|2"; }
# A codec tool's no-op reads its input and writes an output of the same size.
io_noop() { echo "cat $1 >/dev/null; cat $2 >$O/codec.out"; }

# Rows: name|tool|op command|noop command[|parts]. Peers that lack an operation have no line;
# GraphicsMagick's +dither -colors 256 is left out: one run takes minutes on this picture.
peer_rows() {
  cat <<ROWS
grayscale|imagemagick|$(on_im picture -colorspace Gray)|$(im_mixed grey)
grayscale|graphicsmagick|$(on_gm picture -colorspace Gray)|$(gm_mixed grey)
grayscale|vips|$(on_vips colourspace picture b-w)|$(vp_mixed grey)
gamma|imagemagick|$(on_im picture -gamma 2.2)|$(im_noop picture)
gamma|graphicsmagick|$(on_gm picture -gamma 2.2)|$(gm_noop picture)
gamma|vips|$(on_vips gamma picture --exponent 2.2)|$(vp_noop picture)
contrast|imagemagick|$(on_im grey -level 25%,75%)|$(im_noop grey)
contrast|graphicsmagick|$(on_gm grey -level 64,1.0,192)|$(gm_noop grey)
contrast|vips|vips linear --uchar $W/grey.v $O/vips.v 2 -- -128|$(vp_noop grey)
histogram|imagemagick|$IM -limit thread 1 $W/grey.miff -format %c histogram:info:$O/hist.txt|$IM -limit thread 1 $W/grey.miff null:
histogram|vips|vips hist_find $W/grey.v $O/hist.v|$(vp_noop grey)
smooth|imagemagick|$(on_im grey -define convolve:scale=! -morphology Convolve Square:1)|$(im_noop grey)
smooth|graphicsmagick|$(on_gm grey -convolve 1,1,1,1,1,1,1,1,1)|$(gm_noop grey)
smooth|vips|$(on_vips conv grey $W/box.mat --precision integer)|$(vp_noop grey)
sobel|imagemagick|$(on_im grey -define convolve:scale=! -morphology Convolve Sobel)|$(im_noop grey)
sobel|graphicsmagick|$(on_gm grey -edge 1)|$(gm_noop grey)
sobel|vips|$(on_vips sobel grey)|$(vp_noop grey)
maximum|imagemagick|$(on_im grey -morphology Dilate Square:1)|$(im_noop grey)
maximum|vips|$(on_vips rank grey 3 3 8)|$(vp_noop grey)
minimum|imagemagick|$(on_im grey -morphology Erode Square:1)|$(im_noop grey)
minimum|vips|$(on_vips rank grey 3 3 0)|$(vp_noop grey)
labeling|imagemagick|$(on_im binary -define connected-components:verbose=false -connected-components 8)|$(im_noop binary)
labeling|vips|$(on_vips labelregions binary)|$(vp_noop binary)
resize_half_bilinear|imagemagick|$(on_im picture -interpolate Bilinear -interpolative-resize 50%)|$(im_mixed half)
resize_half_bilinear|graphicsmagick|$(on_gm picture -filter Triangle -resize 50%)|$(gm_mixed half)
resize_half_bilinear|vips|$(on_vips affine picture '"0.5 0 0 0.5"' --interpolate bilinear)|$(vp_mixed half)
resize_double_bilinear|imagemagick|$(on_im picture -interpolate Bilinear -interpolative-resize 200%)|$(im_mixed double)
resize_double_bilinear|graphicsmagick|$(on_gm picture -filter Triangle -resize 200%)|$(gm_mixed double)
resize_double_bilinear|vips|$(on_vips affine picture '"2 0 0 2"' --interpolate bilinear)|$(vp_mixed double)
resize_half_box|imagemagick|$(on_im picture -scale 50%)|$(im_mixed half)
resize_half_box|graphicsmagick|$(on_gm picture -scale 50%)|$(gm_mixed half)
resize_half_box|vips|$(on_vips shrink picture 2 2)|$(vp_mixed half)
resize_double_box|imagemagick|$(on_im picture -sample 200%)|$(im_mixed double)
resize_double_box|graphicsmagick|$(on_gm picture -sample 200%)|$(gm_mixed double)
resize_double_box|vips|$(on_vips zoom picture 2 2)|$(vp_mixed double)
rotate_30|imagemagick|$(on_im picture -background black -rotate 30)|$(im_noop picture)
rotate_30|graphicsmagick|$(on_gm picture -background black -rotate 30)|$(gm_noop picture)
rotate_30|vips|$(on_vips rotate picture 30)|$(vp_noop picture)
rotate_7_5|imagemagick|$(on_im picture -background black -rotate 7.5)|$(im_noop picture)
rotate_7_5|graphicsmagick|$(on_gm picture -background black -rotate 7.5)|$(gm_noop picture)
rotate_7_5|vips|$(on_vips rotate picture 7.5)|$(vp_noop picture)
rotate_45|imagemagick|$(on_im picture -background black -rotate 45)|$(im_noop picture)
rotate_45|graphicsmagick|$(on_gm picture -background black -rotate 45)|$(gm_noop picture)
rotate_45|vips|$(on_vips rotate picture 45)|$(vp_noop picture)
rotate_90|imagemagick|$(on_im picture -rotate 90)|$(im_noop picture)
rotate_90|graphicsmagick|$(on_gm picture -rotate 90)|$(gm_noop picture)
rotate_90|vips|$(on_vips rot picture d90)|$(vp_noop picture)
quantise_256|imagemagick|$(on_im picture +dither -colors 256)|$(im_mixed grey)
quantise_256|vips|vips pngsave $W/picture.v $O/vips.png --palette --compression 0 --filter none|$(vp_mixed grey)
png_encode|pnmtopng|pnmtopng -compression 9 $W/picture.ppm >$O/codec.out|$(io_noop "$W/picture.ppm" "$W/picture.png")
png_decode|pngtopnm|pngtopnm $W/picture.png >$O/codec.out|$(io_noop "$W/picture.png" "$W/picture.ppm")
jpeg_encode|cjpeg|cjpeg -quality 75 $W/picture.ppm >$O/codec.out|$(io_noop "$W/picture.ppm" "$W/picture.jpg")
jpeg_decode|djpeg|djpeg $W/picture.jpg >$O/codec.out|$(io_noop "$W/picture.jpg" "$W/picture.ppm")
tiff_write|ppm2tiff|ppm2tiff $W/picture.ppm $O/codec.out|$(io_noop "$W/picture.ppm" "$W/picture.tif")
tiff_read|tifftopnm|tifftopnm $W/picture.tif >$O/codec.out|$(io_noop "$W/picture.tif" "$W/picture.ppm")
ROWS
}

# ---- table ---------------------------------------------------------------------

make_pictures
log "memory limits"
"$BIN/memory_limit" 36 9 >"$W/limits.txt"
log "our operations, in-process, $RUNS runs each"
"$BIN/ours" "$W/picture.bmp" "$W/grey.bmp" "$RUNS" | tee "$W/ours.txt" >&2
# Each row's floor: memcpy's time for the bytes it reads and writes (a copy of n bytes reads n
# and writes n).
awk 'FILENAME ~ /limits/ { if ($1 == "memcpy") per_byte = $2 / 72e6; next }
     $2 != "failed" { printf "%s %.2f\n", $1, per_byte * ($3 + $4) }' \
  "$W/limits.txt" "$W/ours.txt" >"$W/floors.txt"
declare -A FLOOR
while read -r row floor; do FLOOR[$row]=$floor; done <"$W/floors.txt"
log "peers, $RUNS runs each of the operation and its no-op"
: >"$W/peers.txt"
while IFS='|' read -r row tool op noop parts; do
  t=$(time_peer_checked "$op" "$noop" "${parts:-1}" "${FLOOR[$row]:-0}")
  printf '%s %s %s\n' "$row" "$tool" "$t" | tee -a "$W/peers.txt" >&2
done < <(peer_rows)

# One row per operation: ours (natively and inside each DLL where measured), its floor and
# memory, each peer, the fastest measured peer's time over ours, and the goal. Pixel operations:
# at least 2x faster than the fastest peer; single-pass point operations also within 2x of a
# table pass over the bytes they read; codecs within 1.1x of the library's tool; uncompressed
# TIFF within 2x of memcpy of the picture and not slower than the tool.
table() {
  local dll32="$W/dll/win32-no-repaint.txt" dll64="$W/dll/win64-no-repaint.txt"
  [[ -f $dll64 ]] || dll64=/dev/null
  [[ -f $dll32 ]] || dll32=/dev/null
  awk -v dll64="$dll64" -v dll32="$dll32" '
    FILENAME ~ /limits/ { limit[$1] = $2; next }
    FILENAME ~ /floors/ { floor[$1] = $2; next }
    FILENAME ~ /ours/ {
      order[++n] = $1; ours[$1] = ($2 == "failed") ? "failed" : $2
      picture = ($1 ~ /_(decode|read)$/) ? $4 : $3
      if ($2 != "failed" && picture > 0) peak[$1] = sprintf("%.2f", $5 / picture)
      next
    }
    FILENAME == dll64 { win64[$1] = $2; next }
    FILENAME == dll32 { win32[$1] = $2; next }
    {
      peer[$1, $2] = $3; noop[$1, $2] = $4; flag[$1, $2] = $6
      if ($3 != "failed" && $6 != "unmeasured" && (!($1 in best) || $3 + 0 < best[$1] + 0)) { best[$1] = $3; who[$1] = $2 }
    }
    function cell(r, t,   v, mark) {
      v = peer[r, t]; if (v == "") return "-"
      mark = flag[r, t] == "unmeasured" ? " unmeasured" : flag[r, t] == "remeasured" ? " (3 x runs)" : ""
      return v (noop[r, t] == "" ? "" : " (" noop[r, t] ")") mark
    }
    function shown(a, r) { return (r in a) ? a[r] : "-" }
    END {
      split("imagemagick graphicsmagick vips", tools, " ")
      read["grayscale"] = 36; read["gamma"] = 36; read["contrast"] = 12; read["histogram"] = 12
      printf "memcpy of 36 MB: %s ms; 256-entry table pass over 36 MB: %s ms (point-operation limit)\n\n", limit["memcpy"], limit["table_pass"]
      print "Ours: in-process, natively and inside each DLL (under Wine). Floor: memcpy time for the bytes the row reads and writes. Peak: growth of resident memory while the operation ran, over the size of the picture."
      print "Peers: net ms (in brackets the no-op ms that was subtracted); a net time below the floor of its row or within the spread of the no-op runs was measured again with three times the runs, and is marked unmeasured (left out of the ratio) when it stayed there. Ratio: the fastest measured peer over ours.\n"
      print "| operation | ours ms | floor ms | peak / picture | win64 DLL ms | win32 DLL ms | imagemagick | graphicsmagick | vips | codec tool | fastest peer / ours | goal | met |"
      print "|---|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|---|---|"
      for (i = 1; i <= n; ++i) {
        r = order[i]; o = ours[r]
        codec = r ~ /^(png|jpeg|tiff)_/
        tool = ""; for (k in peer) { split(k, kk, SUBSEP); if (kk[1] == r && kk[2] !~ /magick|vips/) tool = kk[2] " " cell(r, kk[2]) }
        ratio = (o != "failed" && (r in best)) ? sprintf("%.2f (%s)", best[r] / o, who[r]) : "-"
        if (codec && r ~ /^tiff/) { goal = sprintf("<= 2 x memcpy (%.1f), not slower than the tool", 2 * limit["memcpy"]); ok = o != "failed" && o <= 2 * limit["memcpy"] && (!(r in best) || best[r] / o >= 1 / 1.1) }
        else if (codec) { goal = "<= 1.1 x tool"; ok = o != "failed" && (r in best) && o <= 1.1 * best[r] }
        else { goal = ">= 2 x faster than the fastest peer"; ok = o != "failed" && (!(r in best) || best[r] / o >= 2) }
        if (r in read) { lim = limit["table_pass"] * read[r] / 36; goal = goal sprintf(", <= 2 x limit %.1f", lim); ok = ok && o <= 2 * lim }
        if (!codec && !(r in best)) goal = goal " (no measured peer)"
        met = ok ? "yes" : "**no**"
        if (r == "copy_to_new_block") { goal = "none: what a row making a new picture-sized block cannot beat"; met = "-" }
        printf "| %s | %s | %s | %s | %s | %s | %s | %s | %s | %s | %s | %s | %s |\n", r, o, shown(floor, r), shown(peak, r), shown(win64, r), shown(win32, r), cell(r, tools[1]), cell(r, tools[2]), cell(r, tools[3]), tool == "" ? "-" : tool, ratio, goal, met
      }
    }' "$W/limits.txt" "$W/floors.txt" "$W/ours.txt" "$dll64" "$dll32" "$W/peers.txt"
}

# Inside each DLL that was measured: every operation alone (AutoRepaint 0) and as a host meets
# it, with the display bitmap's rebuild and the paint it causes; then the display rows.
host_table() {
  local build files=()
  for build in win64 win32; do
    [[ -f $W/dll/$build.txt ]] && files+=("$W/dll/$build-no-repaint.txt" "$W/dll/$build.txt")
  done
  (( ${#files[@]} )) || return 0
  awk '
    { split(FILENAME, path, "/"); build = path[length(path)]; sub(/\.txt$/, "", build)
      if (!(build in seen)) { seen[build] = 1; builds[++nb] = build }
      if (!($1 in known)) { known[$1] = 1; rows[++nr] = $1 }
      ms[$1, build] = $2 }
    END {
      printf "\n| inside the DLL, ms |"
      for (b = 1; b <= nb; ++b) { label = builds[b]; printf " %s |", sub(/-no-repaint$/, "", label) ? label ", operation alone" : label ", with the display" }
      printf "\n|---|"; for (b = 1; b <= nb; ++b) printf "---:|"
      print ""
      for (i = 1; i <= nr; ++i) {
        printf "| %s |", rows[i]
        for (b = 1; b <= nb; ++b) printf " %s |", ((rows[i], builds[b]) in ms) ? ms[rows[i], builds[b]] : "-"
        print ""
      }
    }' "${files[@]}"
}

{ table; host_table; } | tee "$W/table.md"
if [[ -n $RESULTS ]]; then
  { printf '<!-- measured %s on %s -->\n' "$(date -u '+%Y-%m-%d %H:%M UTC')" "$(uname -n)"; cat "$W/table.md"; } >"$RESULTS"
  log "table written to $RESULTS"
fi
