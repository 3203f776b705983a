#!/usr/bin/env bash
# Runs every fuzz target for a bounded time on a copy of its corpus.
#   tests/fuzz/run.sh <build folder> [seconds per target]
# New inputs go to a scratch folder, never into the repository's corpus; a crash
# leaves its input in the current folder (crash-*) and fails the run.
set -euo pipefail
build="$1"
seconds="${2:-20}"
here="$(cd "$(dirname "$0")" && pwd)"
total=0
for target in fuzz_codepage fuzz_cards fuzz_dayfiles fuzz_readout fuzz_recovery; do
    scratch="$(mktemp -d)"
    log="$scratch.log"
    if ! "$build/tests/fuzz/$target" "$scratch" "$here/corpus/$target" -max_total_time="$seconds" -max_len=65536 \
        -print_final_stats=1 -close_fd_mask=1 >"$log" 2>&1; then
        tail -n 40 "$log"
        echo "$target: FAILED" >&2
        exit 1
    fi
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
    echo "$target: $runs executions in ${seconds}s, no failure"
    total=$((total + runs))
    rm -rf "$scratch" "$log"
done
echo "all fuzz targets: $total executions"
