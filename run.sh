#!/usr/bin/env bash
# Installs what Quelora needs, builds it, lays out the program folder (by default
# ~/Quelora, or the folder given as QUELORA_HOME) and starts it. Running it again
# updates the program and never touches a file of the data that is already there. The
# desktop's applications menu gets an entry for it.
set -euo pipefail
cd "$(dirname "$0")"
. tools/deps.sh
install_deps
home="${QUELORA_HOME:-$HOME/Quelora}"
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DQUELORA_TESTS=OFF
cmake --build build
cmake --install build --prefix "$home"
tools/register_desktop.sh "$home"
exec "$home/quelora"
