#!/usr/bin/env bash
# System tests of the Wayland backend: haze under headless sway (wlroots: the
# layer shell, grim's screenshots, wtype's keys, swayidle, a virtual pointer)
# and headless weston (no layer shell: the xdg-shell fallback). Both run as
# an unprivileged user (sway refuses root), with a runtime folder of their
# own. Usage: wayland_system_test.sh CASE (see the cases at the end).
CASE_NAME=$1
source "$(dirname "$0")/lib.sh"

: "${POINTER_TOOL:?POINTER_TOOL names wayland_pointer_tool}"

# --- compositors ----------------------------------------------------------------

# The user's runtime folder and copies of the programs it runs (the build
# folder may be closed to it).
prepare_wayland_user() {
  prepare_runtime
  mkdir -m 755 "$SAVER_DIR/shots" "$SAVER_DIR/bin"
  cp "$HAZE" "$SAVER_DIR/bin/haze"
  cp "$POINTER_TOOL" "$SAVER_DIR/bin/wayland_pointer_tool"
  if [ "$(id -u)" -eq 0 ]; then
    chown "$SAVER_USER_NAME:" "$SAVER_DIR/shots"
  fi
  WHAZE=$SAVER_DIR/bin/haze
}

# Headless sway with one 1280x720 output, HEADLESS-1, and no input devices
# until a test makes them. A -window haze floats at 100, 100 of the output
# at the size it asks for. (Sway 1.7 drops a resize asked for while it still
# waits for a client to answer an earlier configure, as a window just mapped
# as a tile may be: a rule applied when the window maps leaves no such race.)
start_sway() {
  require grim wtype convert
  prepare_wayland_user
  start_headless_sway 'focus_follows_mouse no' \
    'for_window [app_id=haze] floating enable, move position 100 100'
  set_output HEADLESS-1 1280x720 0 0
  hold_a_keyboard
}

# A keyboard for the whole test, as a desktop has: wtype makes its keyboard
# when it starts and takes it away when it ends, and a key typed before a
# client has taken up a keyboard that has just appeared is lost to it.
hold_a_keyboard() {
  client_words
  "${CLIENT[@]}" wtype -s 600000 >"$WORK/keyboard.log" 2>&1 &
  stop_at_exit $!
  wait_until 5 eval 'grep -q "keyboard" <<<"$(as_client swaymsg -t get_inputs)"' ||
    fail "no keyboard on the seat"
}

# Output NAME at mode WxH, its top left corner at X, Y of the layout; a scale
# may follow.
set_output() {
  as_client swaymsg output "$1" mode "$2" position "$3" "$4" scale "${5:-1}" >/dev/null ||
    fail "sway did not set output $1"
}

# A second output, HEADLESS-2.
add_output() {
  as_client swaymsg create_output >/dev/null || fail "sway made no second output"
  set_output HEADLESS-2 "$@"
}

# Headless weston, with the desktop shell and no animations: no layer shell.
start_weston() {
  require weston weston-screenshooter setpriv convert
  prepare_wayland_user
  printf '%s\n' '[shell]' 'animation=none' 'startup-animation=none' 'close-animation=none' \
    'focus-animation=none' 'panel-position=none' >"$SAVER_DIR/weston.ini"
  chmod 644 "$SAVER_DIR/weston.ini"
  WAYLAND_SOCKET_NAME=wayland-haze
  "${AS_SAVER_USER[@]}" env -i HOME="$SAVER_HOME" PATH=/usr/bin:/bin XDG_RUNTIME_DIR="$RUNTIME" \
    weston --backend=headless-backend.so --use-gl --shell=desktop-shell.so --debug \
    --width=640 --height=480 --socket="$WAYLAND_SOCKET_NAME" --config="$SAVER_DIR/weston.ini" \
    >"$WORK/weston.log" 2>&1 &
  COMPOSITOR_PID=$!
  stop_at_exit "$COMPOSITOR_PID"
  wait_until 15 test -S "$RUNTIME/$WAYLAND_SOCKET_NAME" ||
    fail "weston made no socket: $(tail -n 5 "$WORK/weston.log")"
}

