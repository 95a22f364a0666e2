#!/usr/bin/env bash
# Sets up the machine, builds everything with warnings as errors, and runs
# the whole test suite: the debug build; the Windows DLL and its tests under
# Wine (which hold its audio against the debug build's render); the suite
# under the address + undefined-behaviour and thread sanitizers; the packages
# (tests/packaging/check_packages.sh: the .deb installed into a scratch root,
# cmake --install, the Windows zip); and a short fuzzing pass. Exits non-zero
# when anything fails.
#
#   DUNEROW_TEST_PRESET=asan ./scripts/test.sh    runs one preset only (also windows, or package)
#   DUNEROW_FUZZ_SECONDS=0 ./scripts/test.sh      skips the fuzzing pass
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/bootstrap.sh tests
if [[ -n "${DUNEROW_TEST_PRESET:-}" ]]; then
  steps=("$DUNEROW_TEST_PRESET")
  fuzz_seconds=${DUNEROW_FUZZ_SECONDS:-0}
else
  steps=(debug windows asan tsan package)
  fuzz_seconds=${DUNEROW_FUZZ_SECONDS:-60}
fi

for step in "${steps[@]}"; do
  echo "=== $step ===" >&2
  start=$SECONDS
  if [[ $step == package ]]; then
    tests/packaging/check_packages.sh
  else
    cmake --preset "$step" >/dev/null
    cmake --build --preset "$step"
    ctest --preset "$step" -j "$(nproc)"
  fi
  echo "=== $step: passed in $((SECONDS - start)) s ===" >&2
done

if ((fuzz_seconds > 0)) && [[ -x scripts/fuzz.sh ]]; then
  scripts/fuzz.sh "$fuzz_seconds"
fi
