# Shared helpers of the system tests: a private Xvfb, haze and the test tool
# started in the background, polling waits and clean-up.
#
# Needs HAZE (the haze binary) and TOOL (x11_test_tool) in the environment;
# HAZE_TEST_OUTPUT names a folder where a failed test leaves its evidence
# (its screenshots and haze's output); with HAZE_KEEP_EVIDENCE=1 a passing
# test leaves it too, for a look.

set -euo pipefail

: "${HAZE:?HAZE names the haze binary}"
: "${TOOL:?TOOL names x11_test_tool}"

WORK=$(mktemp -d "${TMPDIR:-/tmp}/haze-system.XXXXXX")
CASE_NAME=${CASE_NAME:-system}
background=()

cleanup() {
  local status=$?
  for pid in "${background[@]}"; do
    kill "$pid" 2>/dev/null || true
  done
  for pid in "${background[@]}"; do
    wait "$pid" 2>/dev/null || true
  done
  [ -z "${SAVER_DIR:-}" ] || rm -rf "$SAVER_DIR"
  if { [ "$status" -ne 0 ] || [ -n "${HAZE_KEEP_EVIDENCE:-}" ]; } && [ -n "${HAZE_TEST_OUTPUT:-}" ]; then
    mkdir -p "$HAZE_TEST_OUTPUT/$CASE_NAME"
    cp -r "$WORK"/. "$HAZE_TEST_OUTPUT/$CASE_NAME/" 2>/dev/null || true
    echo "evidence kept in $HAZE_TEST_OUTPUT/$CASE_NAME" >&2
  fi
  rm -rf "$WORK"
}
trap cleanup EXIT

fail() {
  echo "FAIL: $*" >&2
  for f in "$WORK"/haze*.err; do
    [ -s "$f" ] && { echo "--- $f" >&2; cat "$f" >&2; }
  done
  exit 1
}

require() {
  for tool in "$@"; do
    command -v "$tool" >/dev/null ||
      fail "$tool is missing; scripts/setup.sh test installs it"
  done
}

# Polls `condition` (a command) every 50 ms for up to `seconds` of wall
# time, however long the condition itself takes (a screenshot and a few
# pixel reads can take a second on a busy machine).
wait_until() {
  local deadline=$((SECONDS + $1))
  shift
  while ! "$@"; do
    [ "$SECONDS" -lt "$deadline" ] || return 1
    sleep 0.05
  done
}

server_answers() {
  xdpyinfo >/dev/null 2>&1
}

