#!/usr/bin/env bash
# Draws the 16 × 15 toolbox bitmap (resource 102): a framed picture of a hill under the sun,
# 16 colours, as form designers show it in their control palettes.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")"
/usr/bin/convert -size 16x15 xc:'#C0C0C0' \
  -fill '#FFFFFF' -draw 'rectangle 1,1 14,13' \
  -fill '#00FFFF' -draw 'rectangle 2,2 13,12' \
  -fill '#FFFF00' -draw 'circle 10,5 11,6' \
  -fill '#008000' -draw 'polygon 2,12 6,7 9,10 11,8 13,11 13,12' \
  -fill none -stroke '#000000' -draw 'rectangle 1,1 14,13' \
  -colors 16 -type Palette -compress None BMP3:toolbox.bmp
