#!/usr/bin/env bash
# Sets up the machine, builds everything with warnings as errors, and runs
# the whole test suite. Exits non-zero when anything fails.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/bootstrap.sh
preset=${DUNEROW_TEST_PRESET:-debug}
cmake --preset "$preset"
cmake --build --preset "$preset"
ctest --preset "$preset" -j "$(nproc)"