# A private X server of the given size on a free display number; a colour
# depth (24 unless given) and further Xvfb options may follow. -noreset: the
# server would reset whenever its last client left (the check that it
# answers, one haze run of several), and refuses clients while it resets.
start_xvfb() {
  local size=$1 depth=${2:-24}
  shift $(($# < 2 ? $# : 2))
  require Xvfb xdotool xwininfo xdpyinfo
  Xvfb -displayfd 5 -screen 0 "${size}x${depth}" -nolisten tcp -noreset "$@" 5>"$WORK/display" \
    2>"$WORK/xvfb.err" &
  background+=($!)
  wait_until 10 test -s "$WORK/display" || fail "Xvfb did not start: $(cat "$WORK/xvfb.err")"
  export DISPLAY=":$(head -n1 "$WORK/display")"
  wait_until 10 server_answers || fail "Xvfb on $DISPLAY does not answer"
  unset XSCREENSAVER_WINDOW
}

# Two monitors side by side on one screen: Xephyr with two 640x480 screens
# joined by Xinerama, shown on a private Xvfb. DISPLAY names the Xephyr.
start_two_heads() {
  start_xvfb 1300x500
  require Xephyr
  Xephyr -displayfd 5 -screen 640x480 -screen 640x480 +xinerama -nolisten tcp \
    5>"$WORK/heads-display" 2>"$WORK/xephyr.err" &
  background+=($!)
  wait_until 10 test -s "$WORK/heads-display" ||
    fail "Xephyr did not start: $(cat "$WORK/xephyr.err")"
  export DISPLAY=":$(head -n1 "$WORK/heads-display")"
  wait_until 10 server_answers || fail "Xephyr on $DISPLAY does not answer"
}

# Starts haze with the given arguments; HAZE_PID, output in haze.out/haze.err.
start_haze() {
  "$HAZE" "$@" >"$WORK/haze.out" 2>"$WORK/haze.err" &
  HAZE_PID=$!
  background+=("$HAZE_PID")
}

haze_running() {
  kill -0 "$HAZE_PID" 2>/dev/null
}

haze_ended() {
  ! haze_running
}

# Waits for haze to end; sets HAZE_STATUS to its exit code.
wait_for_haze_exit() {
  local seconds=${1:-5}
  wait_until "$seconds" haze_ended || fail "haze is still running after ${seconds}s"
  HAZE_STATUS=0
  wait "$HAZE_PID" || HAZE_STATUS=$?
}

# A window of the test tool, WxH; its id (decimal) in TEST_WINDOW. It lives
# until the test ends or close_test_window.
open_test_window() {
  rm -f "$WORK/tool.out" # a window of before must not be taken for this one
  "$TOOL" window "$1" >"$WORK/tool.out" 2>"$WORK/tool.err" &
  TOOL_PID=$!
  background+=("$TOOL_PID")
  wait_until 10 test -s "$WORK/tool.out" || fail "the test window did not appear"
  TEST_WINDOW=$(head -n1 "$WORK/tool.out")
}

# Ends the tool: its connection closes, and the server destroys its window.
close_test_window() {
  kill "$TOOL_PID" 2>/dev/null || true
  wait "$TOOL_PID" 2>/dev/null || true
}

# The id of the first window whose name is $1 (empty when none).
window_named() {
  xwininfo -root -tree 2>/dev/null | grep -F "\"$1\": (" | awk '{ print $1; exit }'
}

# The id of the first child of window $1 whose name is $2 (empty when none).
child_named() {
  xwininfo -children -id "$1" 2>/dev/null | grep -F "\"$2\": (" | awk '{ print $1; exit }'
}

# A value from xwininfo for window $1, e.g. "Width", "Map State".
window_info() {
  xwininfo -id "$1" 2>/dev/null | awk -F': +' -v key="  $2" '$1 == key { print $2; exit }'
}

has_window_named() {
  [ -n "$(window_named "$1")" ]
}

has_child_named() {
  [ -n "$(child_named "$1" "$2")" ]
}

# Whether window $1 (decimal or 0x-hex) holds the keyboard focus.
has_focus() {
  [ "$(xdotool getwindowfocus 2>/dev/null)" = "$(($1))" ]
}

is_viewable() {
  [ "$(window_info "$1" "Map State")" = "IsViewable" ]
}

# The colour at (x, y) as "R G B".
pixel() {
  "$TOOL" pixel "$1" "$2"
}

# True when every channel of colour "R G B" is within 8 levels of r g b.
colour_near() {
  local actual=($1)
  [ $((${actual[0]} - $2)) -le 8 ] && [ $(($2 - ${actual[0]})) -le 8 ] &&
    [ $((${actual[1]} - $3)) -le 8 ] && [ $(($3 - ${actual[1]})) -le 8 ] &&
    [ $((${actual[2]} - $4)) -le 8 ] && [ $(($4 - ${actual[2]})) -le 8 ]
}

expect_colour() {
  local x=$1 y=$2 r=$3 g=$4 b=$5 what=$6
  local actual
  actual=$(pixel "$x" "$y")
  colour_near "$actual" "$r" "$g" "$b" ||
    fail "$what at ($x, $y) is ($actual), expected ($r $g $b)"
}

# The scene's yellow glow at (x, y): red and green well up, blue well below
# both, whatever thin smoke is drawn over it. In a small window the glow is a
# few pixels across, so its middle pixel may sample the soft edge of its
# image: the levels are loose.
glow_at() {
  local c
  c=($(pixel "$1" "$2"))
  [ "${c[0]}" -gt 100 ] && [ "${c[1]}" -gt 100 ] && [ "${c[2]}" -lt $((c[0] - 60)) ] &&
    [ "${c[2]}" -lt $((c[1] - 60)) ]
}

expect_glow() {
  local x=$1 y=$2 what=$3
  glow_at "$x" "$y" || fail "no yellow glow at $what ($x, $y): ($(pixel "$x" "$y"))"
}

# Whether the screen shows the scene in the rectangle W x H at (X, Y): black
# bars along its top and bottom, the glow in its middle.
scene_in() {
  local x=$1 y=$2 w=$3 h=$4 corner
  for corner in "$((x + 3)) $((y + 3))" "$((x + w - 4)) $((y + 3))" \
    "$((x + 3)) $((y + h - 4))" "$((x + w - 4)) $((y + h - 4))"; do
    colour_near "$(pixel $corner)" 0 0 0 || return 1
  done
  glow_at $((x + w / 2)) $((y + h / 2))
}

# The scene in the rectangle W x H at (X, Y) of the screen, within a few
# seconds: now and then the smoke drifting over the glow tints it past what
# glow_at takes, and a busy machine may be slow to draw. A screenshot is kept
# as NAME.
expect_scene_in() {
  local x=$1 y=$2 w=$3 h=$4 name=$5
  wait_until 5 scene_in "$x" "$y" "$w" "$h" || true
  "$TOOL" screenshot "$WORK/$name.png"
  expect_colour $((x + 3)) $((y + 3)) 0 0 0 "$name: the top bar"
  expect_colour $((x + w - 4)) $((y + 3)) 0 0 0 "$name: the top bar"
  expect_colour $((x + 3)) $((y + h - 4)) 0 0 0 "$name: the bottom bar"
  expect_colour $((x + w - 4)) $((y + h - 4)) 0 0 0 "$name: the bottom bar"
  expect_glow $((x + w / 2)) $((y + h / 2)) "$name: the middle"
}

# No X error, and nothing else, on haze's stderr.
expect_quiet_stderr() {
  [ ! -s "$WORK/haze.err" ] || fail "haze wrote to stderr: $(cat "$WORK/haze.err")"
}

# The mean red, green and blue of picture $1, each from 0 to 1.
picture_means() {
  convert "$1" -format '%[fx:mean.r] %[fx:mean.g] %[fx:mean.b]' info:
}

# The share of picture $1's pixels that are plainly green: green above both
# red and blue by more than a quarter of full scale. The scene (red, blue,
# magenta and white smoke, a yellow glow, pale stars) has next to none.
green_share() {
  convert "$1" -fx 'g - max(r, b) > 0.25' -format '%[fx:mean]' info:
}

# Whether number $1 is at most $2.
at_most() {
  awk -v a="$1" -v b="$2" 'BEGIN { exit !(a <= b) }'
}

# --- an unprivileged user with a HOME of its own ------------------------------

# XScreenSaver refuses to start programs as root: as root the tests make a
# system user for it; otherwise they run as the current user. SAVER_DIR is a
# folder that user can read (the install prefix goes there), SAVER_HOME its
# HOME for the test.
SAVER_USER_NAME=hazesaver

prepare_saver_user() {
  SAVER_DIR=$(mktemp -d "${TMPDIR:-/tmp}/haze-saver.XXXXXX")
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

# Installs the build's haze under $SAVER_DIR/prefix; PREFIX names it.
install_haze() {
  : "${HAZE_BUILD_DIR:?HAZE_BUILD_DIR names the build folder}"
  PREFIX=$SAVER_DIR/prefix
  cmake --install "$HAZE_BUILD_DIR" --prefix "$PREFIX" >"$WORK/install.out" 2>&1 ||
    fail "cmake --install failed: $(cat "$WORK/install.out")"
}

# Counts the white pixels of the screen's WxH+X+Y rectangle.
white_pixels() {
  "$TOOL" screenshot "$WORK/count.png"
  convert "$WORK/count.png" -crop "$1" +repage -fill black +opaque white \
    -format '%[fx:round(mean*w*h)]' info:
}