# --- haze and what it shows ------------------------------------------------------

start_wayland_haze() {
  client_words
  "${CLIENT[@]}" "$WHAZE" "$@" >"$WORK/haze.out" 2>"$WORK/haze.err" &
  HAZE_PID=$!
  stop_at_exit "$HAZE_PID"
}

# Output $1 as grim sees it, at its device pixels, into $WORK/$2.png; later
# pixel reads look at it.
shoot() {
  as_client grim -o "$1" - >"$WORK/$2.png" 2>"$WORK/grim.err" ||
    fail "grim could not read output $1: $(cat "$WORK/grim.err")"
  SHOT=$WORK/$2.png
}

# The colour at (x, y) of the last screenshot as "R G B" (lib.sh's checks
# read pixels through this).
pixel() {
  convert "$SHOT" -crop "1x1+$1+$2" -depth 8 txt:- |
    sed -n '2s/.*(\([0-9]*\),\([0-9]*\),\([0-9]*\).*/\1 \2 \3/p'
}

# The scene fills the rectangle W x H at X, Y of output OUTPUT (device
# pixels): black bars at its top and bottom, the glow in its middle.
# Screenshots are taken until it does, for a few seconds (smoke drifting over
# the glow may tint it for a moment); the last is kept as NAME.png.
scene_on_output() {
  shoot "$1" "$2" && scene_in "$3" "$4" "$5" "$6" && lit_band "$3" "$4" "$5" "$6"
}

expect_scene_on_output() {
  local output=$1 name=$2 x=$3 y=$4 w=$5 h=$6
  wait_until 10 scene_on_output "$output" "$name" "$x" "$y" "$w" "$h" || true
  expect_colour $((x + 3)) $((y + 3)) 0 0 0 "$name: the top bar"
  expect_colour $((x + w - 4)) $((y + h - 4)) 0 0 0 "$name: the bottom bar"
  expect_glow $((x + w / 2)) $((y + h / 2)) "$name: the middle"
  lit_band "$x" "$y" "$w" "$h" || fail "$name: the band between the bars is dark"
}

# The band across the middle of the rectangle W x H at X, Y of the last
# screenshot is lit: the scene, not a black surface with a yellow pixel.
lit_band() {
  [ "$(convert "$SHOT" -crop "${3}x$(($4 / 6))+$1+$(($2 + $4 * 5 / 12))" +repage \
    -format '%[fx:mean > 0.02]' info:)" = 1 ]
}

press_key() {
  as_client wtype -s 300 "${1:-a}" || fail "wtype could not type"
}

# A virtual pointer, fed through a pipe: `point move 2 0`.
start_pointer() {
  mkfifo "$WORK/pointer"
  client_words
  "${CLIENT[@]}" "$SAVER_DIR/bin/wayland_pointer_tool" <"$WORK/pointer" >"$WORK/pointer.out" \
    2>"$WORK/pointer.err" &
  stop_at_exit $!
  exec 7>"$WORK/pointer"
  wait_until 5 grep -q ready "$WORK/pointer.out" ||
    fail "no virtual pointer: $(cat "$WORK/pointer.err")"
}

point() {
  echo "$*" >&7
  sleep 0.3
}

# --- the cases ---------------------------------------------------------------------

# Outputs of two sizes side by side: each shows its own letterboxed view with
# the glow in its middle, none where one picture over both would have it; a
# key ends the run cleanly.
case_fullscreen_on_two_outputs_shows_a_view_on_each_and_a_key_ends_it() {
  start_sway
  add_output 800x600 1280 0
  start_wayland_haze --seed 7 /s
  expect_scene_on_output HEADLESS-1 left 0 0 1280 720
  ! glow_at 1040 360 || fail "a glow in the middle of both outputs: one picture over both"
  expect_scene_on_output HEADLESS-2 right 0 0 800 600
  expect_still_running 0.3
  press_key a
  expect_haze_exit 0 "a key"
  expect_quiet_stderr
}

