#!/usr/bin/env bash
# System tests of the X11 saver under a private Xvfb, driven by xdotool.
# Usage: saver_system_test.sh CASE (see the cases at the end).
CASE_NAME=$1
source "$(dirname "$0")/lib.sh"
# These cases are X11's: a Wayland session around them must not be chosen first.
unset WAYLAND_DISPLAY WAYLAND_SOCKET

# --- full screen ------------------------------------------------------------

case_fullscreen_covers_screen() {
  start_full_screen
  [ "$(window_info "$SAVER" "Absolute upper-left X")" = 0 ] || fail "left edge not at 0"
  [ "$(window_info "$SAVER" "Absolute upper-left Y")" = 0 ] || fail "top edge not at 0"
  [ "$(window_info "$SAVER" "Width")" = "$SCREEN_W" ] || fail "not as wide as the screen"
  [ "$(window_info "$SAVER" "Height")" = "$SCREEN_H" ] || fail "not as high as the screen"
  [ "$(window_info "$SAVER" "Override Redirect State")" = "yes" ] ||
    fail "a window manager could move or decorate the saver"
  grep -q '"Screen Saver": ("haze" "WindowsScreenSaverClass")' <<<"$(xwininfo -root -tree)" ||
    fail "the saver window's class is not WindowsScreenSaverClass"
  xdotool key Escape
  expect_closed_cleanly
}

case_fullscreen_closes_on_key() {
  start_full_screen
  expect_still_running 0.3
  xdotool key a
  expect_closed_cleanly
}

case_fullscreen_closes_on_click() {
  start_full_screen
  xdotool click 1
  expect_closed_cleanly
}

case_fullscreen_closes_after_3_plus_3_pixels() {
  start_full_screen
  xdotool mousemove_relative -- 3 0
  expect_still_running 0.7 # 3 pixels from where the pointer was: not yet
  xdotool mousemove_relative -- 3 0
  expect_closed_cleanly
}

case_fullscreen_stays_after_4_pixels() {
  start_full_screen
  xdotool mousemove_relative -- 2 0
  sleep 0.2
  xdotool mousemove_relative -- 0 2
  expect_still_running 1 # 4 pixels in all is not more than 4
  xdotool mousemove_relative -- 1 0
  expect_closed_cleanly # the fifth pixel is
}

case_fullscreen_closes_when_focus_leaves() {
  start_xvfb "${SCREEN_W}x${SCREEN_H}"
  open_test_window 100x100
  start_full_screen
  xdotool windowfocus "$TEST_WINDOW"
  expect_closed_cleanly
}

case_fullscreen_shows_the_scene() {
  start_full_screen --seed 7
  sleep 1
  "$TOOL" screenshot "$WORK/screen.png"
  local last_x=$((SCREEN_W - 5)) last_y=$((SCREEN_H - 5))
  # The letterbox bars, black at the top and the bottom of the screen.
  expect_colour 4 4 0 0 0 "the top bar"
  expect_colour "$last_x" 4 0 0 0 "the top bar"
  expect_colour 4 "$last_y" 0 0 0 "the bottom bar"
  expect_colour "$last_x" "$last_y" 0 0 0 "the bottom bar"
  # The camera always looks at the origin: the yellow glow is in the middle.
  expect_glow $((SCREEN_W / 2)) $((SCREEN_H / 2)) "the middle of the screen"
  # The scene moves: the screen changes over time.
  sleep 0.5
  "$TOOL" screenshot "$WORK/screen-later.png"
  ! cmp -s "$WORK/screen.png" "$WORK/screen-later.png" || fail "the picture does not move"
  xdotool key a
  expect_closed_cleanly
}

# Nothing scales on X11: a 4K screen gets the band and the glow in its
# middle, in its own pixels.
case_fullscreen_at_3840x2160_shows_band_and_glow() {
  SCREEN_W=3840 SCREEN_H=2160 start_full_screen --seed 7
  sleep 2
  expect_scene_in 0 0 3840 2160 fullscreen-3840x2160
  xdotool key a
  expect_closed_cleanly
}

# One window over two monitors: each shows its own letterboxed view, with
# the glow in its middle rather than on the bezel between them.
case_fullscreen_spanning_two_monitors_shows_a_view_on_each() {
  start_two_heads
  start_full_screen --seed 7
  [ "$(window_info "$SAVER" "Width")" = 1280 ] || fail "the saver does not span both monitors"
  sleep 1
  expect_scene_in 0 0 640 480 left-monitor
  expect_scene_in 640 0 640 480 right-monitor
  ! glow_at 640 240 || fail "a glow on the bezel: one picture over both monitors"
  xdotool key a
  expect_closed_cleanly
}

case_second_fullscreen_start_leaves_the_first() {
  start_full_screen
  local first=$HAZE_PID
  "$HAZE" /s >"$WORK/second.out" 2>"$WORK/haze-second.err" || fail "the second start failed"
  kill -0 "$first" 2>/dev/null || fail "the first saver ended"
  [ "$(windows_named "Screen Saver")" -eq 1 ] || fail "two full-screen saver windows"
  xdotool key a
  expect_closed_cleanly
}

# --- preview and daemon windows -------------------------------------------

has_size() {
  [ "$(window_info "$1" Width)" = "$2" ] && [ "$(window_info "$1" Height)" = "$3" ]
}

