#!/usr/bin/env python3
"""vfda-host.exe's Korean text in a console, through Wine.

Makes a configuration, then asks vfda-host.exe for a change the module refuses (a station
number already taken), twice: once with standard error a pipe, which takes the UTF-8 bytes as
they are, and once in a console (Wine's console on a pseudo-terminal, in the Korean locale, so
the console starts on code page 949 as a Korean Windows does). What the console shows must be
the same text. Wine's console draws with cursor moves, so escape sequences and blanks are left
out of the comparison.

usage: console_text_peer.py WINE WINEPREFIX VFDA_HOST_EXE
"""
import os
import pty
import re
import select
import subprocess
import sys
import tempfile
import time

LIMIT_S = 90
ESCAPE = re.compile(r"\x1b(\[[0-9;?]*[ -/]*[@-~]|\][^\x07\x1b]*(\x07|\x1b\\)|[@-Z\\-_])")


def wine_environment(prefix, locale):
    return dict(os.environ, WINEPREFIX=prefix, WINEDEBUG="-all",
                WINEDLLOVERRIDES="mscoree,mshtml=", LC_ALL=locale)


def run_piped(command, env, folder):
    return subprocess.run(command, env=env, cwd=folder, capture_output=True, timeout=LIMIT_S)


def run_in_console(command, env, folder):
    """Runs the command on a pseudo-terminal and returns all it drew there, as text."""
    master, slave = pty.openpty()
    child = subprocess.Popen(command, env=env, cwd=folder, stdin=slave, stdout=slave,
                             stderr=slave, close_fds=True)
    os.close(slave)
    drawn = bytearray()
    deadline = time.monotonic() + LIMIT_S
    while time.monotonic() < deadline:
        ready, _, _ = select.select([master], [], [], 0.2)
        if ready:
            try:
                chunk = os.read(master, 4096)
            except OSError:  # the last holder of the terminal's other end is gone
                break
            if not chunk:
                break
            drawn += chunk
        elif child.poll() is not None:
            break
    else:
        child.kill()
    child.wait(10)
    os.close(master)
    return child.returncode, drawn.decode("utf-8", errors="replace")


def shown(text):
    return re.sub(r"\s+", "", ESCAPE.sub("", text))


def main():
    wine, prefix, host = sys.argv[1], sys.argv[2], sys.argv[3]
    env = wine_environment(prefix, "ko_KR.UTF-8")
    with tempfile.TemporaryDirectory() as folder:
        for words in (["init"], ["add-station", "PUMP1", "--number", "1"]):
            made = run_piped([wine, host, "config", "line.cfg"] + words, env, folder)
            if made.returncode != 0:
                print(f"config {words}: {made.stderr!r}", file=sys.stderr)
                return 1
        refused = ["config", "line.cfg", "add-station", "PUMP2", "--number", "1"]
        piped = run_piped([wine, host] + refused, env, folder)
        expected = piped.stderr.decode("utf-8")
        if piped.returncode != 2 or not re.search(r"[\uac00-\ud7a3]", expected):
            print(f"expected a refusal in Korean on the pipe, got {piped.returncode}: "
                  f"{expected!r}", file=sys.stderr)
            return 1
        code, console = run_in_console([wine, host] + refused, env, folder)
        if code != 2 or shown(expected) not in shown(console):
            print(f"the console showed (exit {code}):\n{shown(console)}\n"
                  f"instead of:\n{shown(expected)}", file=sys.stderr)
            return 1
    print("the console shows: " + expected.strip())
    return 0


if __name__ == "__main__":
    sys.exit(main())
