#!/usr/bin/env bash
# Frame rate of `haze -root` under the X11 backend on Xvfb, and the CPU time
# the whole process spends per frame, for two builds side by side; then the
# cost of drawing on a canvas at 1920x1080 (forced on, against forced off).
# Swaps are counted by each build's preloaded counter; each figure comes
# from SECONDS of running from 3 s after the first frame, on a server of its
# own.
#
#   tests/bench/x11_frame_rate.sh [BUILD] [BASELINE] [SECONDS]
#     BUILD:    a build folder with haze and swap_counter (default build/bench)
#     BASELINE: the same of the build to compare with, say a build of the
#               commit before a change (default: none, this build alone)
cd "$(dirname "$0")/../.."
source tests/harness.sh

build=${1:-build/bench}
baseline=${2:-none}
seconds=${3:-10}
builds=("$build")
[ "$baseline" = none ] || builds=("$baseline" "$build")
for b in "${builds[@]}"; do
  build_program "$b" haze >/dev/null
  [ -f "$b/tests/bench/libswap_counter.so" ] || fail "build swap_counter in $b first"
done

# Runs BUILD's `haze -root` on a WxH server with the environment words given;
# RESULT: frames a second, CPU milliseconds per frame, CPU % of one core.
measure() {
  local b=$1 size=$2 haze
  shift 2
  haze=$(build_program "$b" haze)
  rm -f "$WORK/swaps"
  start_xvfb "$size"
  env "$@" SWAP_COUNTER_FILE="$WORK/swaps" \
    LD_PRELOAD="$(realpath "$b/tests/bench/libswap_counter.so")" "$haze" -root --seed 1 2>/dev/null &
  local saver=$!
  stop_at_exit "$saver"
  wait_until 30 swaps_at_least "$WORK/swaps" 1 || fail "haze -root drew nothing in 30 s"
  sleep 3 # past start-up
  count_swaps "$saver" "$WORK/swaps" "$seconds"
  # haze first, and let it end, before its display goes.
  stop_process "$saver"
  stop_process "$X_SERVER_PID"
  RESULT=$(printf '%8.1f %12.2f %10.0f' "$FRAMES_PER_SECOND" "$CPU_MS_PER_FRAME" "$CPU_PERCENT")
}

echo "haze -root on Xvfb, ${seconds} s from 3 s after the first frame"
printf '%-10s %-28s %8s %12s %10s\n' size build "frames/s" "CPU ms/frame" "CPU %core"
for size in 320x240 1920x1080; do
  for b in "${builds[@]}"; do
    measure "$b" "$size"
    printf '%-10s %-28s %s\n' "$size" "$b" "$RESULT"
  done
done

echo
echo "the canvas at 1920x1080 ($build): frames drawn on a canvas and copied to the window"
printf '%-10s %-28s %8s %12s %10s\n' size HAZE_CANVAS "frames/s" "CPU ms/frame" "CPU %core"
measure "$build" 1920x1080 HAZE_CANVAS=off
off=$RESULT
measure "$build" 1920x1080 HAZE_CANVAS=on
on=$RESULT
printf '%-10s %-28s %s\n' 1920x1080 off "$off" 1920x1080 on "$on"
awk -v off="$off" -v on="$on" 'BEGIN {
  split(off, a, " "); split(on, b, " ")
  printf "the copy costs %.2f ms of CPU per frame\n", b[2] - a[2]
}'
