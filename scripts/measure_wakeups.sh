#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Wake-ups and CPU of the running clock beside a plain 1 Hz Qt clock
# (bench/one_hertz_clock), and optionally beside another build of the clock,
# all running at the same time, each on its own private Xvfb, so that the
# machine's load touches them alike.
#
# Usage: measure_wakeups.sh [--baseline OTHER/trilume] [--changes PATH/TO/picture_changes]
#                           PATH/TO/trilume PATH/TO/one_hertz_clock [SECONDS]
#                           [defaults|rainbow300]
#   defaults:   the design settings.
#   rainbow300: RAINBOW on and NUMBER OF TRACES 300, set through the control
#               panel with xdotool as a user would; measured once the trace
#               is full.
# Wake-ups are voluntary context switches a second over all of a program's
# threads (each is a sleep that something ended; /proc/PID/task/*/status,
# threads that start meanwhile included); switches forced by other programs
# are load, not wake-ups, and are left out. CPU is the time the threads ran
# (/proc/PID/task/*/schedstat, in nanoseconds) over the same interval, in %
# of one core. Prints one line per program and
# per thread, then the ratios to the 1 Hz clock. Use Release builds.
# With --changes (defaults only), bench/picture_changes replays the same
# interval's ticks at the design settings and counts those whose picture or
# title changes: the fewest wake-ups that show every change, to hold the
# measured ones against.
set -euo pipefail

usage="usage: measure_wakeups.sh [--baseline OTHER/trilume] [--changes PATH/TO/picture_changes] PATH/TO/trilume PATH/TO/one_hertz_clock [SECONDS] [defaults|rainbow300]"
baseline=""
changes=""
while [ $# -gt 0 ]; do
  case "$1" in
    --baseline) baseline="${2:?$usage}"; shift 2 ;;
    --changes) changes="${2:?$usage}"; shift 2 ;;
    --help|-h) echo "$usage"; exit 0 ;;
    -*) echo "$usage" >&2; exit 2 ;;
    *) break ;;
  esac
done
clock_binary="${1:?$usage}"
yardstick="${2:?$usage}"
seconds="${3:-30}"
mode="${4:-defaults}"
case "$mode" in defaults|rainbow300) ;; *) echo "$usage" >&2; exit 2 ;; esac
if [ -n "$changes" ] && [ "$mode" != defaults ]; then
  echo "measure_wakeups.sh: --changes replays the design settings only" >&2
  exit 2
fi
for binary in "$clock_binary" "$yardstick" ${baseline:+"$baseline"} ${changes:+"$changes"}; do
  [ -x "$binary" ] || { echo "measure_wakeups.sh: not an executable: $binary" >&2; exit 2; }
done

WORK_DIR="$(mktemp -d /tmp/trilume-wakeups.XXXXXX)"
PIDS=()
cleanup() {
  local pid
  for pid in "${PIDS[@]}"; do kill "$pid" 2>/dev/null || true; done
  for pid in "${PIDS[@]}"; do wait "$pid" 2>/dev/null || true; done
  rm -rf "$WORK_DIR"
}
trap cleanup EXIT
# A signal ends the script through its exit trap, servers included.
trap 'exit 130' INT
trap 'exit 143' TERM
trap 'exit 129' HUP

# Starts a private Xvfb and sets DISPLAY_STARTED to its display; waits
# until it answers. Runs in this shell, not in a command substitution's,
# so that PIDS keeps the server for the exit trap.
start_display() {  # label
  local fifo="$WORK_DIR/$1.displayfd" deadline=$((SECONDS + 60))
  : >"$fifo"
  Xvfb -displayfd 9 -screen 0 1280x1024x24 -nolisten tcp -noreset 9>"$fifo" \
    >"$WORK_DIR/$1.xvfb.log" 2>&1 &
  PIDS+=("$!")
  until [ -s "$fifo" ] && DISPLAY=":$(tr -dc '0-9' <"$fifo")" xprop -root >/dev/null 2>&1; do
    [ "$SECONDS" -lt "$deadline" ] || { echo "Xvfb did not start" >&2; exit 1; }
    sleep 0.05
  done
  DISPLAY_STARTED=":$(tr -dc '0-9' <"$fifo")"
}

wait_for_window() {  # display name-regex
  local deadline=$((SECONDS + 30))
  until DISPLAY="$1" xdotool search --onlyvisible --name "$2" >/dev/null 2>&1; do
    [ "$SECONDS" -lt "$deadline" ] || { echo "no window '$2' on $1" >&2; exit 1; }
    sleep 0.05
  done
}

