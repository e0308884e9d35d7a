#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, where they are missing.
# As root it runs apt-get; as another user it names what is missing and stops.
set -euo pipefail

packages=(cmake ninja-build g++ libgtest-dev libgmock-dev binutils python3 libc-bin libbenchmark-dev)
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
