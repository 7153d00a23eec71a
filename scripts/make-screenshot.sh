#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Takes docs/trilume-window.png, the README's picture of the real program:
# the main window and the control panel side by side under the openbox
# window manager on a private Xvfb display. A developer's tool; needs xvfb,
# openbox, xdotool, x11-utils and imagemagick.
# Usage: make-screenshot.sh [PATH/TO/trilume] [OUTPUT.png]
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
clock_binary="${1:-$here/../build/release/ui/trilume}"
output="${2:-$here/../docs/trilume-window.png}"
for tool in Xvfb openbox xdotool xwininfo import convert; do
  command -v "$tool" >/dev/null || { echo "make-screenshot: $tool is missing" >&2; exit 1; }
done

# shellcheck source=xvfb_session.sh
source "$here/xvfb_session.sh"
start_xvfb
WM_PID=""
stop_wm() { [ -n "$WM_PID" ] && kill "$WM_PID" 2>/dev/null || true; cleanup_session; }
trap stop_wm EXIT
openbox --sm-disable >"$WORK_DIR/openbox.log" 2>&1 &
WM_PID=$!
sleep 1

env -u QT_QPA_PLATFORM "$clock_binary" >"$WORK_DIR/clock.log" 2>&1 &
CLOCK_PID=$!
main_window="$(find_window 'TRILUME|.* Triangle is .*' 10)"
sleep 1

# A click on the picture opens the panel; it goes to the right of the clock.
xdotool mousemove --window "$main_window" 140 150 click 1
panel="$(find_window 'TRILUME CONTROL PANEL' 5)"
xdotool windowmove "$panel" 470 121
xdotool mousemove 5 5
# Let the trace fill and the caption settle.
sleep 6

# Both windows with their frames: openbox reparents each into a frame.
frame_of() {
  local id="$1" root parent
  root="$(xwininfo -root | awk '/Window id:/ {print $4}')"
  while :; do
    parent="$(xwininfo -tree -id "$id" | awk '/Parent window id:/ {print $4}')"
    if [ -z "$parent" ] || [ "$((parent))" -eq "$((root))" ]; then
      echo "$id"
      return
    fi
    id="$parent"
  done
}
box() {  # left top right bottom of a window, frame included
  xwininfo -id "$(frame_of "$1")" | awk '
    /Absolute upper-left X/ {x=$4} /Absolute upper-left Y/ {y=$4}
    /Width:/ {w=$2} /Height:/ {h=$2} END {print x, y, x + w, y + h}'
}
read -r l1 t1 r1 b1 < <(box "$main_window")
read -r l2 t2 r2 b2 < <(box "$panel")
left=$((l1 < l2 ? l1 : l2)); top=$((t1 < t2 ? t1 : t2))
right=$((r1 > r2 ? r1 : r2)); bottom=$((b1 > b2 ? b1 : b2))
margin=8
import -window root "$WORK_DIR/screen.png"
convert "$WORK_DIR/screen.png" \
  -crop "$((right - left + 2 * margin))x$((bottom - top + 2 * margin))+$((left - margin))+$((top - margin))" \
  +repage -strip "$output"
echo "$output: $(identify -format '%wx%h' "$output")"
