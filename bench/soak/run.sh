#!/usr/bin/env bash
# Runs the soak for SECONDS (default 600) in the native build, under nice, and prints its
# figures; `--asan` runs it in the ASan+UBSan build instead (slower, but leaks are checked).
#   bench/soak/run.sh [--asan] [SECONDS]
set -euo pipefail
cd "$(dirname "$0")/../.."
preset=native
if [ "${1:-}" = "--asan" ]; then
    preset=asan
    shift
fi
seconds=${1:-600}
scripts/install-deps.sh
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset" --target vfda-soak
nice -n 19 "build/$preset/bin/vfda-soak" --seconds "$seconds" --cycle-seconds 30
