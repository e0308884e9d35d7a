#!/usr/bin/env python3
"""Runs the responsiveness bench briefly and checks its output as a reader of the figures
would: one JSON object, parsed by a real parser, with every figure present and sane.
Usage: check_output.py -- COMMAND ARGS..."""
import json
import subprocess
import sys


def main():
    command = sys.argv[sys.argv.index("--") + 1:]
    result = subprocess.run(command, stdout=subprocess.PIPE, text=True, check=True, timeout=240)
    rows = [json.loads(text) for text in result.stdout.splitlines() if text.strip()]
    assert len(rows) == 1, "one JSON object expected, got %d" % len(rows)
    row = rows[0]
    assert row["bench"] == "commissioning-responsiveness", row
    assert row["backups"] >= 1 and len(row["backup_s"]) == row["backups"], row
    for name in ("refresh_gap_during_backup_ms", "refresh_gap_quiet_ms", "write_delay_ms"):
        figure = row[name]
        assert figure["samples"] > 0, (name, figure)
        assert 0 <= figure["median"] <= figure["max"], (name, figure)
    assert row["write_delay_ms"]["samples"] <= row["writes_typed"], row
    assert len(row["load_average"]) == 3, row
    print(json.dumps(row))


if __name__ == "__main__":
    main()
