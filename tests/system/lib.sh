# What the X11 system tests share on top of tests/harness.sh: haze started in
# each of its modes and stopped, the test tool's windows, colours read off
# the screen, and an unprivileged user for XScreenSaver.
#
# Needs HAZE (the haze binary) and TOOL (x11_test_tool) in the environment.

source "$(dirname "${BASH_SOURCE[0]}")/../harness.sh"

: "${HAZE:?HAZE names the haze binary}"
: "${TOOL:?TOOL names x11_test_tool}"
require xdotool

# Two monitors side by side on one screen: Xephyr with two 640x480 screens
# joined by Xinerama, shown on a private Xvfb. DISPLAY names the Xephyr.
start_two_heads() {
  start_xvfb 1300x500
  require Xephyr
  start_x_server xephyr Xephyr -screen 640x480 -screen 640x480 +xinerama -nolisten tcp
}

# --- haze's runs ----------------------------------------------------------------

# Words run before haze, say to run it as another user (empty: as this one).
HAZE_PREFIX=()

# start_haze ARGS...: starts haze with the arguments, as it is; HAZE_PID,
# its output in $WORK/haze.out and haze.err.
start_haze() {
  "${HAZE_PREFIX[@]}" "$HAZE" "$@" >"$WORK/haze.out" 2>"$WORK/haze.err" &
  HAZE_PID=$!
  stop_at_exit "$HAZE_PID"
}

# The screen of a full-screen run on a server of its own.
SCREEN_W=320
SCREEN_H=240

# start_full_screen [ARGS...]: `haze ARGS /s` (on a new SCREEN_W x SCREEN_H
# Xvfb unless the case started a server), once its window is on screen and
# holds the focus, so input reaches it; SAVER is its window id.
start_full_screen() {
  [ -n "${X_SERVER_PID:-}" ] || start_xvfb "${SCREEN_W}x${SCREEN_H}"
  start_haze "$@" /s
  wait_until 10 has_window_named "Screen Saver" ||
    fail "no window named \"Screen Saver\" appeared"
  SAVER=$(window_named "Screen Saver")
  wait_until 10 is_viewable "$SAVER" || fail "the saver window is not on screen"
  wait_until 10 has_focus "$SAVER" || fail "the saver window did not take the focus"
}

# start_in_test_window ARGS...: haze with the arguments, which hand it the
# test window (/p ID, -window-id ID, or -root with XSCREENSAVER_WINDOW), once
# its Preview window fills that window and shows the scene.
start_in_test_window() {
  start_haze "$@"
  expect_child_fills_test_window
}

# start_root [ARGS...]: `haze -root ARGS` on the desktop, once its window is
# on the root window.
start_root() {
  start_haze -root "$@"
  wait_until 10 has_child_named "$(xwininfo -root | awk '/Window id:/ { print $4; exit }')" Preview ||
    fail "no saver window on the root window"
}

# start_own_window [ARGS...]: `haze -window --size 200x150 ARGS`, once its
# window is on screen with the saver drawing inside; OWN is its window id.
start_own_window() {
  start_haze -window --size 200x150 "$@"
  wait_until 10 has_window_named haze || fail "no window named haze"
  OWN=$(window_named haze)
  wait_until 10 is_viewable "$OWN" || fail "the haze window is not on screen"
  wait_until 10 has_child_named "$OWN" Preview || fail "nothing draws inside the haze window"
}

# expect_haze_exit CODE WHAT [SECONDS]: waits up to SECONDS (5 unless given)
# for haze to end, and fails unless it exits with CODE; WHAT says what ended
# it. HAZE_STATUS is its code.
expect_haze_exit() {
  wait_for_exit "$HAZE_PID" "${3:-5}" || fail "haze is still running ${3:-5} s after $2"
  HAZE_STATUS=$EXIT_STATUS
  [ "$HAZE_STATUS" -eq "$1" ] || fail "haze exited with $HAZE_STATUS on $2, expected $1"
}

