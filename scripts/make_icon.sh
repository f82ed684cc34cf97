#!/usr/bin/env bash
# Makes haze.scr's icon from haze's own picture: renders a square frame with
# the headless renderer at a moment without letterbox bars, and packs close-ups
# of its middle (the yellow glow in the purple smoke) into a multi-size
# Windows icon. The smaller the icon, the closer the view, so the glow stays a
# few pixels across at 16; every size is brightened and its colours
# strengthened, so the smoke reads as colour on a desktop, not as black.
#
#   scripts/make_icon.sh [HAZE]    HAZE: the Linux haze binary to render with
#                                  (default build/release/haze)
set -euo pipefail
cd "$(dirname "$0")/.."

haze=${1:-build/release/haze}
[ -x "$haze" ] || { echo "no haze binary at $haze: run scripts/run.sh first" >&2; exit 1; }
command -v convert >/dev/null || { echo "ImageMagick is missing: apt-get install imagemagick" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# A fixed seed and moment, so the icon is made again identically. After 31.4
# simulated seconds the bars are at their thinnest; with seed 1 the smoke
# behind the glow is purple.
"$haze" --render "$work/frame.png" --size 640x640 --seed 1 --frames 1885 >/dev/null
sizes=()
for size in 256 128 64 48 32 24 16; do
  case $size in
    16 | 24) crop=128 ;;
    32 | 48) crop=160 ;;
    *) crop=320 ;;
  esac
  convert "$work/frame.png" -gravity center -crop "${crop}x${crop}+0+0" +repage \
    -resize "${size}x${size}" -modulate 160,150 -level 0%,80% "$work/icon-$size.png"
  sizes+=("$work/icon-$size.png")
done
convert "${sizes[@]}" src/programs/windows/haze.ico
echo "wrote src/programs/windows/haze.ico; mean brightness (0 black, 1 white) by size:"
for i in "${!sizes[@]}"; do
  convert "src/programs/windows/haze.ico[$i]" -colorspace Gray -format '  %wx%h %[fx:mean]\n' info:
done
