#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The real program (Release build) on a private X server for a long while,
# driven by xdotool like a restless user: clicks and double-clicks on the
# picture and beside it, every control of the panel (check boxes, both
# scroll bars to their ends, the colour grid with both buttons, MOVEMENT
# texts, FREE/LAND, CLEAR), the main window resized from 1x1 to 2500x1550,
# the panel closed and opened again. Not part of CI.
#
#   scripts/window-session.sh [--minutes N] [--error-minutes M] [--seed S]
#
# Two sessions run one after the other:
#   1. N minutes (default 10) in the C.UTF-8 locale;
#   2. M minutes (default 2; 0 skips it) with LC_TIME set to a locale whose
#      time text cannot be read (Persian digits), so every frame fails.
# Throughout each: the process stays alive, its resident size (sampled
# every 10 s at the start-up window size, since a large window's backing
# store is needed memory, not growth) stays within 1 MiB of the figure after
# the first full round of actions, and at most one error window is open at any time (none in the
# first session). At the end closing the main window ends the program with
# exit code 0. Prints the figures and exits 0 when everything held.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
repo="$PWD"

minutes=10
error_minutes=2
seed="$RANDOM"
rss_tolerance_kib=1024
while [ "$#" -gt 0 ]; do
  case "$1" in
    --minutes) minutes="${2:?}"; shift ;;
    --error-minutes) error_minutes="${2:?}"; shift ;;
    --seed) seed="${2:?}"; shift ;;
    *) echo "usage: scripts/window-session.sh [--minutes N] [--error-minutes M] [--seed S]" >&2
       exit 2 ;;
  esac
  shift
done
for tool in Xvfb xdotool xprop python3 localedef; do
  command -v "$tool" >/dev/null 2>&1 || { echo "window-session: $tool is missing" >&2; exit 2; }
done

jobs="$(nproc)"
if [ "$jobs" -gt 2 ]; then jobs=2; fi
cmake --preset release >/dev/null
cmake --build --preset release -j "$jobs" --target trilume
program="$repo/build/release/ui/trilume"

# The X server, the working folder and the clean-up of everything started.
# shellcheck source=scripts/xvfb_session.sh
source "$repo/scripts/xvfb_session.sh"
work="$WORK_DIR"

# A screen large enough for the biggest window at the main window's place.
start_xvfb 2800x1800x24 || exit 1
export XDG_RUNTIME_DIR="$work/runtime"
mkdir -m 700 "$XDG_RUNTIME_DIR"

RANDOM="$seed"
echo "window-session: seed $seed, display $DISPLAY, $minutes + $error_minutes minutes"

# Visible windows whose name is exactly NAME.
windows_named() {
  local id
  for id in $(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null); do
    [ "$(xdotool getwindowname "$id" 2>/dev/null || true)" = "$1" ] && echo "$id"
  done
  return 0
}
# The error window has the program's name as its title; the main window
# carries it only until its first caption tick.
error_windows() { windows_named TRILUME | { grep -vx "$main_window" || true; }; }
close_window() { python3 "$repo/scripts/x11_close_window.py" "$1" >/dev/null 2>&1 || true; }
rss_kib() { awk '/^VmRSS:/ {print $2}' "/proc/$CLOCK_PID/status" 2>/dev/null || echo 0; }
cpu_ticks() { awk '{print $14 + $15}' "/proc/$CLOCK_PID/stat" 2>/dev/null || echo 0; }

main_window=""
main_width=280
main_height=310
panel_window() { windows_named "TRILUME CONTROL PANEL" | head -n 1; }

click_picture() {  # a point the panel does not cover, also in tiny windows
  local x=$((main_width > 10 ? 10 : main_width - 1))
  local y=$((main_height > 20 ? main_height - 10 : main_height - 1))
  xdotool mousemove --window "$main_window" "$x" "$y" click "$@" 1
}
ensure_panel() {
  local panel
  panel="$(panel_window)"
  if [ -z "$panel" ]; then
    click_picture
    sleep 0.3
    panel="$(panel_window)"
  fi
  echo "$panel"
}
resize_main() {
  main_width="$1"
  main_height="$2"
  xdotool windowsize "$main_window" "$main_width" "$main_height"
}

