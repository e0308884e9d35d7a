#!/usr/bin/env python3
"""The Linux side of the serial test through Wine.

Creates one pseudo-terminal for COM5 and one for COM10, links them into the Wine prefix's
dosdevices folder, runs the Windows test program, and answers every 7-byte frame that
arrives on a line with the same bytes in reverse order. Exits with the program's exit code.

usage: serial_line_peer.py WINE WINEPREFIX PROGRAM [ARGS...]
"""
import os
import pty
import select
import subprocess
import sys
import time
import tty

FRAME = 7
PROGRAM_LIMIT_S = 90


def main():
    wine, prefix, program = sys.argv[1], sys.argv[2], sys.argv[3:]
    devices = os.path.join(prefix, "dosdevices")
    if not os.path.isdir(devices):
        print(f"no dosdevices folder in {prefix}: run wineboot first", file=sys.stderr)
        return 1
    lines = {}
    links = []
    for number in (5, 10):
        master, slave = pty.openpty()
        # Raw until the program sets the line up: nothing echoed or translated. The slave
        # stays open here so the line outlives the program's opens and closes.
        tty.setraw(slave)
        link = os.path.join(devices, f"com{number}")
        if os.path.lexists(link):
            os.remove(link)
        os.symlink(os.ttyname(slave), link)
        links.append(link)
        lines[master] = (f"COM{number}", slave, bytearray())

    env = dict(os.environ, WINEPREFIX=prefix, WINEDEBUG="-all")
    child = subprocess.Popen([wine] + program, env=env)
    deadline = time.monotonic() + PROGRAM_LIMIT_S
    try:
        while child.poll() is None:
            if time.monotonic() > deadline:
                print(f"the program ran longer than {PROGRAM_LIMIT_S} s", file=sys.stderr)
                child.kill()
                child.wait(10)
                return 1
            ready, _, _ = select.select(list(lines), [], [], 0.1)
            for master in ready:
                name, _, pending = lines[master]
                try:
                    pending += os.read(master, 256)
                except OSError:
                    continue
                while len(pending) >= FRAME:
                    frame = bytes(pending[:FRAME])
                    del pending[:FRAME]
                    print(f"{name}: {frame.hex(' ')}", file=sys.stderr)
                    os.write(master, frame[::-1])
        return child.returncode
    finally:
        for link in links:
            os.remove(link)
        for master, (_, slave, _) in lines.items():
            os.close(master)
            os.close(slave)


if __name__ == "__main__":
    sys.exit(main())
