#!/usr/bin/env bash
# Builds what is needed and runs the main job: the host opens the bundled sample
# configuration through the module and shows it.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake --preset native >/dev/null
cmake --build --preset native --target vfda-host VfdaDrv VemorDbm VemorRun VemorDsg >/dev/null
host=build/native/bin/vfda-host
config=${1:-samples/pumps.cfg}
echo "\$ vfda-host show $config"
"$host" show "$config"
echo
echo "\$ vfda-host show $config --json"
"$host" show "$config" --json
