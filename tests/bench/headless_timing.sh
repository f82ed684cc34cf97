#!/usr/bin/env bash
# Start-up and frame rate of the headless renderer (EGL on Mesa's llvmpipe),
# timed from outside over whole runs; each figure is the median of RUNS.
#   start-up: process start to the first frame finished (and written), 1280x720
#   frame rate: frames a second at 1920x1080, from runs of 1 and 601 frames
#
#   tests/bench/headless_timing.sh [BUILD] [RUNS]
set -euo pipefail
cd "$(dirname "$0")/../.."

build=${1:-build/bench}
runs=${2:-5}
haze=$build/src/platform/haze
[ -x "$haze" ] || { echo "build haze in $build first" >&2; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Median wall time in milliseconds of `haze --render` with the given options.
median_ms() {
  local times=() start end
  for _ in $(seq "$runs"); do
    start=$(date +%s%N)
    "$haze" --render "$work/frame.png" --seed 1 "$@" >/dev/null
    end=$(date +%s%N)
    times+=($(((end - start) / 1000000)))
  done
  printf '%s\n' "${times[@]}" | sort -n | sed -n "$((runs / 2 + 1))p"
}

startup=$(median_ms --size 1280x720 --frames 1)
echo "start-up to the first frame finished, 1280x720: ${startup} ms (whole process, PNG written)"
one=$(median_ms --size 1920x1080 --frames 1)
many=$(median_ms --size 1920x1080 --frames 601)
awk -v a="$one" -v b="$many" 'BEGIN {
  printf "headless at 1920x1080: %.1f frames per second (%.2f ms a frame)\n", 600000 / (b - a), (b - a) / 600
}'
