#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# CPU use of the running clock and of the X server on a private Xvfb display,
# from the kernel's own accounting (/proc/PID/stat utime + stime) over a
# measured interval.
#
# Usage: measure_cpu.sh [--baseline OTHER/trilume] [--rounds N] PATH/TO/trilume
#                       [SECONDS] [defaults|heavy]
#   defaults: the design settings.
#   heavy:    NUMBER OF TRACES 3000 and RAINBOW on, set through the control
#             panel with xdotool like a user would. The trace holds one more
#             triangle per frame, so the measurement waits until all 3000
#             are there (47 s at 64 frames a second; SETTLE overrides).
#   --baseline: also measures OTHER, alternating with PATH (A B A B ...,
#             N rounds each, default 2), each run on a fresh Xvfb, and prints
#             both builds' shares and the ratios PATH / OTHER. The machine's
#             load drifts, so only builds measured side by side compare.
# Prints CPU shares of one core. Use Release builds.
set -euo pipefail

usage="usage: measure_cpu.sh [--baseline OTHER/trilume] [--rounds N] PATH/TO/trilume [SECONDS] [defaults|heavy]"
baseline=""
rounds=2
while [ $# -gt 0 ]; do
  case "$1" in
    --baseline) baseline="${2:?$usage}"; shift 2 ;;
    --rounds) rounds="${2:?$usage}"; shift 2 ;;
    --help|-h) echo "$usage"; exit 0 ;;
    -*) echo "$usage" >&2; exit 2 ;;
    *) break ;;
  esac
done
clock_binary="${1:?$usage}"
seconds="${2:-60}"
mode="${3:-defaults}"
case "$mode" in defaults|heavy) ;; *) echo "$usage" >&2; exit 2 ;; esac
for binary in "$clock_binary" ${baseline:+"$baseline"}; do
  [ -x "$binary" ] || { echo "measure_cpu.sh: not an executable: $binary" >&2; exit 2; }
done
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
# shellcheck source=xvfb_session.sh
source "$here/xvfb_session.sh"

cpu_ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }

# One run on a fresh X server: writes "CLOCK_PERCENT XSERVER_PERCENT" to
# $WORK_DIR/result. Runs in this shell, so the exit trap still ends what it
# started if it fails half-way.
measure_once() {  # binary label
  local binary="$1" label="$2" shot
  start_xvfb
  env -u QT_QPA_PLATFORM "$binary" >"$WORK_DIR/clock.log" 2>&1 &
  CLOCK_PID=$!
  find_window 'TRILUME|.* Triangle is .*' 10 >/dev/null
  local left=147 top=121
  shot="${SHOT_DIR:-/tmp}/trilume-$mode-$label.png"
  if [ "$mode" = "heavy" ]; then
    xdotool mousemove $((left + 60)) $((top + 60)) click 1
    find_window 'TRILUME CONTROL PANEL' 5 >/dev/null
    sleep 0.3
    # RAINBOW's check box at (64, 32) of the panel at (180, 110).
    xdotool mousemove $((180 + 64 + 8)) $((110 + 32 + 8)) click 1
    # NUMBER OF TRACES: a click in the bar gives it the focus, End moves it
    # to its maximum.
    xdotool mousemove $((180 + 208 + 30)) $((110 + 8 + 8)) click 1
    xdotool key End
    sleep 0.5
  else
    sleep 1
  fi
  import -window root "$shot"
  # Let the settings take effect (and the trace fill up), then measure.
  local settle
  if [ "$mode" = "heavy" ]; then settle="${SETTLE:-50}"; else settle="${SETTLE:-2}"; fi
  sleep "$settle"
  local clock_before x_before start_ns clock_after x_after end_ns
  clock_before="$(cpu_ticks "$CLOCK_PID")"
  x_before="$(cpu_ticks "$XVFB_PID")"
  start_ns="$(date +%s%N)"
  sleep "$seconds"
  clock_after="$(cpu_ticks "$CLOCK_PID")"
  x_after="$(cpu_ticks "$XVFB_PID")"
  end_ns="$(date +%s%N)"
  if grep -q "^trilume:" "$WORK_DIR/clock.log"; then
    echo "$label reported:" >&2
    cat "$WORK_DIR/clock.log" >&2
  fi
  stop_session
  awk -v c=$((clock_after - clock_before)) -v x=$((x_after - x_before)) \
    -v hz="$(getconf CLK_TCK)" -v ns=$((end_ns - start_ns)) 'BEGIN {
      wall = ns / 1e9; printf "%.3f %.3f\n", 100 * c / hz / wall, 100 * x / hz / wall }' \
    >"$WORK_DIR/result"
}

declare -A clock_sum=() x_sum=()
labels=(this)
[ -n "$baseline" ] && labels+=(baseline)
for round in $(seq 1 "$rounds"); do
  for label in "${labels[@]}"; do
    if [ "$label" = "this" ]; then binary="$clock_binary"; else binary="$baseline"; fi
    measure_once "$binary" "$label"
    read -r clock_pct x_pct <"$WORK_DIR/result"
    printf 'round %d %-8s mode %s: clock %.2f %%  X server %.2f %% of one core (%s s)\n' \
      "$round" "$label" "$mode" "$clock_pct" "$x_pct" "$seconds"
    clock_sum[$label]="$(awk -v a="${clock_sum[$label]:-0}" -v b="$clock_pct" 'BEGIN{print a + b}')"
    x_sum[$label]="$(awk -v a="${x_sum[$label]:-0}" -v b="$x_pct" 'BEGIN{print a + b}')"
  done
done

for label in "${labels[@]}"; do
  awk -v l="$label" -v c="${clock_sum[$label]}" -v x="${x_sum[$label]}" -v n="$rounds" 'BEGIN {
    printf "%-8s mean: clock %.2f %%  X server %.2f %%\n", l, c / n, x / n }'
done
if [ -n "$baseline" ]; then
  awk -v c1="${clock_sum[this]}" -v c0="${clock_sum[baseline]}" \
      -v x1="${x_sum[this]}" -v x0="${x_sum[baseline]}" 'BEGIN {
    printf "ratio this/baseline: clock %.2f  X server %.2f\n",
           (c0 > 0 ? c1 / c0 : 0), (x0 > 0 ? x1 / x0 : 0) }'
fi
