#!/usr/bin/env python3
"""What one silent drive costs the others on a line, with and without `run --back-off`.

Runs vfda-sim (wire timing on) with 8 drives on a pseudo-terminal and `vfda-host run` over
one status tag a drive (D0: one query a pass), three times: every drive answering; the last
drive silent from the start; the last drive silent with --back-off. Each run's frames
(--trace --json) give every drive's refresh, the time between two queries of it, over a
window that starts once the loss has been declared. In the back-off run the silent drive
then comes back, and the time until the module polls it as before ("restored") is set
against the retry interval it was on. Prints one JSON object.
Usage: back_off.py --bin DIR [--drives 8] [--window-start 15] [--window-end 45]
[--limit 16] [--come-back 46] [--seconds 62]"""
import argparse
import json
import os
import statistics
import subprocess
import sys
import tempfile
import threading
import time


def configure(host, folder, drives):
    config = os.path.join(folder, "line.cfg")
    changes = [["init"], ["set", "--port", "COM3", "--baud", "4800"]]
    changes += [["add-station", "VFD%02d" % n, "--number", str(n)] for n in range(1, drives + 1)]
    for words in changes:
        subprocess.run([host, "config", config] + words, check=True, stdout=subprocess.DEVNULL)
    tags = os.path.join(folder, "line.tags")
    with open(tags, "w", encoding="utf-8") as out:
        out.write("name,type,device,address\n")
        for n in range(1, drives + 1):
            out.write("F%02d,analog,VFD%02d,D0\n" % (n, n))
    return config, tags


def start_sim(sim, drives):
    process = subprocess.Popen([sim, "--pty", "--stations", "1-%d" % drives],
                               stdin=subprocess.PIPE, stdout=subprocess.PIPE, text=True)
    line = process.stdout.readline().split()
    if len(line) != 2 or line[0] != "pty":
        sys.exit("vfda-sim did not say its pseudo-terminal")
    return process, line[1]


def tell(sim, command):
    sim.stdin.write(command + "\n")
    sim.stdin.flush()


def run_line(args, silent, back_off):
    """The run's events, and when the silent drive was told to come back (ms since start)."""
    host = os.path.join(args.bin, "vfda-host")
    with tempfile.TemporaryDirectory() as folder:
        config, tags = configure(host, folder, args.drives)
        sim, pty = start_sim(os.path.join(args.bin, "vfda-sim"), args.drives)
        if silent:
            tell(sim, "fault %d silent" % args.drives)
        seconds = args.seconds if back_off else args.window_end + 1
        command = [host, "run", config, "--tags", tags, "--port", "COM3=" + pty, "--json",
                   "--trace", "--quiet", "--seconds", str(seconds)]
        if back_off:
            command += ["--back-off", "--back-off-limit", str(args.limit)]
        started = time.monotonic()
        run = subprocess.Popen(command, stdin=subprocess.PIPE, stdout=subprocess.PIPE, text=True)
        events = []
        reader = threading.Thread(target=lambda: events.extend(
            json.loads(line) for line in run.stdout))
        reader.start()
        came_back = None
        if back_off:
            time.sleep(max(0.0, args.come_back - (time.monotonic() - started)))
            came_back = (time.monotonic() - started) * 1000.0
            tell(sim, "clear %d" % args.drives)
        run.wait()
        reader.join()
        run.stdin.close()
        sim.stdin.close()
        sim.wait()
        return events, came_back


def refresh_s(events, station, start_ms, end_ms):
    """Seconds between two queries of the station, in the window; None when never asked."""
    sent = [e["t"] for e in events
            if e["event"] == "frame" and e["direction"] == "sent"
            and start_ms <= e["t"] < end_ms and e["hex"].split()[3:5] == [
                "%02X" % ord(c) for c in "%02d" % station]]
    if len(sent) < 2:
        return None
    return (sent[-1] - sent[0]) / 1000.0 / (len(sent) - 1)


def others_refresh(events, args):
    start, end = args.window_start * 1000, args.window_end * 1000
    figures = [refresh_s(events, n, start, end) for n in range(1, args.drives)]
    return round(statistics.mean(f for f in figures if f is not None), 4)


def come_back(events, came_back_ms):
    """How soon the drive was polled again after it came back, beside the wait it was on."""
    waits = [e for e in events if e["event"] == "backed-off"]
    before = [e for e in waits if e["t"] <= came_back_ms]
    restored = [e for e in events if e["event"] == "restored" and e["t"] > came_back_ms]
    return {
        "came_back_s": round(came_back_ms / 1000.0, 3),
        "restored_after_s": round((restored[0]["t"] - came_back_ms) / 1000.0, 3)
        if restored else None,
        "retry_interval_s": before[-1]["next_visit_s"] if before else None,
        "backed_off_events": len(waits),
    }


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--bin", required=True)
    parser.add_argument("--drives", type=int, default=8)
    parser.add_argument("--window-start", type=float, default=15)
    parser.add_argument("--window-end", type=float, default=45)
    parser.add_argument("--limit", type=int, default=16)
    parser.add_argument("--come-back", type=float, default=46)
    parser.add_argument("--seconds", type=int, default=62)
    args = parser.parse_args()

    all_answer, _ = run_line(args, silent=False, back_off=False)
    silent, _ = run_line(args, silent=True, back_off=False)
    backed_off, came_back_ms = run_line(args, silent=True, back_off=True)
    healthy = others_refresh(all_answer, args)
    result = {
        "drives": args.drives,
        "window_s": [args.window_start, args.window_end],
        "back_off_limit_s": args.limit,
        "others_refresh_s": {
            "all_answer": healthy,
            "one_silent": others_refresh(silent, args),
            "one_silent_back_off": others_refresh(backed_off, args),
        },
        "silent_drive_refresh_s_back_off": refresh_s(
            backed_off, args.drives, args.window_start * 1000, args.window_end * 1000),
        "come_back": come_back(backed_off, came_back_ms),
    }
    figures = result["others_refresh_s"]
    result["ratio_one_silent"] = round(figures["one_silent"] / healthy, 3)
    result["ratio_back_off"] = round(figures["one_silent_back_off"] / healthy, 3)
    print(json.dumps(result))


if __name__ == "__main__":
    main()
