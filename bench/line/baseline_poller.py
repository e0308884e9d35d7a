#!/usr/bin/env python3
"""The poller a user would script instead of the driver, for drives 0 to DRIVES - 1: the same frames, the same 100 ms
pause after every request and 100 ms minimum pass, and a value printed as soon as it is
decoded. Writes of P10 arrive at a steady interval and go out before the next poll step's
queries, as the driver's do. Times are time.monotonic_ns() (CLOCK_MONOTONIC)."""
import argparse
import resource
import sys
import time

import serial

PAUSE = 0.1
MINIMUM_PASS = 0.1
WRITE_PARAMETER = 10


def frame(letter, station, parameter, value=None):
    text = "%02d%02d" % (station, parameter)
    if value is not None:
        text += "%04d" % value
    return letter.encode() + b"\x03\x01" + text.encode()


def cpu_line(out):
    usage = resource.getrusage(resource.RUSAGE_SELF)
    cpu_ns = int((usage.ru_utime + usage.ru_stime) * 1e9)
    out.write("C %d %d %d\n" % (time.monotonic_ns(), cpu_ns, usage.ru_maxrss))


def show(out, station, group, answer):
    now = time.monotonic_ns()
    if group < 3:
        out.write("V %d %d D%d %.1f\n" % (now, station, group, int(answer[7:11]) / 10.0))
    else:
        for number, word in ((3, answer[7]), (4, answer[8] & 0x0F), (5, answer[8] >> 4),
                             (6, answer[10])):
            out.write("V %d %d D%d %d\n" % (now, station, number, word))
        out.write("V %d %d D4.0 %d\n" % (now, station, answer[8] & 1))


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--device", required=True)
    parser.add_argument("--drives", type=int, default=1)
    parser.add_argument("--baud", type=int, default=4800)
    parser.add_argument("--seconds", type=float, default=20)
    parser.add_argument("--warmup", type=float, default=2)
    parser.add_argument("--write-interval", type=int, default=1000)
    args = parser.parse_args()

    line = serial.Serial(args.device, args.baud, parity=serial.PARITY_ODD, timeout=1.0)
    out = sys.stdout
    start = time.monotonic()
    steady = start + args.warmup
    end = start + args.seconds
    next_write = steady
    writes = 0
    steady_reported = False
    batch, pending = None, []
    visit, pass_start = 0, start
    while time.monotonic() < end:
        now = time.monotonic()
        if not steady_reported and now >= steady:
            cpu_line(out)
            steady_reported = True
        if steady_reported and now >= next_write:
            station = writes % args.drives
            value = 50 + writes % 50
            # The moment the host asked for the write, as the driver's DrvWriteTag call is.
            out.write("W %d %d %d\n" % (int(next_write * 1e9), station, WRITE_PARAMETER))
            pending.append(("P", station, WRITE_PARAMETER, value))
            writes += 1
            next_write += args.write_interval / 1000.0
        # A new batch is taken only once the last one was retired by a step of its own.
        if batch is None and pending:
            batch, pending = pending, []
        if batch:
            letter, station, parameter, value = batch.pop(0)
            line.reset_input_buffer()
            line.write(frame(letter, station, parameter, value))
            answer = line.read(11)
            if len(answer) == 11 and answer[2] == 6:
                if letter == "Q":
                    show(out, station, parameter, answer)
                else:
                    out.write("V %d %d P%d %.1f\n" % (time.monotonic_ns(), station, parameter,
                                                      value / 10.0))
            out.flush()
            time.sleep(PAUSE)
            continue
        batch = None
        if visit == 0:
            pass_start = time.monotonic()
        # Each drive has two blocks, as in the driver: its status words, polled group by
        # group, and its written parameter, which is never polled.
        if visit % 2 == 0:
            for group in range(4):
                pending.append(("Q", visit // 2, group, None))
        visit = (visit + 1) % (2 * args.drives)
        if visit == 0:
            rest = MINIMUM_PASS - (time.monotonic() - pass_start)
            if rest > 0:
                time.sleep(rest)
    cpu_line(out)
    out.flush()


if __name__ == "__main__":
    main()
