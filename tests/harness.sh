# The shell harness every system test, Wine test and bench script sources:
# a work folder kept as evidence when a run fails, processes stopped in the
# reverse order they started, polling waits, a private X server, swaps and
# CPU counted over an interval, medians, and the programs of a build folder.
#
#   source "$(dirname "$0")/../harness.sh"   (the path from the script's folder)
#
# It sets -euo pipefail and an EXIT trap of its own: a script adds to what
# happens at exit with at_exit, not with trap. Read from the environment, all
# optional: CASE_NAME names the run (default: the script's name);
# HAZE_TEST_OUTPUT is a folder where a failed run leaves its work folder as
# CASE_NAME/; HAZE_KEEP_EVIDENCE=1 leaves it on a pass too.

set -euo pipefail

# WORK: this run's own folder. Programs started by a test write their output
# there as NAME.out and NAME.err; fail shows every non-empty *.err.
WORK=$(mktemp -d "${TMPDIR:-/tmp}/haze-test.XXXXXX")
CASE_NAME=${CASE_NAME:-$(basename "$0" .sh)}
EXIT_STEPS=() # commands run at exit, the last added first

# at_exit COMMAND [ARGS...]: runs the command when the script ends, however
# it ends, before the steps added earlier: a program started after its
# display server stops before it.
at_exit() {
  local step
  printf -v step '%q ' "$@"
  EXIT_STEPS+=("$step")
}

# stop_at_exit PID: stops PID, a process of this shell, at exit (unless
# stop_process or wait_for_exit saw it end before).
stop_at_exit() {
  at_exit stop_process "$1"
}

# stop_process PID [SIGNAL]: sends SIGNAL (TERM unless given) to PID, a
# process of this shell, and waits for it to end, whatever its exit status.
stop_process() {
  kill -"${2:-TERM}" "$1" 2>/dev/null || true
  wait "$1" 2>/dev/null || true
  forget_process "$1"
}

# Takes the stop of PID, which has ended, off the exit steps: its number may
# be another process's by then.
forget_process() {
  local i
  for i in "${!EXIT_STEPS[@]}"; do
    [ "${EXIT_STEPS[i]}" != "stop_process $1 " ] || unset 'EXIT_STEPS[i]'
  done
}

