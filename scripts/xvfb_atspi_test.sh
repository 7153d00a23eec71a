#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The real program's accessibility tree through AT-SPI, on a private X server
# and a private D-Bus session: see tests/accessibility/atspi_tree_check.py.
# Exits 77 (skipped) when Xvfb, D-Bus, the AT-SPI bus or its Python bindings
# are not installed.
# Usage: xvfb_atspi_test.sh PATH/TO/trilume
set -euo pipefail

clock_binary="${1:?usage: xvfb_atspi_test.sh PATH/TO/trilume}"
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"

# shellcheck source=accessibility_tools.sh
source "$here/accessibility_tools.sh"
require_accessibility_tools Xvfb

# shellcheck source=xvfb_session.sh
source "$here/xvfb_session.sh"
start_xvfb

# A private session bus: the accessibility bus and its registry start on
# demand inside it and end with it.
set +e
run_group dbus-run-session -- /usr/bin/python3 \
  "$here/../tests/accessibility/atspi_tree_check.py" "$clock_binary"
status=$?
set -e
exit "$status"
