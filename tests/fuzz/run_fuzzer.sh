#!/bin/sh
# Runs a libFuzzer target on a working copy of its seed corpus, so that what
# the fuzzer adds stays in the build tree. Usage: run_fuzzer.sh FUZZER SEEDS WORK [OPTIONS...]
set -eu
fuzzer=$1 seeds=$2 work=$3
shift 3
mkdir -p "$work"
cp -R "$seeds"/. "$work"/
exec "$fuzzer" "$@" "$work"
