#!/usr/bin/env bash
# The headless renderer (EGL on Mesa's llvmpipe), timed from outside over
# whole runs, for two builds side by side; each time is the median of RUNS.
#   start-up: process start to the first frame finished (and written), 1280x720
#   frame rate: frames a second at 1920x1080, from runs of 1 and 601 frames
#   peak memory: the largest resident size of a 64x64 run of 100000 frames,
#     against one of 100 frames (a long run must not grow)
#
#   tests/bench/headless_timing.sh [BUILD] [RUNS] [BASELINE]
#     BASELINE: the build to compare with, say a build of the commit before a
#               change (default: none, this build alone)
set -euo pipefail
cd "$(dirname "$0")/../.."

build=${1:-build/bench}
runs=${2:-5}
baseline=${3:-none}
builds=("$build")
[ "$baseline" = none ] || builds=("$baseline" "$build")
for b in "${builds[@]}"; do
  [ -x "$b/haze" ] || { echo "build haze in $b first" >&2; exit 1; }
done
[ -x /usr/bin/time ] || { echo "GNU time is missing: scripts/setup.sh test installs it" >&2; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Median wall time in milliseconds of BUILD's `haze --render` with the options.
median_ms() {
  local haze=$1/haze times=() start end
  shift
  for _ in $(seq "$runs"); do
    start=$(date +%s%N)
    "$haze" --render "$work/frame.png" --seed 1 "$@" >/dev/null
    end=$(date +%s%N)
    times+=($(((end - start) / 1000000)))
  done
  printf '%s\n' "${times[@]}" | sort -n | sed -n "$((runs / 2 + 1))p"
}

# Peak resident size in kilobytes of BUILD's 64x64 render of FRAMES frames.
peak_kb() {
  /usr/bin/time -f %M "$1/haze" --render "$work/frame.png" --size 64x64 --seed 1 \
    --frames "$2" 2>&1 >/dev/null | tail -n 1
}

for b in "${builds[@]}"; do
  echo "== $b"
  startup=$(median_ms "$b" --size 1280x720 --frames 1)
  echo "start-up to the first frame finished, 1280x720: ${startup} ms (whole process, PNG written)"
  one=$(median_ms "$b" --size 1920x1080 --frames 1)
  many=$(median_ms "$b" --size 1920x1080 --frames 601)
  awk -v a="$one" -v b="$many" 'BEGIN {
    printf "headless at 1920x1080: %.1f frames per second (%.2f ms a frame)\n", 600000 / (b - a), (b - a) / 600
  }'
  short=$(peak_kb "$b" 100)
  long=$(peak_kb "$b" 100000)
  awk -v s="$short" -v l="$long" 'BEGIN {
    printf "peak memory at 64x64: %.0f MB for 100 frames, %.0f MB for 100000 (%+.0f%%)\n", s / 1024, l / 1024, 100 * (l - s) / s
  }'
done
