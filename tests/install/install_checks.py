"""What the install checks share: failing with a message, and building one package with
CPack into a folder."""
import glob
import os
import subprocess
import sys


def check(condition, message):
    if not condition:
        sys.exit("%s: %s" % (os.path.basename(sys.argv[0]), message))


def build_package(cpack, build, generator, folder):
    """Runs CPack's generator on the build; the one file it made."""
    made = subprocess.run([cpack, "-G", generator, "--config",
                           os.path.join(build, "CPackConfig.cmake"), "-B", folder],
                          capture_output=True, text=True, timeout=300)
    check(made.returncode == 0, "cpack failed: %s %s" % (made.stdout, made.stderr))
    extension = {"DEB": ".deb", "ZIP": ".zip"}[generator]
    packages = glob.glob(os.path.join(folder, "*" + extension))
    check(len(packages) == 1, "cpack made %s" % packages)
    return packages[0]
