#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Real double-clicks on the real program, framed by a real window manager:
# at points the control panel covers once it is open, each double-click
# steps the background pattern and leaves the panel hidden, and a single
# click afterwards still opens the panel at its place. The clock is told
# its display by -display alone, with DISPLAY unset. Run it through
# xvfb_wm_run.sh, which provides the display and openbox. Every check waits
# for what it looks for, never for time to pass.
# Usage: xvfb_wm_run.sh bash xvfb_double_click_test.sh PATH/TO/trilume
set -euo pipefail

clock_binary="${1:?usage: xvfb_double_click_test.sh PATH/TO/trilume}"
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
[ -n "${DISPLAY:-}" ] || { echo "FAIL: run me through xvfb_wm_run.sh"; exit 1; }
for tool in xdotool xwininfo convert import; do
  command -v "$tool" >/dev/null 2>&1 || { echo "FAIL: $tool is missing"; exit 1; }
done

# For wait_until, find_window and the clean-up; the display is the caller's.
# shellcheck source=xvfb_session.sh
source "$here/xvfb_session.sh"

failures=0
fail() {
  echo "FAIL  $1"
  failures=$((failures + 1))
}

env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM -u QT_SCALE_FACTOR \
  "$clock_binary" -display "$DISPLAY" >"$WORK_DIR/clock.log" 2>&1 &
# shellcheck disable=SC2034 # ended by xvfb_session.sh's clean-up
CLOCK_PID=$!
if ! main_window="$(find_main_window "$CLOCK_PID")"; then
  echo "FAIL  the main window did not appear"
  cat "$WORK_DIR/clock.log"
  exit 1
fi
geometry="$(xwininfo -id "$main_window")"
left="$(awk '/Absolute upper-left X/ {print $4}' <<<"$geometry")"
top="$(awk '/Absolute upper-left Y/ {print $4}' <<<"$geometry")"

panel_shown() { xdotool search --onlyvisible --name '^TRILUME CONTROL PANEL$' >/dev/null 2>&1; }
# The hatched corner at the bottom left, which the panel never covers: the
# background pattern shows there.
corner="24x16+$((left + 2))+$((top + 280))"
corner_pixels() {
  import -window root "$WORK_DIR/screen.png" &&
    convert "$WORK_DIR/screen.png" -crop "$corner" +repage txt:- | tail -n +2 | md5sum
}
# The first frame must be on the screen before a pattern can be compared.
# shellcheck disable=SC2016
wait_until 60 'import -window root "$WORK_DIR/screen.png" &&
  [ "$(pixel_count "$WORK_DIR/screen.png" "$corner" "#000080")" -gt 0 ]' ||
  fail "the hatched corner never showed"

double_click() { xdotool mousemove $((left + $1)) $((top + $2)) click --repeat 2 --delay 60 1; }

# The corner's hatch lines add up frame by frame, so only a step to a
# pattern with lines not drawn before shows there: 4 to 5 adds "/", 6 to 7
# adds "+", 0 to 1 fills it solid. The steps between are double-clicks on
# the strip at the bottom that the panel never covers.
try_point() {  # try_point X Y: a double-click where the open panel would be
  local x="$1" y="$2" before
  # shellcheck disable=SC2034 # read by the wait's condition
  before="$(corner_pixels)"
  double_click "$x" "$y"
  # shellcheck disable=SC2016
  if wait_until 20 '[ "$(corner_pixels)" != "$before" ]'; then
    echo "ok    a double-click at $x,$y steps the pattern"
  else
    fail "a double-click at $x,$y did not step the pattern"
  fi
  # Once the pattern stepped the double-click is done with: a panel that
  # opened for its first click is on the screen by now.
  if panel_shown; then
    fail "a double-click at $x,$y opened the control panel"
  else
    echo "ok    a double-click at $x,$y leaves the panel hidden"
  fi
}

# Points of the clock that the panel (180,110, 308 wide) covers once open:
# the middle, a little lower, and the right.
try_point 140 150   # 4 -> 5
double_click 60 275 # 5 -> 6
try_point 100 200   # 6 -> 7
double_click 60 275 # 7 -> 8
double_click 200 275 # 8 -> 0
try_point 230 120   # 0 -> 1

# A single click still opens the panel, over the clock at its place.
xdotool mousemove $((left + 140)) $((top + 150)) click 1
panel="$(find_window 'TRILUME CONTROL PANEL' 60 || true)"
if [ -z "$panel" ]; then
  fail "a single click did not open the control panel"
else
  panel_geometry="$(xwininfo -id "$panel")"
  panel_left="$(awk '/Absolute upper-left X/ {print $4}' <<<"$panel_geometry")"
  panel_top="$(awk '/Absolute upper-left Y/ {print $4}' <<<"$panel_geometry")"
  # The window manager's frame pushes the client area right and down.
  if [ "$panel_left" -ge 180 ] && [ "$panel_left" -lt $((left + 140)) ] &&
    [ "$panel_top" -ge 110 ] && [ "$panel_top" -lt $((top + 150)) ]; then
    echo "ok    a single click opens the panel over the clock ($panel_left,$panel_top)"
  else
    fail "the panel opened at $panel_left,$panel_top, not over the clock"
  fi
fi

if grep -q "^trilume:" "$WORK_DIR/clock.log"; then
  fail "the program reported an error: $(cat "$WORK_DIR/clock.log")"
fi
if [ "$failures" -ne 0 ]; then
  echo "$failures check(s) failed"
  exit 1
fi
echo "double-click test passed"