# The pointer is known only over haze's surfaces: travel is measured from
# where it is first seen there, and more than 4 pixels ends the run.
case_fullscreen_stays_after_2_pixels_and_ends_after_10() {
  start_sway
  start_pointer
  point place 600 300 1280 720
  start_wayland_haze /s
  expect_scene_on_output HEADLESS-1 screen 0 0 1280 720
  point move 1 0 # where the pointer is first seen
  point move 2 0
  expect_still_running 1
  point move 10 0
  expect_haze_exit 0 "10 pixels of travel"
  expect_quiet_stderr
}

# -root: the scene on the desktop's background, below a window (a -window
# haze floated over it shows its own picture there), input left to the
# desktop; SIGTERM and SIGINT end it cleanly.
case_root_draws_on_the_background_until_sigterm() {
  start_sway
  local signal
  for signal in TERM INT; do
    start_wayland_haze -root
    expect_scene_on_output HEADLESS-1 "background-$signal" 0 0 1280 720
    if [ "$signal" = TERM ]; then
      client_words
      "${CLIENT[@]}" "$WHAZE" -window --size 400x300 >/dev/null 2>"$WORK/haze-window.err" &
      local window=$!
      stop_at_exit "$window"
      wait_until 10 has_haze_window || fail "no window with app_id haze"
      expect_scene_on_output HEADLESS-1 window-above 100 100 400 300
      as_client swaymsg "[app_id=haze] kill" >/dev/null
      wait "$window" || fail "the window's haze exited with $? on its close"
    fi
    press_key a
    expect_still_running 0.5
    kill -"$signal" "$HAZE_PID"
    expect_haze_exit 0 "SIG$signal"
    expect_quiet_stderr
  done
}

# Sway makes the haze window W x H, its corner kept at 100, 100.
resize_haze_window() {
  as_client swaymsg "[app_id=haze] resize set $1 $2, move position 100 100" >/dev/null ||
    fail "sway could not resize the window"
}

has_haze_window() {
  grep -q '"app_id": "haze"' <<<"$(as_client swaymsg -t get_tree)"
}

# -window: an xdg toplevel the compositor may resize; the picture follows.
case_own_window_draws_and_follows_a_resize() {
  start_sway
  start_wayland_haze -window --size 400x300
  wait_until 10 has_haze_window || fail "no window with app_id haze"
  expect_scene_on_output HEADLESS-1 window-400x300 100 100 400 300
  resize_haze_window 640 400
  expect_scene_on_output HEADLESS-1 window-640x400 100 100 640 400
  as_client swaymsg "[app_id=haze] kill" >/dev/null
  expect_haze_exit 0 "the compositor's close"
  expect_quiet_stderr
}

# An output plugged in during the run gets its own view.
case_output_added_during_a_run_gets_its_view() {
  start_sway
  start_wayland_haze --seed 7 /s
  expect_scene_on_output HEADLESS-1 before 0 0 1280 720
  add_output 640x480 1280 0
  expect_scene_on_output HEADLESS-2 added 0 0 640 480
  expect_scene_on_output HEADLESS-1 after 0 0 1280 720
  press_key a
  expect_haze_exit 0 "a key"
}

# Mean difference (0 to 1) between picture $1 and itself halved and doubled
# again: next to nothing for a picture drawn at half the pixels and
# enlarged, plenty for stars a device pixel across.
fine_detail() {
  convert "$1" \( +clone -scale 50% -scale 200% \) -compose difference -composite \
    -colorspace gray -format '%[fx:mean]' info:
}

