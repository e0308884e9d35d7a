#!/usr/bin/env bash
# Reruns every benchmark and writes the figures to bench/results/ (summary.md, line.jsonl,
# micro.json, machine.json, delivery-latency.png).
# Usage: bench/run.sh [--quick] [--seconds S] [--out DIR] [--bin DIR] [--long S] [--realtime]
#   --quick      8 s per line configuration, no long run (about 4 minutes in all)
#   --seconds S  seconds per line configuration (default 25; about 11 minutes in all)
#   --out DIR    where the figures go (default bench/results)
#   --bin DIR    use these built programs instead of building (a copy kept for comparison)
#   --long S     seconds of the long 32-drive run that shows the allocations (default 120; 0: none)
#   --realtime   run the line benchmarks (driver and baseline alike) under SCHED_FIFO
#                (chrt -f 10, as root): on a machine busy with other work this keeps the
#                scheduler's delays out of the latency figures; a quiet machine needs none
# The build goes to build/perf-native (RelWithDebInfo). Run it on a quiet machine: the
# latency tails are the first figures to suffer from other work on the cores.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=25
long_seconds=120
out=bench/results
bin=""
priority=()
arguments="$*"
while [ $# -gt 0 ]; do
    case "$1" in
    --quick) seconds=8; long_seconds=0 ;;
    --seconds) seconds="$2"; shift ;;
    --out) out="$2"; shift ;;
    --bin) bin="$2"; shift ;;
    --long) long_seconds="$2"; shift ;;
    --realtime) priority=(chrt -f 10) ;;
    *) echo "usage: bench/run.sh [--quick] [--seconds S] [--out DIR] [--bin DIR] [--long S] [--realtime]" >&2; exit 2 ;;
    esac
    shift
done

# The baseline needs Debian's pyserial, the plot gnuplot; neither is needed by the tests.
scripts/install-deps.sh
needed=()
/usr/bin/python3 -c 'import serial' 2>/dev/null || needed+=(python3-serial)
command -v gnuplot >/dev/null || needed+=(gnuplot-nox)
if [ ${#needed[@]} -gt 0 ]; then
    if [ "$(id -u)" -ne 0 ]; then
        echo "missing packages: ${needed[*]} (sudo apt-get install ${needed[*]})" >&2
        exit 1
    fi
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${needed[@]}"
fi

if [ -z "$bin" ]; then
    build=build/perf-native
    cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVFDA_WERROR=ON >/dev/null
    cmake --build "$build" --target vfda-line-bench vfda-micro-bench vfda-wake-probe
    bin="$build/bin"
fi
mkdir -p "$out"
: >"$out/line.jsonl"
: >"$out/samples.txt"

# The machine's own wake-up latencies first: the floor under every latency tail below.
"${priority[@]}" "$bin/vfda-wake-probe" 300 | tee "$out/machine.json"

run_line() { # mode drives baud seconds
    "${priority[@]}" "$bin/vfda-line-bench" --mode "$1" --drives "$2" --baud "$3" --seconds "$4" \
        --turnaround 10 --write-interval 1000 --samples "$out/samples.txt" \
        --baseline-script "$bin/baseline_poller.py" | tee -a "$out/line.jsonl"
}

for drives in 1 8 32; do
    for baud in 1200 2400 4800; do
        run_line driver "$drives" "$baud" "$seconds"
        run_line baseline "$drives" "$baud" "$seconds"
    done
done
if [ "$long_seconds" -gt 0 ]; then
    # The long run shows whether allocations stay flat: 32 drives, two minutes.
    "${priority[@]}" "$bin/vfda-line-bench" --mode driver --drives 32 --baud 4800 --seconds "$long_seconds" \
        --warmup 10 | sed 's/"impl":"driver"/"impl":"driver-long"/' | tee -a "$out/line.jsonl"
fi

"$bin/vfda-micro-bench" --benchmark_out="$out/micro.json" --benchmark_out_format=json \
    --benchmark_min_time=0.2 | tee "$out/micro.txt"

/usr/bin/python3 bench/summarize.py "$out"
{
    echo "machine: $(nproc) cores, $(uname -srm), load average (1, 5, 15 min) at the end: $(cut -d' ' -f1-3 /proc/loadavg)"
    echo "command: bench/run.sh $arguments"
    echo "machine wake-ups (vfda-wake-probe, µs): $(cat "$out/machine.json")"
} >>"$out/summary.md"
echo "figures: $out/summary.md, plot: $out/delivery-latency.png"
