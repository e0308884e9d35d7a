#!/usr/bin/env bash
# Builds what is needed and runs the main job: three simulated DELTA VFD-A drives on a
# pseudo-terminal, driven through the module by vfda-host (values, writes, a lost and
# restored link, statistics). Arguments go to vfda-host demo, e.g. --seconds 60.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh demo
# Its own build folder, configured without the tests: the demo needs no test library.
cmake --preset demo >/dev/null
cmake --build --preset demo --target vfda-host VfdaDrv VemorDbm VemorRun VemorDsg >/dev/null
exec build/demo/bin/vfda-host demo "$@"
