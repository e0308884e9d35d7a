#!/usr/bin/env python3
"""How a line keeps serving while one drive's parameters are read in full.

Runs vfda-sim (wire timing on, --trace) with several stations on a pseudo-terminal and
vfda-host run over it: station 1 has parameter tags P0..P(N-1), every other station a status
tag and a frequency command tag. After a quiet spell the bench types `read PUMP1`, which reads
those parameters through the module's range read a chunk at a time, exactly as a backup reads
a drive, and while that runs it types a frequency write to another station every so often.
From vfda-sim's trace (each line taken the moment it arrives) it measures:
  - refresh gaps: the longest time between two answers to one of the other stations, during
    the read and during a quiet spell before it (after the run's own read at its start);
  - write delays: from typing `write CMDn VALUE` to the drive receiving that station's C frame.
Prints one JSON object. Usage: responsiveness.py --bin DIR [--stations N] [--backups N]
[--parameters N] [--write-every S] [--quiet S]"""
import argparse
import json
import os
import queue
import statistics
import subprocess
import sys
import tempfile
import threading
import time


def start_reader(stream, lines):
    """Puts (arrival time, text) of every line of the stream on the queue."""
    def read():
        for text in stream:
            lines.put((time.monotonic(), text.rstrip("\n")))
        lines.put((time.monotonic(), None))
    thread = threading.Thread(target=read, daemon=True)
    thread.start()
    return thread


def frame_of(trace_line):
    """('rx'|'tx', letter, station) of a vfda-sim trace line, or None."""
    words = trace_line.split()
    if len(words) < 7 or words[1] not in ("rx", "tx"):
        return None
    try:
        data = bytes(int(word, 16) for word in words[2:])
        return words[1], chr(data[0]), int(data[3:5].decode("ascii"))
    except (ValueError, UnicodeDecodeError, IndexError):
        return None


def figures(values):
    if not values:
        return {"samples": 0, "median": None, "max": None}
    return {"samples": len(values), "median": round(statistics.median(values), 1),
            "max": round(max(values), 1)}


def configure(host, folder, stations, parameters):
    config = os.path.join(folder, "line.cfg")
    commands = [["init"], ["set", "--port", "COM3"]]
    commands += [["add-station", "PUMP%d" % n, "--number", str(n)] for n in stations]
    for words in commands:
        subprocess.run([host, "config", config] + words, check=True, stdout=subprocess.DEVNULL)
    tags = os.path.join(folder, "tags.csv")
    with open(tags, "w") as out:
        out.write("name,type,device,address\n")
        for p in range(parameters):
            out.write("PAR%d,analog,PUMP1,P%d\n" % (p, p))
        for n in stations[1:]:
            out.write("OUT%d,analog,PUMP%d,D1\nCMD%d,analog,PUMP%d,D0\n" % (n, n, n, n))
    return config, tags


def gaps_ms(answers, start, end):
    """Longest gap between answers to each station within [start, end], over all stations."""
    longest = []
    for times in answers.values():
        inside = [start] + [t for t in times if start <= t <= end] + [end]
        longest.append(max(b - a for a, b in zip(inside, inside[1:])) * 1000)
    return longest


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--bin", required=True)
    parser.add_argument("--stations", type=int, default=4)
    parser.add_argument("--backups", type=int, default=2)
    parser.add_argument("--parameters", type=int, default=81)
    parser.add_argument("--write-every", type=float, default=0.9)
    parser.add_argument("--quiet", type=float, default=3.0)
    args = parser.parse_args()
    host = os.path.join(args.bin, "vfda-host")
    stations = list(range(1, args.stations + 1))
    folder = tempfile.mkdtemp(prefix="vfda-commissioning-")
    config, tags = configure(host, folder, stations, args.parameters)

    sim = subprocess.Popen([os.path.join(args.bin, "vfda-sim"), "--pty", "--trace", "--stations",
                            "1-%d" % args.stations], stdin=subprocess.PIPE,
                           stdout=subprocess.PIPE, text=True, bufsize=1)
    trace = queue.Queue()
    pty = sim.stdout.readline().split()[1]
    start_reader(sim.stdout, trace)
    run = subprocess.Popen([host, "run", config, "--tags", tags, "--port", "COM3=" + pty,
                            "--json"], stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                           text=True, bufsize=1)
    events = queue.Queue()
    start_reader(run.stdout, events)

    answers = {n: [] for n in stations[1:]}  # arrival times of answers to the other stations
    reads_of_one = []                         # arrival times of R requests to station 1
    command_frames = {n: [] for n in stations[1:]}

    def drain(until):
        while True:
            left = until - time.monotonic()
            try:
                at, text = trace.get(timeout=max(left, 0.001))
            except queue.Empty:
                return
            frame = frame_of(text) if text is not None else None
            if frame:
                direction, letter, station = frame
                if direction == "tx" and station in answers:
                    answers[station].append(at)
                elif direction == "rx" and letter == "R" and station == 1:
                    reads_of_one.append(at)
                elif direction == "rx" and letter == "C" and station in command_frames:
                    command_frames[station].append(at)
            if time.monotonic() >= until:
                return

    def type_line(text):
        run.stdin.write(text + "\n")
        run.stdin.flush()
        return time.monotonic()

    # The run reads its parameter tags at the start: that read ends first, then a quiet spell.
    started = time.monotonic()
    while len(reads_of_one) < args.parameters and time.monotonic() - started < 120:
        drain(time.monotonic() + 0.2)
    drain(time.monotonic() + 1.0)
    quiet_start = time.monotonic()
    drain(quiet_start + args.quiet)
    idle_gaps = gaps_ms(answers, quiet_start, time.monotonic())

    writes = []  # (typed at, station)
    backups = []
    value = 10
    for backup in range(args.backups):
        first_read = len(reads_of_one)
        begun = type_line("read PUMP1")
        target = 0
        while len(reads_of_one) - first_read < args.parameters:
            station = stations[1 + target % (len(stations) - 1)]
            target += 1
            value = 30 if value == 10 else 10
            writes.append((type_line("write CMD%d %d" % (station, value)), station))
            drain(time.monotonic() + args.write_every)
            if time.monotonic() - begun > 20 + args.parameters:
                break
        backups.append((begun, reads_of_one[-1] if len(reads_of_one) > first_read else begun))
        drain(time.monotonic() + 1.5)
    run.stdin.write("quit\n")
    run.stdin.flush()
    run.wait(timeout=30)
    sim.stdin.close()
    sim.wait(timeout=30)

    delays = []
    for typed, station in writes:
        later = [t for t in command_frames[station] if t >= typed]
        if later:
            delays.append((later[0] - typed) * 1000)
    busy_gaps = []
    for begun, ended in backups:
        busy_gaps += gaps_ms(answers, begun, ended)
    print(json.dumps({
        "bench": "commissioning-responsiveness",
        "stations": args.stations, "baud": 4800, "parameters_read": args.parameters,
        "backups": len(backups),
        "backup_s": [round(end - begin, 2) for begin, end in backups],
        "refresh_gap_during_backup_ms": figures(busy_gaps),
        "refresh_gap_quiet_ms": figures(idle_gaps),
        "write_delay_ms": figures(delays),
        "writes_typed": len(writes),
        "load_average": [round(x, 2) for x in os.getloadavg()],
        "cpus": os.cpu_count(),
    }))
    return 0 if delays else 1


if __name__ == "__main__":
    sys.exit(main())
