#!/usr/bin/env bash
# System tests of haze.scr under Wine (64-bit) on a virtual X display.
#
#   wine_tests.sh SCENARIO
#
# Environment: HAZE_SCR (the built haze.scr), HELPERS (the folder of the
# Windows-side test helpers), WINE_TEST_PREFIX (the Wine prefix this run
# owns; `setup` makes it afresh, `cleanup` removes it), DISPATCH_ORACLE (the
# portable dispatch run on the recording platform, for `malformed_command_lines`),
# MALFORMED_SAMPLES (the sample of command lines for that scenario).
# tests/harness.sh keeps the pictures a failed scenario judged, with
# HAZE_TEST_OUTPUT set.

scenario=${1:?usage: wine_tests.sh SCENARIO}
CASE_NAME=wine-$scenario
source "$(dirname "$0")/../../harness.sh"
: "${HAZE_SCR:?}" "${HELPERS:?}" "${WINE_TEST_PREFIX:?}"
require wine wineserver Xvfb xdotool xwininfo xdpyinfo convert import apitrace

export WINEPREFIX=$WINE_TEST_PREFIX
export WINEARCH=win64
export WINEDEBUG=-all
system32=$WINEPREFIX/drive_c/windows/system32

# A virtual screen of 1024 x 768 (or the WIDTHxHEIGHT given); Wine's server
# and its programs end before it does. -noreset (start_xvfb) keeps the
# pointer where a test put it when the last client leaves.
start_display() {
  start_xvfb "${1:-1024x768}"
  at_exit stop_wine
}

stop_wine() {
  wineserver -k 2>/dev/null
  wineserver -w 2>/dev/null
}

# The id of the first window named exactly NAME, once there is one (within
# 20 s); fails naming WHAT otherwise.
find_window() {
  wait_until 20 has_window_named "$1" || fail "no $2"
  window_named "$1"
}

# Starts haze.scr with ARGS in the background; its pid in $saver.
start_saver() {
  (cd "$WORK" && exec wine "$HAZE_SCR" "$@") &
  saver=$!
}

# True when the picture of window ID is neither all black nor all white: the
# saver drew into it (an empty window shows its black or white background).
shows_drawing() {
  local id=$1 extremes
  import -window "$id" "$WORK/shot.png" 2>/dev/null || return 1
  extremes=$(convert "$WORK/shot.png" -colorspace Gray -format '%[fx:minima] %[fx:maxima]' info:)
  [ "$extremes" != "0 0" ] && [ "$extremes" != "1 1" ]
}

