#!/usr/bin/env bash
# Redraws the README's picture of the editor: "Mainstream Bassdrum 1" after
# one C2, drawn without a display into docs/editor-synth.png.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/bootstrap.sh snapshot
cmake --preset release >/dev/null
cmake --build --preset release --target dunerow-render
build/release/vst/dunerow-render --program "Mainstream Bassdrum 1" --note C2 --editor-snapshot docs/editor-synth.png
