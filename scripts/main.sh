#!/usr/bin/env bash
# The project's main job: sets up the machine, builds the instrument and its
# renderer in release mode, and renders a factory kick to a WAV file.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/bootstrap.sh
cmake --preset release >/dev/null
cmake --build --preset release --target Dunerow dunerow-render

build=build/release
mkdir -p renders
output="renders/Mainstream Bassdrum 1 - C2.wav"
"$build/vst/dunerow-render" --program "Mainstream Bassdrum 1" --note C2 --output "$output"

echo
echo "VST2 instrument: $build/vst/Dunerow.so"
echo "Renderer:        $build/vst/dunerow-render (try --help)"
echo "Kick rendered:   $(pwd)/$output"
