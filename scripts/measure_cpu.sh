#!/usr/bin/env bash
# CPU use of the running clock on a private Xvfb display, from the kernel's
# own accounting (/proc/PID/stat utime + stime) over a measured interval.
# Usage: measure_cpu.sh PATH/TO/trilume [SECONDS] [defaults|heavy]
#   defaults: the design settings.
#   heavy:    NUMBER OF TRACES 3000 and RAINBOW on, set through the control
#             panel with xdotool like a user would. The trace holds one more
#             triangle per frame, so the measurement waits until all 3000
#             are there (47 s at 64 frames a second; SETTLE overrides).
# Prints the CPU share of one core. Use a Release build.
set -euo pipefail

clock_binary="${1:?usage: measure_cpu.sh PATH/TO/trilume [SECONDS] [defaults|heavy]}"
seconds="${2:-60}"
mode="${3:-defaults}"
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
# shellcheck source=xvfb_session.sh
source "$here/xvfb_session.sh"

start_xvfb
env -u QT_QPA_PLATFORM "$clock_binary" >"$WORK_DIR/clock.log" 2>&1 &
CLOCK_PID=$!
main_window="$(find_window 'TRILUME|.* Triangle is .*' 10)"
left=147
top=121

if [ "$mode" = "heavy" ]; then
  xdotool mousemove $((left + 60)) $((top + 60)) click 1
  panel="$(find_window 'TRILUME CONTROL PANEL' 5)"
  sleep 0.3
  # RAINBOW's check box at (64, 32) of the panel at (180, 110).
  xdotool mousemove $((180 + 64 + 8)) $((110 + 32 + 8)) click 1
  # NUMBER OF TRACES: a click in the bar gives it the focus, End moves it
  # to its maximum.
  xdotool mousemove $((180 + 208 + 30)) $((110 + 8 + 8)) click 1
  xdotool key End
  sleep 0.5
  import -window root "${SHOT:-/tmp/trilume-heavy.png}"
  echo "screenshot ${SHOT:-/tmp/trilume-heavy.png} (panel $panel)"
else
  sleep 1
  import -window root "${SHOT:-/tmp/trilume-defaults.png}"
  echo "screenshot ${SHOT:-/tmp/trilume-defaults.png}"
fi

# Let the settings take effect (and the trace fill up), then measure.
if [ "$mode" = "heavy" ]; then settle="${SETTLE:-50}"; else settle="${SETTLE:-2}"; fi
sleep "$settle"
clock_ticks="$(getconf CLK_TCK)"
read_cpu() { awk '{print $14 + $15}' "/proc/$CLOCK_PID/stat"; }
cpu_before="$(read_cpu)"
start_ns="$(date +%s%N)"
sleep "$seconds"
cpu_after="$(read_cpu)"
end_ns="$(date +%s%N)"
awk -v ticks=$((cpu_after - cpu_before)) -v hz="$clock_ticks" -v ns=$((end_ns - start_ns)) \
  -v mode="$mode" -v window="$main_window" 'BEGIN {
    wall = ns / 1e9; cpu = ticks / hz;
    printf "mode %s window %s: %.2f s CPU in %.2f s wall = %.2f %% of one core\n",
           mode, window, cpu, wall, 100 * cpu / wall }'
if grep -q "^TRILUME:" "$WORK_DIR/clock.log"; then
  echo "the program reported:"
  cat "$WORK_DIR/clock.log"
fi
