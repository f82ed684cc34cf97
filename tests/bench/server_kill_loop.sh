#!/usr/bin/env bash
# A server that dies under a starting haze, again and again: each try starts
# a private Xvfb, starts haze on it (-root and -window in turn), kills the
# server with SIGKILL 0 to 300 ms later and sorts out how haze ended. A sound
# haze ends every try with exit code 1 and one line of its own: "lost the
# connection to the X display", or "cannot open the X display" where the
# server went before haze reached it. Never a signal, never Xlib's message.
#
#   tests/bench/server_kill_loop.sh [HAZE] [TRIES]
#     HAZE:  the haze binary (default build/bench/haze)
#     TRIES: how many servers to kill (default 200)
#
# Prints one count per outcome (lost_line and cannot_open_line are the sound
# ones); the stderr of every other try is kept under the folder it names.
set -euo pipefail

haze=$(realpath "${1:-build/bench/haze}")
tries=${2:-200}
[ -x "$haze" ] || { echo "no haze at $haze" >&2; exit 1; }
ulimit -c 0 # the crashes this counts leave no core files
evidence=$(mktemp -d "${TMPDIR:-/tmp}/haze-server-kill.XXXXXX")
work=$evidence/work
mkdir "$work"

declare -A count=([lost_line]=0 [cannot_open_line]=0 [xlib_message]=0 [signal]=0
  [still_running]=0 [other]=0)

# Runs haze with the arguments given in the background, in a shell of its
# own that writes its exit status to $work/status (and keeps the shell's own
# words on a signal death out of the counts' way); $saver is that shell.
start_haze() {
  rm -f "$work/status"
  (
    status=0
    "$haze" "$@" >/dev/null 2>"$work/err" || status=$?
    echo "$status" >"$work/status"
  ) 2>/dev/null &
  saver=$!
}

# Waits up to 10 s for haze; sets status (its exit code, or "running").
await_haze() {
  status=running
  for _ in $(seq 200); do
    if [ -s "$work/status" ]; then
      wait "$saver" || true
      status=$(cat "$work/status")
      return 0
    fi
    sleep 0.05
  done
  pkill -KILL -P "$saver" || true
  wait "$saver" || true
}

outcome_of() {
  local err=$1
  if [ "$status" = running ]; then
    echo still_running
  elif [ "$status" -gt 128 ] && [ "$status" -lt 192 ]; then
    echo signal
  elif grep -qE 'XIO: |fatal IO error|X connection to .* broken' "$err"; then
    echo xlib_message
  elif [ "$status" = 1 ] && [ "$(wc -l <"$err")" = 1 ] &&
    grep -qx 'haze: lost the connection to the X display' "$err"; then
    echo lost_line
  elif [ "$status" = 1 ] && [ "$(wc -l <"$err")" = 1 ] &&
    grep -q "^haze: cannot open the X display" "$err"; then
    echo cannot_open_line
  else
    echo other
  fi
}

for ((try = 1; try <= tries; try++)); do
  mode=-root
  [ $((try % 2)) = 1 ] || mode=-window
  rm -f "$work/display"
  Xvfb -displayfd 5 -screen 0 320x240x24 -nolisten tcp 5>"$work/display" 2>/dev/null &
  xvfb=$!
  until [ -s "$work/display" ]; do sleep 0.02; done
  display=$(cat "$work/display")
  DISPLAY=":$display" start_haze "$mode"
  sleep "$(awk -v r="$RANDOM" 'BEGIN { printf "%.3f", (r % 301) / 1000 }')"
  # Its lock and socket stay behind, and the next server to want the number
  # takes them over; removing them here could pull them from under another
  # server that took the number over meanwhile.
  kill -KILL "$xvfb"
  wait "$xvfb" 2>/dev/null || true
  await_haze
  outcome=$(outcome_of "$work/err")
  count[$outcome]=$((count[$outcome] + 1))
  if [ "${outcome%_line}" = "$outcome" ]; then
    { echo "$mode, exit status $status"; cat "$work/err"; } >"$evidence/try-$try-$outcome.txt"
  fi
done
rm -rf "$work"

echo "$tries tries of $haze, the server killed 0-300 ms after haze started:"
for outcome in lost_line cannot_open_line xlib_message signal still_running other; do
  printf '  %-18s %4d\n' "$outcome" "${count[$outcome]}"
done
echo "evidence of the tries that did not end with haze's one line: $evidence"
