#!/usr/bin/env bash
# Frame rate of haze under the X11 backend on Xvfb, and the CPU time the whole
# process spends per frame. Counts buffer swaps with a preloaded counter.
#
#   tests/bench/x11_frame_rate.sh [BUILD] [WxH] [SECONDS]
#     BUILD: a build folder with haze and swap_counter (default build/bench)
set -euo pipefail
cd "$(dirname "$0")/../.."

build=${1:-build/bench}
size=${2:-1920x1080}
seconds=${3:-10}
haze=$build/src/platform/haze
counter=$build/tests/bench/libswap_counter.so
[ -x "$haze" ] && [ -f "$counter" ] ||
  { echo "build haze and swap_counter in $build first" >&2; exit 1; }

work=$(mktemp -d)
cleanup() {
  # haze first, and let it end, before its display goes.
  [ -n "${saver:-}" ] && kill "$saver" 2>/dev/null && wait "$saver" 2>/dev/null
  [ -n "${xvfb:-}" ] && kill "$xvfb" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

Xvfb -displayfd 5 -screen 0 "${size}x24" -nolisten tcp 5>"$work/display" >/dev/null 2>&1 &
xvfb=$!
until [ -s "$work/display" ]; do sleep 0.1; done
export DISPLAY=":$(cat "$work/display")"

ticks=$(getconf CLK_TCK)
cpu_seconds() { awk -v t="$ticks" '{print ($14 + $15) / t}' "/proc/$saver/stat"; }

SWAP_COUNTER_FILE=$work/swaps LD_PRELOAD=$(realpath "$counter") \
  "$haze" -window --size "$size" --seed 1 &
saver=$!
sleep 3 # past start-up
read -r swaps0 time0 <"$work/swaps"
cpu0=$(cpu_seconds)
sleep "$seconds"
read -r swaps1 time1 <"$work/swaps"
cpu1=$(cpu_seconds)

awk -v s0="$swaps0" -v s1="$swaps1" -v t0="$time0" -v t1="$time1" -v c0="$cpu0" -v c1="$cpu1" \
  -v size="$size" 'BEGIN {
    frames = s1 - s0
    printf "X11 on Xvfb at %s: %d frames in %.2f s: %.1f frames per second\n", size, frames, t1 - t0, frames / (t1 - t0)
    printf "CPU time of the whole process: %.2f ms per frame (%.0f%% of one core)\n", 1000 * (c1 - c0) / frames, 100 * (c1 - c0) / (t1 - t0)
  }'
