#!/usr/bin/env python3
"""Installs each component into a temporary prefix and checks it from outside.

module: exactly the module, the framework library and the text saying where they go, no
        stand-in of the host's libraries.
tools:  vfda-host and vfda-sim in bin/ with their libraries in lib/vfda/, their manual pages
        and bash completions; the tree is moved before it is used, and the moved vfda-host
        reads a parameter from the moved vfda-sim.
Usage: check_install.py --cmake CMAKE --build BUILD_DIR"""
import argparse
import os
import shutil
import subprocess
import sys
import tempfile


def install(cmake, build, prefix, component):
    subprocess.run([cmake, "--install", build, "--prefix", prefix, "--component", component],
                   check=True, stdout=subprocess.DEVNULL)
    return sorted(os.path.relpath(os.path.join(folder, name), prefix)
                  for folder, _, names in os.walk(prefix) for name in names)


def check(condition, message):
    if not condition:
        sys.exit("check_install: " + message)


def run(command, **kwargs):
    return subprocess.run(command, capture_output=True, text=True, timeout=60, **kwargs)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--cmake", required=True)
    parser.add_argument("--build", required=True)
    args = parser.parse_args()
    with tempfile.TemporaryDirectory() as folder:
        module = install(args.cmake, args.build, os.path.join(folder, "module"), "module")
        check([os.path.basename(path) for path in module] ==
              ["VfdaDrv.so", "VfdaToolkit.so", "WHERE-FILES-GO.txt"],
              "the module component holds %s" % module)

        installed = os.path.join(folder, "tools")
        tools = install(args.cmake, args.build, installed, "tools")
        expected = ["bin/vfda-host", "bin/vfda-sim"] + [
            "lib/vfda/%s.so" % name
            for name in ("VemorDbm", "VemorDsg", "VemorRun", "VemorSub", "VfdaDrv", "VfdaToolkit")
        ] + ["share/bash-completion/completions/vfda-host",
             "share/bash-completion/completions/vfda-sim",
             "share/man/man1/vfda-host.1.gz", "share/man/man1/vfda-sim.1.gz"]
        check([path.replace("lib64/", "lib/") for path in tools] == expected,
              "the tools component holds %s" % tools)

        moved = os.path.join(folder, "elsewhere")
        shutil.move(installed, moved)
        host = os.path.join(moved, "bin", "vfda-host")
        version = run([host, "--version"])
        check(version.returncode == 0 and version.stdout.startswith("vfda-host "),
              "the moved vfda-host --version: %r %r" % (version.stdout, version.stderr))

        sim = subprocess.Popen([os.path.join(moved, "bin", "vfda-sim"), "--pty", "--stations",
                                "1", "--no-wire-timing", "--keep-running"],
                               stdin=subprocess.DEVNULL, stdout=subprocess.PIPE, text=True)
        try:
            pty = sim.stdout.readline().split()[1]
            config = os.path.join(folder, "line.cfg")
            for words in (["init"], ["set", "--port", "COM3"],
                          ["add-station", "PUMP1", "--number", "1"]):
                done = run([host, "config", config] + words)
                check(done.returncode == 0, "config %s: %s" % (words, done.stderr))
            read = run([host, "read", config, "PUMP1", "P10", "--port", "COM3=" + pty])
            check(read.returncode == 0 and "PUMP1 P10 = " in read.stdout,
                  "the moved vfda-host read: %r %r" % (read.stdout, read.stderr))
        finally:
            sim.terminate()
            sim.wait(timeout=10)
    print("installed, moved and run")


if __name__ == "__main__":
    main()
