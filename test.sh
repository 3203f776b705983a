#!/usr/bin/env bash
# Installs what Quelora needs, builds it and runs the whole test suite headless.
set -euo pipefail
cd "$(dirname "$0")"
. tools/deps.sh
install_deps
cmake -S . -B build-test -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUELORA_TESTS=ON
cmake --build build-test
ctest --test-dir build-test --output-on-failure
