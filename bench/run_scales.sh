#!/usr/bin/env bash
# Runs every benchmark on the 1x, 10x and 100x diary (each folder with 2,000 cards and
# 10,000 notes) and prints the medians side by side, in milliseconds.
#
# usage: bench/run_scales.sh [BUILD_DIR] [OUT_DIR] [REPETITIONS] [-- extra Google Benchmark flags]
#   BUILD_DIR    a Release build with -DQUELORA_BENCH=ON (default: build-bench beside bench/)
#   OUT_DIR      where the data folders and the results go (default /tmp/quelora-scales)
#   REPETITIONS  repetitions of each benchmark, run in random interleaved order (default 9)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "${1:-$here/../build-bench}" && pwd)
out=${2:-/tmp/quelora-scales}
reps=${3:-9}
shift $(($# < 3 ? $# : 3))
[ "${1:-}" = "--" ] && shift

mkdir -p "$out"
for s in 1 10 100; do
    rm -rf "$out/data$s"
    "$build/bench/quelora_datagen" "$out/data$s" --scale "$s"
    QT_QPA_PLATFORM=offscreen "$build/bench/quelora_bench" --quelora_data="$out/data$s" \
        --benchmark_min_time=0.3 --benchmark_repetitions="$reps" --benchmark_report_aggregates_only=true \
        --benchmark_enable_random_interleaving=true \
        --benchmark_out="$out/bench$s.txt" --benchmark_out_format=console "$@"
done

# Rows in the order the benchmarks are declared, then the medians of each scale:
# NAME_median  REAL ms  CPU ms  ITERATIONS  counters...
QT_QPA_PLATFORM=offscreen "$build/bench/quelora_bench" --quelora_data="$out/data1" --benchmark_list_tests=true \
    "$@" 2>/dev/null >"$out/order.txt"
awk '
    FILENAME ~ /order\.txt$/ { order[++n] = $1; next }
    FNR == 1 { scale = FILENAME; sub(/.*bench/, "", scale); sub(/\.txt$/, "", scale) }
    $1 ~ /_median$/ && $3 == "ms" {
        name = $1; sub(/_median$/, "", name)
        t[name, scale] = $2
    }
    END {
        printf "%-34s %10s %10s %10s %9s\n", "median wall time (ms)", "1x", "10x", "100x", "100x/1x"
        for (i = 1; i <= n; i++) {
            k = order[i]
            r = (t[k, "1"] > 0) ? sprintf("%.1f", t[k, "100"] / t[k, "1"]) : "-"
            printf "%-34s %10.3f %10.3f %10.3f %9s\n", k, t[k, "1"], t[k, "10"], t[k, "100"], r
        }
    }' "$out/order.txt" "$out/bench1.txt" "$out/bench10.txt" "$out/bench100.txt" | tee "$out/summary.txt"
echo "load: $(cut -d' ' -f1-3 /proc/loadavg)" | tee -a "$out/summary.txt"
