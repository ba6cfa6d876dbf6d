#!/usr/bin/env bash
# Builds Tamsu and starts it on the default data directory ($HOME/Tamsu, created when missing),
# or on the directory given as the first argument (relative to the caller's folder).
# TAMSU_PROGRAMS=<folder> starts the tamsu already built there instead of building.
set -euo pipefail
data=${1:-$HOME/Tamsu}
mkdir -p "$data"
data=$(cd "$data" && pwd)
programs=${TAMSU_PROGRAMS:+$(cd "$TAMSU_PROGRAMS" && pwd)}
cd "$(dirname "$0")/.."
if [ -z "$programs" ]; then
  scripts/deps.sh build
  cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DTAMSU_TESTS=OFF >/dev/null
  cmake --build build/release -j "$(nproc)"
  programs=build/release
fi
exec "$programs/tamsu" "$data"
