#!/usr/bin/env bash
# Installs the Debian packages a job needs, where they are missing:
#   install-deps.sh demo   what building the module, vfda-host and vfda-sim needs
#   install-deps.sh        the same, and what the tests and the package need
# As root it runs apt-get; as another user it names what is missing and stops.
set -euo pipefail

packages=(cmake ninja-build g++ binutils libc-bin)
if [ "${1:-test}" != demo ]; then
    # GoogleTest, the scripted tests' Python and the terminal emulator the live view's test
    # reads the screen with, the benchmarks' library, and dpkg-dev for the Debian package's
    # dependencies (dpkg-shlibdeps).
    packages+=(libgtest-dev libgmock-dev python3 python3-pyte libbenchmark-dev dpkg-dev)
fi
missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$package")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -ne 0 ]; then
    echo "missing packages: ${missing[*]} (run this script as root, or: sudo apt-get install ${missing[*]})" >&2
    exit 1
fi
echo "installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq --no-install-recommends "${missing[@]}"
