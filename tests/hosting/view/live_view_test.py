#!/usr/bin/python3
"""vfda-host run --view as a user sees it: the program runs on a pseudo-terminal, a terminal
emulator (pyte) keeps the screen it draws, and the checks read that screen's cells while the
simulated drives change values, fall silent, and the terminal is resized.
Usage: live_view_test.py BIN_DIR"""
import fcntl
import os
import pty
import select
import struct
import subprocess
import sys
import tempfile
import termios
import time
import unittest

import pyte

BIN = None
PATIENCE_S = 30


class Sim:
    """vfda-sim on a pseudo-terminal, told things on its console."""

    def __init__(self, stations):
        self.process = subprocess.Popen(
            [os.path.join(BIN, "vfda-sim"), "--pty", "--no-wire-timing", "--stations", stations],
            stdin=subprocess.PIPE, stdout=subprocess.PIPE, text=True)
        words = self.process.stdout.readline().split()
        assert words[0] == "pty", words
        self.path = words[1]

    def tell(self, command):
        self.process.stdin.write(command + "\n")
        self.process.stdin.flush()

    def close(self):
        self.process.stdin.close()
        self.process.wait(timeout=PATIENCE_S)


class Screen:
    """vfda-host on a pseudo-terminal of ROWS x COLUMNS, its output fed to pyte."""

    def __init__(self, arguments, rows=24, columns=80):
        self.screen = pyte.Screen(columns, rows)
        self.stream = pyte.ByteStream(self.screen)
        self.after = b""  # what came after the view left the alternate screen
        pid, fd = pty.fork()
        if pid == 0:
            os.environ.update({"TERM": "xterm", "LANG": "C.UTF-8"})
            os.execv(os.path.join(BIN, "vfda-host"), ["vfda-host"] + arguments)
        self.pid, self.fd = pid, fd
        self.resize(rows, columns)
        self.status = None

    def resize(self, rows, columns):
        self.screen.resize(rows, columns)
        fcntl.ioctl(self.fd, termios.TIOCSWINSZ, struct.pack("HHHH", rows, columns, 0, 0))

    def pump(self, seconds):
        end = time.monotonic() + seconds
        while time.monotonic() < end:
            ready, _, _ = select.select([self.fd], [], [], max(0.0, end - time.monotonic()))
            if not ready:
                continue
            try:
                data = os.read(self.fd, 65536)
            except OSError:
                data = b""
            if not data:
                return False
            if b"\x1b[?1049l" in data or self.after:
                self.after += data
            self.stream.feed(data)
        return True

    def lines(self):
        return [line.rstrip() for line in self.screen.display]

    def wait_for(self, check, what):
        end = time.monotonic() + PATIENCE_S
        while time.monotonic() < end:
            if check(self.lines()):
                return
            if not self.pump(0.1):
                break
        raise AssertionError("no %s on the screen:\n%s" % (what, "\n".join(self.lines())))

    def row_of(self, station):
        for line in self.lines():
            if line[1:].split(" ")[0] == station:
                return line
        return None

    def cell(self, station, start, end):
        row = self.row_of(station)
        return row[start:end].strip() if row is not None else None

    def type(self, text):
        os.write(self.fd, text.encode())

    def finish(self):
        end = time.monotonic() + PATIENCE_S
        while time.monotonic() < end and self.pump(0.1):
            pass
        _, status = os.waitpid(self.pid, 0)
        os.close(self.fd)
        self.status = os.waitstatus_to_exitcode(status)
        return self.status


# The table's columns, as the view draws them.
STATE = (15, 26)
LAST = (26, 32)
FAILURES = (38, 48)
VALUES = (48, None)


def configure(folder, stations):
    host = os.path.join(BIN, "vfda-host")
    config = os.path.join(folder, "line.cfg")
    changes = [["init"], ["set", "--port", "COM3"]]
    changes += [["add-station", name, "--number", str(number)] for name, number in stations]
    for words in changes:
        subprocess.run([host, "config", config] + words, check=True, stdout=subprocess.DEVNULL)
    tags = os.path.join(folder, "line.tags")
    with open(tags, "w", encoding="utf-8") as out:
        out.write("name,type,device,address\n")
        for name, number in stations:
            out.write("F%d,analog,%s,D0\n" % (number, name))
    return config, tags


