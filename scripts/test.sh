#!/usr/bin/env bash
# Builds and runs every test: the whole suite natively, under ASan+UBSan, and under TSan.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh

presets=(native asan tsan)
[ $# -gt 0 ] && presets=("$@")
for preset in "${presets[@]}"; do
    echo "=== $preset build ==="
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset"
    echo "=== $preset tests ==="
    ctest --preset "$preset"
done

# The Windows target (MinGW-w64 build, tests under Wine), when every preset runs.
if [ $# -eq 0 ]; then
    scripts/test-windows.sh
fi
