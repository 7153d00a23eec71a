#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Smoke test of the real program on a private Xvfb display, without a window
# manager: start-up, the window title, a few pixels of the picture, a click
# that opens the control panel, a real double-click, and a clean close that
# ends the program with exit code 0. Exits 77 (skipped) when Xvfb is missing.
# Every check waits for what it looks for, never for time to pass: the
# widget tests pin the timing of the title and the frames on a fake tick
# source.
# Usage: xvfb_smoke_test.sh PATH/TO/trilume
set -euo pipefail

clock_binary="${1:?usage: xvfb_smoke_test.sh PATH/TO/trilume}"
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"

if ! command -v Xvfb >/dev/null 2>&1; then
  echo "SKIP: Xvfb is not installed"
  exit 77
fi
for tool in xdotool xprop xwininfo convert import python3; do
  command -v "$tool" >/dev/null 2>&1 || { echo "FAIL: $tool is missing"; exit 1; }
done

# shellcheck source=xvfb_session.sh
source "$here/xvfb_session.sh"

failures=0
check() {  # check DESCRIPTION 'CONDITION' (evaluated by the shell)
  local what="$1"
  if eval "$2"; then
    echo "ok    $what"
  else
    echo "FAIL  $what"
    failures=$((failures + 1))
  fi
}

start_xvfb
echo "display $DISPLAY"

# The real xcb platform, whatever the caller's environment says.
env -u QT_QPA_PLATFORM -u QT_SCALE_FACTOR "$clock_binary" >"$WORK_DIR/clock.log" 2>&1 &
CLOCK_PID=$!

if ! main_window="$(find_main_window "$CLOCK_PID")"; then
  echo "FAIL  the main window did not appear"
  cat "$WORK_DIR/clock.log"
  exit 1
fi

status_line=""
# shellcheck disable=SC2016
wait_until 60 'status_line="$(xdotool getwindowname "$main_window")" &&
  [[ "$status_line" == *" Triangle is "* ]]' || true
echo "title $status_line"
check "title becomes the status line" \
  '[[ "$status_line" == *" Triangle is "*". Click opens Control Panel. E:"* ]]'
# Exactly the caption: nothing appended by the toolkit.
net_name="$(xprop -id "$main_window" _NET_WM_NAME | sed -n 's/^_NET_WM_NAME(UTF8_STRING) = "\(.*\)"$/\1/p')"
check "_NET_WM_NAME is the caption alone" '[[ "$net_name" == "$status_line" ]]'

geometry="$(xwininfo -id "$main_window")"
left="$(awk '/Absolute upper-left X/ {print $4}' <<<"$geometry")"
top="$(awk '/Absolute upper-left Y/ {print $4}' <<<"$geometry")"
width="$(awk '/Width:/ {print $2}' <<<"$geometry")"
height="$(awk '/Height:/ {print $2}' <<<"$geometry")"
check "main window at 147,121 (was $left,$top)" '[ "$left,$top" = "147,121" ]'
check "main window 280 x 310 without a frame (was ${width}x$height)" '[ "${width}x$height" = "280x310" ]'

# The dial's white outline crosses x = 136 near y = 23 (window coordinates);
# the window may still be waiting for its first paint.
white_on_dial=0
# shellcheck disable=SC2016
wait_until 60 'import -window root "$WORK_DIR/clock.png" &&
  white_on_dial="$(pixel_count "$WORK_DIR/clock.png" "24x6+$((left + 124))+$((top + 20))" "#FFFFFF")" &&
  [ "$white_on_dial" -gt 0 ]' || true
check "white dial outline at the top of the dial ($white_on_dial px)" '[ "$white_on_dial" -gt 0 ]'
# Inside the dial, away from the centre, the fill is navy.
navy_in_dial="$(pixel_count "$WORK_DIR/clock.png" "20x20+$((left + 40))+$((top + 128))" '#000080')"
check "navy dial fill ($navy_in_dial px)" '[ "$navy_in_dial" -gt 100 ]'
# The corner outside the dial shows the navy hatch over the white first fill.
corner="20x20+$((left + 2))+$((top + 286))"
corner_navy="$(pixel_count "$WORK_DIR/clock.png" "$corner" '#000080')"
corner_white="$(pixel_count "$WORK_DIR/clock.png" "$corner" '#FFFFFF')"
check "hatched corner: navy lines ($corner_navy) on white ($corner_white)" \
  '[ "$corner_navy" -gt 20 ] && [ "$corner_white" -gt 20 ]'

# A click on the picture opens the control panel.
xdotool mousemove $((left + 60)) $((top + 60)) click 1
panel="$(find_window 'TRILUME CONTROL PANEL' || true)"
check "a click on the picture shows the control panel" '[ -n "$panel" ]'
if [ -n "$panel" ]; then
  panel_geometry="$(xwininfo -id "$panel")"
  panel_size="$(awk '/Width:/ {w=$2} /Height:/ {h=$2} END {print w "x" h}' <<<"$panel_geometry")"
  check "panel 308 x 220 without a frame (was $panel_size)" '[ "$panel_size" = "308x220" ]'
  blue_label=0
  # shellcheck disable=SC2016
  wait_until 60 'import -window root "$WORK_DIR/panel.png" &&
    blue_label="$(pixel_count "$WORK_DIR/panel.png" "40x2+190+129" "#0000FF")" &&
    [ "$blue_label" -gt 70 ]' || true
  check "the panel's labels are blue ($blue_label px)" '[ "$blue_label" -gt 70 ]'
fi

# A real double-click on the picture moves the fill style from 4 ("\"
# hatch) to 5 ("/" hatch): new lines cross the old ones in the corner.
# The point lies below the panel, which now covers the window's top.
xdotool mousemove $((left + 60)) $((top + 260)) click --repeat 2 --delay 60 1
corner_navy_after=0
# shellcheck disable=SC2016
wait_until 60 'import -window root "$WORK_DIR/double.png" &&
  corner_navy_after="$(pixel_count "$WORK_DIR/double.png" "$corner" "#000080")" &&
  [ "$corner_navy_after" -gt $((corner_navy + 10)) ]' || true
check "a double-click changes the hatch (navy $corner_navy -> $corner_navy_after)" \
  '[ "$corner_navy_after" -gt $((corner_navy + 10)) ]'

# Close the main window the way a window manager's close button does. The
# panel is still open; the program must end anyway, with exit code 0.
python3 "$here/x11_close_window.py" "$main_window"
exit_code=""
if wait_until 60 '! kill -0 "$CLOCK_PID" 2>/dev/null'; then
  set +e
  wait "$CLOCK_PID"
  exit_code=$?
  set -e
  CLOCK_PID=""
fi
check "closing the main window ends the program with exit code 0 (was '${exit_code:-still running}')" \
  '[ "$exit_code" = "0" ]'

if grep -q "^trilume:" "$WORK_DIR/clock.log"; then
  echo "FAIL  the program reported an error:"
  cat "$WORK_DIR/clock.log"
  failures=$((failures + 1))
fi

if [ "$failures" -ne 0 ]; then
  echo "$failures check(s) failed"
  exit 1
fi
echo "smoke test passed"
