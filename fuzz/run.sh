#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (ASan+UBSan, build/fuzz) and runs them.
#   fuzz/run.sh TARGET SECONDS   one target (config_file, answer_check, tag_address,
#                                receive_stream, backup_reader) for SECONDS
#   fuzz/run.sh all SECONDS      every target in turn, SECONDS each
# Each run starts from the seed corpus (fuzz/corpus/TARGET) and keeps what it finds new in
# build/fuzz/corpus/TARGET; a crash is written to build/fuzz/crashes/TARGET and the script
# fails. The last line of each run gives its executions and coverage. Runs under nice.
set -euo pipefail
cd "$(dirname "$0")/.."

targets=(config_file answer_check tag_address receive_stream backup_reader)
if [ $# -ne 2 ]; then
    echo "usage: fuzz/run.sh TARGET|all SECONDS" >&2
    exit 2
fi
selected=("$1")
[ "$1" = all ] && selected=("${targets[@]}")
seconds=$2

# clang, and libFuzzer with the sanitizer runtimes (Debian 12).
packages=(clang-14 libclang-rt-14-dev cmake ninja-build)
missing=()
for package in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" ||
        missing+=("$package")
done
if [ ${#missing[@]} -gt 0 ]; then
    if [ "$(id -u)" -ne 0 ]; then
        echo "missing packages: ${missing[*]} (sudo apt-get install ${missing[*]})" >&2
        exit 1
    fi
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

build=build/fuzz
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_CXX_COMPILER=clang++-14 -DVFDA_SANITIZE=address -DVFDA_FUZZ=ON \
    -DVFDA_BUILD_TESTS=OFF -DCMAKE_CXX_FLAGS="-fsanitize=fuzzer-no-link" >/dev/null
nice cmake --build "$build" --target "${selected[@]/%/_fuzzer}"

status=0
for target in "${selected[@]}"; do
    corpus=$build/corpus/$target
    crashes=$build/crashes/$target
    mkdir -p "$corpus" "$crashes"
    echo "=== $target: $seconds s ==="
    log=$build/$target.log
    # A detected leak ends the run as a crash does.
    if ! ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1 \
        nice -n 19 "$build/bin/${target}_fuzzer" -max_total_time="$seconds" -timeout=10 \
        -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$crashes/" \
        "$corpus" "fuzz/corpus/$target" >"$log" 2>&1; then
        echo "$target: FOUND A CRASH (see $log and $crashes)"
        status=1
    fi
    grep -E '^#[0-9]+.*(DONE|pulse)' "$log" | tail -1 || true
    grep -E 'stat::number_of_executed_units|stat::peak_rss_mb' "$log" || true
done
exit $status