declare -A pid_of=()
labels=(this)
[ -n "$baseline" ] && labels+=(baseline)
labels+=(1hz)
for label in "${labels[@]}"; do
  case "$label" in
    this) binary="$clock_binary" ;;
    baseline) binary="$baseline" ;;
    1hz) binary="$yardstick" ;;
  esac
  start_display "$label"
  display="$DISPLAY_STARTED"
  DISPLAY="$display" env -u QT_QPA_PLATFORM "$binary" >"$WORK_DIR/$label.log" 2>&1 &
  pid_of[$label]=$!
  PIDS+=("$!")
  if [ "$label" = "1hz" ]; then
    wait_for_window "$display" '1 Hz clock'
  else
    wait_for_window "$display" 'TRILUME|.* Triangle is .*'
    if [ "$mode" = "rainbow300" ]; then
      # The panel at (180, 110): RAINBOW's check box at (64, 32); a click in
      # NUMBER OF TRACES gives it the focus, Home goes to 1, fifteen pages
      # of 20 to 301, one step back to 300.
      DISPLAY="$display" xdotool mousemove $((147 + 60)) $((121 + 60)) click 1
      wait_for_window "$display" 'TRILUME CONTROL PANEL'
      sleep 0.3
      DISPLAY="$display" xdotool mousemove $((180 + 64 + 8)) $((110 + 32 + 8)) click 1
      DISPLAY="$display" xdotool mousemove $((180 + 208 + 30)) $((110 + 8 + 8)) click 1
      DISPLAY="$display" xdotool key Home
      for _ in $(seq 15); do DISPLAY="$display" xdotool key Prior; done
      DISPLAY="$display" xdotool key Left
      # Off the panel, so that no pointer event wakes the clock.
      DISPLAY="$display" xdotool mousemove 1200 1000
      sleep 0.5
      DISPLAY="$display" import -window root "${SHOT_DIR:-/tmp}/trilume-wakeups-$mode-$label.png"
    fi
  fi
done
if [ "$mode" = "rainbow300" ]; then sleep "${SETTLE:-6}"; else sleep "${SETTLE:-3}"; fi

# TID COMM SWITCHES RUN_NS for every thread alive now.
switches() {  # pid
  local task
  for task in /proc/"$1"/task/*; do
    awk -v tid="${task##*/}" -v comm="$(tr ' ' '_' <"$task/comm")" \
      -v ns="$(cut -d' ' -f1 "$task/schedstat")" \
      '/^voluntary_ctxt_switches/ {v = $2} END {print tid, comm, v, ns}' "$task/status"
  done | sort
}

for label in "${labels[@]}"; do
  switches "${pid_of[$label]}" >"$WORK_DIR/$label.before"
done
start_ns="$(date +%s%N)"
sleep "$seconds"
end_ns="$(date +%s%N)"
wall="$(awk -v ns=$((end_ns - start_ns)) 'BEGIN {print ns / 1e9}')"
declare -A cpu_share=() wake_rate=()
for label in "${labels[@]}"; do
  pid="${pid_of[$label]}"
  switches "$pid" >"$WORK_DIR/$label.after"
  # Threads that started meanwhile count from zero.
  join -a 2 -e 0 -o 0,2.2,1.3,2.3,1.4,2.4 "$WORK_DIR/$label.before" "$WORK_DIR/$label.after" \
    >"$WORK_DIR/$label.threads"
  cpu_share[$label]="$(awk -v w="$wall" '{t += $6 - $5} END {printf "%.3f", 100 * t / 1e9 / w}' \
    "$WORK_DIR/$label.threads")"
  wake_rate[$label]="$(awk -v w="$wall" '{t += $4 - $3} END {printf "%.1f", t / w}' \
    "$WORK_DIR/$label.threads")"
  printf '%-8s mode %s: %6s wake-ups/s  CPU %s %% of one core (%.0f s)\n' \
    "$label" "$mode" "${wake_rate[$label]}" "${cpu_share[$label]}" "$wall"
  awk -v w="$wall" '{printf "           %-16s %6.1f/s  %.3f %%\n", $2, ($4 - $3) / w, 100 * ($6 - $5) / 1e9 / w}' \
    "$WORK_DIR/$label.threads"
done
for label in "${labels[@]}"; do
  [ "$label" = "1hz" ] && continue
  awk -v l="$label" -v c="${cpu_share[$label]}" -v c0="${cpu_share[1hz]}" \
    -v r="${wake_rate[$label]}" -v r0="${wake_rate[1hz]}" 'BEGIN {
      printf "%-8s / 1hz: CPU %.1fx  wake-ups %.1fx\n", l, (c0 > 0 ? c / c0 : 0), (r0 > 0 ? r / r0 : 0) }'
done

# After the measurement, so that the replay does not load the machine
# during it.
if [ -n "$changes" ]; then
  read -r _ ticks _ changed _ pictures _ titles _ planned \
    < <("$changes" $((start_ns / 1000)) "$wall")
  awk -v w="$wall" -v t="$ticks" -v c="$changed" -v p="$pictures" -v n="$titles" -v s="$planned" 'BEGIN {
    printf "changes  the same %.0f s replayed (%d ticks): %.1f pictures or titles/s (pictures %.1f/s, titles %.1f/s); the session plans %.1f wake-ups/s\n",
      w, t, c / w, p / w, n / w, s / w }'
  for label in "${labels[@]}"; do
    [ "$label" = "1hz" ] && continue
    awk -v l="$label" -v r="${wake_rate[$label]}" -v c="$changed" -v w="$wall" 'BEGIN {
      printf "%-8s wake-ups less changes: %+.1f/s\n", l, r - c / w }'
  done
fi
