#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds the libFuzzer targets (preset "fuzz": clang, ASan + UBSan) and runs
# each one from its seed corpus in fuzz/corpus/<target>/.
#
#   scripts/fuzz.sh --short        8 seconds per target (the CI run)
#   scripts/fuzz.sh [--long]       10 minutes per target
#   scripts/fuzz.sh --seconds N    N seconds per target
#
# New inputs go to build/fuzz/corpus/<target>/, never into the repository.
# A crash, a hang (10 s per input), a sanitizer report or a broken property
# stops that target, leaves the input in build/fuzz/artifacts/ and makes the
# script fail. Replay one with: build/fuzz/fuzz/<target>_fuzzer <file>
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

seconds=600
case "${1:-}" in
  --short) seconds=8 ;;
  --long | "") seconds=600 ;;
  --seconds) seconds="${2:?--seconds needs a number}" ;;
  *) echo "usage: scripts/fuzz.sh [--short | --long | --seconds N]" >&2; exit 2 ;;
esac

targets=(time_text movement render_options)
jobs="$(nproc)"
if [ "$jobs" -gt 2 ]; then jobs=2; fi

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j "$jobs" --target "${targets[@]/%/_fuzzer}"

export LSAN_OPTIONS="suppressions=$PWD/tests/reliability/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
export QT_QPA_PLATFORM=offscreen
export XDG_RUNTIME_DIR="${XDG_RUNTIME_DIR:-$(mktemp -d)}"

status=0
mkdir -p build/fuzz/artifacts
for target in "${targets[@]}"; do
  work="build/fuzz/corpus/$target"
  mkdir -p "$work"
  log="build/fuzz/$target.log"
  echo "== $target: ${seconds} s"
  if build/fuzz/fuzz/"${target}"_fuzzer -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
      -print_final_stats=1 -artifact_prefix="build/fuzz/artifacts/$target-" \
      "$work" "fuzz/corpus/$target" >"$log" 2>&1; then
    runs="$(grep -E '^stat::number_of_executed_units' "$log" | awk '{print $2}')"
    cov="$(grep -E '^#[0-9]+' "$log" | tail -n 1 | grep -oE 'cov: [0-9]+' || true)"
    echo "   clean: ${runs:-?} inputs, ${cov:-cov: ?}, corpus $(ls "$work" | wc -l) + $(ls "fuzz/corpus/$target" | wc -l) seeds"
  else
    status=1
    echo "   FAILED; the end of $log:"
    tail -n 40 "$log"
  fi
done
exit "$status"