# Two outputs of 1280x720 device pixels, one at scale 1 and one at scale 2:
# both pictures are drawn at their device pixels, so the one at scale 2
# holds as much fine detail as the other (an enlarged half-size picture
# holds a fraction of it).
case_output_at_scale_2_is_drawn_at_its_device_pixels() {
  start_sway
  add_output 1280x720 1280 0 2
  start_wayland_haze --seed 7 /s
  expect_scene_on_output HEADLESS-1 scale-1 0 0 1280 720
  expect_scene_on_output HEADLESS-2 scale-2 0 0 1280 720
  local one two
  one=$(fine_detail "$WORK/scale-1.png")
  two=$(fine_detail "$WORK/scale-2.png")
  awk -v a="$one" -v b="$two" 'BEGIN { exit !(b >= 0.5 * a) }' ||
    fail "the scale-2 output has $two of fine detail against $one at scale 1: enlarged"
  press_key a
  expect_haze_exit 0 "a key"
}

# swayidle starts `haze /s` after a second without input; a key ends it.
case_swayidle_starts_the_saver_and_a_key_ends_it() {
  require swayidle
  start_sway
  client_words
  "${CLIENT[@]}" swayidle -w timeout 1 "$WHAZE /s 2>$SAVER_DIR/shots/haze.err; echo \$? >$SAVER_DIR/shots/status" \
    >"$WORK/swayidle.log" 2>&1 &
  stop_at_exit $!
  expect_scene_on_output HEADLESS-1 idle 0 0 1280 720
  press_key a
  wait_until 5 test -s "$SAVER_DIR/shots/status" || fail "haze did not end on the key"
  [ "$(cat "$SAVER_DIR/shots/status")" = 0 ] ||
    fail "haze exited with $(cat "$SAVER_DIR/shots/status"): $(cat "$SAVER_DIR/shots/haze.err")"
}

swaps_at_least() {
  [ -s "$WORK/swaps" ] && [ "$(cut -d' ' -f1 "$WORK/swaps")" -ge "$1" ]
}

# After 300 frames the picture on the output is the one haze draws headless
# in the same time with the same seed, where the frame is kept by
# construction: each colour's mean within 0.025 (about 6 levels). A swap
# that showed a stale or blank buffer would darken it far more.
case_trails_stay_intact_after_300_frames() {
  start_sway
  local started elapsed
  cp "$SWAP_COUNTER" "$SAVER_DIR/bin/"
  started=$(date +%s.%N)
  client_words
  "${CLIENT[@]}" env LD_PRELOAD="$SAVER_DIR/bin/$(basename "$SWAP_COUNTER")" \
    SWAP_COUNTER_FILE="$SAVER_DIR/shots/swaps" "$WHAZE" --seed 5 /s \
    >"$WORK/haze.out" 2>"$WORK/haze.err" &
  HAZE_PID=$!
  stop_at_exit "$HAZE_PID"
  ln -s "$SAVER_DIR/shots/swaps" "$WORK/swaps"
  wait_until 60 swaps_at_least 300 || fail "haze did not draw 300 frames"
  elapsed=$(awk -v s="$started" -v e="$(date +%s.%N)" 'BEGIN { print e - s }')
  shoot HEADLESS-1 live
  press_key a
  expect_haze_exit 0 "a key"
  "$HAZE" --render "$WORK/headless.png" --size 1280x720 --seed 5 --frames 300 \
    --step-ms "$(awk -v t="$elapsed" 'BEGIN { printf "%d", t * 1000 / 300 }')" >/dev/null ||
    fail "haze --render failed"
  local live=($(picture_means "$WORK/live.png")) kept=($(picture_means "$WORK/headless.png"))
  for i in 0 1 2; do
    at_most "$(awk -v a="${live[i]}" -v b="${kept[i]}" 'BEGIN { d = a - b; print d < 0 ? -d : d }')" 0.025 ||
      fail "the picture on Wayland (means ${live[*]}) is not the headless one's (${kept[*]})"
  done
}

