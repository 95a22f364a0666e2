#!/usr/bin/env bash
# Sets up the machine, builds everything with warnings as errors, and runs
# the whole test suite: the debug build; the Windows DLL and its tests under
# Wine (which hold its audio against the debug build's render); the suite
# under the address + undefined-behaviour and thread sanitizers; and a short
# fuzzing pass. Exits non-zero when anything fails.
#
#   DUNEROW_TEST_PRESET=asan ./scripts/test.sh    runs one preset only (also windows)
#   DUNEROW_FUZZ_SECONDS=0 ./scripts/test.sh      skips the fuzzing pass
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/bootstrap.sh tests
if [[ -n "${DUNEROW_TEST_PRESET:-}" ]]; then
  presets=("$DUNEROW_TEST_PRESET")
  fuzz_seconds=${DUNEROW_FUZZ_SECONDS:-0}
else
  presets=(debug windows asan tsan)
  fuzz_seconds=${DUNEROW_FUZZ_SECONDS:-60}
fi

for preset in "${presets[@]}"; do
  echo "=== $preset ===" >&2
  start=$SECONDS
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset"
  ctest --preset "$preset" -j "$(nproc)"
  echo "=== $preset: passed in $((SECONDS - start)) s ===" >&2
done

if ((fuzz_seconds > 0)) && [[ -x scripts/fuzz.sh ]]; then
  scripts/fuzz.sh "$fuzz_seconds"
fi