# stop_haze [SIGNAL] [WHAT]: stops haze as the daemons do, with SIGNAL (TERM
# unless given), and fails unless it exits with 0; WHAT says which run it was.
stop_haze() {
  kill -"${1:-TERM}" "$HAZE_PID"
  expect_haze_exit 0 "SIG${1:-TERM}${2:+ ($2)}"
}

# haze, having ended by its own rule (WHAT), exited with 0 and said nothing.
expect_closed_cleanly() {
  expect_haze_exit 0 "${1:-its close}"
  expect_quiet_stderr
}

# expect_still_running [SECONDS]: haze still runs after SECONDS (0.7 unless given).
expect_still_running() {
  still_running "$HAZE_PID" "${1:-0.7}" || fail "haze ended: $(cat "$WORK/haze.err")"
}

# No X error, and nothing else, on haze's stderr.
expect_quiet_stderr() {
  [ ! -s "$WORK/haze.err" ] || fail "haze wrote to stderr: $(cat "$WORK/haze.err")"
}

# --- windows --------------------------------------------------------------------

# A window of the test tool, WxH; its id (decimal) in TEST_WINDOW. It lives
# until the test ends or close_test_window.
open_test_window() {
  rm -f "$WORK/tool.out" # a window of before must not be taken for this one
  "$TOOL" window "$1" >"$WORK/tool.out" 2>"$WORK/tool.err" &
  TOOL_PID=$!
  stop_at_exit "$TOOL_PID"
  wait_until 10 test -s "$WORK/tool.out" || fail "the test window did not appear"
  TEST_WINDOW=$(head -n1 "$WORK/tool.out")
}

# Ends the tool: its connection closes, and the server destroys its window.
close_test_window() {
  stop_process "$TOOL_PID"
}

# The id of the first child of window $1 whose name is $2 (empty when none).
child_named() {
  xwininfo -children -id "$1" 2>/dev/null | grep -F "\"$2\": (" | awk '{ print $1; exit }'
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

# Checks that haze's Preview child fills TEST_WINDOW (300x200) and draws the
# scene.
expect_child_fills_test_window() {
  wait_until 10 has_child_named "$TEST_WINDOW" Preview ||
    fail "no \"Preview\" window inside the test window"
  local child
  child=$(child_named "$TEST_WINDOW" Preview)
  wait_until 10 is_viewable "$child" || fail "the Preview window is not on screen"
  [ "$(window_info "$child" "Width")" = 300 ] || fail "the child is not as wide as its parent"
  [ "$(window_info "$child" "Height")" = 200 ] || fail "the child is not as high as its parent"
  [ "$(window_info "$child" "Relative upper-left X")" = 0 ] || fail "the child is not at x 0"
  [ "$(window_info "$child" "Relative upper-left Y")" = 0 ] || fail "the child is not at y 0"
  sleep 0.5
  # Black letterbox bars over the white test window, the glow in the middle.
  expect_scene_in "$(window_info "$TEST_WINDOW" "Absolute upper-left X")" \
    "$(window_info "$TEST_WINDOW" "Absolute upper-left Y")" 300 200 "Preview-300x200"
}

# --- colours on the screen ------------------------------------------------------

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

# Counts the white pixels of the screen's WxH+X+Y rectangle.
white_pixels() {
  "$TOOL" screenshot "$WORK/count.png"
  convert "$WORK/count.png" -crop "$1" +repage -fill black +opaque white \
    -format '%[fx:round(mean*w*h)]' info:
}

# Installs the build's haze under $SAVER_DIR/prefix; PREFIX names it, PROGRAM
# the haze the daemons run, PREFERENCES the user's ~/.xscreensaver.
install_haze() {
  : "${HAZE_BUILD_DIR:?HAZE_BUILD_DIR names the build folder}"
  PREFIX=$SAVER_DIR/prefix
  PROGRAM=$PREFIX/libexec/xscreensaver/haze
  PREFERENCES=$SAVER_HOME/.xscreensaver
  cmake --install "$HAZE_BUILD_DIR" --prefix "$PREFIX" >"$WORK/install.out" 2>&1 ||
    fail "cmake --install failed: $(cat "$WORK/install.out")"
}
