# SPDX-License-Identifier: MIT
# Sourced by the scripts that test the real program as assistive technology
# sees it. require_accessibility_tools TOOL... exits 77 (skipped) when Debian's
# python3, D-Bus, the AT-SPI bus or one of the TOOLs is missing, and fails
# when xdotool, which every such test drives the clock with, is. The checks
# import their tally from beside them; no bytecode is left in the sources.
export PYTHONDONTWRITEBYTECODE=1
require_accessibility_tools() {
  [ -x /usr/bin/python3 ] || { echo "SKIP: Debian's python3 is not installed"; exit 77; }
  local tool
  for tool in "$@" dbus-run-session; do
    command -v "$tool" >/dev/null 2>&1 || { echo "SKIP: $tool is not installed"; exit 77; }
  done
  if [ ! -x /usr/libexec/at-spi-bus-launcher ]; then
    echo "SKIP: at-spi2-core is not installed"
    exit 77
  fi
  command -v xdotool >/dev/null 2>&1 || { echo "FAIL: xdotool is missing"; exit 1; }
}