class LiveViewTest(unittest.TestCase):
    def setUp(self):
        self.folder = tempfile.TemporaryDirectory()

    def tearDown(self):
        self.folder.cleanup()

    def run_view(self, sim, stations, rows=24, columns=80, more=()):
        config, tags = configure(self.folder.name, stations)
        return Screen(["run", config, "--tags", tags, "--port", "COM3=" + sim.path, "--view"]
                      + list(more), rows, columns)

    def test_values_a_silent_drive_keys_and_a_resize_show_in_their_cells(self):
        sim = Sim("1,2")
        sim.tell("set 1 D0 123")
        view = self.run_view(sim, [("PUMP1", 1), ("PUMP2", 2)])
        try:
            view.wait_for(lambda _: view.cell("PUMP1", *VALUES) == "F1=12.3", "PUMP1's value")
            self.assertEqual(view.cell("PUMP1", *STATE), "good")
            self.assertRegex(view.cell("PUMP1", *LAST), r"^\d+$")
            self.assertEqual(view.cell("PUMP1", *FAILURES), "0")
            self.assertIn("COM3", view.lines()[0])

            sim.tell("set 1 D0 456")
            view.wait_for(lambda _: view.cell("PUMP1", *VALUES) == "F1=45.6", "the new value")

            sim.tell("fault 2 silent")
            view.wait_for(lambda _: view.cell("PUMP2", *STATE) == "lost", "PUMP2 lost")
            self.assertRegex(view.cell("PUMP2", *FAILURES), r"^t[5-9]$")
            self.assertIn("14", view.lines()[-2], "the link loss is the latest event")

            view.resize(30, 100)
            view.wait_for(lambda lines: lines[29].startswith(" Up/Down select"),
                          "the keys on the last row after the resize")
            self.assertEqual(view.cell("PUMP1", *VALUES), "F1=45.6")

            view.type("j")  # PUMP2 selected
            view.type("e")
            view.wait_for(lambda _: view.cell("PUMP2", *STATE) == "disabled", "PUMP2 disabled")
            view.type(":enable PUMP2 1\r")
            view.wait_for(lambda lines: "PUMP2 enabled" in lines[-2], "the command's result")
            view.type("q")
            self.assertEqual(view.finish(), 0)
            after = view.after.decode("utf-8", "replace")
            self.assertIn("stats  PUMP1", after, "the statistics follow the view")
            self.assertIn("end    quit", after)
        finally:
            sim.close()

    def test_more_stations_than_rows_scroll_with_the_selection(self):
        stations = [("VFD%02d" % n, n) for n in range(1, 26)]
        sim = Sim("1-25")
        view = self.run_view(sim, stations)
        try:
            view.wait_for(lambda _: view.cell("VFD01", *VALUES) == "F1=0", "the first row")
            self.assertIsNone(view.row_of("VFD25"), "below the screen at first")
            view.type("\x1b[F")  # End
            view.wait_for(lambda _: view.row_of("VFD25") is not None, "the last station")
            self.assertIsNone(view.row_of("VFD01"))
            self.assertIn("vfda-host run", view.lines()[0], "the title stays")
            view.type("q")
            self.assertEqual(view.finish(), 0)
        finally:
            sim.close()

    def test_without_a_terminal_the_run_prints_its_lines(self):
        sim = Sim("1")
        config, tags = configure(self.folder.name, [("PUMP1", 1)])
        try:
            run = subprocess.run(
                [os.path.join(BIN, "vfda-host"), "run", config, "--tags", tags, "--port",
                 "COM3=" + sim.path, "--view", "--seconds", "1"],
                stdin=subprocess.DEVNULL, capture_output=True, text=True, timeout=PATIENCE_S)
            self.assertEqual(run.returncode, 0, run.stderr)
            self.assertIn("--view: standard input and output are not a terminal", run.stderr)
            self.assertIn("value  F1 (1) = 0", run.stdout)
        finally:
            sim.close()


if __name__ == "__main__":
    BIN = sys.argv.pop(1)
    unittest.main()
