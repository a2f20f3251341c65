#!/usr/bin/env bash
# Batch throughput: COUNT pictures of 4000 x 3000 made grey, smoothed (3 x 3) and saved as PNG,
# by `pictavor replay --jobs JOBS` beside ImageMagick's mogrify and a vips loop run as JOBS
# parallel shards; images per second, best of RUNS runs. Appends a table to RESULTS when given.
#   batch.sh <pictavor> <work dir> [results.md]
# Environment: PICTAVOR_BENCH_RUNS (default 3), PICTAVOR_BATCH_COUNT (default 40),
#   PICTAVOR_BATCH_SIZE (default 4000x3000), PICTAVOR_BATCH_JOBS (default 2).
set -euo pipefail

PICTAVOR=$(realpath "$1") WORK="$2" RESULTS="${3:+$(realpath -m "$3")}"  # before the cd below
RUNS="${PICTAVOR_BENCH_RUNS:-3}" COUNT="${PICTAVOR_BATCH_COUNT:-40}"
SIZE="${PICTAVOR_BATCH_SIZE:-4000x3000}" JOBS="${PICTAVOR_BATCH_JOBS:-2}"
IM=/usr/bin/convert MOGRIFY=/usr/bin/mogrify
export OMP_NUM_THREADS=1 VIPS_CONCURRENCY=1
mkdir -p "$WORK/in" && cd "$WORK"

log() { printf '==> %s\n' "$*" >&2; }

# The pictures: one plasma, shifted for each copy so none is the same.
if [[ ! -f in/ready-$COUNT-$SIZE ]]; then
  log "making $COUNT pictures of $SIZE in $WORK/in"
  rm -f in/*
  "$IM" -seed 1 -size "$SIZE" plasma:fractal base.ppm
  for n in $(seq 1 "$COUNT"); do "$IM" base.ppm -roll "+$n+$n" BMP3:"in/p$n.bmp"; done
  touch "in/ready-$COUNT-$SIZE"
fi
"$PICTAVOR" 'StartLog()' 'Load("in/p1.bmp", 0, 0)' 'Grayscale(0, 0.299, 0.587, 0.114)' 'Smooth()' \
  'SaveLog("batch.pvr", 0)' >/dev/null 2>&1
printf '3 3 9 0\n1 1 1\n1 1 1\n1 1 1\n' >box.mat

# Nanoseconds of one run of "$@" after emptying out/; fails when it did not write every picture.
run_once() {
  rm -rf out && mkdir out
  local start end
  start=$(date +%s%N)
  "$@" >/dev/null 2>&1 || true
  end=$(date +%s%N)
  [[ $(find out -name '*.png' | wc -l) == "$COUNT" ]] || return 1
  echo $((end - start))
}
best() {
  local b="" t n
  for n in $(seq 1 "$RUNS"); do
    t=$(run_once "$@") || { echo failed; return; }
    if [[ -z $b ]] || ((t < b)); then b=$t; fi
  done
  echo "$b"
}

ours() { "$PICTAVOR" replay batch.pvr --out out --format png --jobs "$JOBS" in/p*.bmp; }
# The peers split the pictures into JOBS shards run side by side, as a user would.
shards() { ls in/p*.bmp | awk -v jobs="$JOBS" -v k="$1" '(NR - 1) % jobs == k'; }
magick() {
  local k
  for ((k = 0; k < JOBS; ++k)); do
    # shellcheck disable=SC2046
    "$MOGRIFY" -path out -format png -colorspace Gray -define convolve:scale=! \
      -morphology Convolve '3x3:1,1,1,1,1,1,1,1,1' $(shards "$k") &
  done
  wait
}
vips_loop() {
  local k
  for ((k = 0; k < JOBS; ++k)); do
    (for f in $(shards "$k"); do
      b=$(basename "$f" .bmp)
      vips colourspace "$f" "out/$b.v" b-w
      vips conv "out/$b.v" "out/$b.png" box.mat
      rm "out/$b.v"
    done) &
  done
  wait
}

table="| batch of $COUNT pictures, $SIZE, grey + 3x3 smoothing + PNG, $JOBS jobs | seconds | images/s |
| --- | ---: | ---: |"
for tool in ours magick vips_loop; do
  log "timing $tool"
  ns=$(best "$tool")
  name=$tool
  [[ $tool == ours ]] && name="pictavor replay --jobs $JOBS"
  [[ $tool == magick ]] && name="ImageMagick mogrify"
  [[ $tool == vips_loop ]] && name="vips colourspace + conv"
  if [[ $ns == failed ]]; then
    table+=$'\n'"| $name | failed | |"
  else
    seconds=$(awk -v ns="$ns" 'BEGIN { printf "%.2f", ns / 1e9 }')
    rate=$(awk -v ns="$ns" -v n="$COUNT" 'BEGIN { printf "%.2f", n / (ns / 1e9) }')
    table+=$'\n'"| $name | $seconds | $rate |"
  fi
done
echo "$table"
if [[ -n $RESULTS ]]; then printf '\n%s\n' "$table" >>"$RESULTS"; fi
