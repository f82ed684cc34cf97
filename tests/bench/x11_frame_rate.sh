#!/usr/bin/env bash
# Frame rate of `haze -root` under the X11 backend on Xvfb, and the CPU time
# the whole process spends per frame, for two builds side by side; then the
# cost of drawing on a canvas at 1920x1080 (forced on, against forced off).
# Swaps are counted by each build's preloaded counter; each figure comes
# from SECONDS of running after 3 s of start-up, on a server of its own.
#
#   tests/bench/x11_frame_rate.sh [BUILD] [BASELINE] [SECONDS]
#     BUILD:    a build folder with haze and swap_counter (default build/bench)
#     BASELINE: the same of the build to compare with, say a build of the
#               commit before a change (default: none, this build alone)
set -euo pipefail
cd "$(dirname "$0")/../.."

build=${1:-build/bench}
baseline=${2:-none}
seconds=${3:-10}
builds=("$build")
[ "$baseline" = none ] || builds=("$baseline" "$build")
for b in "${builds[@]}"; do
  [ -x "$b/src/platform/haze" ] && [ -f "$b/tests/bench/libswap_counter.so" ] ||
    { echo "build haze and swap_counter in $b first" >&2; exit 1; }
done

work=$(mktemp -d)
saver=""
xvfb=""
stop() {
  # haze first, and let it end, before its display goes.
  [ -n "$saver" ] && kill "$saver" 2>/dev/null && wait "$saver" 2>/dev/null
  [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null && wait "$xvfb" 2>/dev/null
  saver=""
  xvfb=""
}
trap 'stop; rm -rf "$work"' EXIT
ticks=$(getconf CLK_TCK)

# Runs BUILD's `haze -root` on a WxH server with the environment words given
# and prints: frames a second, CPU milliseconds per frame, CPU % of one core.
measure() {
  local b=$1 size=$2
  shift 2
  rm -f "$work/display" "$work/swaps"
  Xvfb -displayfd 5 -screen 0 "${size}x24" -nolisten tcp 5>"$work/display" >/dev/null 2>&1 &
  xvfb=$!
  until [ -s "$work/display" ]; do sleep 0.1; done
  env "$@" DISPLAY=":$(cat "$work/display")" SWAP_COUNTER_FILE="$work/swaps" \
    LD_PRELOAD="$(realpath "$b/tests/bench/libswap_counter.so")" \
    "$b/src/platform/haze" -root --seed 1 2>/dev/null &
  saver=$!
  sleep 3 # past start-up
  local swaps0 time0 cpu0 swaps1 time1 cpu1
  read -r swaps0 time0 <"$work/swaps"
  cpu0=$(awk '{print $14 + $15}' "/proc/$saver/stat")
  sleep "$seconds"
  read -r swaps1 time1 <"$work/swaps"
  cpu1=$(awk '{print $14 + $15}' "/proc/$saver/stat")
  stop
  awk -v s0="$swaps0" -v s1="$swaps1" -v t0="$time0" -v t1="$time1" -v c0="$cpu0" -v c1="$cpu1" \
    -v hz="$ticks" 'BEGIN {
      frames = s1 - s0; cpu = (c1 - c0) / hz
      printf "%8.1f %12.2f %10.0f\n", frames / (t1 - t0), 1000 * cpu / frames, 100 * cpu / (t1 - t0)
    }'
}

echo "haze -root on Xvfb, ${seconds} s after 3 s of start-up"
printf '%-10s %-28s %8s %12s %10s\n' size build "frames/s" "CPU ms/frame" "CPU %core"
for size in 320x240 1920x1080; do
  for b in "${builds[@]}"; do
    printf '%-10s %-28s %s\n' "$size" "$b" "$(measure "$b" "$size")"
  done
done

echo
echo "the canvas at 1920x1080 ($build): frames drawn on a canvas and copied to the window"
printf '%-10s %-28s %8s %12s %10s\n' size HAZE_CANVAS "frames/s" "CPU ms/frame" "CPU %core"
off=$(measure "$build" 1920x1080 HAZE_CANVAS=off)
on=$(measure "$build" 1920x1080 HAZE_CANVAS=on)
printf '%-10s %-28s %s\n' 1920x1080 off "$off" 1920x1080 on "$on"
awk -v off="$off" -v on="$on" 'BEGIN {
  split(off, a, " "); split(on, b, " ")
  printf "the copy costs %.2f ms of CPU per frame\n", b[2] - a[2]
}'