declare -A done_count=()
action() {  # action NAME: one user gesture; panel gestures open the panel first
  local name="$1" panel x y
  done_count[$name]=$(( ${done_count[$name]:-0} + 1 ))
  case "$name" in
    click) click_picture ;;
    double-click) click_picture --repeat 2 --delay 60 ;;
    background-double-click)
      resize_main 1400 900
      sleep 0.2
      xdotool mousemove --window "$main_window" 1350 860 click --repeat 2 --delay 60 1 ;;
    resize)
      local sizes=("1 1" "2 2" "7 5" "24 24" "40 40" "100 60" "280 310" "641 479" "1281 777"
                   "1282 778" "1400 900" "2000 1500" "2500 1550")
      resize_main ${sizes[$((RANDOM % ${#sizes[@]}))]} ;;
    close-panel)
      panel="$(panel_window)"
      [ -n "$panel" ] && close_window "$panel" ;;
    *)
      panel="$(ensure_panel)"
      [ -z "$panel" ] && return 0
      case "$name" in
        check-box)
          local boxes=("72 16" "72 40" "280 72" "280 88" "280 104" "280 120" "280 136" "280 152"
                       "280 168")
          xdotool mousemove --window "$panel" ${boxes[$((RANDOM % 9))]} click 1 ;;
        traces-end | colours-end)  # hold the trough next to an arrow until the bar ends
          y=$([ "$name" = traces-end ] && echo 16 || echo 40)
          x=$((RANDOM % 2 == 0 ? 227 : 246))
          xdotool mousemove --window "$panel" "$x" "$y" mousedown 1
          sleep $([ "$name" = traces-end ] && echo 9 || echo 2)
          xdotool mouseup 1 ;;
        scroll-step)
          y=$((RANDOM % 2 == 0 ? 16 : 40))
          x=$((RANDOM % 2 == 0 ? 213 : 260))
          xdotool mousemove --window "$panel" "$x" "$y" click --repeat $((RANDOM % 5 + 1)) 1 ;;
        grid)
          x=$((21 + 26 * (RANDOM % 4)))
          y=$((91 + 22 * (RANDOM % 4)))
          xdotool mousemove --window "$panel" "$x" "$y" click $((RANDOM % 2 == 0 ? 1 : 3)) ;;
        free-land) xdotool mousemove --window "$panel" 60 200 click 1 ;;
        clear) xdotool mousemove --window "$panel" 256 200 click --repeat $((RANDOM % 3 + 1)) 1 ;;
        movement)
          local texts=("TICK" "FAST" "SMOOTH" "TICKBACK1" "TICKBACK2" "HALFBACK" "TICK2" "smooth"
                       "FAST " "" "xyzzy" "ТИК ✓")
          xdotool mousemove --window "$panel" 150 202 click 1
          xdotool key --clearmodifiers ctrl+a
          xdotool type --delay 5 -- "${texts[$((RANDOM % ${#texts[@]}))]}"
          xdotool key Return ;;
      esac ;;
  esac
  return 0
}
all_actions=(click double-click background-double-click resize close-panel check-box traces-end
             colours-end scroll-step grid free-land clear movement)

failures=0
fail() { echo "FAIL  $*"; failures=$((failures + 1)); }

