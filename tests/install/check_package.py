#!/usr/bin/env python3
"""Builds the tools' Debian package with CPack and checks it from outside: its file list
(dpkg-deb -c), its control fields (dpkg-deb -f), and that the manual pages and the bash
completion in it were made from the programs' own --help.
Usage: check_package.py --cpack CPACK --build BUILD_DIR"""
import argparse
import gzip
import os
import subprocess
import tempfile

from install_checks import build_package, check


def run(command, **kwargs):
    return subprocess.run(command, capture_output=True, text=True, timeout=300, **kwargs)


def file_list(package):
    listing = run(["dpkg-deb", "-c", package])
    check(listing.returncode == 0, "dpkg-deb -c: %s" % listing.stderr)
    # "-rwxr-xr-x root/root 12345 2026-01-01 00:00 ./usr/bin/vfda-host"
    return sorted(line.split()[-1].lstrip(".") for line in listing.stdout.splitlines()
                  if not line.startswith("d"))


def check_manual_page(unpacked, build, tool, command):
    """Every option the command's --help names is in the manual page."""
    with gzip.open(os.path.join(unpacked, "usr/share/man/man1/%s.1.gz" % tool), "rt") as page:
        text = page.read().replace("\\-", "-")
    check(text.startswith(".TH %s 1 " % tool.upper()), "%s.1 has no title line" % tool)
    helped = run([os.path.join(build, "bin", tool)] + command + ["--help"])
    check(helped.returncode == 0, "%s %s --help failed" % (tool, command))
    options = {word.strip("[],.") for word in helped.stdout.split() if word.startswith("--")}
    options.discard("--help")
    check(options, "%s %s --help names no option" % (tool, command))
    missing = sorted(option for option in options if option not in text)
    check(not missing, "%s.1 lacks %s" % (tool, missing))


COMPLETE = r"""
source "$1"
complete_words() {
    COMP_WORDS=("$@"); COMP_CWORD=$((${#COMP_WORDS[@]} - 1)); COMPREPLY=()
    _vfda_host vfda-host "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD - 1]}"
    echo "${COMPREPLY[*]}"
}
complete_words vfda-host re
complete_words vfda-host scan --baud ""
complete_words vfda-host run --st
complete_words vfda-host read "$2" ""
"""


def check_completion(unpacked, folder):
    """The packaged completion is bash that completes commands, options and their values, and
    station names from a configuration, which it never lets the shell expand."""
    script = os.path.join(unpacked, "usr/share/bash-completion/completions/vfda-host")
    syntax = run(["bash", "-n", script])
    check(syntax.returncode == 0, "the completion is not bash: %s" % syntax.stderr)
    host = os.path.join(unpacked, "usr/bin/vfda-host")
    config = os.path.join(folder, "line.cfg")
    planted = "$(touch PLANTED)"
    for words in (["init"], ["add-station", "PUMP1", "--number", "1"],
                  ["add-station", planted, "--number", "2"]):
        check(run([host, "config", config] + words).returncode == 0, "config %s" % words)
    environment = dict(os.environ, PATH=os.path.dirname(host) + os.pathsep + os.environ["PATH"])
    completed = run(["bash", "-c", COMPLETE, "complete", script, config], cwd=folder,
                    env=environment)
    check(completed.stdout.splitlines() ==
          ["read restore", "1200 2400 4800 auto", "--strict", "PUMP1 " + planted],
          "the completion offers %r %r" % (completed.stdout, completed.stderr))
    check(not os.path.exists(os.path.join(folder, "PLANTED")),
          "a station name was run as a command")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--cpack", required=True)
    parser.add_argument("--build", required=True)
    args = parser.parse_args()
    with tempfile.TemporaryDirectory() as folder:
        package = build_package(args.cpack, args.build, "DEB", folder)
        files = file_list(package)
        expected = ["/usr/bin/vfda-host", "/usr/bin/vfda-sim",
                    "/usr/share/bash-completion/completions/vfda-host",
                    "/usr/share/bash-completion/completions/vfda-sim",
                    "/usr/share/man/man1/vfda-host.1.gz", "/usr/share/man/man1/vfda-sim.1.gz"]
        libraries = [path for path in files if "/vfda/" in path]
        check([path for path in files if path not in libraries] == expected,
              "the package holds %s" % files)
        check(sorted(os.path.basename(path) for path in libraries) ==
              ["VemorDbm.so", "VemorDsg.so", "VemorRun.so", "VemorSub.so", "VfdaDrv.so",
               "VfdaToolkit.so"], "the package's private libraries are %s" % libraries)
        fields = run(["dpkg-deb", "-f", package, "Package", "Depends"])
        check("Package: vfda-tools" in fields.stdout and "libc6" in fields.stdout,
              "control fields: %r" % fields.stdout)

        unpacked = os.path.join(folder, "root")
        check(run(["dpkg-deb", "-x", package, unpacked]).returncode == 0, "dpkg-deb -x failed")
        for command in (["run"], ["config"], ["scan"], ["restore"]):
            check_manual_page(unpacked, args.build, "vfda-host", command)
        check_manual_page(unpacked, args.build, "vfda-sim", [])
        check_completion(unpacked, folder)
        # The installed program runs from /usr/bin's layout, its libraries found beside it.
        version = run([os.path.join(unpacked, "usr/bin/vfda-host"), "--version"])
        check(version.returncode == 0 and version.stdout.startswith("vfda-host "),
              "the packaged vfda-host --version: %r %r" % (version.stdout, version.stderr))
    print("package built and checked")


if __name__ == "__main__":
    main()
