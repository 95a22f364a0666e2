#!/usr/bin/env bash
# Realtime factors of a fixed heavy workload: 1, 16 and 64 simultaneous notes
# held for 10 s at 44.1 kHz in blocks of 512, rendered offline by
# dunerow-render through our instrument and through the VST2 instruments
# Debian ships (amsynth, ZynAddSubFX), all in the same run. Peer modules are
# only loaded and measured.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/bootstrap.sh
missing=()
for package in amsynth zynaddsubfx-vst; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
done
if ((${#missing[@]})); then
  sudo=(); [[ $(id -u) -ne 0 ]] && sudo=(sudo)
  DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get update -q
  DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

cmake --preset release >/dev/null
cmake --build --preset release --target Dunerow dunerow-render >/dev/null
render=build/release/vst/dunerow-render
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

# Prints the realtime factor of one workload; extra arguments choose the instrument.
factor() {
  local count=$1; shift
  local notes=()
  for ((i = 0; i < count; ++i)); do notes+=(--note "$((36 + i))@0:10"); done
  "$render" "$@" "${notes[@]}" --max-length 10 --rate 44100 --block 512 --bench -o "$scratch/out.wav" 2>/dev/null |
    sed -n 's/.* \([0-9.]*\)x realtime$/\1/p' | tail -n 1
}

heavy=(--program "Mainstream Bassdrum 1" --param KickTransposeMode=0)
# DUNEROW_BASELINE=path/to/an/older/Dunerow.so adds its column, measured in the same run.
baseline=${DUNEROW_BASELINE:-}
printf '%-8s %12s' notes Dunerow
[[ -n "$baseline" ]] && printf ' %12s' baseline
printf ' %12s %12s %16s\n' amsynth ZynAddSubFX "Dunerow/amsynth"
for count in 1 16 64; do
  ours=$(factor "$count" "${heavy[@]}")
  printf '%-8s %11sx' "$count" "$ours"
  [[ -n "$baseline" ]] && printf ' %11sx' "$(factor "$count" "${heavy[@]}" --plugin "$baseline")"
  amsynth=$(factor "$count" --plugin /usr/lib/vst/amsynth_vst.so)
  zyn=$(factor "$count" --plugin /usr/lib/vst/ZynAddSubFX.so || true)
  ratio=$(awk -v a="$ours" -v b="$amsynth" 'BEGIN { if (b > 0) printf "%.2f", a / b; else print "-" }')
  printf ' %11sx %11sx %16s\n' "$amsynth" "${zyn:--}" "$ratio"
done
printf '%-8s %11sx' "kick" "$(factor 1 --program "Mainstream Bassdrum 1")"
[[ -n "$baseline" ]] && printf ' %11sx' "$(factor 1 --program "Mainstream Bassdrum 1" --plugin "$baseline")"
printf '   (one note of "Mainstream Bassdrum 1" as programmed)\n'
echo "(realtime factors: audio seconds per CPU second spent in the instrument; $(nproc) cores, $(uname -m))"
