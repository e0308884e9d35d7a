#!/usr/bin/env python3
"""Checks a benchmark program's output as bench/summarize.py reads it: runs the command
after `--`, parses every line of its output as JSON and asserts the fields named before it.
Usage: check_output.py [--lines N] [--threads-per-line N] -- COMMAND ARGS..."""
import json
import subprocess
import sys


def main():
    split = sys.argv.index("--")
    options = dict(zip(sys.argv[1:split:2], sys.argv[2:split:2]))
    result = subprocess.run(sys.argv[split + 1:], stdout=subprocess.PIPE, text=True, check=True)
    rows = [json.loads(text) for text in result.stdout.splitlines() if text.strip()]
    assert len(rows) == 1, "one JSON object expected, got %d" % len(rows)
    row = rows[0]
    for name in ("impl", "efficiency", "added_delay_us", "delivery_us", "machine_stolen_ms"):
        assert name in row, "no field " + name
    assert row["transactions"] > 0 and row["lost_records"] == 0, row
    if "--lines" in options:
        lines = int(options["--lines"])
        assert row["lines"] == lines, row
        for name in ("efficiency_by_line", "added_delay_p99_by_line_us",
                     "delivery_p99_by_line_us", "write_p50_by_line_us"):
            assert len(row[name]) == lines, (name, row[name])
        assert all(0 < e <= 1.01 for e in row["efficiency_by_line"]), row
        if "--threads-per-line" in options:
            assert row["threads"] == lines * int(options["--threads-per-line"]), row
        # The scheduler's counts of the polling thread (the driver's, or the C poller's own):
        # a transaction wakes it at least twice (answer, end of the pause).
        runs = row["poll_thread_runs_per_transaction"]
        assert 2 <= runs < 50, ("runs a transaction", runs)
        assert row["poll_thread_us_per_run"] > 0, row
        assert row["poll_thread_ready_wait_us_per_run"] >= 0, row
    print(json.dumps(row))


if __name__ == "__main__":
    main()
