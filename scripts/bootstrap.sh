#!/usr/bin/env bash
# Installs every Debian package the build, the tests and the tools need.
# Safe to run again: when everything is present it only checks and returns.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config git
  libgtest-dev libgmock-dev libbenchmark-dev
  libpng-dev zlib1g-dev
  # the editor's text: FreeType and fontconfig, and Liberation Sans for "Arial"
  libfreetype-dev libfontconfig-dev fonts-liberation2
  xvfb libxtst-dev libxext-dev libx11-dev  # the editor's X11 window, and Xvfb for its tests
  # the artwork generator (tools/artwork): cairo, and the font files it draws with
  libcairo2-dev fonts-dejavu-core
  libsndfile1-dev libcli11-dev
  g++-mingw-w64-x86-64 libz-mingw-w64-dev dpkg-dev
  wine wine64
  ardour
  # clang and its libFuzzer runtime, for the fuzz programs (scripts/fuzz.sh)
  clang-14 libclang-rt-14-dev
)

missing=()
for package in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || missing+=("$package")
done

if ((${#missing[@]} == 0)); then
  exit 0
fi

echo "bootstrap: installing ${missing[*]}" >&2
sudo=()
if [[ $(id -u) -ne 0 ]]; then
  command -v sudo >/dev/null || { echo "bootstrap: run as root or install sudo" >&2; exit 1; }
  sudo=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -q
"${sudo[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
