#!/usr/bin/env bash
# Reruns every benchmark and writes the figures to bench/results/ (summary.md, line.jsonl,
# scale.jsonl, probes.jsonl, micro.json, machine.json, responsiveness.json, delivery-latency.png,
# scale.png).
# Usage: bench/run.sh [--quick] [--seconds S] [--scale-seconds S] [--rounds N] [--out DIR]
#                     [--bin DIR] [--long S] [--realtime]
#   --quick            6 s a run: three rounds of the many-lines runs, one line of 32 drives
#                      at 4800 baud, short probes and micro-benchmarks, no long run, a read
#                      of 16 parameters for the responsiveness (about five minutes in all)
#   --seconds S        seconds per line configuration (default 20)
#   --scale-seconds S  seconds per many-lines run (default 20)
#   --rounds N         rounds of the many-lines runs (default 5, --quick 3); each round measures the
#                      machine's wake-ups, then every line count, the driver and the C
#                      baseline one after the other
#   --out DIR          where the figures go (default bench/results)
#   --bin DIR          use these built programs instead of building (a copy kept for comparison)
#   --long S           seconds of the long 32-drive run that shows the allocations (default 120; 0: none)
#   --realtime         run the line benchmarks (driver and baselines alike) under SCHED_FIFO
#                      (chrt -f 10, as root): on a machine busy with other work this keeps the
#                      scheduler's delays out of the latency figures; a quiet machine needs none
# The build goes to build/perf-native (RelWithDebInfo). Run it on a quiet machine: the
# latency tails are the first figures to suffer from other work on the cores.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=20
scale_seconds=20
rounds=""
default_rounds=5
long_seconds=120
line_bauds="1200 2400 4800"
line_drives="1 8 32"
probe_samples=300
round_probe_samples=100
micro_time=0.2
commissioning=(--backups 2)
out=bench/results
bin=""
priority=()
arguments="$*"
while [ $# -gt 0 ]; do
    case "$1" in
    --quick) seconds=6; scale_seconds=6; long_seconds=0; line_bauds=4800; line_drives=32
             probe_samples=50; round_probe_samples=40; micro_time=0.01; default_rounds=3
             commissioning=(--parameters 16 --backups 1) ;;
    --seconds) seconds="$2"; shift ;;
    --scale-seconds) scale_seconds="$2"; shift ;;
    --rounds) rounds="$2"; shift ;;
    --out) out="$2"; shift ;;
    --bin) bin="$2"; shift ;;
    --long) long_seconds="$2"; shift ;;
    --realtime) priority=(chrt -f 10) ;;
    *) echo "usage: bench/run.sh [--quick] [--seconds S] [--scale-seconds S] [--rounds N] [--out DIR] [--bin DIR] [--long S] [--realtime]" >&2; exit 2 ;;
    esac
    shift
done
rounds="${rounds:-$default_rounds}"

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
    cmake --build "$build" --target vfda-line-bench vfda-scale-bench vfda-baseline-poller \
        vfda-micro-bench vfda-wake-probe vfda-host vfda-sim
    bin="$build/bin"
fi
mkdir -p "$out"
: >"$out/line.jsonl"
: >"$out/scale.jsonl"
: >"$out/probes.jsonl"
: >"$out/samples.txt"
load_before="$(cut -d' ' -f1-3 /proc/loadavg)"

# The machine's own wake-up latencies first: the floor under every latency tail below.
"${priority[@]}" "$bin/vfda-wake-probe" "$probe_samples" | tee "$out/machine.json"

# Adds "round":R and the load average to each JSON object read.
tag() {
    /usr/bin/python3 -c '
import json, sys
for text in sys.stdin:
    row = json.loads(text)
    row["round"] = int(sys.argv[1])
    row["load_1min"] = float(open("/proc/loadavg").read().split()[0])
    print(json.dumps(row), flush=True)' "$1"
}

# Many lines in one host: each round measures the machine's wake-ups, then every line count,
# the driver and the C baseline one after the other, up the counts in one round and down
# them in the next, so that a drift of the machine falls on both sides alike.
for round in $(seq 1 "$rounds"); do
    "$bin/vfda-wake-probe" "$round_probe_samples" | tag "$round" | tee -a "$out/probes.jsonl"
    counts="1 4 16 36"
    [ $((round % 2)) -eq 0 ] && counts="36 16 4 1"
    for lines in $counts; do
        for mode in driver baseline-c; do
            "${priority[@]}" "$bin/vfda-scale-bench" --mode "$mode" --lines "$lines" --drives 32 \
                --baud 4800 --seconds "$scale_seconds" --warmup 3 --write-interval 1000 \
                --baseline-program "$bin/vfda-baseline-poller" | tag "$round" |
                tee -a "$out/scale.jsonl"
        done
    done
done

# One line: the driver, the C baseline and the scripted baseline one after the other.
run_line() { # mode drives baud seconds
    "${priority[@]}" "$bin/vfda-line-bench" --mode "$1" --drives "$2" --baud "$3" --seconds "$4" \
        --turnaround 10 --write-interval 1000 --samples "$out/samples.txt" \
        --baseline-script "$bin/baseline_poller.py" \
        --baseline-program "$bin/vfda-baseline-poller" | tag 1 | tee -a "$out/line.jsonl"
}
for drives in $line_drives; do
    for baud in $line_bauds; do
        for mode in driver baseline-c baseline; do
            run_line "$mode" "$drives" "$baud" "$seconds"
        done
    done
done
if [ "$long_seconds" -gt 0 ]; then
    # The long run shows whether allocations stay flat: 32 drives, two minutes.
    "${priority[@]}" "$bin/vfda-line-bench" --mode driver --drives 32 --baud 4800 --seconds "$long_seconds" \
        --warmup 10 | sed 's/"impl":"driver"/"impl":"driver-long"/' | tee -a "$out/line.jsonl"
fi
"$bin/vfda-micro-bench" --benchmark_out="$out/micro.json" --benchmark_out_format=json \
    --benchmark_min_time="$micro_time" | tee "$out/micro.txt"

# A write to one station while another drive is read in full, as a commissioning backup does.
/usr/bin/python3 bench/commissioning/responsiveness.py --bin "$bin" "${commissioning[@]}" |
    tee "$out/responsiveness.json"

/usr/bin/python3 bench/summarize.py "$out"
{
    echo
    echo "machine: $(nproc) cores, $(uname -srm), load average (1, 5, 15 min) before: $load_before, at the end: $(cut -d' ' -f1-3 /proc/loadavg)"
    echo "command: bench/run.sh $arguments"
    echo "machine wake-ups (vfda-wake-probe, µs): $(cat "$out/machine.json")"
} >>"$out/summary.md"
echo "figures: $out/summary.md, plots: $out/scale.png, $out/delivery-latency.png"
