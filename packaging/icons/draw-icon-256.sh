#!/usr/bin/env bash
# Draws packaging/icons/knobwerk-256.png, the 256 px menu icon: the knob of
# resources/knobwerk.png redrawn from its 48-unit grid (circle of radius 22.5, face
# of radius 14.5, pointer 5 x 13 at 22,12) at 1024 px and scaled down, so its edges
# stay smooth. Needs ImageMagick's convert (imagemagick).
set -euo pipefail
command -v convert >/dev/null || { echo "${0##*/}: 'convert' is missing; install imagemagick" >&2; exit 1; }
cd -- "$(dirname -- "${BASH_SOURCE[0]}")"
convert -size 1024x1024 xc:none \
    -fill '#2d3e50' -draw 'circle 512,512 512,32' \
    -fill '#e8b93a' -draw 'circle 512,512 512,202.67' \
    -fill '#2d3e50' -draw 'rectangle 469.33,256 576,533.33' \
    -filter Lanczos -resize 256x256 -strip PNG32:knobwerk-256.png
echo "Wrote $PWD/knobwerk-256.png"
