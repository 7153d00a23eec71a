# SPDX-License-Identifier: MIT
"""The checks' one tally: an "ok"/"FAIL" line each, then the closing line."""

_tally = {"passed": 0, "failed": 0}


def check(what, condition):
    """Counts and prints one check; returns the condition, for callers that go on only on success."""
    _tally["passed" if condition else "failed"] += 1
    print(f"{'ok   ' if condition else 'FAIL '} {what}", flush=True)
    return condition


def finish():
    """Prints 'N passed, N failed' and returns the exit status."""
    print(f"{_tally['passed']} passed, {_tally['failed']} failed", flush=True)
    return 1 if _tally["failed"] else 0