# Wayland cannot put haze inside another client's window: one line saying
# so, never a crash.
case_foreign_windows_are_refused_in_one_line() {
  start_sway
  local mode
  # Each a command line this window system cannot take: exit 2, as on X11
  # for a window id that names no window.
  for mode in "-window-id 0x400001:2" "/p 4194305:2" "-root -window-id 0x400001:2"; do
    STATUS=0
    as_client timeout 10 "$WHAZE" ${mode%:*} >"$WORK/haze.out" 2>"$WORK/haze.err" || STATUS=$?
    [ "$STATUS" -eq "${mode#*:}" ] || fail "haze ${mode%:*} exited with $STATUS"
    [ "$(wc -l <"$WORK/haze.err")" -eq 1 ] && grep -q "another program's window" "$WORK/haze.err" ||
      fail "haze $mode said: $(cat "$WORK/haze.err")"
  done
}

# No compositor where WAYLAND_DISPLAY points, and no X display: one line
# naming both and the headless way out, exit 1. Then a compositor that dies
# under a running saver: one line, exit 1, no hang.
case_no_compositor_or_one_gone_mid_run_is_one_line_and_exit_1() {
  STATUS=0
  env -u DISPLAY WAYLAND_DISPLAY=haze-no-such-socket XDG_RUNTIME_DIR="$WORK" "$HAZE" /s \
    >"$WORK/haze.out" 2>"$WORK/haze.err" || STATUS=$?
  [ "$STATUS" -eq 1 ] && [ "$(wc -l <"$WORK/haze.err")" -eq 1 ] &&
    grep -q "haze-no-such-socket.*--render" "$WORK/haze.err" ||
    fail "without a compositor: status $STATUS, stderr: $(cat "$WORK/haze.err")"

  start_sway
  start_wayland_haze /s
  expect_scene_on_output HEADLESS-1 screen 0 0 1280 720
  kill -KILL "$COMPOSITOR_PID"
  expect_haze_exit 1 "the compositor's end"
  [ "$(wc -l <"$WORK/haze.err")" -eq 1 ] && grep -q "Wayland compositor" "$WORK/haze.err" ||
    fail "expected one line about the compositor, got: $(cat "$WORK/haze.err")"
}

# weston's screenshot of its whole screen into $WORK/$1.png.
weston_shot() {
  rm -f "$SAVER_DIR"/shots/wayland-screenshot-*.png
  (cd "$SAVER_DIR/shots" && as_client weston-screenshooter >/dev/null 2>&1) || return 1
  mv "$SAVER_DIR"/shots/wayland-screenshot-*.png "$WORK/$1.png" 2>/dev/null || return 1
  SHOT=$WORK/$1.png
}

# Without a layer shell, full screen is a fullscreen xdg-shell toplevel.
case_weston_fullscreen_falls_back_to_a_toplevel_and_draws() {
  start_weston
  start_wayland_haze --seed 7 /s
  wait_until 10 eval 'weston_shot screen && scene_in 0 0 640 480' || true
  weston_shot screen || fail "weston-screenshooter took no screenshot"
  expect_colour 3 3 0 0 0 "the top bar"
  expect_colour 636 476 0 0 0 "the bottom bar"
  expect_glow 320 240 "the middle of the screen"
  lit_band 0 0 640 480 || fail "the band between the bars is dark"
  kill -TERM "$HAZE_PID"
  expect_haze_exit 0 SIGTERM
  expect_quiet_stderr
}

# Nor can -root draw on weston's background: one line says why, exit 1.
case_weston_root_says_why_it_cannot() {
  start_weston
  start_wayland_haze -root
  expect_haze_exit 1 "-root without a layer shell"
  [ "$(wc -l <"$WORK/haze.err")" -eq 1 ] && grep -q "layer shell" "$WORK/haze.err" ||
    fail "expected one line about the layer shell, got: $(cat "$WORK/haze.err")"
}

"case_$CASE_NAME"
echo "PASS: $CASE_NAME"