# Window $1 is resized to each of the sizes after it, as a settings page
# laying itself out or a window manager does: the Preview child in it
# follows, and the picture is drawn at the new size.
expect_child_follows_resizes() {
  local outer=$1 size w h child
  shift
  for size in "$@"; do
    w=${size%x*} h=${size#*x}
    "$TOOL" resize "$outer" "$size"
    child=$(child_named "$outer" Preview)
    wait_until 5 has_size "$child" "$w" "$h" || fail "the picture did not follow to $size"
    sleep 0.5
    expect_scene_in "$(window_info "$outer" "Absolute upper-left X")" \
      "$(window_info "$outer" "Absolute upper-left Y")" "$w" "$h" "resized-$size"
  done
}

poke_with_keys_and_clicks() {
  xdotool windowfocus "$TEST_WINDOW"
  xdotool key a key Escape key q
  local x y
  x=$(window_info "$TEST_WINDOW" "Absolute upper-left X")
  y=$(window_info "$TEST_WINDOW" "Absolute upper-left Y")
  xdotool mousemove $((x + 150)) $((y + 100)) click 1 click 3
  xdotool mousemove_relative -- 40 40
  expect_still_running 1
}

# Destroying the window haze draws in ends haze, with exit code 0.
expect_end_with_its_window() {
  close_test_window
  expect_closed_cleanly "its window's end"
}

case_preview_fills_window_and_survives_input() {
  start_xvfb 640x480
  open_test_window 300x200
  start_in_test_window /p "$TEST_WINDOW"
  poke_with_keys_and_clicks
  expect_end_with_its_window
}

case_window_id_fills_window_and_survives_input() {
  start_xvfb 640x480
  open_test_window 300x200
  start_in_test_window -window-id "$(printf '0x%x' "$TEST_WINDOW")"
  poke_with_keys_and_clicks
  expect_end_with_its_window
}

# A settings page laid out anew, a daemon's window that changes size: the
# preview and the daemon-style run both follow.
case_preview_and_window_id_follow_their_window_growing_and_shrinking() {
  start_xvfb 640x480
  local mode
  for mode in /p -window-id; do
    open_test_window 300x200
    start_in_test_window "$mode" "$TEST_WINDOW"
    expect_child_follows_resizes "$TEST_WINDOW" 500x400 180x120
    expect_end_with_its_window
  done
}

case_root_draws_in_xscreensaver_window() {
  start_xvfb 640x480
  open_test_window 300x200
  XSCREENSAVER_WINDOW=$(printf '0x%x' "$TEST_WINDOW") start_in_test_window -root
  expect_end_with_its_window
}

case_root_without_daemon_window_draws_below_every_window() {
  start_xvfb 320x240
  open_test_window 100x80 # white, at (10, 10)
  start_root
  sleep 0.5
  expect_colour 3 3 0 0 0 "the top bar on the desktop"
  expect_glow 160 120 "the middle of the desktop"
  expect_colour 50 50 255 255 255 "the test window above the saver"
  xdotool mousemove 200 200 click 1 key a
  expect_still_running 0.5
  stop_haze
  expect_quiet_stderr
}

# XScreenSaver, when it stops a hack, may destroy the window it handed over
# just before its SIGTERM arrives: haze still ends cleanly and quietly.
case_daemon_destroys_its_window_then_stops_haze() {
  start_xvfb 640x480
  open_test_window 300x200
  start_in_test_window -window-id "$TEST_WINDOW"
  close_test_window
  stop_haze
  expect_quiet_stderr
}

case_sigterm_ends_daemon_run_cleanly() {
  start_xvfb 640x480
  open_test_window 300x200
  start_in_test_window -window-id "$TEST_WINDOW"
  stop_haze
  expect_quiet_stderr
  [ -z "$(child_named "$TEST_WINDOW" Preview)" ] || fail "the preview window outlived haze"

  start_in_test_window -window-id "$TEST_WINDOW"
  stop_haze INT
  expect_quiet_stderr
}

case_own_window_closes_on_q_escape_and_close_button() {
  start_xvfb 640x480
  local how
  for how in q Escape close; do
    start_own_window
    [ "$(window_info "$OWN" "Width")" = 200 ] || fail "the window is not 200 wide"
    xdotool mousemove_relative -- 30 30 click 1 # input does not end it
    expect_still_running 0.5
    if [ "$how" = close ]; then
      "$TOOL" close "$OWN"
    else
      xdotool windowfocus "$OWN"
      xdotool key "$how"
    fi
    expect_closed_cleanly "$how"
    [ -z "$(window_named haze)" ] || fail "the haze window stayed after $how"
  done
}

# --- without OpenGL -----------------------------------------------------------

# haze said once, in one line, why nothing will be drawn, and nothing else.
expect_one_reason() {
  [ "$(wc -l <"$WORK/haze.err")" -eq 1 ] && grep -q "nothing will be drawn" "$WORK/haze.err" ||
    fail "expected one line saying why nothing is drawn, got: $(cat "$WORK/haze.err")"
}

# -root, /s and -window where no OpenGL can be had: each keeps its window
# black (checked when $1 is "black") and ends by its own rule, with the exit
# code of a run that draws.
expect_every_mode_to_end_by_its_rule() {
  start_root
  expect_still_running 0.5
  if [ "$1" = black ]; then
    expect_colour 100 100 0 0 0 "the -root window"
  fi
  stop_haze
  expect_one_reason

  start_full_screen
  expect_still_running 0.5
  xdotool key a
  expect_haze_exit 0 "a key"
  expect_one_reason

  start_own_window
  expect_still_running 0.5
  xdotool windowfocus "$OWN"
  xdotool key q
  expect_haze_exit 0 q
  expect_one_reason
}

case_no_glx_every_mode_ends_by_its_rule() {
  start_xvfb 320x240 24 -extension GLX
  expect_every_mode_to_end_by_its_rule black
}

case_eight_bit_display_every_mode_ends_by_its_rule() {
  # Indexed colour only (Xvfb then offers no GLX either); the test tool reads
  # true colour only, so the window's colour is not checked.
  start_xvfb 320x240 8
  expect_every_mode_to_end_by_its_rule indexed
}

# --- the picture across buffer swaps --------------------------------------------

# The driver of the preloaded loud_swap library keeps nothing across a swap
# (it paints the back buffer green after each) and offers no copying swap:
# haze draws on a canvas, and its picture after 300 frames has no green and
# matches a run on a driver that keeps the frame, the mean of each colour
# within 0.025 (about 6 levels). With the canvas forced off the green shows.
case_canvas_keeps_the_picture_when_swaps_keep_nothing() {
  require convert
  start_xvfb 320x240
  local started elapsed loud=(env LD_PRELOAD="$LOUD_SWAP" LOUD_SWAP_COUNT_FILE="$WORK/swaps")
  HAZE_PREFIX=("${loud[@]}")
  start_root --seed 5
  started=$(date +%s.%N)
  wait_until 30 swaps_at_least "$WORK/swaps" 300 || fail "haze did not draw 300 frames"
  elapsed=$(awk -v s="$started" -v e="$(date +%s.%N)" 'BEGIN { print e - s }')
  "$TOOL" screenshot "$WORK/canvas.png"
  stop_haze
  expect_quiet_stderr

  HAZE_PREFIX=()
  start_root --seed 5 # as long, where the frame is kept
  sleep "$elapsed"
  "$TOOL" screenshot "$WORK/kept.png"
  stop_haze

  rm -f "$WORK/swaps"
  HAZE_PREFIX=("${loud[@]}" HAZE_CANVAS=off)
  start_root --seed 5
  wait_until 30 swaps_at_least "$WORK/swaps" 300 || fail "haze did not draw 300 frames without its canvas"
  "$TOOL" screenshot "$WORK/no-canvas.png"
  stop_haze

  local green
  green=$(green_share "$WORK/canvas.png")
  at_most "$green" 0.001 || fail "green garbage on the canvas's picture: a share of $green"
  green=$(green_share "$WORK/no-canvas.png")
  ! at_most "$green" 0.2 || fail "without the canvas the garbage should show, but only $green is green"
  local canvas=($(picture_means "$WORK/canvas.png")) kept=($(picture_means "$WORK/kept.png"))
  for i in 0 1 2; do
    at_most "$(awk -v a="${canvas[i]}" -v b="${kept[i]}" 'BEGIN { d = a - b; print d < 0 ? -d : d }')" 0.025 ||
      fail "the canvas's picture (means ${canvas[*]}) is not the kept one's (${kept[*]})"
  done
}

case_own_window_follows_a_window_manager_resize() {
  start_xvfb 640x480
  start_own_window
  expect_child_follows_resizes "$OWN" 600x400
  "$TOOL" close "$OWN"
  expect_closed_cleanly "its window's close"
}

# --- as the daemons' hacks ---------------------------------------------------

# Each option a daemon or its settings program gives its hacks: haze runs
# with it, never refusing it as a usage error, draws in the window and ends
# cleanly on SIGTERM. The preview's --root --window-id comes with each.
case_daemon_style_options_run() {
  start_xvfb 640x480
  open_test_window 300x200
  local id default_visual option
  id=$(printf '0x%x' "$TEST_WINDOW")
  default_visual=$(xdpyinfo | awk '/default visual id:/ { id = $4 } END { print id }')
  # One or two dashes, in turn (the parser's unit tests take both of each).
  local options=(
    "-delay 20000" "--fps" "-no-fps" "--display $DISPLAY" "-visual default" "--visual gl"
    "-visual $default_visual" "-install" "--sync"
  )
  for option in "${options[@]}"; do
    # -display opens the display it names, whatever DISPLAY says.
    local display=$DISPLAY
    [[ "$option" != *display* ]] || display=:4095
    DISPLAY=$display start_haze --root --window-id "$id" $option
    expect_child_fills_test_window
    if [ "$option" = --fps ]; then
      # After a second, the rate's white characters in the lower left corner
      # (3-pixel cells from 180 pixels of height: a box 27 pixels high, 6
      # pixels from the corner).
      sleep 1
      local box="135x27+$(($(window_info "$TEST_WINDOW" "Absolute upper-left X") + 6))"
      box+="+$(($(window_info "$TEST_WINDOW" "Absolute upper-left Y") + 200 - 33))"
      [ "$(white_pixels "$box")" -ge 40 ] || fail "--fps: no frame rate in the corner"
    fi
    stop_haze TERM "$option"
    expect_quiet_stderr
  done

  # A visual haze cannot draw in, and a HAZE_CANVAS it does not know: one
  # line of warning each, what was given shown escaped, and the scene all
  # the same.
  HAZE_CANVAS=ON start_in_test_window -root -window-id "$id" -visual $'mono\e[2J'
  stop_haze
  [ "$(wc -l <"$WORK/haze.err")" -eq 2 ] && grep -qF -- '-visual mono\x1b[2J' "$WORK/haze.err" &&
    grep -q HAZE_CANVAS "$WORK/haze.err" || fail "-visual mono: stderr: $(cat "$WORK/haze.err")"

  for option in -help --help; do
    run_haze "$option"
    [ "$STATUS" -eq 0 ] && grep -q -- "-delay US" "$WORK/haze.out" ||
      fail "$option exited with $STATUS and printed: $(cat "$WORK/haze.out")"
  done
  # What no hack takes is still a usage error.
  run_haze -root -no-such-option
  expect_one_line_error "unknown option -no-such-option"
  [ "$STATUS" -eq 2 ] || fail "an unknown option exited with $STATUS, expected 2"
}

# The frames of the run, from the preloaded swap counter: SWAPS swaps took
# SWAP_SECONDS, measured over about two seconds once haze is drawing.
count_frames() {
  : "${SWAP_COUNTER:?SWAP_COUNTER names the preloaded swap counter}"
  rm -f "$WORK/swaps"
  SWAP_COUNTER_FILE=$WORK/swaps LD_PRELOAD=$SWAP_COUNTER start_haze "$@"
  wait_until 10 swaps_at_least "$WORK/swaps" 1 || fail "haze $* swapped no buffers"
  sleep 0.5
  count_swaps "$HAZE_PID" "$WORK/swaps" 2
  stop_haze
  [ "$SWAPS" -gt 1 ] || fail "haze $* drew $SWAPS frames in two seconds"
}

# -delay 200000: no frame starts sooner than 0.2 s after the one before,
# where haze otherwise draws many more frames a second.
case_delay_sets_the_shortest_frame_period() {
  start_xvfb 640x480
  open_test_window 300x200
  count_frames -window-id "$TEST_WINDOW" -delay 200000
  awk -v n="$SWAPS" -v t="$SWAP_SECONDS" 'BEGIN { exit !(t / n >= 0.19) }' ||
    fail "-delay 200000: $SWAPS frames in $SWAP_SECONDS s"
  count_frames -window-id "$TEST_WINDOW"
  awk -v n="$SWAPS" -v t="$SWAP_SECONDS" 'BEGIN { exit !(t / n < 0.1) }' ||
    fail "without -delay: only $SWAPS frames in $SWAP_SECONDS s"
}

# --- a window nobody sees ------------------------------------------------------

swap_count() {
  awk '{ print $1 }' "$WORK/swaps"
}

# Once haze has heard that nobody sees its window ($1 says why), within 5 s
# (no swap for half a second), it draws not one frame more.
expect_no_frames_while() {
  local before
  wait_until 5 eval 'before=$(swap_count); sleep 0.5; [ "$(swap_count)" = "$before" ]' ||
    fail "haze goes on drawing while $1"
  sleep 1
  [ "$(swap_count)" = "$before" ] ||
    fail "haze drew $(($(swap_count) - before)) frames in a second while $1"
}

expect_frames_again_once() {
  local before
  before=$(swap_count)
  wait_until 5 eval '[ "$(swap_count)" -gt "$before" ]' || fail "no frame once $1"
}

# A daemon takes its window off the screen, or another window covers it
# wholly: haze draws nothing until the window is seen again, then at once.
case_no_frames_while_its_window_is_unmapped_or_covered() {
  : "${SWAP_COUNTER:?SWAP_COUNTER names the preloaded swap counter}"
  start_xvfb 640x480
  open_test_window 300x200
  local daemon_window=$TEST_WINDOW
  SWAP_COUNTER_FILE=$WORK/swaps LD_PRELOAD=$SWAP_COUNTER start_in_test_window -window-id \
    "$daemon_window"
  xdotool windowunmap "$daemon_window"
  expect_no_frames_while "its window is unmapped"
  xdotool windowmap "$daemon_window"
  expect_frames_again_once "its window is mapped again"
  open_test_window 400x300 # at the same corner, over the first
  expect_no_frames_while "another window covers it"
  close_test_window
  expect_frames_again_once "the window over it has gone"
  stop_haze
  expect_quiet_stderr
}

# --- installed, under the real XScreenSaver daemon -----------------------------

# The entry lines of the programs list in ~/.xscreensaver or the defaults.
program_entries() {
  sed -n '/^\*\{0,1\}programs:/,/[^\\]$/p' "$1" | grep -c '\\n'
}

# haze --install-xscreensaver for the test user, then the list checked: the
# daemon's stock entries and haze's as the last.
install_into_daemon_list() {
  as_saver_user "$PREFIX/bin/haze" --install-xscreensaver >"$WORK/setup.out" 2>&1 ||
    fail "haze --install-xscreensaver failed: $(cat "$WORK/setup.out")"
  local stock
  stock=$(program_entries /etc/X11/app-defaults/XScreenSaver)
  [ "$(program_entries "$PREFERENCES")" -eq $((stock + 1)) ] ||
    fail "~/.xscreensaver lists $(program_entries "$PREFERENCES") programs, not $stock + haze"
  grep -qF "$PROGRAM --root" <<<"$(sed -n '/^programs:/,/[^\\]$/p' "$PREFERENCES" | tail -n 1)" ||
    fail "haze is not the last program of ~/.xscreensaver"
  HAZE_INDEX=$((stock + 1))
}

daemon_answers() {
  as_saver_user xscreensaver-command -time >/dev/null 2>&1
}

haze_is_running() {
  [ -n "$(processes_of "$PROGRAM")" ]
}

no_haze_is_running() {
  [ -z "$(processes_of "$PROGRAM")" ]
}

# XScreenSaver 6, as an unprivileged user with haze installed under a prefix
# and added to its list by the one command; five times over: the daemon runs
# haze, which draws its scene over the screen; the settings preview's way of
# starting it (--root --window-id) draws into a window of the test; and once
# each is stopped no haze is left running.
case_xscreensaver_runs_the_installed_haze() {
  require xscreensaver xscreensaver-command setpriv pgrep convert
  prepare_saver_user
  install_haze
  start_xvfb "${SCREEN_W}x${SCREEN_H}"

  # Without ~/.xscreensaver: made from the defaults; again: no change; undone:
  # gone. Then into a file of the user's own, whose settings stay.
  install_into_daemon_list
  cp "$PREFERENCES" "$WORK/once"
  as_saver_user "$PREFIX/bin/haze" --install-xscreensaver >"$WORK/setup.out" 2>&1
  cmp -s "$PREFERENCES" "$WORK/once" || fail "a second --install-xscreensaver changed the file"
  as_saver_user "$PREFIX/bin/haze" --uninstall-xscreensaver >"$WORK/setup.out" 2>&1
  [ ! -e "$PREFERENCES" ] || fail "--uninstall-xscreensaver left the file it made"
  printf 'fade:\tFalse\nunfade:\tFalse\nsplash:\tFalse\n' >"$WORK/own"
  as_saver_user sh -c "cat >'$PREFERENCES'" <"$WORK/own"
  install_into_daemon_list
  [ "$(head -n 3 "$PREFERENCES")" = "$(cat "$WORK/own")" ] || fail "the user's settings changed"

  "${AS_SAVER_USER[@]}" xscreensaver --no-splash --verbose >"$WORK/xscreensaver.log" 2>&1 &
  stop_at_exit $!
  wait_until 20 daemon_answers || fail "the daemon does not answer"

  local cycle
  HAZE=$PROGRAM
  HAZE_PREFIX=("${AS_SAVER_USER[@]}")
  for cycle in 1 2 3 4 5; do
    as_saver_user xscreensaver-command -select "$HAZE_INDEX" >/dev/null
    wait_until 10 haze_is_running || fail "cycle $cycle: the daemon did not start haze"
    wait_until 10 glow_at $((SCREEN_W / 2)) $((SCREEN_H / 2)) || true
    # The scene over the whole screen: black bars, a lit band, the glow centred.
    expect_colour 2 2 0 0 0 "cycle $cycle: the top bar"
    expect_colour $((SCREEN_W - 3)) $((SCREEN_H - 3)) 0 0 0 "cycle $cycle: the bottom bar"
    expect_glow $((SCREEN_W / 2)) $((SCREEN_H / 2)) "cycle $cycle: the middle of the screen"
    "$TOOL" screenshot "$WORK/screen.png"
    [ "$(convert "$WORK/screen.png" -crop "${SCREEN_W}x60+0+$((SCREEN_H / 2 - 30))" +repage \
      -format '%[fx:mean > 0.02]' info:)" = 1 ] || fail "cycle $cycle: the middle band is dark"
    as_saver_user xscreensaver-command -deactivate >/dev/null
    wait_until 5 no_haze_is_running || fail "cycle $cycle: haze still runs after the daemon stopped"

    open_test_window 300x200
    start_in_test_window --root --window-id "$(printf '0x%x' "$TEST_WINDOW")"
    stop_haze TERM "cycle $cycle's preview"
    expect_quiet_stderr
    close_test_window
    no_haze_is_running || fail "cycle $cycle: a haze is left after the preview"
  done
  # The daemon ran haze once a cycle, and each haze ran until it was stopped.
  local log=$WORK/xscreensaver.log pids pid
  pids=$(sed -n 's/.*forked ".*haze --root" in pid \([0-9]*\).*/\1/p' "$log")
  [ "$(echo "$pids" | wc -w)" -eq 5 ] || fail "the daemon started haze $(echo "$pids" | wc -w) times"
  for pid in $pids; do
    grep -q "killing pid $pid " "$log" || fail "haze $pid ended before the daemon stopped it"
  done
  as_saver_user xscreensaver-command -exit >/dev/null
}

# xscreensaver-settings, with haze in the user's list, reads haze's
# description without a complaint and runs haze in its preview pane, which
# haze draws. The settings program reads descriptions from a fixed folder
# only: a private mount (which needs root) shows it the stock ones and haze's.
case_settings_program_reads_the_description() {
  require xscreensaver-settings setpriv unshare
  [ "$(id -u)" -eq 0 ] || { echo "SKIP: needs root for a private mount"; exit 77; }
  prepare_saver_user
  install_haze
  start_xvfb 800x600
  install_into_daemon_list
  local config=$SAVER_DIR/config
  mkdir "$config"
  cp /usr/share/xscreensaver/config/*.xml "$PREFIX/share/xscreensaver/config/haze.xml" "$config/"

  unshare --mount sh -c 'mount --bind "$1" /usr/share/xscreensaver/config && shift && exec "$@"' \
    sh "$config" setpriv --reuid "$SAVER_USER_NAME" --regid "$SAVER_USER_NAME" --init-groups \
    env HOME="$SAVER_HOME" DISPLAY="$DISPLAY" xscreensaver-settings --debug \
    >"$WORK/settings.log" 2>&1 &
  local settings=$!
  stop_at_exit "$settings"
  local log=$WORK/settings.log
  wait_until 20 grep -q "forked [0-9]* (haze)" "$log" || fail "the settings program ran no haze"
  grep -q "reading /usr/share/xscreensaver/config/haze.xml" "$log" ||
    fail "the settings program did not read haze.xml"
  ! grep "haze.xml" "$log" | grep -v "reading " || fail "the settings program complains"
  local pane
  pane=$(sed -n 's/.*XSCREENSAVER_WINDOW=\(0x[0-9A-Fa-f]*\).*/\1/p' "$log" | tail -n 1)
  wait_until 10 has_child_named "$pane" "Preview" || fail "haze made no window in the pane"
  local x y w h
  x=$(window_info "$pane" "Absolute upper-left X")
  y=$(window_info "$pane" "Absolute upper-left Y")
  w=$(window_info "$pane" "Width")
  h=$(window_info "$pane" "Height")
  wait_until 10 glow_at $((x + w / 2)) $((y + h / 2)) || true
  expect_glow $((x + w / 2)) $((y + h / 2)) "the middle of the settings preview"
  # Closing the settings program takes its pane, and haze ends with it.
  stop_process "$settings"
  wait_until 5 no_haze_is_running || fail "haze outlived the settings program"
}

# xscreensaver-settings saves ~/.xscreensaver whenever a setting changes. It
# is started as the test user, and its mode menu moved one item up and back
# from the keyboard: two saves, the settings as they were. The programs it
# started in its preview pane end with it.
settings_saves_at_least() {
  [ "$(grep -c ': wrote ' "$WORK/settings.log")" -ge "$1" ]
}

settings_window() {
  xdotool search --onlyvisible --name '^XScreenSaver: ' 2>/dev/null | head -n 1
}

settings_window_shown() {
  [ -n "$(settings_window)" ]
}

settings_program_saves() {
  "${AS_SAVER_USER[@]}" xscreensaver-settings --debug >"$WORK/settings.log" 2>&1 &
  local settings=$! pid
  background+=("$settings")
  wait_until 20 settings_window_shown || fail "the settings program shows no window"
  sleep 0.5
  xdotool windowfocus "$(settings_window)"
  sleep 0.3
  xdotool key Tab
  sleep 0.3
  xdotool key Up
  wait_until 10 settings_saves_at_least 1 ||
    fail "the settings program did not save: $(tail -n 5 "$WORK/settings.log")"
  xdotool key Down
  wait_until 10 settings_saves_at_least 2 || fail "the settings program saved only once"
  kill "$settings"
  wait "$settings" 2>/dev/null || true
  for pid in $(sed -n 's/.*: forked \([0-9]*\) (.*/\1/p' "$WORK/settings.log"); do
    kill "$pid" 2>/dev/null || true
  done
}

put_preferences() {
  as_saver_user sh -c "cat >'$PREFERENCES'" <"$1"
}

without_date() {
  grep -v '^# Written by ' "$1"
}

# --uninstall-xscreensaver takes out exactly what --install-xscreensaver put
# in: from a file of the user's own without a programs list, and from the
# settings program's own file, both to the byte; and once the settings
# program has saved the file with haze in it (rewrapping haze's long entry),
# it leaves what the settings program writes for the same settings without
# haze.
case_uninstall_takes_out_what_install_put_in_whoever_saved_since() {
  require xscreensaver-settings xdotool setpriv
  prepare_saver_user
  install_haze
  start_xvfb 1024x768
  PROGRAM=$PREFIX/libexec/xscreensaver/haze
  PREFERENCES=$SAVER_HOME/.xscreensaver
  local haze=$PREFIX/bin/haze
  printf 'mode:\t\tone\nselected:\t3\nfade:\tFalse\n' >"$WORK/own"

  put_preferences "$WORK/own"
  as_saver_user chmod 600 "$PREFERENCES"
  as_saver_user "$haze" --install-xscreensaver >"$WORK/setup.out" 2>&1 ||
    fail "--install-xscreensaver failed: $(cat "$WORK/setup.out")"
  grep -qF "$PROGRAM --root" "$PREFERENCES" || fail "haze is not in ~/.xscreensaver"
  as_saver_user "$haze" --uninstall-xscreensaver >"$WORK/setup.out" 2>&1
  cmp -s "$PREFERENCES" "$WORK/own" ||
    fail "the user's own file came back changed: $(diff "$WORK/own" "$PREFERENCES")"
  [ "$(stat -c %a "$PREFERENCES")" = 600 ] || fail "the file's mode changed"

  put_preferences "$WORK/own"
  settings_program_saves
  cp "$PREFERENCES" "$WORK/saved-without-haze"
  as_saver_user "$haze" --install-xscreensaver >"$WORK/setup.out" 2>&1
  as_saver_user "$haze" --uninstall-xscreensaver >"$WORK/setup.out" 2>&1
  cmp -s "$PREFERENCES" "$WORK/saved-without-haze" ||
    fail "the settings program's file came back changed: $(diff "$WORK/saved-without-haze" "$PREFERENCES")"

  put_preferences "$WORK/own"
  as_saver_user "$haze" --install-xscreensaver >"$WORK/setup.out" 2>&1
  settings_program_saves
  cp "$PREFERENCES" "$WORK/saved-with-haze"
  grep -qF "$PROGRAM" "$WORK/saved-with-haze" || fail "the settings program dropped haze"
  as_saver_user "$haze" --uninstall-xscreensaver >"$WORK/setup.out" 2>&1 ||
    fail "--uninstall-xscreensaver failed: $(cat "$WORK/setup.out")"
  diff <(without_date "$WORK/saved-without-haze") <(without_date "$PREFERENCES") >"$WORK/left.diff" ||
    fail "after the settings program's save, uninstalling left: $(cat "$WORK/left.diff")"
}

# --- packages -----------------------------------------------------------------

# The Debian package from `cpack -G DEB`: the install layout under /usr,
# dependencies from the libraries haze links, no lintian error, a desktop
# entry desktop-file-validate passes, a description every option of which
# haze takes, and a manual page man renders without a warning. With a
# Windows build: its zip holds haze.scr and how to install it.
case_packages_hold_the_install_layout() {
  require cpack dpkg-deb lintian desktop-file-validate xmllint man unzip
  : "${HAZE_BUILD_DIR:?HAZE_BUILD_DIR names the build folder}"
  cpack -G DEB -B "$WORK/deb" --config "$HAZE_BUILD_DIR/CPackConfig.cmake" >"$WORK/cpack.out" 2>&1 ||
    fail "cpack -G DEB failed: $(cat "$WORK/cpack.out")"
  local deb
  deb=$(ls "$WORK"/deb/haze_*.deb)
  dpkg-deb -c "$deb" | awk '{ $1 = $2 = $3 = $4 = $5 = ""; sub(/^ +/, ""); print }' \
    >"$WORK/contents"
  local path
  for path in ./usr/bin/haze "./usr/libexec/xscreensaver/haze -> ../../bin/haze" \
    ./usr/share/xscreensaver/config/haze.xml ./usr/share/applications/screensavers/haze.desktop \
    ./usr/share/man/man6/haze.6.gz ./usr/share/doc/haze/copyright \
    ./usr/share/doc/haze/changelog.gz; do
    grep -qxF "$path" "$WORK/contents" || fail "the package lacks $path: $(cat "$WORK/contents")"
  done
  local depends library
  depends=$(dpkg-deb -f "$deb" Depends)
  for library in libc6 libstdc++6 libx11-6 libglx0 libopengl0 libegl1 libpng16-16 \
    libwayland-client0 libwayland-egl1 libxkbcommon0; do
    [[ ", $depends," == *", $library"[\ ,]* ]] || fail "Depends lacks $library: $depends"
  done
  grep -q xscreensaver <<<"$(dpkg-deb -f "$deb" Recommends)" || fail "no daemon recommended"
  lintian "$deb" >"$WORK/lintian.out" 2>&1 || true
  ! grep '^E:' "$WORK/lintian.out" || fail "lintian errors"

  dpkg-deb -x "$deb" "$WORK/root"
  local share=$WORK/root/usr/share
  desktop-file-validate "$share/applications/screensavers/haze.desktop" >"$WORK/desktop.out" 2>&1 &&
    ! grep -E "error|warning" "$WORK/desktop.out" ||
    fail "desktop-file-validate: $(cat "$WORK/desktop.out")"
  grep -qx "Exec=/usr/libexec/xscreensaver/haze --root" \
    "$share/applications/screensavers/haze.desktop" || fail "the entry does not run the installed haze"
  # MATE lists the entries by name, capitals first: "Haze", as in haze.xml.
  grep -qx "Name=Haze" "$share/applications/screensavers/haze.desktop" ||
    fail "the entry is not named Haze"
  # Under another prefix mate-screensaver would not run haze: no entry, and
  # the install says what each daemon gets.
  cmake --install "$HAZE_BUILD_DIR" --prefix "$WORK/user-prefix" >"$WORK/user-install.out" 2>&1 ||
    fail "cmake --install failed: $(cat "$WORK/user-install.out")"
  [ -z "$(find "$WORK/user-prefix" -name '*.desktop')" ] ||
    fail "a user-prefix install has a desktop entry mate-screensaver cannot run"
  grep -q "No desktop entry for mate-screensaver.*--install-xscreensaver" "$WORK/user-install.out" ||
    fail "the install does not say what a user prefix gives: $(cat "$WORK/user-install.out")"
  local xml=$share/xscreensaver/config/haze.xml
  xmllint --noout "$xml" || fail "haze.xml is not well-formed"
  [ "$(xmllint --xpath 'string(/screensaver/@name)' "$xml")" = haze ] &&
    [ -n "$(xmllint --xpath 'normalize-space(//_description)' "$xml")" ] ||
    fail "haze.xml has no name or description"
  # Each argument the settings can give, at its lowest, default and highest value.
  local arg value
  for arg in $(xmllint --xpath '//*/@arg-set | //*/@arg-unset | //command/@arg' "$xml" |
    sed 's/[a-z-]*="\([^"]*\)"/\1/g'); do
    "$HAZE" --help "$arg" >/dev/null || fail "haze refuses $arg from haze.xml"
  done
  for value in low default high; do
    arg=$(xmllint --xpath "string(//number[@id='delay']/@arg)" "$xml")
    arg=${arg/\%/$(xmllint --xpath "string(//number[@id='delay']/@$value)" "$xml")}
    "$HAZE" --help $arg >/dev/null || fail "haze refuses $arg from haze.xml"
  done
  LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$share/man/man6/haze.6.gz" >"$WORK/man.txt" \
    2>"$WORK/man.err" && [ ! -s "$WORK/man.err" ] || fail "man: $(cat "$WORK/man.err")"
  local word
  for word in $("$HAZE" --help | grep -oE '(^|[ ,])-{1,2}[a-z][a-z-]*' | tr -d ' ,' | sort -u); do
    grep -qF -- "$word" "$WORK/man.txt" || fail "the manual page does not mention $word"
  done

  if [ -n "${HAZE_WINDOWS_BUILD:-}" ]; then
    cpack -G ZIP -B "$WORK/zip" --config "$HAZE_WINDOWS_BUILD/CPackConfig.cmake" \
      >"$WORK/cpack.out" 2>&1 || fail "cpack -G ZIP failed: $(cat "$WORK/cpack.out")"
    # Lists and files are read whole before grep looks: grep -q ends at the
    # first match, and under pipefail the writer's broken pipe would fail.
    local zip listing
    zip=$(ls "$WORK"/zip/haze-*.zip)
    listing=$(unzip -Z1 "$zip")
    grep -q '/haze.scr$' <<<"$listing" && grep -q '/INSTALL.txt$' <<<"$listing" ||
      fail "the zip holds: $listing"
    unzip -p "$zip" '*/haze.scr' >"$WORK/haze.scr"
    grep -aq 'name="haze.ScreenSaver"[^>]*processorArchitecture="amd64"' "$WORK/haze.scr" ||
      fail "haze.scr's manifest does not name amd64"
  fi
}

# --- bad input --------------------------------------------------------------

# Runs haze (after the words of HAZE_PREFIX) to its end; STATUS, and its
# stderr in haze.err.
run_haze() {
  STATUS=0
  timeout 10 "${HAZE_PREFIX[@]}" "$HAZE" "$@" >"$WORK/haze.out" 2>"$WORK/haze.err" || STATUS=$?
}

# One line on stderr that says `pattern`, and the exit code `code` when given:
# 2 for a command line haze does not take, 1 for what fails at run time.
expect_one_line_error() {
  local pattern=$1 code=${2:-}
  [ "$STATUS" -ne 0 ] || fail "exit code 0 for bad input"
  [ "$STATUS" -ne 124 ] || fail "haze did not end"
  [ -z "$code" ] || [ "$STATUS" -eq "$code" ] ||
    fail "exit code $STATUS for '$pattern', expected $code"
  ! grep -q $'\e' "$WORK/haze.err" || fail "an escape byte reached the terminal"
  [ "$(wc -l <"$WORK/haze.err")" -eq 1 ] ||
    fail "expected one line on stderr, got: $(cat "$WORK/haze.err")"
  grep -q -- "$pattern" "$WORK/haze.err" || fail "stderr does not say '$pattern': $(cat "$WORK/haze.err")"
  ! grep -qi "X Error of failed request" "$WORK/haze.err" || fail "an Xlib error dump"
}

case_bad_window_ids_are_one_line_errors() {
  start_xvfb 320x240
  run_haze -window-id nonsense
  expect_one_line_error "-window-id" 2
  run_haze -window-id 0x3fffff0
  expect_one_line_error "not a window" 2
  run_haze /p nonsense
  expect_one_line_error "/p" 2
  run_haze /p 67108848
  expect_one_line_error "not a window" 2
  run_haze /l 67108848
  expect_one_line_error "not a window" 2
  XSCREENSAVER_WINDOW=0x3fffff0 run_haze -root
  expect_one_line_error "XSCREENSAVER_WINDOW" 1
  run_haze /x
  expect_one_line_error "not a mode" 2
  # What the daemons' users type never starts the full-screen saver, which
  # would grab the keyboard: a word that is not a switch as --help spells it
  # is refused, and a single-dash option is that option.
  run_haze $'\xafs' 123
  expect_one_line_error "not a mode" 2
  run_haze /ss
  expect_one_line_error "not a mode" 2
  run_haze -size 64x64
  expect_one_line_error "--size" 2
  run_haze -seed 5
  [ "$STATUS" -eq 0 ] && grep -q "no settings" "$WORK/haze.out" ||
    fail "-seed 5 exited with $STATUS and said: $(cat "$WORK/haze.out" "$WORK/haze.err")"
  # A display name is shown escaped, as everything else haze echoes.
  run_haze -display $'\e[2J:9' -root
  expect_one_line_error '\\x1b\[2J:9' 1
}

case_no_display_points_to_render() {
  HAZE_PREFIX=(env -u DISPLAY)
  run_haze /s
  expect_one_line_error "--render"
  HAZE_PREFIX=(env DISPLAY=:4095)
  run_haze -root
  expect_one_line_error "--render"
}

case_configure_says_there_are_no_settings() {
  start_xvfb 320x240
  run_haze /c
  [ "$STATUS" -eq 0 ] || fail "/c exited with $STATUS, expected 0 (done)"
  [ "$(wc -l <"$WORK/haze.out")" -eq 1 ] && grep -q "no settings" "$WORK/haze.out" ||
    fail "/c said: $(cat "$WORK/haze.out")"
  expect_quiet_stderr
  run_haze
  [ "$STATUS" -eq 0 ] || fail "no switch exited with $STATUS, expected 0"
}

"case_$CASE_NAME"
echo "PASS: $CASE_NAME"
