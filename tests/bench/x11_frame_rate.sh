#!/usr/bin/env bash
# Frame rate of `haze -root` under the X11 backend on Xvfb, and the CPU time
# the whole process spends per frame, for two builds side by side; then the
# cost of drawing on a canvas at 1920x1080 (forced on, against forced off);
# then, side by side in one run, `haze /s` under the Wayland backend on
# headless sway against `haze -root` on Xvfb, both at 1280x720.
# Swaps are counted by each build's preloaded counter; each figure comes
# from SECONDS of running after 3 s of start-up, on a server of its own.
# sway refuses root: as root, it and the haze on it run as the system user
# hazesaver (made when missing), as in the system tests.
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
  [ -x "$b/haze" ] && [ -f "$b/tests/bench/libswap_counter.so" ] ||
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
  env -u WAYLAND_DISPLAY "$@" DISPLAY=":$(cat "$work/display")" SWAP_COUNTER_FILE="$work/swaps" \
    LD_PRELOAD="$(realpath "$b/tests/bench/libswap_counter.so")" \
    "$b/haze" -root --seed 1 2>/dev/null &
  saver=$!
  report_run
}

# The figures of the running $saver, whose swap counter writes $work/swaps:
# frames a second, CPU milliseconds per frame, CPU % of one core over
# SECONDS after 3 s of start-up. Stops it and its server.
report_run() {
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

# Runs BUILD's `haze /s` on headless sway with one WxH output and prints the
# figures of report_run. The swap counter counts one swap per output and
# frame: one output, one swap a frame.
measure_wayland() {
  local b=$1 size=$2 as_user=()
  local runtime=$work/runtime
  rm -rf "$runtime" "$work/bin" "$work/swaps"
  mkdir -m 700 "$runtime"
  mkdir -m 755 "$work/bin"
  chmod 755 "$work"
  cp "$b/haze" "$b/tests/bench/libswap_counter.so" "$work/bin/"
  if [ "$(id -u)" -eq 0 ]; then
    id hazesaver >/dev/null 2>&1 || useradd --system --no-create-home \
      --home-dir /nonexistent --shell /usr/sbin/nologin hazesaver
    chown hazesaver: "$runtime"
    touch "$work/swaps" && chown hazesaver: "$work/swaps"
    as_user=(setpriv --reuid hazesaver --regid hazesaver --init-groups)
  fi
  printf 'xwayland disable\ndefault_border none\n' >"$work/sway.conf"
  chmod 644 "$work/sway.conf"
  "${as_user[@]}" env -i HOME="$work" PATH=/usr/bin:/bin XDG_RUNTIME_DIR="$runtime" \
    WLR_BACKENDS=headless WLR_LIBINPUT_NO_DEVICES=1 WLR_RENDERER=pixman \
    sway -c "$work/sway.conf" >/dev/null 2>&1 &
  xvfb=$! # the server, stopped after haze
  local socket="" ipc=""
  until [ -n "$socket" ] && [ -n "$ipc" ]; do
    sleep 0.1
    socket=$(find "$runtime" -maxdepth 1 -name 'wayland-*' -type s -printf '%f\n' | head -n1)
    ipc=$(find "$runtime" -maxdepth 1 -name 'sway-ipc.*' -type s | head -n1)
  done
  local client=("${as_user[@]}" env XDG_RUNTIME_DIR="$runtime" WAYLAND_DISPLAY="$socket"
    SWAYSOCK="$ipc")
  until "${client[@]}" swaymsg output HEADLESS-1 mode "$size" >/dev/null 2>&1; do sleep 0.1; done
  "${client[@]}" SWAP_COUNTER_FILE="$work/swaps" LD_PRELOAD="$work/bin/libswap_counter.so" \
    "$work/bin/haze" /s --seed 1 2>/dev/null &
  saver=$!
  until [ -s "$work/swaps" ]; do sleep 0.1; done
  report_run
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

echo
echo "Wayland against X11 at 1280x720 ($build), one after the other"
printf '%-10s %-28s %8s %12s %10s\n' size run "frames/s" "CPU ms/frame" "CPU %core"
printf '%-10s %-28s %s\n' 1280x720 "haze /s on headless sway" "$(measure_wayland "$build" 1280x720)"
printf '%-10s %-28s %s\n' 1280x720 "haze -root on Xvfb" "$(measure "$build" 1280x720)"
