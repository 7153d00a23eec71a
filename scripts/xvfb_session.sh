# SPDX-License-Identifier: MIT
# Sourced by the scripts that run the real clock under a private X server.
# Provides: start_xvfb [WxHxD] (sets DISPLAY), wait_until SECONDS 'CONDITION',
# find_window NAME_REGEX [SECONDS], find_main_window PID [SECONDS], pixel_count PNG WxH+X+Y '#RRGGBB',
# run_group COMMAND..., stop_session, and cleanup of everything started.
#
# Every wait here waits for a condition; its SECONDS only end a wait that
# failed, so a busy machine makes a run slower, never red.

XVFB_PID=""
CLOCK_PID=""
GROUP_PID=""
WORK_DIR="$(mktemp -d /tmp/trilume-xvfb.XXXXXX)"

# Ends what run_group runs, the clock and the X server, leaving WORK_DIR
# for the next session.
stop_session() {
  if [ -n "$GROUP_PID" ]; then
    kill -TERM -- "-$GROUP_PID" 2>/dev/null || true
    wait "$GROUP_PID" 2>/dev/null || true
    GROUP_PID=""
  fi
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
# A signal ends the script through its exit trap, so that Ctrl-C or a test
# runner's timeout stops the servers too; a script that sets its own exit
# trap keeps these.
trap 'exit 130' INT
trap 'exit 143' TERM
trap 'exit 129' HUP

# Runs COMMAND in a process group of its own and returns its status. A
# command in the foreground would hold off the traps until it ended, and
# what it started (dbus-run-session's bus, Orca, the clock) outlives a
# signal sent to it alone: the exit trap ends the whole group instead.
run_group() {
  local status=0
  setsid "$@" &
  GROUP_PID=$!
  wait "$GROUP_PID" || status=$?
  GROUP_PID=""
  return "$status"
}

# Polls CONDITION (evaluated by the shell) until it holds; fails once
# SECONDS have passed without it.
wait_until() {
  local seconds="$1" condition="$2" deadline=$((SECONDS + $1))
  until eval "$condition"; do
    [ "$SECONDS" -lt "$deadline" ] || return 1
    sleep 0.02
  done
}

# Starts Xvfb on a display it picks itself (-displayfd), so parallel runs
# never collide, and waits until it accepts clients. The screen is 1280x1024
# at 24 bits unless WxHxD names another.
start_xvfb() {
  local fifo="$WORK_DIR/displayfd" screen="${1:-1280x1024x24}"
  : >"$fifo"
  Xvfb -displayfd 9 -screen 0 "$screen" -nolisten tcp -noreset 9>"$fifo" \
    >"$WORK_DIR/xvfb.log" 2>&1 &
  XVFB_PID=$!
  # shellcheck disable=SC2016
  if wait_until 60 '[ -s "$fifo" ] && DISPLAY=":$(tr -dc "0-9" <"$fifo")" xprop -root >/dev/null 2>&1'; then
    export DISPLAY=":$(tr -dc '0-9' <"$fifo")"
    return 0
  fi
  echo "Xvfb did not start:" >&2
  cat "$WORK_DIR/xvfb.log" >&2
  return 1
}

# Prints the id of the first mapped window whose name matches the regex
# exactly (anchored), waiting for it up to SECONDS (default 60).
find_window() {
  local pattern="$1" deadline=$((SECONDS + ${2:-60})) id name
  while :; do
    for id in $(xdotool search --onlyvisible --name "$pattern" 2>/dev/null); do
      name="$(xdotool getwindowname "$id" 2>/dev/null || true)"
      if [[ "$name" =~ ^${pattern}$ ]]; then
        echo "$id"
        return 0
      fi
    done
    [ "$SECONDS" -lt "$deadline" ] || return 1
    sleep 0.02
  done
}

# Prints the id of the first visible window of process PID, waiting for it
# up to SECONDS (default 60) or until the process ends. Found by its process,
# not by its title: 203 ms after the start the title "TRILUME" gives way to
# the status line, and a poll that comes later on a busy machine would never
# see it. Called before the panel is shown, it finds the main window.
find_main_window() {
  local pid="$1" found=""
  # shellcheck disable=SC2016
  wait_until "${2:-60}" '! kill -0 "$pid" 2>/dev/null ||
    found="$(xdotool search --onlyvisible --pid "$pid" 2>/dev/null | head -n 1)"' || true
  [ -n "$found" ] || return 1
  echo "$found"
}

# Number of pixels of one colour inside a rectangle of a screenshot.
pixel_count() {
  local png="$1" geometry="$2" colour="$3"
  convert "$png" -crop "$geometry" +repage txt:- | grep -ci "$colour" || true
}
