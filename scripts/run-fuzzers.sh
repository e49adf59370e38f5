#!/usr/bin/env bash
# Runs every fuzz target in BUILD for SECONDS each, from the seed corpus in fuzz/corpus (new
# inputs go to BUILD/corpus, not into the tree), and prints each one's executions and coverage.
# Any crash, leak, sanitizer report or broken property fails the run.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:?usage: run-fuzzers.sh BUILD SECONDS}
seconds=${2:?usage: run-fuzzers.sh BUILD SECONDS}
summary=()
for target in url settings world coordinator icalendar; do
    mkdir -p "$build/corpus/$target" "$build/crashes"
    log="$build/fuzz-$target.log"
    echo "== $target: $seconds s"
    if ! "$build/fuzz/${target}_fuzzer" -max_total_time="$seconds" -timeout=20 -print_final_stats=1 \
        -artifact_prefix="$build/crashes/$target-" "$build/corpus/$target" "fuzz/corpus/$target" \
        > "$log" 2>&1; then
        tail -n 60 "$log"
        echo "== $target FAILED (log: $log)"
        exit 1
    fi
    runs=$(grep -o 'stat::number_of_executed_units: [0-9]*' "$log" | grep -o '[0-9]*$')
    cov=$(grep -E '^#[0-9]+' "$log" | grep -o 'cov: [0-9]* ft: [0-9]*' | tail -n 1)
    summary+=("$target: $runs executions, $cov")
done
printf '%s\n' "${summary[@]}"
