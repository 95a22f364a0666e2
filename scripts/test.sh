#!/usr/bin/env bash
# Sets up the machine, builds everything with warnings as errors, and runs
# the whole test suite: the Linux build, then the Windows DLL and its tests
# under Wine (which compare its audio with the Linux build's). Exits non-zero
# when anything fails. DUNEROW_TEST_PRESET=NAME runs one preset only
# (debug, release, asan, tsan or windows).
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/bootstrap.sh
if [[ -n "${DUNEROW_TEST_PRESET:-}" ]]; then
  presets=("$DUNEROW_TEST_PRESET")
else
  presets=(debug windows)
fi
for preset in "${presets[@]}"; do
  cmake --preset "$preset"
  cmake --build --preset "$preset"
  ctest --preset "$preset" -j "$(nproc)"
done
