#!/bin/sh
# SPDX-License-Identifier: MIT
# Runs PROGRAM with the remaining arguments and gives its output the shape
# help2man reads a synopsis from: "Usage:" and the whole usage on one line.
# The one-paragraph description under the usage is left out: the manual
# page's own DESCRIPTION says it at length.
program="$1"
shift
"$program" "$@" | sed -e '1s/^usage:/Usage:/' -e ':a' -e '$!N' -e 's/\n  *\[/ [/' -e 'ta' -e 'P' -e 'D' |
  awk 'NR == 1 || kept || /^$/ { kept = kept || NR > 1; print }'
