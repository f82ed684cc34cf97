#!/usr/bin/env bash
# Frame rate of `haze -root` under the X11 backend on Xvfb, and the CPU time
# the whole process spends per frame, for two builds side by side; then the
# cost of drawing on a canvas at 1920x1080 (forced on, against forced off);
# then, side by side in one run, `haze /s` under the Wayland backend on
# headless sway against `haze -root` on Xvfb, both at 1280x720; then what
# each build spends on a daemon's window nobody sees (shown, unmapped, wholly
# covered). Swaps are counted by each build's preloaded counter; each figure comes
# from SECONDS of running from 3 s after the first frame, on a server of its
# own.
#
#   tests/bench/x11_frame_rate.sh [BUILD] [BASELINE] [SECONDS]
#     BUILD:    a build folder with haze, swap_counter and x11_test_tool
#               (default build/bench)
#     BASELINE: the same of the build to compare with, say a build of the
#               commit before a change (default: none, this build alone)
# sway refuses root: as root, it and the haze on it run as the system user
# the system tests use.
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
  env -u WAYLAND_DISPLAY "$@" SWAP_COUNTER_FILE="$WORK/swaps" \
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

# Runs BUILD's `haze /s` on headless sway with one WxH output; RESULT as
# measure's. The counter counts a swap per output and frame: one output, one
# swap a frame.
measure_wayland() {
  local b=$1 size=$2
  [ -n "${RUNTIME:-}" ] || prepare_runtime
  mkdir -p -m 755 "$SAVER_DIR/bin"
  cp "$(build_program "$b" haze)" "$b/tests/bench/libswap_counter.so" "$SAVER_DIR/bin/"
  : >"$SAVER_DIR/swaps" # the counter's file, which the user may write
  [ "$(id -u)" -ne 0 ] || chown "$SAVER_USER_NAME:" "$SAVER_DIR/swaps"
  start_headless_sway
  as_client swaymsg output HEADLESS-1 mode "$size" >/dev/null || fail "sway took no $size mode"
  client_words
  "${CLIENT[@]}" SWAP_COUNTER_FILE="$SAVER_DIR/swaps" LD_PRELOAD="$SAVER_DIR/bin/libswap_counter.so" \
    "$SAVER_DIR/bin/haze" /s --seed 1 2>/dev/null &
  local saver=$!
  stop_at_exit "$saver"
  wait_until 30 swaps_at_least "$SAVER_DIR/swaps" 1 || fail "haze /s on sway drew nothing in 30 s"
  sleep 3 # past start-up
  count_swaps "$saver" "$SAVER_DIR/swaps" "$seconds"
  stop_process "$saver"
  stop_process "$COMPOSITOR_PID"
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

echo
echo "Wayland against X11 at 1280x720 ($build), one after the other"
printf '%-10s %-28s %8s %12s %10s\n' size run "frames/s" "CPU ms/frame" "CPU %core"
measure_wayland "$build" 1280x720
printf '%-10s %-28s %s\n' 1280x720 "haze /s on headless sway" "$RESULT"
measure "$build" 1280x720
printf '%-10s %-28s %s\n' 1280x720 "haze -root on Xvfb" "$RESULT"

# What BUILD's `haze -window-id` spends in a 300x200 window of the test tool
# while the window is shown, unmapped and covered: a line of frames, frames
# a second, CPU seconds and CPU % of one core over SECONDS for each.
measure_unseen() {
  local b=$1 tool=$build/tests/system/x11_test_tool window state
  start_xvfb 640x480
  rm -f "$WORK/window" # the last build's window is not this one
  "$tool" window 300x200 >"$WORK/window" 2>/dev/null &
  stop_at_exit $!
  wait_until 10 test -s "$WORK/window" || fail "the test window did not appear"
  window=$(head -n1 "$WORK/window")
  rm -f "$WORK/swaps"
  SWAP_COUNTER_FILE="$WORK/swaps" LD_PRELOAD="$(realpath "$b/tests/bench/libswap_counter.so")" \
    "$(build_program "$b" haze)" -window-id "$window" --seed 1 2>/dev/null &
  local saver=$!
  stop_at_exit "$saver"
  wait_until 30 swaps_at_least "$WORK/swaps" 1 || fail "haze -window-id drew nothing in 30 s"
  sleep 3
  for state in shown unmapped covered; do
    case $state in
    unmapped) xdotool windowunmap "$window" && sleep 1 ;;
    covered)
      xdotool windowmap "$window"
      "$tool" window 400x300 >/dev/null 2>&1 & # over it, at the same corner
      stop_at_exit $!
      sleep 1
      ;;
    esac
    count_swaps "$saver" "$WORK/swaps" "$seconds"
    printf '%-28s %-10s %8d %10.1f %10.2f %10.0f\n' "$b" "$state" "$SWAPS" \
      "$(awk -v f="$SWAPS" -v s="$seconds" 'BEGIN { print f / s }')" "$CPU_SECONDS" \
      "$(awk -v c="$CPU_SECONDS" -v s="$seconds" 'BEGIN { print 100 * c / s }')"
  done
  stop_process "$saver"
  stop_process "$X_SERVER_PID"
}

echo
echo "haze -window-id in a 300x200 window nobody sees, ${seconds} s each"
printf '%-28s %-10s %8s %10s %10s %10s\n' build window frames "frames/s" "CPU s" "CPU %core"
for b in "${builds[@]}"; do
  measure_unseen "$b"
done
