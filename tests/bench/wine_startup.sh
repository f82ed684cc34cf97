#!/usr/bin/env bash
# Start-up time of haze.scr under Wine: from starting `wine haze.scr /s` to
# the first buffer swap of the saver (its first finished frame), read from
# Wine's own GL trace. Prints one line per run and the median.
#
#   tests/bench/wine_startup.sh [HAZE_SCR] [RUNS]
set -euo pipefail
cd "$(dirname "$0")/../.."

haze_scr=${1:-build/win/haze.scr}
runs=${2:-5}
[ -f "$haze_scr" ] || { echo "no $haze_scr: run scripts/test.sh first" >&2; exit 1; }

work=$(mktemp -d)
export WINEPREFIX=$work/prefix WINEARCH=win64
cleanup() {
  wineserver -k 2>/dev/null || true
  [ -n "${xvfb:-}" ] && kill "$xvfb" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

Xvfb -displayfd 5 -screen 0 1920x1080x24 -nolisten tcp -noreset 5>"$work/display" >/dev/null 2>&1 &
xvfb=$!
until [ -s "$work/display" ]; do sleep 0.1; done
export DISPLAY=":$(cat "$work/display")"
WINEDEBUG=-all wineboot --init >/dev/null 2>&1
WINEDEBUG=-all wineserver -w

# Wine's server stays up between runs, as it does on a desktop in use.
(WINEDEBUG=-all wineserver -p 60 &)
times=()
for run in $(seq "$runs"); do
  log=$work/run$run.log
  start=$(date +%s%N)
  WINEDEBUG=+wgl wine "$haze_scr" /s 2>"$log" &
  saver=$!
  until grep -q wglSwapBuffers "$log" 2>/dev/null; do sleep 0.005; done
  end=$(date +%s%N)
  ms=$(((end - start) / 1000000))
  times+=("$ms")
  echo "run $run: first frame after $ms ms"
  sleep 0.5
  xdotool key a
  wait "$saver" || true
done
sorted=($(printf '%s\n' "${times[@]}" | sort -n))
echo "median start-up to the first frame under Wine: ${sorted[$((runs / 2))]} ms (${runs} runs, 1920x1080)"
