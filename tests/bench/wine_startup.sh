#!/usr/bin/env bash
# Start-up time of haze.scr under Wine: from starting `wine haze.scr /s` to
# the first buffer swap of the saver (its first finished frame), read from
# Wine's own GL trace. Prints one line per run and the median.
#
#   tests/bench/wine_startup.sh [HAZE_SCR] [RUNS]
#     HAZE_SCR: haze.scr, or the MinGW build folder holding it (default build/win)
cd "$(dirname "$0")/../.."
source tests/harness.sh

haze_scr=${1:-build/win}
runs=${2:-5}
[ ! -d "$haze_scr" ] || haze_scr=$(build_program "$haze_scr" haze.scr)
[ -f "$haze_scr" ] || fail "no $haze_scr: run scripts/test.sh first"

export WINEPREFIX=$WORK/prefix WINEARCH=win64
start_xvfb 1920x1080
at_exit wineserver -k
WINEDEBUG=-all wineboot --init >/dev/null 2>&1
WINEDEBUG=-all wineserver -w

# Wine's server stays up between runs, as it does on a desktop in use.
(WINEDEBUG=-all wineserver -p 60 &)
times=()
for run in $(seq "$runs"); do
  log=$WORK/run$run.log
  start=$(date +%s%N)
  WINEDEBUG=+wgl wine "$haze_scr" /s 2>"$log" &
  saver=$!
  POLL_SECONDS=0.005 wait_until 60 grep -q wglSwapBuffers "$log" || fail "no frame in 60 s"
  end=$(date +%s%N)
  ms=$(((end - start) / 1000000))
  times+=("$ms")
  echo "run $run: first frame after $ms ms"
  sleep 0.5
  xdotool key a
  wait "$saver" || true
done
echo "median start-up to the first frame under Wine: $(median "${times[@]}") ms (${runs} runs, 1920x1080)"
