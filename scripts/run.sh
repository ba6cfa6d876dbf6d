#!/usr/bin/env bash
# Builds Tamsu and starts it on the default data directory ($HOME/Tamsu, created when missing),
# or on the directory given as the first argument.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh build
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DTAMSU_TESTS=OFF >/dev/null
cmake --build build/release -j "$(nproc)"
data=${1:-$HOME/Tamsu}
mkdir -p "$data"
exec build/release/tamsu "$data"