# At exit: the steps, newest first; then the work folder, kept as evidence
# where asked, is removed.
finish_run() {
  local status=$? steps=("${!EXIT_STEPS[@]}") i
  set +e
  for ((i = ${#steps[@]} - 1; i >= 0; i--)); do
    eval "${EXIT_STEPS[steps[i]]}"
  done
  if { [ "$status" -ne 0 ] || [ -n "${HAZE_KEEP_EVIDENCE:-}" ]; } && [ -n "${HAZE_TEST_OUTPUT:-}" ]; then
    mkdir -p "$HAZE_TEST_OUTPUT/$CASE_NAME"
    cp -r "$WORK"/. "$HAZE_TEST_OUTPUT/$CASE_NAME/" 2>/dev/null
    echo "evidence kept in $HAZE_TEST_OUTPUT/$CASE_NAME" >&2
  fi
  rm -rf "$WORK"
}
trap finish_run EXIT

# fail MESSAGE...: prints FAIL: MESSAGE and what each program of the run
# left in $WORK/*.err, and ends the script with status 1.
fail() {
  echo "FAIL: $*" >&2
  local f
  for f in "$WORK"/*.err; do
    [ -s "$f" ] && { echo "--- $f" >&2; cat "$f" >&2; }
  done
  exit 1
}

# require TOOL...: fails unless every tool is on the PATH.
require() {
  local tool
  for tool in "$@"; do
    command -v "$tool" >/dev/null || fail "$tool is missing; scripts/setup.sh test installs it"
  done
}

# wait_until SECONDS COMMAND [ARGS...]: runs the command every POLL_SECONDS
# (0.05 unless set) until it succeeds (status 0) or SECONDS (whole) of wall
# time have passed (status 1), however long each try takes: a screenshot and
# a few pixel reads can take a second on a busy machine. It is always tried
# once more after the time is up.
wait_until() {
  local step=${POLL_SECONDS:-0.05} deadline=$((${EPOCHREALTIME/./} + $1 * 1000000))
  shift
  until "$@"; do
    [ "${EPOCHREALTIME/./}" -lt "$deadline" ] || return 1
    sleep "$step"
  done
}

# wait_for_exit PID SECONDS: waits up to SECONDS for PID, a process of this
# shell, to end. Sets EXIT_STATUS to its exit status, or to "running" (and
# returns 1) when it has not ended.
wait_for_exit() {
  EXIT_STATUS=running
  wait_until "$2" process_ended "$1" || return 1
  EXIT_STATUS=0
  wait "$1" || EXIT_STATUS=$?
  forget_process "$1"
}

process_ended() {
  ! kill -0 "$1" 2>/dev/null
}

# still_running PID [SECONDS]: whether PID still runs after SECONDS (1
# unless given).
still_running() {
  sleep "${2:-1}"
  kill -0 "$1" 2>/dev/null
}

# median NUMBER...: prints the middle one, or the mean of the two middle ones.
median() {
  printf '%s\n' "$@" | sort -g | awk '{ v[NR] = $1 } END {
    if (NR % 2) print v[(NR + 1) / 2]; else print (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}

# build_program BUILD NAME: prints the path of program NAME (haze, haze.scr)
# in build folder BUILD: at its top, or under src/platform/ where builds
# made before the programs moved keep it. Fails when neither holds it.
build_program() {
  local path
  for path in "$1/$2" "$1/src/platform/$2"; do
    [ -f "$path" ] && { echo "$path"; return 0; }
  done
  fail "no $2 in $1: build it first"
}

# --- X servers -----------------------------------------------------------------

# start_x_server NAME COMMAND [ARGS...]: starts the X server COMMAND (Xvfb,
# Xephyr, ...) on a display number it picks, waits up to 10 s until it
# answers and exports DISPLAY. Its stderr goes to $WORK/NAME.err; its process
# is X_SERVER_PID, stopped at exit.
start_x_server() {
  local name=$1
  shift
  rm -f "$WORK/$name.display"
  "$@" -displayfd 5 5>"$WORK/$name.display" 2>"$WORK/$name.err" &
  X_SERVER_PID=$!
  stop_at_exit "$X_SERVER_PID"
  wait_until 10 test -s "$WORK/$name.display" || fail "$name did not start: $(cat "$WORK/$name.err")"
  export DISPLAY=":$(head -n1 "$WORK/$name.display")"
  wait_until 10 server_answers || fail "$name on $DISPLAY does not answer"
}

server_answers() {
  xdpyinfo >/dev/null 2>&1
}

# start_xvfb WxH [DEPTH] [XVFB_OPTIONS...]: start_x_server with an Xvfb of
# one screen of that size and colour depth (24 unless given). -noreset: the
# server would reset whenever its last client left (the check that it
# answers, one haze run of several), and refuse clients while it resets.
start_xvfb() {
  local size=$1 depth=${2:-24}
  shift $(($# < 2 ? $# : 2))
  require Xvfb xdpyinfo xwininfo
  start_x_server xvfb Xvfb -screen 0 "${size}x${depth}" -nolisten tcp -noreset "$@"
  unset XSCREENSAVER_WINDOW
}

# window_named NAME: the id of the first window named exactly NAME (empty
# when none); windows_named NAME: how many there are.
window_named() {
  xwininfo -root -tree 2>/dev/null | grep -F "\"$1\": (" | awk '{ print $1; exit }'
}

windows_named() {
  xwininfo -root -tree 2>/dev/null | grep -cF "\"$1\": (" || true
}

has_window_named() {
  [ -n "$(window_named "$1")" ]
}

# window_info WINDOW KEY: a value xwininfo gives for the window, say "Width",
# "Map State", "Absolute upper-left X".
window_info() {
  xwininfo -id "$1" 2>/dev/null | awk -F': +' -v key="  $2" '$1 == key { print $2; exit }'
}

# --- swaps and CPU ---------------------------------------------------------------

# swaps_at_least FILE N: whether the swap count in FILE (the first number of
# its line, as tests/bench/swap_counter.c and tests/system/loud_swap.c write
# it) has reached N.
swaps_at_least() {
  local count=0
  [ -s "$1" ] && read -r count _ <"$1"
  [ "${count:-0}" -ge "$2" ]
}

# count_swaps PID FILE SECONDS: what process PID, preloaded with the swap
# counter writing to FILE, does over SECONDS. Sets SWAPS (buffer swaps),
# SWAP_SECONDS (from the last swap before to the last swap after),
# FRAMES_PER_SECOND, CPU_SECONDS (of the whole process over SECONDS),
# CPU_MS_PER_FRAME and CPU_PERCENT (of one core, between those two swaps).
count_swaps() {
  local swaps0 time0 swaps1 time1 cpu0 cpu1
  swaps_at_least "$2" 1 || fail "process $1 swapped no buffers"
  read -r swaps0 time0 <"$2"
  cpu0=$(awk '{ print $14 + $15 }' "/proc/$1/stat")
  sleep "$3"
  read -r swaps1 time1 <"$2"
  cpu1=$(awk '{ print $14 + $15 }' "/proc/$1/stat")
  SWAPS=$((swaps1 - swaps0))
  read -r SWAP_SECONDS FRAMES_PER_SECOND CPU_SECONDS CPU_MS_PER_FRAME CPU_PERCENT < <(awk \
    -v f="$SWAPS" -v t0="$time0" -v t1="$time1" -v c="$((cpu1 - cpu0))" \
    -v hz="$(getconf CLK_TCK)" 'BEGIN {
      t = t1 - t0; c /= hz
      print t, (t > 0 ? f / t : 0), c, (f > 0 ? 1000 * c / f : 0), (t > 0 ? 100 * c / t : 0) }')
}

# --- an unprivileged user with a HOME of its own ------------------------------

# XScreenSaver and sway refuse to start programs as root: as root the tests
# make a system user for them; otherwise they run as the current user. SAVER_DIR is a
# folder that user can read (the install prefix goes there), SAVER_HOME its
# HOME for the test.
SAVER_USER_NAME=hazesaver

prepare_saver_user() {
  SAVER_DIR=$(mktemp -d "${TMPDIR:-/tmp}/haze-saver.XXXXXX")
  at_exit rm -rf "$SAVER_DIR"
  chmod 755 "$SAVER_DIR"
  SAVER_HOME=$SAVER_DIR/home
  mkdir "$SAVER_HOME"
  # The words that run a command as that user with its HOME (and this
  # test's DISPLAY): started in the background, the command keeps the
  # process id $! names.
  AS_SAVER_USER=(env HOME="$SAVER_HOME")
  if [ "$(id -u)" -eq 0 ]; then
    id "$SAVER_USER_NAME" >/dev/null 2>&1 ||
      useradd --system --no-create-home --home-dir /nonexistent --shell /usr/sbin/nologin \
        "$SAVER_USER_NAME" || fail "cannot create the user $SAVER_USER_NAME"
    chown "$SAVER_USER_NAME:" "$SAVER_HOME"
    AS_SAVER_USER=(setpriv --reuid "$SAVER_USER_NAME" --regid "$SAVER_USER_NAME" --init-groups
      "${AS_SAVER_USER[@]}")
  fi
}

as_saver_user() {
  "${AS_SAVER_USER[@]}" "$@"
}

saver_user_id() {
  if [ "$(id -u)" -eq 0 ]; then id -u "$SAVER_USER_NAME"; else id -u; fi
}

# The ids of that user's processes running `program`, one a line.
processes_of() {
  pgrep -u "$(saver_user_id)" -f "^$1( |\$)" || true
}

# --- headless sway, as that user ------------------------------------------------

# prepare_runtime: the user's runtime folder (XDG_RUNTIME_DIR), RUNTIME, where
# the compositor makes its sockets.
prepare_runtime() {
  [ -n "${SAVER_DIR:-}" ] || prepare_saver_user
  RUNTIME=$SAVER_DIR/runtime
  mkdir -m 700 "$RUNTIME"
  if [ "$(id -u)" -eq 0 ]; then
    chown "$SAVER_USER_NAME:" "$RUNTIME"
  fi
}

# The first wayland-N socket in the runtime folder (not always wayland-0):
# WAYLAND_SOCKET_NAME.
socket_named() {
  local socket
  socket=$(find "$RUNTIME" -maxdepth 1 -name 'wayland-*' -type s -printf '%f\n' | head -n1)
  [ -n "$socket" ] && WAYLAND_SOCKET_NAME=$socket
}

# client_words: CLIENT, the words that run a command as the user, as a client
# of the compositor: "${CLIENT[@]}" CMD & keeps $! the command's own id.
client_words() {
  CLIENT=("${AS_SAVER_USER[@]}" env XDG_RUNTIME_DIR="$RUNTIME"
    WAYLAND_DISPLAY="$WAYLAND_SOCKET_NAME" SWAYSOCK="${SWAYSOCK:-}")
}

# as_client COMMAND [ARGS...]: runs the command as a client, in the foreground.
as_client() {
  client_words
  "${CLIENT[@]}" "$@"
}

sway_answers() {
  local ipc
  ipc=$(find "$RUNTIME" -maxdepth 1 -name 'sway-ipc.*.sock' -type s | head -n1)
  [ -n "$ipc" ] && SWAYSOCK=$ipc && as_client swaymsg -t get_version >/dev/null 2>&1
}

# start_headless_sway [CONFIG LINE...]: sway with one headless output,
# HEADLESS-1, no input devices and no XWayland, run as the user, with the
# configuration lines given besides; stopped at exit. Sets COMPOSITOR_PID,
# WAYLAND_SOCKET_NAME and SWAYSOCK; its log is $WORK/sway.log.
start_headless_sway() {
  require sway swaymsg setpriv
  [ -n "${RUNTIME:-}" ] || prepare_runtime
  printf '%s\n' 'xwayland disable' 'default_border none' 'default_floating_border none' "$@" \
    >"$SAVER_DIR/sway.conf"
  chmod 644 "$SAVER_DIR/sway.conf"
  "${AS_SAVER_USER[@]}" env -i HOME="$SAVER_HOME" PATH=/usr/bin:/bin XDG_RUNTIME_DIR="$RUNTIME" \
    WLR_BACKENDS=headless WLR_LIBINPUT_NO_DEVICES=1 WLR_RENDERER=pixman \
    sway -c "$SAVER_DIR/sway.conf" >"$WORK/sway.log" 2>&1 &
  COMPOSITOR_PID=$!
  stop_at_exit "$COMPOSITOR_PID"
  wait_until 10 socket_named || fail "sway made no Wayland socket: $(tail -n 5 "$WORK/sway.log")"
  wait_until 10 sway_answers || fail "sway does not answer"
}
