#!/usr/bin/env bash
# Sets up, builds and runs haze. Extra arguments go to haze.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh run
cmake -S . -B build/release -DCMAKE_BUILD_TYPE=Release -DHAZE_BUILD_TESTS=OFF >/dev/null
cmake --build build/release -j"$(nproc)"

exec build/release/src/platform/haze --help "$@"
