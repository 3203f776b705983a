#!/usr/bin/env bash
# Installs what Quelora needs, builds it and runs the whole test suite headless.
set -euo pipefail
cd "$(dirname "$0")"
. tools/deps.sh
install_deps test
cmake -S . -B build-test -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUELORA_TESTS=ON
cmake --build build-test

# ---- Benchmarks (bench/, see BENCHMARKS.md) -------------------------------------------------
# Built in Release and each run once, briefly, on a small generated data folder, so that
# they never rot; the figures themselves come from the commands in BENCHMARKS.md.
cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DQUELORA_BENCH=ON -DQUELORA_TESTS=OFF
cmake --build build-bench
QT_QPA_PLATFORM=offscreen build-bench/bench/quelora_bench --quelora_scale=1 --quelora_cards=200 \
    --quelora_notes=100 --benchmark_min_time=0.01
bench/whole_program.sh build-bench 1 1
search_data=$(mktemp -d)
build-bench/bench/quelora_datagen "$search_data/data" --scale 1 --cards 200 --notes 100
build-bench/bench/quelora_search_bench --data "$search_data/data" --runs 1
rm -rf "$search_data"
# ---- end of benchmarks --------------------------------------------------------------------------

# ---- Reliability (tests/reliability, tests/fuzz; see RELIABILITY.md) -----------------------------
# The whole suite again under AddressSanitizer and UndefinedBehaviorSanitizer, then every
# fuzz target for a bounded time on its corpus (clang's libFuzzer).
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DQUELORA_SANITIZE=ON -DQUELORA_TESTS=ON
cmake --build build-asan
ctest --test-dir build-asan --output-on-failure -j "$(nproc)"
cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
    -DQUELORA_FUZZ=ON -DQUELORA_TESTS=OFF
cmake --build build-fuzz --target fuzz_codepage fuzz_cards fuzz_dayfiles fuzz_readout fuzz_recovery
tests/fuzz/run.sh build-fuzz 20
# ---- end of reliability ----------------------------------------------------------------------------

# ---- The suite ------------------------------------------------------------------------------------
# Last, so that its summary closes the output. The test programs each work in folders of their
# own, so they run side by side, one per core.
ctest --test-dir build-test --output-on-failure -j "$(nproc)"
