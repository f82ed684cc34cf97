#!/usr/bin/env bash
# Renders one row of golden_renders.txt with `haze --render` and compares the
# PNG file's digest with the row's. On a mismatch the picture is kept in
# FAILURES for a look.
#
#   golden_render.sh HAZE FAILURES SEED SIZE FRAMES STEP DIGEST
set -euo pipefail
haze=$1 failures=$2 seed=$3 size=$4 frames=$5 step=$6 digest=$7

work=$(mktemp -d "${TMPDIR:-/tmp}/haze-golden.XXXXXX")
trap 'rm -rf "$work"' EXIT
picture=$work/frame.png
options=(--render "$picture" --size "$size" --seed "$seed" --frames "$frames")
[ "$step" = default ] || options+=(--step-ms "$step")

"$haze" "${options[@]}" >/dev/null
actual=$(sha256sum <"$picture" | cut -d' ' -f1)
if [ "$actual" != "$digest" ]; then
  mkdir -p "$failures"
  kept=$failures/golden-$seed-$size-$frames-$step.png
  cp "$picture" "$kept"
  echo "haze ${options[*]} made a different picture: $actual, expected $digest; kept as $kept" >&2
  exit 1
fi
echo "seed $seed, $size, $frames frames at $step ms: the same picture"
