#!/usr/bin/env bash
# Writes the Linux build's pictures of the editor that the Win32 window is
# compared with: write_linux_references.sh DUNEROW_RENDER OUTPUT_DIR
# Old pictures are removed first, so a comparison never reads a stale one;
# without the Linux renderer there are none and the comparisons skip.
set -euo pipefail
render=$1
out=$2
mkdir -p "$out"
rm -f "$out"/program20_synth.png "$out"/program20_about.png
if [[ ! -x $render ]]; then
  echo "no Linux dunerow-render at $render: build it in a Linux tree (ninja dunerow-render) and set DUNEROW_LINUX_RENDER_TOOL" >&2
  exit 77
fi
"$render" --program 20 --editor-snapshot "$out/program20_synth.png"
"$render" --program 20 --page about --editor-snapshot "$out/program20_about.png"
