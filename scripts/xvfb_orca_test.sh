#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Orca on the real program: a private X server with openbox, a private D-Bus
# session with its accessibility bus, Orca with a private home and a speech
# server that writes to ALSA's null device. See
# tests/accessibility/orca_speech_check.py. Exits 77 (skipped) when Orca,
# Xvfb, openbox, D-Bus or the AT-SPI bus are not installed.
# Usage: xvfb_orca_test.sh PATH/TO/trilume [TRANSCRIPT_FILE]
set -euo pipefail

clock_binary="${1:?usage: xvfb_orca_test.sh PATH/TO/trilume [TRANSCRIPT_FILE]}"
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"

# shellcheck source=accessibility_tools.sh
source "$here/accessibility_tools.sh"
require_accessibility_tools orca speech-dispatcher

# Orca starts only once per user: another test run (another build, another
# checkout) waits here for its turn, and a user's own running Orca skips it.
exec 8>"${TMPDIR:-/tmp}/trilume-orca-test.$(id -u).lock"
if ! flock -w 1200 8; then
  echo "SKIP: another Orca test held the lock for 20 minutes"
  exit 77
fi
if pgrep -u "$(id -u)" -x orca >/dev/null 2>&1; then
  echo "SKIP: Orca is already running for this user, and Orca runs only once per user"
  exit 77
fi

exec bash "$here/xvfb_wm_run.sh" dbus-run-session -- \
  /usr/bin/python3 "$here/../tests/accessibility/orca_speech_check.py" "$@"
