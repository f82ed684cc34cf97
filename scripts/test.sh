#!/usr/bin/env bash
# Sets up, builds and runs every test of haze. Fails on the first failure.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh test
jobs=$(nproc)

echo "== Formatting"
scripts/check_format.sh

echo "== Windows build (MinGW-w64): haze.scr and the helpers of its Wine tests"
cmake -S . -B build/win -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
  -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/win -j"$jobs"

echo "== Release build (g++): unit, render and system tests, haze.scr under Wine"
cmake -S . -B build/test -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DHAZE_WINDOWS_BUILD="$PWD/build/win" >/dev/null
cmake --build build/test -j"$jobs"
ctest --test-dir build/test --output-on-failure -j"$jobs"

echo "== AddressSanitizer + UndefinedBehaviorSanitizer build (clang): unit tests and fuzzers"
cmake -S . -B build/asan -DCMAKE_BUILD_TYPE=Debug \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DHAZE_SANITIZE=ON -DHAZE_FUZZ=ON -DHAZE_BENCHMARKS=OFF >/dev/null
cmake --build build/asan -j"$jobs"
ctest --test-dir build/asan --output-on-failure -j"$jobs" -L 'unit|fuzz'

echo "== All tests passed"
