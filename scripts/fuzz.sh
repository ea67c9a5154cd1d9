#!/usr/bin/env bash
# Runs every libFuzzer target of build/fuzz for a bounded time on its seed corpus (fuzz/corpus/),
# one after the other, and prints the executions of each and a closing count. The targets are built
# with: cmake --preset fuzz && cmake --build --preset fuzz
#   [FUZZ_BUILD=build/other] scripts/fuzz.sh [SECONDS_PER_TARGET] [--keep]
# New inputs found go to a temporary folder, or with --keep into fuzz/corpus/ itself. A target
# that finds a fault leaves its crashing input in build/fuzz/findings/ and counts as failed.
set -uo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
seconds=${1:-15}
keep=${2:-}
# FUZZ_BUILD names another build folder of the targets (default build/fuzz).
build_dir=${FUZZ_BUILD:-$root/build/fuzz}
build=$build_dir/fuzz
findings=$build_dir/findings
mkdir -p "$findings"
passed=0
failed=0
total_runs=0
for binary in "$build"/fuzz_*; do
    [[ -x $binary ]] || continue
    name=${binary##*/fuzz_}
    seeds=$root/fuzz/corpus/$name
    mkdir -p "$seeds"
    if [[ $keep == --keep ]]; then
        corpus=("$seeds")
    else
        scratch=$(mktemp -d)
        corpus=("$scratch" "$seeds")
    fi
    log=$(mktemp)
    if "$binary" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
        -artifact_prefix="$findings/$name-" "${corpus[@]}" >"$log" 2>&1; then
        runs=$(sed -nE 's/^Done ([0-9]+) runs.*/\1/p' "$log" | tail -n 1)
        echo "fuzz_$name: ${runs:-0} executions, no finding"
        total_runs=$((total_runs + ${runs:-0}))
        passed=$((passed + 1))
    else
        echo "fuzz_$name: FINDING (input kept in $findings)"
        grep -E 'PROPERTY VIOLATED|ERROR:|SUMMARY' "$log" | head -n 5
        failed=$((failed + 1))
    fi
    rm -f "$log"
    [[ $keep == --keep ]] || rm -rf "$scratch"
done
echo "fuzz: $total_runs executions in all"
echo "fuzz: $passed passed, $failed failed, 0 skipped"
((failed == 0))