# Starts haze.scr /s with the pointer at (X, Y) (100, 100 unless given); its
# window in $id, once it covers the 1024x768 screen in the screen's own pixels.
start_full_screen() {
  pointer_to "${1:-100}" "${2:-100}"
  start_saver /s
  id=$(find_window "Screen Saver" "full-screen window")
  local geometry
  geometry=$(xwininfo -id "$id" | awk '/Absolute upper-left X/{x=$NF} /Absolute upper-left Y/{y=$NF}
    /Width/{w=$NF} /Height/{h=$NF} END{print x, y, w, h}')
  [ "$geometry" = "0 0 1024 768" ] || fail "the saver covers $geometry, not the 1024x768 screen"
}

pointer_to() {
  xdotool mousemove "$1" "$2"
  sleep 0.3
}

# --- scenarios ------------------------------------------------------------

scenario_setup() {
  rm -rf "$WINEPREFIX"
  start_display
  wineboot --init >/dev/null 2>&1
  wineserver -w
  [ -d "$system32" ] || fail "wineboot did not make $system32"
  # A password is set on the desktop; only the Windows 98 family reads it.
  wine reg add 'HKCU\Control Panel\Desktop' /v ScreenSaveUsePassword /t REG_DWORD /d 1 /f \
    >/dev/null 2>&1
  wine reg add 'HKCU\Software\Wine\AppDefaults\haze98.scr' /v Version /d win98 /f \
    >/dev/null 2>&1
  cp "$HELPERS/PASSWORD.CPL" "$system32/PASSWORD.CPL"
}

scenario_cleanup() {
  rm -rf "$WINEPREFIX"
}

scenario_full_screen() {
  start_display
  local id
  start_full_screen
  # The first frames wait for the scene's set-up, slow on a busy machine.
  POLL_SECONDS=0.2 wait_until 15 shows_drawing "$id" ||
    fail "the full-screen window shows nothing drawn"

  # 3 pixels of travel are tolerated, 3 more end the run.
  pointer_to 103 100
  still_running "$saver" || fail "closed after 3 px of mouse travel"
  pointer_to 106 100
  wait_for_exit "$saver" 10 && [ "$EXIT_STATUS" = 0 ] ||
    fail "did not close after 3 + 3 px of mouse travel"
}

scenario_mouse_tolerance() {
  start_display
  local id
  start_full_screen 200 200
  POLL_SECONDS=0.2 wait_until 20 shows_drawing "$id" ||
    fail "the full-screen window shows nothing drawn"
  pointer_to 202 202 # exactly 4 pixels in all
  still_running "$saver" 2 || fail "closed after only 4 px of mouse travel"
  xdotool key a
  wait_for_exit "$saver" 10 && [ "$EXIT_STATUS" = 0 ] || fail "did not close on a key"
}

scenario_exit_codes() {
  start_display
  start_saver /x
  wait_for_exit "$saver" 20 && [ "$EXIT_STATUS" = 255 ] ||
    fail "/x ended with $EXIT_STATUS, not 255 (-1)"
  start_saver /p 0
  wait_for_exit "$saver" 20 && [ "$EXIT_STATUS" = 255 ] ||
    fail "/p 0 ended with $EXIT_STATUS, not 255 (-1)"
}

# Starts the stand-in settings page (a 320x240 client area): its pid in
# $host, its X window in $host_window, its handle in $handle.
start_preview_host() {
  export HAZE_TEST_LOG=$WORK/host.log
  : >"$HAZE_TEST_LOG"
  (cd "$WORK" && exec wine "$HELPERS/preview_host.exe" >"$WORK/host-window") &
  host=$!
  host_window=$(find_window "haze preview host" "preview host window")
  wait_until 5 test -s "$WORK/host-window" || true
  handle=$(tr -d '\r\n' <"$WORK/host-window")
  [ -n "$handle" ] || fail "the preview host did not print its handle"
}

# Waits until the host logs a preview child of client size $1 (WxH).
await_preview_of() {
  wait_until 30 grep -q "child WindowsScreenSaverClass Preview $1;" "$HAZE_TEST_LOG" ||
    fail "no preview filling the host's $1 client area: $(tail -n 1 "$HAZE_TEST_LOG")"
}

# The settings page is laid out anew while the preview runs (its client area
# grows to 480x360): the preview follows and draws at the new size.
scenario_preview() {
  start_display
  local host host_window handle
  HAZE_HOST_RESIZE_TO=480x360 start_preview_host

  # Wine shows no GL picture in a child window owned by another process, so
  # the picture the preview draws is recorded with apitrace and replayed.
  (cd "$WORK" && exec apitrace trace --api gl --output "$WORK/preview.trace" \
    wine "$HAZE_SCR" /p "$handle" >/dev/null 2>&1) &
  saver=$!
  await_preview_of 320x240
  await_preview_of 480x360
  sleep 1
  xdotool mousemove --window "$host_window" 100 100 click 1
  xdotool key --window "$host_window" a
  xdotool key a Escape
  pointer_to 500 500
  still_running "$saver" 2 || fail "the preview closed on input"

  # The settings page goes away: the preview goes with it.
  (cd "$WORK" && wine taskkill /im preview_host.exe >/dev/null 2>&1) || kill "$host"
  wait_for_exit "$saver" 15 || fail "the preview outlived its parent window"

  apitrace dump "$WORK/preview.trace" >"$WORK/preview.calls" 2>/dev/null
  grep -q 'glViewport(x = 0, y = 0, width = 320, height = 240)' "$WORK/preview.calls" ||
    fail "the preview never drew at the host's 320x240"
  grep -q 'glViewport(x = 0, y = 0, width = 480, height = 360)' "$WORK/preview.calls" ||
    fail "the preview never drew at the host's new 480x360"
  local last_swap
  last_swap=$(grep 'SwapBuffers' "$WORK/preview.calls" | tail -n 1 | awk '{print $1}')
  [ -n "$last_swap" ] || fail "the preview never swapped a frame"
  apitrace dump-images --calls="$last_swap" --output "$WORK/preview-" "$WORK/preview.trace" \
    >/dev/null 2>&1
  local frame
  frame=$(ls "$WORK"/preview-*.png 2>/dev/null | head -n 1)
  [ -n "$frame" ] || fail "the preview's last frame could not be replayed"
  [ "$(identify -format '%wx%h' "$frame")" = 480x360 ] || fail "the preview frame is not 480x360"
  expect_scene "$frame" 480 360 "the preview's last frame"
}

# The preview's GL calls as Wine traces them, one line each.
gl_calls() {
  grep -c ':opengl:' "$WORK/gl-calls" || true
}

# Orders the host to call ShowWindow with $2 (the SW_ number) and waits until
# it has; $1 names the order in the host's log.
order_host() {
  echo "$1 $2" >"$WORK/command.new"
  mv "$WORK/command.new" "$WORK/command"
  wait_until 20 grep -q " $1" "$HAZE_TEST_LOG" || fail "the host has not $1 itself"
}

# Once the preview has heard that its page is off the screen ($1 says how),
# within 10 s (no GL call for half a second), it draws nothing more.
expect_no_frames_while() {
  local before
  wait_until 10 eval 'before=$(gl_calls); sleep 0.5; [ "$(gl_calls)" = "$before" ]' ||
    fail "the preview goes on drawing while $1"
  sleep 1
  [ "$(gl_calls)" = "$before" ] || fail "the preview drew while $1"
}

expect_frames_again_once() {
  local before
  before=$(gl_calls)
  wait_until 10 eval '[ "$(gl_calls)" -gt "$before" ]' || fail "no drawing once $1"
}

# The settings page is minimised, or hidden, with the preview in it: the
# preview draws nothing until it is back on the screen, then at once.
scenario_preview_off_screen() {
  start_display
  local host host_window handle
  HAZE_HOST_COMMANDS=command start_preview_host
  (cd "$WORK" && WINEDEBUG=-all,trace+opengl exec wine "$HAZE_SCR" /p "$handle" >/dev/null \
    2>"$WORK/gl-calls") &
  saver=$!
  await_preview_of 320x240
  wait_until 20 eval '[ "$(gl_calls)" -gt 0 ]' || fail "the preview never drew"
  order_host minimised 6 # SW_MINIMIZE
  expect_no_frames_while "its settings page is minimised"
  order_host restored 9 # SW_RESTORE
  expect_frames_again_once "its settings page is restored"
  order_host hidden 0 # SW_HIDE
  expect_no_frames_while "its settings page is hidden"
  order_host shown 5 # SW_SHOW
  expect_frames_again_once "its settings page is shown again"
}

# The colour at ($2, $3) of picture $1 as "R G B", each 0 to 255.
colour_at() {
  convert "$1" -format "%[fx:int(255*p{$2,$3}.r)] %[fx:int(255*p{$2,$3}.g)] %[fx:int(255*p{$2,$3}.b)]" info:
}

# The letterboxed scene in picture $1 of $2 x $3 pixels: black bars along its
# top and bottom and the yellow glow in its middle.
expect_scene() {
  local picture=$1 w=$2 h=$3 what=$4 x y c
  for x in 3 $((w - 4)); do
    for y in 3 $((h - 4)); do
      [ "$(colour_at "$picture" $x $y)" = "0 0 0" ] || fail "$what: no black bar at ($x, $y)"
    done
  done
  c=($(colour_at "$picture" $((w / 2)) $((h / 2))))
  [ "${c[0]}" -gt 100 ] && [ "${c[1]}" -gt 100 ] && [ "${c[2]}" -lt $((c[0] - 60)) ] ||
    fail "$what: no yellow glow in the middle, but (${c[*]})"
}

# A desktop scaled to 144 DPI: haze.scr declares itself aware of each
# monitor's DPI, so its windows and its picture are in device pixels, with
# no scaling of a smaller picture: the full-screen window covers the 1024x768
# screen, the preview its parent's whole client area.
scenario_high_dpi() {
  grep -q 'PerMonitorV2' "$HAZE_SCR" || fail "haze.scr does not declare per-monitor DPI awareness"
  start_display # first: the Wine session the setting starts must have the display
  at_exit unscale_desktop
  wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 144 /f >/dev/null 2>&1
  wineserver -w # every Wine process from now on starts at the new DPI
  local host host_window handle
  start_preview_host
  grep -qx 'dpi 144' <<<"$(tr -d '\r' <"$HAZE_TEST_LOG")" || fail "the desktop is not at 144 DPI: $(head -n 1 "$HAZE_TEST_LOG")"
  start_saver /p "$handle"
  await_preview_of 320x240
  (cd "$WORK" && wine taskkill /im preview_host.exe >/dev/null 2>&1) || kill "$host"
  wait_for_exit "$saver" 15 || true

  local id
  start_full_screen
  sleep 2
  import -window root "$WORK/high-dpi.png"
  expect_scene "$WORK/high-dpi.png" 1024 768 "the full-screen picture at 144 DPI"
  pointer_to 110 110
  wait_for_exit "$saver" 10 && [ "$EXIT_STATUS" = 0 ] || fail "did not close on mouse travel"
}

# The prefix is shared: a scaled desktop goes back to 96 DPI.
unscale_desktop() {
  wine reg delete 'HKCU\Control Panel\Desktop' /v LogPixels /f >/dev/null 2>&1
}

scenario_configure_dialog() {
  start_display
  local key expected dialog
  for key in Return Escape; do
    [ "$key" = Return ] && expected=1 || expected=0
    start_saver /c
    dialog=$(find_window haze "configuration dialog")
    sleep 0.5
    xdotool windowactivate --sync "$dialog" 2>/dev/null || xdotool windowfocus "$dialog"
    xdotool key "$key"
    wait_for_exit "$saver" 10 && [ "$EXIT_STATUS" = "$expected" ] ||
      fail "/c then $key ended with $EXIT_STATUS, not $expected"
  done
}

scenario_single_instance() {
  start_display
  start_saver /s
  local first=$saver
  find_window "Screen Saver" "full-screen window" >/dev/null
  sleep 1
  start_saver /s
  wait_for_exit "$saver" 15 && [ "$EXIT_STATUS" = 0 ] ||
    fail "the second /s ended with $EXIT_STATUS, not 0"
  [ "$(windows_named "Screen Saver")" = 1 ] || fail "more than one full-screen window"
  kill -0 "$first" || fail "the first saver ended"
  xdotool key a
  wait_for_exit "$first" 10 && [ "$EXIT_STATUS" = 0 ] ||
    fail "the first saver did not close on a key"
}

# The Windows 98 family with a password: the verifier in the system directory
# decides; a library of the same name in the working or program directory is
# never loaded.
scenario_windows98_password() {
  # A small screen: a frame drawn between the end of a verification and the
  # next key must stay well inside the quiet period on a busy machine.
  start_display 320x240
  export HAZE_TEST_LOG=$WORK/verifier.log
  : >"$HAZE_TEST_LOG"
  mkdir "$WORK/program"
  cp "$HAZE_SCR" "$WORK/program/haze98.scr"
  cp "$HELPERS/planted.CPL" "$WORK/PASSWORD.CPL"
  cp "$HELPERS/planted.CPL" "$WORK/program/PASSWORD.CPL"
  pointer_to 300 300
  (cd "$WORK" && exec wine "$WORK/program/haze98.scr" /s) &
  saver=$!
  local id
  id=$(find_window "Screen Saver" "full-screen window in Windows 98 mode")
  # Keys reach the saver once it is in front, which is before it draws.
  POLL_SECONDS=0.2 wait_until 15 shows_drawing "$id" ||
    fail "the full-screen window shows nothing drawn"

  # The verifier takes a second over a, then refuses. b comes during that
  # second, so the saver sees it as the verification ends: inside the quiet
  # period, which runs from the end, b is refused without asking.
  xdotool key a
  wait_until 15 grep -q '^verify' "$HAZE_TEST_LOG" || fail "no key reached the verifier"
  xdotool key b
  sleep 2 # the verification ends; time for a second one, wrongly asked, to show
  kill -0 "$saver" 2>/dev/null || fail "a key closed the saver although the verifier refused"
  [ "$(grep -c '^verify' "$HAZE_TEST_LOG")" = 1 ] ||
    fail "expected one verification, the log says: $(cat "$HAZE_TEST_LOG")"

  xdotool key c # well after 200 ms: asked again, and accepted
  wait_for_exit "$saver" 10 && [ "$EXIT_STATUS" = 0 ] ||
    fail "the accepted verification did not close the saver"
  [ "$(grep -c '^verify' "$HAZE_TEST_LOG")" = 2 ] ||
    fail "expected two verifications, the log says: $(cat "$HAZE_TEST_LOG")"
  ! grep -q planted "$HAZE_TEST_LOG" || fail "the planted PASSWORD.CPL was loaded"
}

scenario_password_change() {
  start_display
  export HAZE_TEST_LOG=$WORK/mpr.log
  : >"$HAZE_TEST_LOG"
  cp "$HAZE_SCR" "$WORK/haze98.scr"
  cp "$system32/mpr.dll" "$WORK/wine-mpr.dll"
  cp "$HELPERS/MPR.DLL" "$system32/mpr.dll"
  (cd "$WORK" && WINEDLLOVERRIDES="mpr=n" exec wine "$WORK/haze98.scr" /a 12345) &
  saver=$!
  wait_for_exit "$saver" 20 || true
  cp "$WORK/wine-mpr.dll" "$system32/mpr.dll"
  [ "$EXIT_STATUS" = 0 ] || fail "/a ended with $EXIT_STATUS, not 0"
  grep -q ' SCRSAVE' "$HAZE_TEST_LOG" ||
    fail "PwdChangePasswordA was not reached: $(cat "$HAZE_TEST_LOG")"
}

# Malformed command lines give through the real haze.scr what the portable
# dispatch gives on the recording platform.
scenario_malformed_command_lines() {
  : "${DISPATCH_ORACLE:?}" "${MALFORMED_SAMPLES:?}"
  start_display
  local line n=0 bad=0 expected actual
  while IFS= read -r line || [ -n "$line" ]; do
    [ -z "$line" ] && continue
    n=$((n + 1))
    # Each sample is a whole command line, program name included, written
    # as a C-escaped byte string.
    printf '%b' "$line" >"$WORK/line$n"
    expected=$("$DISPATCH_ORACLE" "$WORK/line$n")
    actual=$(cd "$WORK" && wine "$HELPERS/launch.exe" "$(winepath -w "$HAZE_SCR")" \
      "$(winepath -w "$WORK/line$n")" | tr -d '\r')
    if [ "$actual" != "$expected" ]; then
      echo "command line $n ($line): haze.scr gave $actual, the portable dispatch $expected" >&2
      bad=$((bad + 1))
    fi
  done <"$MALFORMED_SAMPLES"
  [ "$n" -gt 0 ] || fail "no samples read"
  [ "$bad" = 0 ] || fail "$bad of $n command lines differ"
  echo "$n malformed command lines agree"
}

"scenario_$scenario"
echo "PASS: $scenario"
