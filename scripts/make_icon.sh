#!/usr/bin/env bash
# Makes haze.scr's icon from haze's own picture: renders a square frame with
# the headless renderer and packs it into a multi-size Windows icon.
#
#   scripts/make_icon.sh [HAZE]    HAZE: the Linux haze binary to render with
#                                  (default build/release/src/platform/haze)
set -euo pipefail
cd "$(dirname "$0")/.."

haze=${1:-build/release/src/platform/haze}
[ -x "$haze" ] || { echo "no haze binary at $haze: run scripts/run.sh first" >&2; exit 1; }
command -v convert >/dev/null || { echo "ImageMagick is missing: apt-get install imagemagick" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# A fixed seed and moment, so the icon is made again identically.
"$haze" --render "$work/frame.png" --size 512x512 --seed 1999 --frames 240 >/dev/null
convert "$work/frame.png" -resize 256x256 \
  -define icon:auto-resize=256,128,64,48,32,24,16 src/platform/win32/haze.ico
echo "wrote src/platform/win32/haze.ico"
