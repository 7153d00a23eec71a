#!/bin/sh
# SPDX-License-Identifier: MIT
# Runs PROGRAM with the remaining arguments and gives its output the shape
# help2man reads a synopsis from: "Usage:" and the whole usage on one line.
program="$1"
shift
"$program" "$@" | sed -e '1s/^usage:/Usage:/' -e ':a' -e '$!N' -e 's/\n  *\[/ [/' -e 'ta' -e 'P' -e 'D'
