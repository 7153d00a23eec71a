#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Checks the formatting, then builds and runs every test: the release build's
# suite, the Debian package checks, the sanitizer build's suite (which
# includes the short soak), and a short run of each fuzzer. Prints one closing line with the totals.
set -uo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
jobs="$(nproc)"
passed=0
failed=0
status=0

# ctest's own output has a line for every test start and one for every end,
# each padded with dots to the longest name. Shown instead: a count
# every 100 tests, each test that did not pass (with its output), and ctest's
# closing summary. The whole log stays in build/<preset>/Testing/Temporary.
ctest_filter() {
  awk '
    /^ *Start +[0-9]+: / { next }
    { gsub(/ \.\.\.\.+/, " ...") }
    /^ *[0-9]+\/[0-9]+ Test +#[0-9]+: / {
      if ($0 !~ / Passed +[0-9.]+ sec$/) print
      split($1, count, "/")
      if (count[1] % 100 == 0) print "  " count[1] " of " count[2] " tests done"
      next
    }
    { print }
  '
}

failures=()

run_ctest() {  # preset, extra ctest args...
  local preset="$1"; shift
  local log
  log="$(mktemp)"
  ctest --preset "$preset" -j "$jobs" --output-on-failure "$@" 2>&1 | tee "$log" | ctest_filter
  local rc="${PIPESTATUS[0]}"
  local line
  line="$(grep -E '[0-9]+% tests passed, [0-9]+ tests? failed out of [0-9]+' "$log" | tail -n 1)"
  if [ -n "$line" ]; then
    local total nfail
    total="$(sed -E 's/.* out of ([0-9]+).*/\1/' <<<"$line")"
    nfail="$(sed -E 's/.*passed, ([0-9]+) tests? failed.*/\1/' <<<"$line")"
    passed=$((passed + total - nfail))
    failed=$((failed + nfail))
  fi
  local failure
  while IFS= read -r failure; do
    failures+=("$preset: $failure")
  done < <(sed -n '/^The following tests FAILED:$/,/^$/{s/^\t *//p}' "$log")
  rm -f "$log"
  if [ "$rc" -ne 0 ]; then status=1; fi
}

build() {  # preset
  cmake --preset "$1" >/dev/null && cmake --build --preset "$1" -j "$jobs" -- --quiet
}

echo "== formatting (clang-format, .clang-format)"
mapfile -t sources < <(git ls-files -- '*.cpp' '*.h' 2>/dev/null ||
  find model render ui tools cli tests bench fuzz -name '*.cpp' -o -name '*.h')
if clang-format --dry-run -Werror "${sources[@]}"; then
  passed=$((passed + 1))
else
  echo "clang-format: the files above differ from their formatted form (clang-format -i FILE)"
  failed=$((failed + 1)); status=1
fi

echo "== release build and tests"
if build release; then run_ctest release; else echo "release build failed"; status=1; fi

# ---- Debian package: the .deb of the release build, checked (one count each) ----
echo "== Debian package"
package_log="$(mktemp)"
bash scripts/package_check.sh build/release 2>&1 | tee "$package_log"
package_rc="${PIPESTATUS[0]}"
package_line="$(grep -E '^package checks: [0-9]+ passed, [0-9]+ failed$' "$package_log" | tail -n 1)"
rm -f "$package_log"
if [ -n "$package_line" ]; then
  passed=$((passed + $(sed -E 's/.*: ([0-9]+) passed.*/\1/' <<<"$package_line")))
  failed=$((failed + $(sed -E 's/.*, ([0-9]+) failed/\1/' <<<"$package_line")))
elif [ "$package_rc" -ne 0 ]; then
  failed=$((failed + 1))  # died before its closing line
fi
if [ "$package_rc" -ne 0 ]; then status=1; failures+=("package checks: the FAIL lines above"); fi
# ---- end of the Debian package block ----

echo "== sanitizer build (ASan + UBSan) and tests"
if build asan; then
  # Qt 6.8 asks the desktop portal for its settings version once per process
  # and leaves the reply's watcher behind at exit when no portal answers, as
  # in these sessions; the leak checker would fail every real-window test.
  QT_NO_XDG_DESKTOP_PORTAL=1 \
  LSAN_OPTIONS="suppressions=$PWD/tests/reliability/lsan.supp:print_suppressions=0" \
  ASAN_OPTIONS="detect_leaks=1:abort_on_error=1" \
  UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1" \
    run_ctest asan
else
  echo "sanitizer build failed"; status=1
fi

if [ -x scripts/fuzz.sh ]; then
  echo "== fuzzers, short run"
  if bash scripts/fuzz.sh --short; then
    passed=$((passed + 1))
  else
    failed=$((failed + 1)); status=1; failures+=("fuzzers: the run above")
  fi
fi

echo
if [ "${#failures[@]}" -gt 0 ]; then
  echo "failed tests (their output is above, after each one's name):"
  printf '  %s\n' "${failures[@]}"
fi
echo "total: ${passed} passed, ${failed} failed"
exit "$status"
