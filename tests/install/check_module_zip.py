#!/usr/bin/env python3
"""Builds the Windows zip of the module with CPack and checks what it holds: the module, the
framework library and the text saying where they go, at the top, and nothing of the host's.
Usage: check_module_zip.py --cpack CPACK --build BUILD_DIR"""
import argparse
import os
import tempfile
import zipfile

from install_checks import build_package, check


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--cpack", required=True)
    parser.add_argument("--build", required=True)
    args = parser.parse_args()
    with tempfile.TemporaryDirectory() as folder:
        made = build_package(args.cpack, args.build, "ZIP", folder)
        check(os.path.basename(made).startswith("vfda-module-"), made)
        with zipfile.ZipFile(made) as archive:
            names = sorted(name for name in archive.namelist() if not name.endswith("/"))
            check(names == ["VfdaDrv.dll", "VfdaToolkit.dll", "WHERE-FILES-GO.txt"],
                  "the zip holds %s" % names)
            text = archive.read("WHERE-FILES-GO.txt").decode("ascii")
            check("VemorSub" in text and "VfdaDrv.dll" in text, "WHERE-FILES-GO.txt: %r" % text)
    print("module zip built and checked")


if __name__ == "__main__":
    main()
