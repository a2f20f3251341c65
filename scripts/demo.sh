#!/usr/bin/env bash
# Demonstration of the pictavor command-line host (placeholder).
# Usage: scripts/demo.sh PICTAVOR   (path of the native host binary)
set -euo pipefail

pictavor="${1:?usage: scripts/demo.sh PATH-TO-PICTAVOR}"
echo "demo (placeholder): would make sample images with ImageMagick, run"
echo "  $pictavor -f <script of calls>"
echo "on them and list the images and logs it wrote."
