#!/usr/bin/env bash
# The project's main job: installs what the instrument and its renderer build
# from (nothing the tests use), builds both optimised with warnings shown but
# not fatal, and renders a factory kick to a WAV file.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/bootstrap.sh main
cmake --preset release >/dev/null
cmake --build --preset release

build=build/release
mkdir -p renders
output="renders/Mainstream Bassdrum 1 - C2.wav"
"$build/vst/dunerow-render" --program "Mainstream Bassdrum 1" --note C2 --output "$output"

echo
echo "VST2 instrument: $build/vst/Dunerow.so"
echo "Renderer:        $build/vst/dunerow-render (try --help)"
echo "Kick rendered:   $(pwd)/$output"
echo "Install both:    cmake --install $build   (as root: /usr/lib/vst and /usr/local/bin;"
echo "                 with --prefix ~/.local: ~/.vst and ~/.local/bin)"
