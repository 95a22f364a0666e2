#!/usr/bin/env bash
# The project's main job: sets up the machine, builds the instrument in
# release mode and reports what was built.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/bootstrap.sh
cmake --preset release >/dev/null
cmake --build --preset release

build=build/release
echo
echo "Built in $build:"
for artefact in "$build"/vst/Dunerow.so "$build"/src/libdunerow_core.a "$build"/bench/dunerow_bench \
                "$build"/tests/shell_tests "$build"/tests/instrument_tests "$build"/tests/engine_tests; do
  [[ -e "$artefact" ]] && echo "  $artefact"
done
echo
echo "The VST2 instrument module is $build/vst/Dunerow.so; the kick renderer"
echo "that turns it into WAV files is not built yet."
