#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Runs trilume_soak: the real frame, caption and free-flight code for many
# ticks under a seeded random stream of panel changes, resizes, clock jumps,
# TZ and locale changes and bad texts, with checks after every tick.
#
#   scripts/soak.sh                   20,000 frames (the short form CI runs)
#   scripts/soak.sh --long            1,000,000 frames (about 4.3 simulated hours)
#   scripts/soak.sh --frames N        N frames
#   scripts/soak.sh ... --seed S      replay the run with seed S (printed by every run)
#   scripts/soak.sh ... --preset P    build preset: asan (default) or release
#
# Under "asan" every tick runs with AddressSanitizer, UBSan and LeakSanitizer
# at exit, and the live heap must stay within 1 MiB after the warm-up; under
# "release" the resident size (VmRSS) must. Exit status 0 when all held.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

preset=asan
args=(--frames 20000)
while [ "$#" -gt 0 ]; do
  case "$1" in
    --long) args=(--long) ;;
    --frames) args=(--frames "${2:?--frames needs a number}"); shift ;;
    --seed) seed=("--seed" "${2:?--seed needs a number}"); shift ;;
    --preset) preset="${2:?--preset needs asan or release}"; shift ;;
    *) echo "usage: scripts/soak.sh [--long | --frames N] [--seed S] [--preset asan|release]" >&2
       exit 2 ;;
  esac
  shift
done
case "$preset" in asan | release) ;; *) echo "soak: unknown preset '$preset'" >&2; exit 2 ;; esac

jobs="$(nproc)"
if [ "$jobs" -gt 2 ]; then jobs=2; fi
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset" -j "$jobs" --target trilume_soak

export LSAN_OPTIONS="suppressions=$PWD/tests/reliability/lsan.supp:print_suppressions=0"
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
export QT_QPA_PLATFORM=offscreen
export XDG_RUNTIME_DIR="${XDG_RUNTIME_DIR:-$(mktemp -d)}"
exec "build/$preset/tests/reliability/soak/trilume_soak" "${args[@]}" "${seed[@]+"${seed[@]}"}"
