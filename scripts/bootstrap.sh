#!/usr/bin/env bash
# Installs the Debian packages one purpose needs, and nothing more:
#
#   scripts/bootstrap.sh            the main job: compiler, CMake, Ninja and the
#                                   libraries the module and the renderer link
#   scripts/bootstrap.sh tests      the whole test suite (all of the below)
#   scripts/bootstrap.sh windows    the cross-built Windows DLL and Wine
#   scripts/bootstrap.sh fuzz       the libFuzzer programs (clang)
#   scripts/bootstrap.sh package    the Debian package and the Windows zip
#   scripts/bootstrap.sh bench      the benchmarks
#   scripts/bootstrap.sh snapshot   the editor picture (scripts/editor_snapshot.sh)
#
# Several purposes may be given. Safe to run again: when everything is
# present it only checks and returns.
set -euo pipefail

# What the module and dunerow-render build from and link.
main=(
  g++ cmake ninja-build pkg-config
  libpng-dev zlib1g-dev
  libfreetype-dev libfontconfig-dev  # the editor's text
  libx11-dev libxext-dev             # the editor's X11 window (MIT-SHM)
  libsndfile1-dev libcli11-dev       # the renderer's files and options
  dpkg-dev                           # `apt-get source` fetches Google Highway's source
)
# Windows x86-64 DLL: the cross compilers, their static zlib, and Wine for
# the tests (libpng's source comes as Highway's does).
windows=(g++-mingw-w64-x86-64 libz-mingw-w64-dev wine wine64)
# clang and its libFuzzer runtime (scripts/fuzz.sh).
fuzz=(clang-14 libclang-rt-14-dev)
# dpkg-shlibdeps computes the package's Depends; lintian checks the package.
package=("${windows[@]}" dpkg-dev lintian)
tests=(
  git libgtest-dev libgmock-dev python3 man-db  # python3, man: the packaging checks
  # Liberation Sans for "Arial", the DejaVu files the artwork generator draws with
  fonts-liberation2 fonts-dejavu-core
  xvfb libxtst-dev  # the editor window tests: a private X server, XTest input
  libcairo2-dev     # the artwork generator (tools/artwork)
  ardour            # a host nobody on this project wrote, and its Lua tool
  "${windows[@]}" "${fuzz[@]}" "${package[@]}"
)
bench=(libgtest-dev libgmock-dev libbenchmark-dev)
# The editor's text is drawn in Liberation Sans ("Arial").
snapshot=(fonts-liberation2)

packages=("${main[@]}")
for purpose in "$@"; do
  case $purpose in
    main) ;;
    tests) packages+=("${tests[@]}") ;;
    windows) packages+=("${windows[@]}") ;;
    fuzz) packages+=("${fuzz[@]}") ;;
    package) packages+=("${package[@]}") ;;
    bench) packages+=("${bench[@]}") ;;
    snapshot) packages+=("${snapshot[@]}") ;;
    *) echo "bootstrap: unknown purpose '$purpose' (main, tests, windows, fuzz, package, bench, snapshot)" >&2; exit 2 ;;
  esac
done

missing=()
for package in $(printf '%s\n' "${packages[@]}" | sort -u); do
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
