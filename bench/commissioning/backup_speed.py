#!/usr/bin/env python3
"""How close backup, whole-line backup and restore come to the line's floor.

Runs vfda-sim (wire timing on) with several stations on a pseudo-terminal and times, as a
user runs them: `vfda-host backup` of one drive, `backup` of every drive of the line into a
folder, and `restore` of the first drive from its own backup (nothing differs, so a restore is
a full read before and a full read after). The floor of one parameter read is the request
(7 characters) and the answer (11 characters) on the wire at 11 bits a character, the drive's
turnaround and the driver's 100 ms pause after every transaction; a backup reads 81.
Prints one JSON object. Usage: backup_speed.py --bin DIR [--stations N] [--baud B]
[--turnaround MS] [--only backup|line|restore]"""
import argparse
import json
import os
import subprocess
import sys
import tempfile
import time

PARAMETERS = 81
REQUEST_CHARS = 7
ANSWER_CHARS = 11
BITS_PER_CHAR = 11
PAUSE_S = 0.100


def read_floor_s(baud, turnaround_ms):
    wire = (REQUEST_CHARS + ANSWER_CHARS) * BITS_PER_CHAR / baud
    return wire + turnaround_ms / 1000.0 + PAUSE_S


def configure(host, folder, stations, baud):
    config = os.path.join(folder, "line.cfg")
    changes = [["init"], ["set", "--port", "COM3", "--baud", str(baud)]]
    changes += [["add-station", "PUMP%d" % n, "--number", str(n)] for n in range(1, stations + 1)]
    for words in changes:
        subprocess.run([host, "config", config] + words, check=True, stdout=subprocess.DEVNULL)
    return config


def timed(command):
    """Seconds the command took; it must succeed."""
    start = time.monotonic()
    result = subprocess.run(command, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, text=True)
    seconds = time.monotonic() - start
    if result.returncode != 0:
        sys.exit("%s failed (%d): %s" % (" ".join(command), result.returncode, result.stderr))
    return seconds


def figure(seconds, reads, floor_each):
    floor = reads * floor_each
    return {"seconds": round(seconds, 3), "reads": reads, "floor_s": round(floor, 3),
            "ratio": round(seconds / floor, 4)}


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--bin", required=True)
    parser.add_argument("--stations", type=int, default=4)
    parser.add_argument("--baud", type=int, default=4800, choices=(1200, 2400, 4800))
    parser.add_argument("--turnaround", type=int, default=10)
    parser.add_argument("--only", choices=("backup", "line", "restore"))
    args = parser.parse_args()
    host = os.path.join(args.bin, "vfda-host")
    floor_each = read_floor_s(args.baud, args.turnaround)
    with tempfile.TemporaryDirectory() as folder:
        config = configure(host, folder, args.stations, args.baud)
        numbers = ",".join(str(n) for n in range(1, args.stations + 1))
        sim = subprocess.Popen(
            [os.path.join(args.bin, "vfda-sim"), "--pty", "--stations", numbers, "--baud",
             str(args.baud), "--turnaround", str(args.turnaround), "--keep-running"],
            stdin=subprocess.DEVNULL, stdout=subprocess.PIPE, text=True)
        try:
            pty = sim.stdout.readline().split()[1]
            port = ["--port", "COM3=" + pty]
            row = {"bench": "backup-speed", "baud": args.baud, "stations": args.stations,
                   "turnaround_ms": args.turnaround, "read_floor_ms": round(floor_each * 1000, 3)}
            one = os.path.join(folder, "PUMP1.parameters.json")
            if args.only in (None, "backup", "restore"):
                seconds = timed([host, "backup", config, "PUMP1", "--out", one] + port)
                row["backup"] = figure(seconds, PARAMETERS, floor_each)
            if args.only in (None, "line"):
                out = os.path.join(folder, "line")
                os.mkdir(out)
                names = ["PUMP%d" % n for n in range(1, args.stations + 1)]
                seconds = timed([host, "backup", config] + names + ["--out", out] + port)
                row["line_backup"] = figure(seconds, PARAMETERS * args.stations, floor_each)
            if args.only in (None, "restore"):
                seconds = timed([host, "restore", config, one] + port)
                row["restore"] = figure(seconds, 2 * PARAMETERS, floor_each)
            row["load_average"] = [round(load, 2) for load in os.getloadavg()]
        finally:
            sim.terminate()
            sim.wait(timeout=10)
    print(json.dumps(row))


if __name__ == "__main__":
    main()
