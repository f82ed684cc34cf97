#!/usr/bin/env bash
# What a frame costs on Mesa's software renderer, for two builds side by side
# (say, before and after a change), and for flurry, the stock XScreenSaver GL
# hack nearest to haze in look:
#   headless at 1920x1080: CPU time per frame of `haze --render`, one renderer
#     thread (LP_NUM_THREADS=1), everything finished at the start of every
#     frame, over FRAMES frames 400 ms of animation apart (the bars' cycle
#     is 63 s), the first 10 left out; each build's figure is the median of
#     RUNS runs, taken in turn;
#   on Xvfb at 1920x1080: `haze -root` of each build and `flurry -root`, frames
#     a second and CPU time of the whole process per frame, over SECONDS.
#
#   tests/bench/frame_cost.sh BEFORE AFTER [RUNS] [FRAMES] [SECONDS]
#     BEFORE, AFTER: build folders with haze; AFTER also holds
#     tests/bench/libframe_finish.so and libswap_counter.so
#
# Where the time goes, headless at 1920x1080 over the bars' cycle, taken from
# a throwaway build with each pass switched off in turn (this runner, 160
# frames, one run each on a busy machine): of about 54 ms a frame, the smoke
# takes about 48 (its fog alone 8 to 10), the veil about 5.5, the bars,
# stars, glow and depth clear together 0.3. The smoke's scissor boxes hold
# about 5.1 M pixels a frame, against about 4.4 M fragments that pass its
# alpha test, as an earlier breakdown counted them. Were only those drawn, at
# the same cost each, the picture would still take about 47 ms a frame on
# llvmpipe, some 35 % below the build before this work: about the floor for
# drawing it exactly with fixed-function GL 1.1.
set -euo pipefail
cd "$(dirname "$0")/../.."

before=${1:?usage: $0 BEFORE AFTER [RUNS] [FRAMES] [SECONDS]}
after=${2:?usage: $0 BEFORE AFTER [RUNS] [FRAMES] [SECONDS]}
runs=${3:-3}
frames=${4:-160}
seconds=${5:-10}
size=1920x1080
finish=$after/tests/bench/libframe_finish.so
counter=$after/tests/bench/libswap_counter.so
flurry=/usr/libexec/xscreensaver/flurry
for haze in "$before/haze" "$after/haze"; do
  [ -x "$haze" ] || { echo "no haze in ${haze%/haze}" >&2; exit 1; }
done
[ -f "$finish" ] && [ -f "$counter" ] ||
  { echo "build frame_finish and swap_counter in $after first" >&2; exit 1; }

work=$(mktemp -d)
cleanup() {
  # Each program first, and let it end, before its display goes.
  [ -n "${program:-}" ] && kill "$program" 2>/dev/null && wait "$program" 2>/dev/null
  [ -n "${xvfb:-}" ] && kill "$xvfb" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

# Milliseconds of CPU per frame of one headless run of `haze` ($1).
headless_ms() {
  rm -f "$work/frames"
  LP_NUM_THREADS=1 FRAME_FINISH_FILE="$work/frames" LD_PRELOAD=$(realpath "$finish") \
    "$1" --render "$work/frame.png" --size "$size" --seed 1 --frames "$frames" --step-ms 400 \
    >/dev/null
  awk '{ printf "%.2f", 1000 * $2 / $1 }' "$work/frames"
}

median() { printf '%s\n' "$@" | sort -n | sed -n "$((($# + 1) / 2))p"; }

echo "Headless, $size, one renderer thread, a finish per frame, $((frames - 11)) frames" \
  "400 ms apart; median of $runs runs:"
before_runs=()
after_runs=()
for _ in $(seq "$runs"); do
  before_runs+=("$(headless_ms "$before/haze")")
  after_runs+=("$(headless_ms "$after/haze")")
done
before_ms=$(median "${before_runs[@]}")
after_ms=$(median "${after_runs[@]}")
printf '  %-8s %7.2f ms CPU per frame   (runs: %s)\n' before "$before_ms" "${before_runs[*]}"
printf '  %-8s %7.2f ms CPU per frame   (runs: %s)\n' after "$after_ms" "${after_runs[*]}"
awk -v b="$before_ms" -v a="$after_ms" \
  'BEGIN { printf "  change   %+7.1f %%\n", 100 * (a - b) / b }'

Xvfb -displayfd 5 -screen 0 "${size}x24" -nolisten tcp 5>"$work/display" >/dev/null 2>&1 &
xvfb=$!
until [ -s "$work/display" ]; do sleep 0.1; done
export DISPLAY=":$(cat "$work/display")"
ticks=$(getconf CLK_TCK)

# Frames a second and CPU per frame of a program drawing into the root
# window, counted by its buffer swaps from 2 s after its first one.
on_xvfb() {
  local name=$1
  shift
  rm -f "$work/swaps"
  SWAP_COUNTER_FILE=$work/swaps LD_PRELOAD=$(realpath "$counter") "$@" >/dev/null 2>&1 &
  program=$!
  for _ in $(seq 300); do
    [ -s "$work/swaps" ] && break
    sleep 0.1
  done
  [ -s "$work/swaps" ] || { echo "  $name    drew nothing in 30 s" >&2; return 1; }
  sleep 2
  local swaps0 time0 swaps1 time1 cpu0 cpu1
  read -r swaps0 time0 <"$work/swaps"
  cpu0=$(awk '{print $14 + $15}' "/proc/$program/stat")
  sleep "$seconds"
  read -r swaps1 time1 <"$work/swaps"
  cpu1=$(awk '{print $14 + $15}' "/proc/$program/stat")
  kill "$program" 2>/dev/null && wait "$program" 2>/dev/null || true
  program=
  awk -v n="$name" -v s0="$swaps0" -v s1="$swaps1" -v t0="$time0" -v t1="$time1" \
    -v c0="$cpu0" -v c1="$cpu1" -v hz="$ticks" 'BEGIN {
      f = s1 - s0
      printf "  %-8s %6.1f frames a second, %7.2f ms CPU per frame (%.0f%% of one core)\n",
        n, f / (t1 - t0), 1000 * (c1 - c0) / hz / f, 100 * (c1 - c0) / hz / (t1 - t0)
    }'
}

echo "Xvfb, $size, -root, the renderer's own threads, over $seconds s:"
on_xvfb before "$before/haze" -root
on_xvfb after "$after/haze" -root
if [ -x "$flurry" ]; then
  on_xvfb flurry "$flurry" -root
else
  echo "  flurry   not installed ($flurry; scripts/setup.sh test installs it)"
fi