# session NAME SECONDS MAX_ERROR_WINDOWS [ENV=VALUE...]
session() {
  local name="$1" seconds="$2" max_errors="$3"
  shift 3
  env -u QT_QPA_PLATFORM -u LC_ALL LANG=C.UTF-8 "$@" "$program" >"$work/$name.log" 2>&1 &
  CLOCK_PID=$!
  main_window=""
  for i in $(seq 1 500); do
    main_window="$(xdotool search --onlyvisible --name '^TRILUME' 2>/dev/null | head -n 1 || true)"
    [ -n "$main_window" ] && break
    sleep 0.02
  done
  [ -n "$main_window" ] || { fail "$name: the main window did not appear"; return; }
  main_width=280
  main_height=310
  sleep 1

  # One round of every gesture, then the baseline.
  local kind
  for kind in "${all_actions[@]}"; do action "$kind"; sleep 0.3; done
  resize_main 280 310
  sleep 5
  local start_ticks baseline peak errors max_seen=0 samples=0 alive=1
  start_ticks="$(cpu_ticks)"
  baseline="$(rss_kib)"
  peak="$baseline"
  local started=$SECONDS next_sample=$((SECONDS + 10))
  while [ $((SECONDS - started)) -lt "$seconds" ]; do
    action "${all_actions[$((RANDOM % ${#all_actions[@]}))]}"
    sleep "0.$((RANDOM % 9 + 1))"
    if [ "$SECONDS" -ge "$next_sample" ]; then
      next_sample=$((SECONDS + 10))
      if ! kill -0 "$CLOCK_PID" 2>/dev/null; then alive=0; break; fi
      # Measured at the start-up size: the backing store of a large window
      # is memory the window needs, not growth.
      local rss
      resize_main 280 310
      sleep 1.5
      rss="$(rss_kib)"
      [ "$rss" -gt "$peak" ] && peak="$rss"
      errors="$(error_windows | wc -l)"
      [ "$errors" -gt "$max_seen" ] && max_seen="$errors"
      samples=$((samples + 1))
      echo "  $name +$((SECONDS - started)) s: resident $rss KiB, error windows $errors"
      # In the failing session, close the error window now and then: the
      # next failing frame may open one again, never two.
      if [ "$max_errors" -gt 0 ] && [ "$errors" -gt 0 ] && [ $((samples % 3)) -eq 0 ]; then
        for id in $(error_windows); do close_window "$id"; done
      fi
    fi
  done
  local seconds_run=$((SECONDS - started))
  local cpu=$(( ($(cpu_ticks) - start_ticks) ))
  local hz
  hz="$(getconf CLK_TCK)"

  if [ "$alive" -ne 1 ]; then
    fail "$name: the program died; its output:"
    cat "$work/$name.log"
  fi
  echo "$name: ${seconds_run} s, $samples samples, resident ${baseline} KiB after the first round," \
       "peak ${peak} KiB (+$((peak - baseline)) KiB), most error windows at once: $max_seen," \
       "CPU $(awk -v t="$cpu" -v hz="$hz" -v s="$seconds_run" 'BEGIN {printf "%.1f%%", 100 * t / hz / s}')"
  [ $((peak - baseline)) -le "$rss_tolerance_kib" ] ||
    fail "$name: resident size grew by $((peak - baseline)) KiB"
  [ "$max_seen" -le "$max_errors" ] || fail "$name: $max_seen error windows at once"
  if [ "$max_errors" -gt 0 ] && ! grep -q "^trilume: " "$work/$name.log"; then
    fail "$name: the failing time text was never reported"
  fi

  # The user closes the main window (the panel and an error window may be
  # open): the program ends with exit code 0.
  if [ "$alive" -eq 1 ]; then
    close_window "$main_window"
    local code=""
    for i in $(seq 1 500); do
      if ! kill -0 "$CLOCK_PID" 2>/dev/null; then
        set +e
        wait "$CLOCK_PID"
        code=$?
        set -e
        CLOCK_PID=""
        break
      fi
      sleep 0.02
    done
    echo "$name: exit code after closing the main window: ${code:-still running}"
    [ "$code" = "0" ] || fail "$name: exit code '${code:-still running}'"
  fi
  local counts="" k
  for k in "${all_actions[@]}"; do counts+=" $k ${done_count[$k]:-0},"; done
  echo "$name: gestures:${counts%,}"
  done_count=()
}

session normal $((minutes * 60)) 0

if [ "$error_minutes" -gt 0 ]; then
  # fa_IR writes the time with Persian digits, which the hands cannot read.
  mkdir -p "$work/locales"
  localedef -i fa_IR -f UTF-8 "$work/locales/fa_IR.UTF-8" >/dev/null 2>&1 || true
  if [ -d "$work/locales/fa_IR.UTF-8" ]; then
    session failing-time-text $((error_minutes * 60)) 1 LOCPATH="$work/locales" LC_TIME=fa_IR.UTF-8
  else
    fail "could not build the fa_IR locale for the failing session"
  fi
fi

if [ "$failures" -ne 0 ]; then
  echo "window-session: $failures check(s) failed (seed $seed)"
  exit 1
fi
echo "window-session: passed (seed $seed)"
