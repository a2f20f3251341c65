# The benches' pictures: one deterministic 4000 x 3000 plasma and its grey version, as PPM and PGM
# and as the BMP files our programs load (the grey one as 24 bits, r = g = b). Eight bits a
# sample throughout: ImageMagick's plasma is 16-bit otherwise, and the peers would read and work
# at 16 bits where ours reads 8. Source it; do not run it.
# Usage: make_bmp_pictures DIR   (makes only what DIR does not hold yet)
# shellcheck shell=bash

make_bmp_pictures() {
  local dir="$1" im=/usr/bin/convert  # the package's own binary: a stand-in may come earlier on PATH
  mkdir -p "$dir"
  [[ -f $dir/picture.ppm ]] || "$im" -seed 1 -size 4000x3000 plasma:fractal -depth 8 "$dir/picture.ppm"
  [[ -f $dir/grey.pgm ]] || "$im" "$dir/picture.ppm" -colorspace Gray -depth 8 "$dir/grey.pgm"
  [[ -f $dir/picture.bmp ]] || "$im" "$dir/picture.ppm" BMP3:"$dir/picture.bmp"
  [[ -f $dir/grey.bmp ]] || "$im" "$dir/grey.pgm" -type TrueColor BMP3:"$dir/grey.bmp"
}
