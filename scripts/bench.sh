#!/usr/bin/env bash
# Builds the optimised benchmarks and runs them: voices, filter designs, each
# effect and whole blocks. items_per_second and frames_per_second are stereo
# frames per second. Extra arguments go to Google Benchmark, for example
#   scripts/bench.sh --benchmark_filter=Voice
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/bootstrap.sh bench
cmake --preset bench >/dev/null
cmake --build --preset bench --target dunerow_bench >/dev/null
echo "$(nproc) cores, $(uname -m); $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2- | sed 's/^ //')" >&2
exec build/bench/bench/dunerow_bench --benchmark_counters_tabular=true "$@"
