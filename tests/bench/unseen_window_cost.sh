#!/usr/bin/env bash
# What haze spends on a window nobody sees: the frames it draws and the CPU
# time it takes over SECONDS while the daemon's window it fills is shown,
# unmapped, and wholly covered by another window, for two builds side by
# side. Swaps are counted by the preloaded counter, on a server of its own
# for each build.
#
#   tests/bench/unseen_window_cost.sh [BUILD] [BASELINE] [SECONDS]
#     BUILD:    a build folder with haze, x11_test_tool and swap_counter
#               (default build/bench)
#     BASELINE: a folder holding the haze to compare with, say a build of
#               the commit before a change (default: none, this build alone)
set -euo pipefail
cd "$(dirname "$0")/../.."

build=${1:-build/bench}
baseline=${2:-none}
seconds=${3:-10}
tool=$build/tests/system/x11_test_tool
counter=$(realpath "$build/tests/bench/libswap_counter.so")
builds=("$build")
[ "$baseline" = none ] || builds=("$baseline" "$build")
for b in "${builds[@]}"; do
  [ -x "$b/haze" ] || { echo "no haze in $b" >&2; exit 1; }
done
[ -x "$tool" ] || { echo "build x11_test_tool in $build first" >&2; exit 1; }

work=$(mktemp -d)
pids=()
stop() {
  # haze first, and let it end, before its display goes.
  for ((i = ${#pids[@]} - 1; i >= 0; i--)); do
    kill "${pids[i]}" 2>/dev/null && wait "${pids[i]}" 2>/dev/null || true
  done
  pids=()
}
trap 'stop; rm -rf "$work"' EXIT
ticks=$(getconf CLK_TCK)

# A window of the test tool, WxH at (10, 10); its id in $window.
open_window() {
  "$tool" window "$1" >"$work/window" &
  pids+=($!)
  until [ -s "$work/window" ]; do sleep 0.05; done
  window=$(head -n1 "$work/window")
  rm "$work/window"
}

# Prints frames drawn and CPU seconds taken by process $1 over SECONDS.
measure() {
  local swaps0 swaps1 cpu0 cpu1
  swaps0=$(awk '{ print $1 }' "$work/swaps")
  cpu0=$(awk '{ print $14 + $15 }' "/proc/$1/stat")
  sleep "$seconds"
  swaps1=$(awk '{ print $1 }' "$work/swaps")
  cpu1=$(awk '{ print $14 + $15 }' "/proc/$1/stat")
  awk -v f=$((swaps1 - swaps0)) -v c=$((cpu1 - cpu0)) -v hz="$ticks" -v s="$seconds" \
    'BEGIN { printf "%8d %10.1f %10.2f %10.1f\n", f, f / s, c / hz, 100 * c / hz / s }'
}

echo "haze -window-id in a 300x200 window on Xvfb, ${seconds} s each, after 3 s of start-up"
printf '%-22s %-10s %8s %10s %10s %10s\n' build window frames "frames/s" "CPU s" "CPU %core"
for b in "${builds[@]}"; do
  rm -f "$work/display" "$work/swaps"
  Xvfb -displayfd 5 -screen 0 640x480x24 -nolisten tcp 5>"$work/display" >/dev/null 2>&1 &
  pids+=($!)
  until [ -s "$work/display" ]; do sleep 0.1; done
  export DISPLAY=":$(cat "$work/display")"
  open_window 300x200
  daemon_window=$window
  SWAP_COUNTER_FILE="$work/swaps" LD_PRELOAD="$counter" "$b/haze" -window-id "$daemon_window" \
    --seed 1 2>/dev/null &
  saver=$!
  pids+=("$saver")
  sleep 3
  printf '%-22s %-10s %s\n' "$b" shown "$(measure "$saver")"
  xdotool windowunmap "$daemon_window"
  sleep 1
  printf '%-22s %-10s %s\n' "$b" unmapped "$(measure "$saver")"
  xdotool windowmap "$daemon_window"
  open_window 400x300 # over it, at the same corner
  sleep 1
  printf '%-22s %-10s %s\n' "$b" covered "$(measure "$saver")"
  stop
done
