#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Runs a command on a private Xvfb display with the openbox window manager,
# for tests that need what only a window manager does (frames, its own
# choice of sizes, minimise and restore), with TRILUME_TEST_WINDOW_MANAGER
# set. Exits 77 (skipped) when Xvfb or openbox is missing.
# Usage: xvfb_wm_run.sh COMMAND [ARGUMENT...]
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"

for tool in Xvfb openbox xprop xdotool; do
  if ! command -v "$tool" >/dev/null 2>&1; then
    echo "SKIP: $tool is not installed"
    exit 77
  fi
done

# shellcheck source=xvfb_session.sh
source "$here/xvfb_session.sh"
start_xvfb
openbox --sm-disable >"$WORK_DIR/openbox.log" 2>&1 &
WM_PID=$!
trap 'kill "$WM_PID" 2>/dev/null || true; cleanup_session' EXIT
# The window manager is there once it has set its check window on the root.
if ! wait_until 60 'xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id"'; then
  echo "openbox did not start:"
  cat "$WORK_DIR/openbox.log"
  exit 1
fi
export TRILUME_TEST_WINDOW_MANAGER=1
run_group "$@"
