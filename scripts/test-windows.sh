#!/usr/bin/env bash
# The Windows target: builds the 64-bit presets (module, framework, host stand-ins, vfda-host
# and every test program) and the 32-bit module with MinGW-w64, then runs the 64-bit tests
# under Wine in a prefix of the build's own. Installs the Debian packages it misses when run
# as root; as another user it says what it skips and why, and exits 0.
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(cmake ninja-build googletest python3 g++-mingw-w64-x86-64-posix
          g++-mingw-w64-i686-posix wine wine64
          xvfb fonts-nanum locales)  # the dialogs' tests: a display, Korean glyphs, ko_KR
missing=()
for package in "${packages[@]}"; do
    status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)
    if [ "$status" != "install ok installed" ]; then
        missing+=("$package")
    fi
done

if [ ${#missing[@]} -gt 0 ]; then
    if [ "$(id -u)" -ne 0 ]; then
        echo "=== windows: skipped ==="
        echo "The Windows build and its Wine tests need packages that are not installed:"
        echo "  ${missing[*]}"
        echo "Run this script as root to install them, or: sudo apt-get install --no-install-recommends ${missing[*]}"
        exit 0
    fi
    export DEBIAN_FRONTEND=noninteractive
    echo "=== windows: installing ${missing[*]} ==="
    apt-get update -qq
    for package in "${missing[@]}"; do
        policy=$(apt-cache policy "$package")
        if ! grep -q "Candidate: [0-9]" <<<"$policy"; then
            echo "package $package is not available from the configured sources" >&2
            exit 1
        fi
    done
    # 64-bit Wine only: the tests are 64-bit programs, so no i386 architecture is needed.
    apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# The dialogs' tests run in the Korean locale (code page 949).
if ! locale -a 2>/dev/null | grep -qi '^ko_KR\.utf-\?8$'; then
    if [ "$(id -u)" -eq 0 ]; then
        localedef -i ko_KR -f UTF-8 ko_KR.UTF-8
    else
        echo "the locale ko_KR.UTF-8 is missing: run this script as root to generate it"
    fi
fi

echo "=== native simulator (the drives of the Windows end-to-end test) ==="
cmake --preset native >/dev/null
cmake --build --preset native --target vfda-sim >/dev/null

echo "=== windows build ==="
cmake --preset windows >/dev/null
cmake --build --preset windows

# IA-32 code cannot run here: the 32-bit module is checked where it is built. Its build
# compiles src/driver/boundary_layout_checks.cpp, whose static assertions fail when anything
# crossing to the host would be laid out otherwise than in the 64-bit module; objdump then
# reads what it exports and imports.
echo "=== windows32 build (the module; layout checked at compile time) ==="
cmake --preset windows32 >/dev/null
cmake --build --preset windows32
if ! i686-w64-mingw32-objdump -f build/windows32/bin/VfdaDrv.dll | grep -q "file format pei-i386"; then
    echo "build/windows32/bin/VfdaDrv.dll is not a 32-bit x86 module" >&2
    exit 1
fi
for check in check_exports check_imports; do
    cmake -DOBJDUMP=i686-w64-mingw32-objdump -DBINARY=build/windows32/bin/VfdaDrv.dll \
          "-DOWN=VfdaToolkit.dll;VemorSub.dll" -P "tests/windows/$check.cmake"
done

echo "=== windows tests (Wine) ==="
export WINEPREFIX="$PWD/build/windows/wineprefix"
export WINEDEBUG=-all
# Wine's .NET and HTML engines are not installed: boot without asking for them.
export WINEDLLOVERRIDES="mscoree,mshtml="
# The server runs for the whole test run, and goes with it: started by the first test, it
# would hold ctest's output pipe open after the last one.
stop_wine() { wineserver -k 2>/dev/null || true; }
trap stop_wine EXIT
mkdir -p "$WINEPREFIX"
wineserver -p >/dev/null 2>&1
wineboot -i >/dev/null 2>&1
# A case that fails is run once more: Wine itself now and then fails to start a program on a
# loaded machine (no output, well under a second). The first failure stays in the log.
timeout 900 ctest --preset windows -j2 --repeat until-pass:2
