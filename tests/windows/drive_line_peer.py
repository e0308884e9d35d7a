#!/usr/bin/env python3
"""The Linux side of the end-to-end test through Wine.

Starts the native drive simulator on a pseudo-terminal, links that pseudo-terminal into the
Wine prefix as COM7 (Wine keeps COM1 to COM4 for the machine's own ports), sets a few drive words, runs the Windows test program and ends the
simulator. Exits with the program's exit code.

usage: drive_line_peer.py SIMULATOR WINE WINEPREFIX PROGRAM [ARGS...]
"""
import os
import subprocess
import sys

PROGRAM_LIMIT_S = 120
SETUP = ["set 1 D0 456", "set 1 P11 77"]


def main():
    simulator, wine, prefix, program = sys.argv[1], sys.argv[2], sys.argv[3], sys.argv[4:]
    devices = os.path.join(prefix, "dosdevices")
    if not os.path.isdir(devices):
        print(f"no dosdevices folder in {prefix}: run wineboot first", file=sys.stderr)
        return 1
    drives = subprocess.Popen(
        [simulator, "--pty", "--stations", "1,2", "--no-wire-timing", "--keep-running"],
        stdin=subprocess.PIPE, stdout=subprocess.PIPE, text=True)
    link = os.path.join(devices, "com7")
    try:
        first = drives.stdout.readline().split()
        if len(first) != 2 or first[0] != "pty":
            print(f"the simulator did not name its line: {first}", file=sys.stderr)
            return 1
        for command in SETUP:
            drives.stdin.write(command + "\n")
            drives.stdin.flush()
            answer = drives.stdout.readline().strip()
            if answer != "ok":
                print(f"{command}: {answer}", file=sys.stderr)
                return 1
        if os.path.lexists(link):
            os.remove(link)
        os.symlink(first[1], link)
        env = dict(os.environ, WINEPREFIX=prefix, WINEDEBUG="-all")
        try:
            return subprocess.run([wine] + program, env=env, timeout=PROGRAM_LIMIT_S).returncode
        except subprocess.TimeoutExpired:
            print(f"the program ran longer than {PROGRAM_LIMIT_S} s", file=sys.stderr)
            return 1
    finally:
        if os.path.lexists(link):
            os.remove(link)
        drives.terminate()
        try:
            drives.wait(10)
        except subprocess.TimeoutExpired:
            drives.kill()


if __name__ == "__main__":
    sys.exit(main())
