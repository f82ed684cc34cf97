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
cd "$(dirname "$0")/../.."
source tests/harness.sh

haze=$(realpath "${1:-build/bench/haze}")
tries=${2:-200}
[ -x "$haze" ] || fail "no haze at $haze"
ulimit -c 0 # the crashes this counts leave no core files
evidence=$(mktemp -d "${TMPDIR:-/tmp}/haze-server-kill.XXXXXX")

declare -A count=([lost_line]=0 [cannot_open_line]=0 [xlib_message]=0 [signal]=0
  [still_running]=0 [other]=0)

# How the try ended, from EXIT_STATUS and haze's stderr in $1.
outcome_of() {
  local err=$1
  if [ "$EXIT_STATUS" = running ]; then
    echo still_running
  elif [ "$EXIT_STATUS" -gt 128 ] && [ "$EXIT_STATUS" -lt 192 ]; then
    echo signal
  elif grep -qE 'XIO: |fatal IO error|X connection to .* broken' "$err"; then
    echo xlib_message
  elif [ "$EXIT_STATUS" = 1 ] && [ "$(wc -l <"$err")" = 1 ] &&
    grep -qx 'haze: lost the connection to the X display' "$err"; then
    echo lost_line
  elif [ "$EXIT_STATUS" = 1 ] && [ "$(wc -l <"$err")" = 1 ] &&
    grep -qE "^haze: (.*; )?cannot open the X display" "$err"; then
    echo cannot_open_line
  else
    echo other
  fi
}

for ((try = 1; try <= tries; try++)); do
  mode=-root
  [ $((try % 2)) = 1 ] || mode=-window
  start_xvfb 320x240
  "$haze" "$mode" >/dev/null 2>"$WORK/haze.err" &
  saver=$!
  stop_at_exit "$saver"
  sleep "$(awk -v r="$RANDOM" 'BEGIN { printf "%.3f", (r % 301) / 1000 }')"
  # Its lock and socket stay behind, and the next server to want the number
  # takes them over.
  stop_process "$X_SERVER_PID" KILL
  # The shell's own words on a signal death stay out of the counts' way.
  wait_for_exit "$saver" 10 2>/dev/null || stop_process "$saver" KILL
  outcome=$(outcome_of "$WORK/haze.err")
  count[$outcome]=$((count[$outcome] + 1))
  if [ "${outcome%_line}" = "$outcome" ]; then
    { echo "$mode, exit status $EXIT_STATUS"; cat "$WORK/haze.err"; } \
      >"$evidence/try-$try-$outcome.txt"
  fi
done
: >"$WORK/haze.err" # nothing of the last try for the harness to show

echo "$tries tries of $haze, the server killed 0-300 ms after haze started:"
for outcome in lost_line cannot_open_line xlib_message signal still_running other; do
  printf '  %-18s %4d\n' "$outcome" "${count[$outcome]}"
done
echo "evidence of the tries that did not end with haze's one line: $evidence"
