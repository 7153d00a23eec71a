#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Many clocks started at once, framed by a real window manager on a machine
# they load together: every start must show the same picture around the
# dial. The hatch there repaints only its lines and leaves its gaps as they
# were, so pixels of a frame drawn for a size the window did not keep (the
# window manager's first size, before the design size is given) would stay
# there for good. The dial's disc, where the time shows, is left out; the
# rest must equal what trilume-render draws at the design size. Run it
# through xvfb_wm_run.sh, which provides the display and openbox. Every
# wait waits for what it looks for; its bound only ends a wait that failed.
# SHOT_DIR, when set, keeps each start's grab.
# Usage: xvfb_wm_run.sh bash xvfb_start_up_test.sh PATH/TO/trilume PATH/TO/trilume-render [STARTS]
set -euo pipefail

clock_binary="${1:?usage: xvfb_start_up_test.sh PATH/TO/trilume PATH/TO/trilume-render [STARTS]}"
render_binary="${2:?usage: xvfb_start_up_test.sh PATH/TO/trilume PATH/TO/trilume-render [STARTS]}"
starts="${3:-12}"
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
[ -n "${DISPLAY:-}" ] || { echo "FAIL: run me through xvfb_wm_run.sh"; exit 1; }
for tool in xdotool xwininfo xprop convert import compare; do
  command -v "$tool" >/dev/null 2>&1 || { echo "FAIL: $tool is missing"; exit 1; }
done

# For wait_until, find_main_window and WORK_DIR; the display is the caller's.
# shellcheck source=xvfb_session.sh
source "$here/xvfb_session.sh"
CLOCK_PIDS=()
stop_clocks() {
  local pid
  for pid in "${CLOCK_PIDS[@]}"; do kill "$pid" 2>/dev/null || true; done
  for pid in "${CLOCK_PIDS[@]}"; do wait "$pid" 2>/dev/null || true; done
  cleanup_session
}
trap stop_clocks EXIT

# All at once, so that they start up on a machine they load together, as
# a session restoring its programs does.
for ((i = 0; i < starts; i++)); do
  env -u QT_QPA_PLATFORM -u QT_SCALE_FACTOR "$clock_binary" >"$WORK_DIR/clock$i.log" 2>&1 &
  CLOCK_PIDS+=("$!")
done
windows=()
for pid in "${CLOCK_PIDS[@]}"; do
  window="$(find_main_window "$pid")" || { echo "FAIL  a main window did not appear"; exit 1; }
  windows+=("$window")
done

# "OUTERxSIZE CLIENTxSIZE" of a window: its size and the frame's margins.
sizes() {
  # shellcheck disable=SC2046 # six numbers
  set -- $(xwininfo -id "$1" | awk '/^  Width:/ {w = $2} /^  Height:/ {h = $2} END {print w, h}') \
    $(xprop -id "$1" _NET_FRAME_EXTENTS 2>/dev/null | tr -dc '0-9,' | tr ',' ' ')
  [ $# -eq 6 ] && echo "$(($1 + $3 + $4))x$(($2 + $5 + $6)) $1x$2"
}
# Settled: the status line has replaced the start-up title "TRILUME", and
# the window has the main window's design size with its frame
# (model/panel_design.h).
settled() {
  xdotool getwindowname "$1" 2>/dev/null | grep -Eq '^[0-9]{2}:[0-9]{2}:[0-9]{2} ' &&
    size="$(sizes "$1")" && [ "${size%% *}" = 280x310 ]
}

"$render_binary" --size 280x310 --frames 64 --png "$WORK_DIR/reference.png" >/dev/null
# The dial of render/frame.cpp at that size, about the landed centre
# (136, 138) with 5/6 of it to either side, and three pixels to spare.
around_dial() {  # png client-size out
  convert "$1" -crop "$2+0+0" +repage -fill black -draw "ellipse 135.5,138 116.5,118 0,360" "$3"
}

differing=0
for ((i = 0; i < starts; i++)); do
  window="${windows[$i]}"
  # shellcheck disable=SC2016
  if ! wait_until 60 'settled "$window"'; then
    echo "FAIL  start $i: no status line, or not the design size (${size:-no size})"
    differing=$((differing + 1))
    continue
  fi
  around_dial "$WORK_DIR/reference.png" "${size##* }" "$WORK_DIR/expected.png"
  # On top, so that the grab shows this window; the repaint its exposure
  # asks for may come a little later.
  xdotool windowraise "$window"
  # shellcheck disable=SC2016
  if wait_until 5 'import -window "$window" "$WORK_DIR/grab.png" &&
      around_dial "$WORK_DIR/grab.png" "${size##* }" "$WORK_DIR/around.png" &&
      compare -metric AE "$WORK_DIR/around.png" "$WORK_DIR/expected.png" null: 2>/dev/null'; then
    echo "ok    start $i: the same picture around the dial"
  else
    pixels="$(compare -metric AE "$WORK_DIR/around.png" "$WORK_DIR/expected.png" null: 2>&1 || true)"
    echo "FAIL  start $i: $pixels pixels around the dial differ from trilume-render's"
    differing=$((differing + 1))
  fi
  [ -z "${SHOT_DIR:-}" ] || cp "$WORK_DIR/grab.png" "$SHOT_DIR/start-up-$i.png"
done

echo "$differing of $starts starts differ"
errors="$(cat "$WORK_DIR"/clock*.log | grep "^trilume:" | sort | uniq -c || true)"
[ -z "$errors" ] || echo "FAIL  the clocks reported errors:"$'\n'"$errors"
[ "$differing" -eq 0 ] && [ -z "$errors" ] || exit 1
echo "start-up test passed"
