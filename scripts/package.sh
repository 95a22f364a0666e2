#!/usr/bin/env bash
# Builds both packages into build/packages/:
#   dunerow_<version>_amd64.deb     the module in /usr/lib/vst, dunerow-render
#                                   in /usr/bin with its manual page
#   Dunerow-<version>-win64.zip     Dunerow.dll, a waveforms folder with its
#                                   read-me, and the licence
# The version is the project() version in CMakeLists.txt. The .deb is made
# from the main job's release build; the zip from an optimised cross build.
#
#   scripts/package.sh [deb|zip]    (default: both)
set -euo pipefail
cd "$(dirname "$0")/.."

kinds=("$@")
((${#kinds[@]} > 0)) || kinds=(deb zip)

scripts/bootstrap.sh package
for kind in "${kinds[@]}"; do
  case $kind in
    deb) preset=release ;;
    zip) preset=windows-release ;;
    *) echo "package: unknown kind '$kind' (deb or zip)" >&2; exit 2 ;;
  esac
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset"
  cpack --preset "$kind"
done
