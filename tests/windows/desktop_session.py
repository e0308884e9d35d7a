#!/usr/bin/env python3
"""Runs a Windows test program with dialogs under Wine on a display of its own.

Starts Xvfb on a free display number, runs the program through Wine there in the Korean
locale (ko_KR.UTF-8: code page 949), on a Wine desktop of its own (a virtual desktop drawn
by Wine, title bars included, whatever the prefix's other programs use), and turns the
screenshots the program saved as .bmp into .png files beside them. Exits with the program's
exit code.

usage: desktop_session.py WINE WINEPREFIX SCREENSHOT_FOLDER PROGRAM [ARGS...]
"""
import os
import select
import tempfile
import shutil
import struct
import subprocess
import sys
import time
import zlib

XVFB_START_LIMIT_S = 20
PROGRAM_LIMIT_S = 100
LOCALE = "ko_KR.UTF-8"
DESKTOP = "VfdaDialogs"  # and the display number: one desktop per display
DESKTOP_SIZE = "1024x768"


def start_xvfb():
    """Xvfb on the first free display; returns (process, display) or (None, None)."""
    xvfb = shutil.which("Xvfb")
    if xvfb is None:
        print("Xvfb is not installed (package xvfb)", file=sys.stderr)
        return None, None
    read_end, write_end = os.pipe()
    server = subprocess.Popen([xvfb, "-displayfd", str(write_end), "-screen", "0",
                               "1024x768x24", "-nolisten", "tcp"],
                              pass_fds=(write_end,), stdout=subprocess.DEVNULL,
                              stderr=subprocess.DEVNULL)
    os.close(write_end)
    number = b""
    deadline = time.monotonic() + XVFB_START_LIMIT_S
    while not number.endswith(b"\n") and time.monotonic() < deadline:
        ready, _, _ = select.select([read_end], [], [], 0.2)
        if ready:
            chunk = os.read(read_end, 16)
            if not chunk:
                break
            number += chunk
    os.close(read_end)
    if not number.strip().isdigit():
        print("Xvfb did not report a display", file=sys.stderr)
        server.kill()
        server.wait(10)
        return None, None
    return server, ":" + number.strip().decode()


def bmp_to_png(source, target):
    """A 32-bit top-down BMP (as the test writes them) as an RGB PNG."""
    with open(source, "rb") as f:
        data = f.read()
    offset = struct.unpack_from("<I", data, 10)[0]
    width, height = struct.unpack_from("<ii", data, 18)
    bits = struct.unpack_from("<H", data, 28)[0]
    if bits != 32:
        raise ValueError(f"{source}: {bits}-bit bitmaps are not written by the test")
    top_down = height < 0
    height = abs(height)
    rows = []
    for y in range(height):
        row = y if top_down else height - 1 - y
        start = offset + row * width * 4
        line = bytearray(b"\0")  # filter type: none
        for x in range(width):
            b, g, r = data[start + 4 * x:start + 4 * x + 3]
            line += bytes((r, g, b))
        rows.append(bytes(line))

    def chunk(kind, body):
        return (struct.pack(">I", len(body)) + kind + body +
                struct.pack(">I", zlib.crc32(kind + body) & 0xFFFFFFFF))

    png = (b"\x89PNG\r\n\x1a\n" +
           chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)) +
           chunk(b"IDAT", zlib.compress(b"".join(rows), 9)) + chunk(b"IEND", b""))
    with open(target, "wb") as f:
        f.write(png)


def windows_path(path):
    """Wine's Z: drive is the Linux root."""
    return "Z:" + os.path.abspath(path).replace("/", "\\")


def use_own_desktop(wine, env, program):
    """The program runs on a virtual desktop of its own, started with this display (a
    desktop keeps the display it was started with, so every display gets its own)."""
    name = os.path.basename(program)
    desktop = DESKTOP + env["DISPLAY"].lstrip(":")
    script = ("REGEDIT4\r\n\r\n"
              "[HKEY_CURRENT_USER\\Software\\Wine\\Explorer\\Desktops]\r\n"
              f'"{desktop}"="{DESKTOP_SIZE}"\r\n\r\n'
              f"[HKEY_CURRENT_USER\\Software\\Wine\\AppDefaults\\{name}\\Explorer]\r\n"
              f'"Desktop"="{desktop}"\r\n')
    with tempfile.TemporaryDirectory() as folder:
        path = os.path.join(folder, "desktop.reg")
        with open(path, "w", encoding="ascii") as f:
            f.write(script)
        subprocess.run([wine, "regedit", "/S", windows_path(path)], env=env, timeout=60,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, check=False)


def main():
    wine, prefix, screenshots, program = sys.argv[1], sys.argv[2], sys.argv[3], sys.argv[4:]
    os.makedirs(screenshots, exist_ok=True)
    with tempfile.TemporaryDirectory() as bitmaps:  # this run's own: tests run side by side
        code = run(wine, prefix, bitmaps, program)
        for name in sorted(os.listdir(bitmaps)):
            if name.endswith(".bmp"):
                target = os.path.join(screenshots, name[:-4] + ".png")
                bmp_to_png(os.path.join(bitmaps, name), target)
                print(f"screenshot: {target}")
    return code


def run(wine, prefix, bitmaps, program):
    server, display = start_xvfb()
    if server is None:
        return 1
    env = dict(os.environ, WINEPREFIX=prefix, WINEDEBUG="-all", DISPLAY=display,
               LANG=LOCALE, LC_ALL=LOCALE, VFDA_SCREENSHOTS=windows_path(bitmaps))
    try:
        use_own_desktop(wine, env, program[0])
        child = subprocess.Popen([wine] + program, env=env)
        try:
            code = child.wait(PROGRAM_LIMIT_S)
        except subprocess.TimeoutExpired:
            print(f"the program ran longer than {PROGRAM_LIMIT_S} s", file=sys.stderr)
            child.kill()
            child.wait(10)
            return 1
    finally:
        server.terminate()
        try:
            server.wait(10)
        except subprocess.TimeoutExpired:
            server.kill()
            server.wait(10)
    return code


if __name__ == "__main__":
    sys.exit(main())
