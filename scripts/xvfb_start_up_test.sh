#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Many clocks started at once, framed by a real window manager on a machine
# they load together: every start must show the same picture around the
# dial. The hatch there repaints only its lines and leaves its gaps as they
# were, so pixels of a frame drawn for a size the window did not keep (the
# window manager's first size, before the design size is given) would stay
# there for good. The dial's disc, where the time shows, is left out; the
# rest must equal what trilume-render draws at the size the window kept.
# Run it through xvfb_wm_run.sh, which provides the display and openbox.
# Every wait here waits for what it looks for; its bound only ends a wait
# that failed.
# Usage: xvfb_wm_run.sh bash xvfb_start_up_test.sh PATH/TO/trilume PATH/TO/trilume-render [STARTS]
set -euo pipefail

usage="usage: xvfb_start_up_test.sh PATH/TO/trilume PATH/TO/trilume-render [STARTS]"
clock_binary="${1:?$usage}"
render_binary="${2:?$usage}"
starts="${3:-12}"
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
[ -n "${DISPLAY:-}" ] || { echo "FAIL: run me through xvfb_wm_run.sh"; exit 1; }
for tool in xdotool xwininfo xprop convert import; do
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

# The main window's design size with its frame (model/panel_design.h).
outer_width=280
outer_height=310
# Differing starts are kept there for a look, when it is set.
shot_dir="${SHOT_DIR:-}"

# All at once, so that they start up on a machine they load together, as
# a session restoring its programs does.
for ((i = 0; i < starts; i++)); do
  env -u QT_QPA_PLATFORM -u QT_SCALE_FACTOR "$clock_binary" >"$WORK_DIR/clock$i.log" 2>&1 &
  CLOCK_PIDS+=("$!")
done
windows=()
for ((i = 0; i < starts; i++)); do
  if ! window="$(find_main_window "${CLOCK_PIDS[$i]}")"; then
    echo "FAIL  start $i: the main window did not appear"
    cat "$WORK_DIR/clock$i.log"
    exit 1
  fi
  windows+=("$window")
done

# The outer size a window has now, as WIDTHxHEIGHT, and its client size.
outer_size() {  # window
  local extents size
  extents="$(xprop -id "$1" _NET_FRAME_EXTENTS 2>/dev/null | tr -dc '0-9,\n' | tr ',' ' ')"
  size="$(xwininfo -id "$1" | awk '/^  Width:/ {w = $2} /^  Height:/ {h = $2} END {print w, h}')"
  # shellcheck disable=SC2086 # four numbers
  set -- $size $extents
  [ $# -eq 6 ] && echo "$(($1 + $3 + $4))x$(($2 + $5 + $6)) $1x$2"
}
# Settled: the status line has replaced the start-up title "TRILUME", and
# the window has the design size with its frame.
settled() {  # window
  local sizes
  xdotool getwindowname "$1" 2>/dev/null | grep -Eq '^[0-9]{2}:[0-9]{2}:[0-9]{2} ' &&
    sizes="$(outer_size "$1")" && [ "${sizes%% *}" = "${outer_width}x${outer_height}" ]
}

# The reference: trilume-render's picture at the design size. The dial of
# render/frame.cpp (about the landed centre, 5/6 of it to either side) is
# covered, with three pixels to spare, in the reference and in each grab.
"$render_binary" --size "${outer_width}x${outer_height}" --frames 64 --png "$WORK_DIR/reference.png" >/dev/null
cover_dial="$(awk -v w="$outer_width" -v h="$outer_height" 'BEGIN {
  cx = int(w / 2) - 4; cy = int(h / 2) - 17; f = 0.8333333333333334
  left = int(cx - cx * f); right = int(cx + cx * f); top = int(cy - cy * f); bottom = int(cy + cy * f)
  printf "ellipse %.1f,%.1f %.1f,%.1f 0,360", (left + right) / 2, (top + bottom) / 2,
    (right - left) / 2 + 3, (bottom - top) / 2 + 3 }')"
around_dial() {  # png client-size
  convert "$1" -crop "$2+0+0" +repage -fill black -stroke black -draw "$cover_dial" "$3"
}

differing=0
for ((i = 0; i < starts; i++)); do
  window="${windows[$i]}"
  # shellcheck disable=SC2016
  if ! wait_until 60 'settled "$window"'; then
    echo "FAIL  start $i: no status line or not the design size ($(outer_size "$window" || true))"
    differing=$((differing + 1))
    continue
  fi
  client="$(outer_size "$window")"
  client="${client##* }"
  around_dial "$WORK_DIR/reference.png" "$client" "$WORK_DIR/expected.png"
  # On top, so that the grab shows this window; the repaint that its
  # exposure asks for may come a little later.
  xdotool windowraise "$window"
  # shellcheck disable=SC2016
  if wait_until 5 'import -window "$window" "$WORK_DIR/grab.png" &&
      around_dial "$WORK_DIR/grab.png" "$client" "$WORK_DIR/around.png" &&
      [ "$(compare -metric AE "$WORK_DIR/around.png" "$WORK_DIR/expected.png" null: 2>&1)" = 0 ]'; then
    echo "ok    start $i: the same picture around the dial"
  else
    pixels="$(compare -metric AE "$WORK_DIR/around.png" "$WORK_DIR/expected.png" null: 2>&1 || true)"
    echo "FAIL  start $i: $pixels pixels around the dial differ from trilume-render's"
    differing=$((differing + 1))
    [ -z "$shot_dir" ] || cp "$WORK_DIR/grab.png" "$shot_dir/start-up-$i.png"
  fi
done

echo "$differing of $starts starts differ"
errors="$(cat "$WORK_DIR"/clock*.log | grep "^trilume:" | sort | uniq -c || true)"
[ -z "$errors" ] || echo "FAIL  the clocks reported errors:"$'\n'"$errors"
[ "$differing" -eq 0 ] && [ -z "$errors" ] || exit 1
echo "start-up test passed"
