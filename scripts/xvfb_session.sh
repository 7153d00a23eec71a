# SPDX-License-Identifier: MIT
# Sourced by the scripts that run the real clock under a private X server.
# Provides: start_xvfb (sets DISPLAY), find_window NAME_REGEX [SECONDS],
# pixel_count PNG WxH+X+Y '#RRGGBB', stop_session, and cleanup of
# everything started.

XVFB_PID=""
CLOCK_PID=""
WORK_DIR="$(mktemp -d /tmp/trilume-xvfb.XXXXXX)"

# Ends the clock and the X server, leaving WORK_DIR for the next session.
stop_session() {
  if [ -n "$CLOCK_PID" ] && kill -0 "$CLOCK_PID" 2>/dev/null; then
    kill "$CLOCK_PID" 2>/dev/null || true
    wait "$CLOCK_PID" 2>/dev/null || true
  fi
  if [ -n "$XVFB_PID" ] && kill -0 "$XVFB_PID" 2>/dev/null; then
    kill "$XVFB_PID" 2>/dev/null || true
    wait "$XVFB_PID" 2>/dev/null || true
  fi
  CLOCK_PID=""
  XVFB_PID=""
}

cleanup_session() {
  stop_session
  rm -rf "$WORK_DIR"
}
trap cleanup_session EXIT

# Starts Xvfb on a display it picks itself (-displayfd), so parallel runs
# never collide, and waits until it accepts clients.
start_xvfb() {
  local fifo="$WORK_DIR/displayfd"
  : >"$fifo"
  Xvfb -displayfd 9 -screen 0 1280x1024x24 -nolisten tcp -noreset 9>"$fifo" \
    >"$WORK_DIR/xvfb.log" 2>&1 &
  XVFB_PID=$!
  local i
  for i in $(seq 1 100); do
    if [ -s "$fifo" ]; then
      export DISPLAY=":$(tr -dc '0-9' <"$fifo")"
      if xprop -root >/dev/null 2>&1; then
        return 0
      fi
    fi
    sleep 0.05
  done
  echo "Xvfb did not start:" >&2
  cat "$WORK_DIR/xvfb.log" >&2
  return 1
}

# Prints the id of the first mapped window whose name matches the regex
# exactly (anchored), waiting up to SECONDS (default 5).
find_window() {
  local pattern="$1" seconds="${2:-5}" id name i
  for i in $(seq 1 $((seconds * 50))); do
    for id in $(xdotool search --onlyvisible --name "$pattern" 2>/dev/null); do
      name="$(xdotool getwindowname "$id" 2>/dev/null || true)"
      if [[ "$name" =~ ^${pattern}$ ]]; then
        echo "$id"
        return 0
      fi
    done
    sleep 0.02
  done
  return 1
}

# Number of pixels of one colour inside a rectangle of a screenshot.
pixel_count() {
  local png="$1" geometry="$2" colour="$3"
  convert "$png" -crop "$geometry" +repage txt:- | grep -ci "$colour" || true
}
