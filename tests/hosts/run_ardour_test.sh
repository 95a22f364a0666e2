#!/usr/bin/env bash
# Plays a few notes through the Dunerow module inside Ardour, a host nobody on
# this project wrote, and compares its export with our own test host's render.
#
#   run_ardour_test.sh PATH/TO/Dunerow.so PATH/TO/compare_ardour_render
#
# Exits 77 when Ardour is not installed, so CTest reports the test as skipped.
set -euo pipefail

module=$1
compare=$2
here=$(cd "$(dirname "$0")" && pwd)
ardour_lib=${ARDOUR_LIB:-/usr/lib/ardour7}

if ! command -v ardour7-lua >/dev/null || [[ ! -x $ardour_lib/ardour-vst-scanner ]]; then
  echo "Ardour is not installed; skipping"
  exit 77
fi

work=$(mktemp -d "${TMPDIR:-/tmp}/dunerow-ardour.XXXXXX")
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/vst" "$work/home"

# Ardour keeps its configuration, plug-in index and export presets under these.
export HOME=$work/home XDG_CONFIG_HOME=$work/config XDG_CACHE_HOME=$work/cache
export LXVST_PATH=$work/vst

# Ardour trusts its plug-in index only when it is strictly newer than the
# module; its scanner stamps the index with the module's own time. An older
# copy of the module and a fresh touch of the index keep the two apart.
cp "$module" "$work/vst/Dunerow.so"
touch -d '1 minute ago' "$work/vst/Dunerow.so"
LD_LIBRARY_PATH=$ardour_lib "$ardour_lib/ardour-vst-scanner" -q -f "$work/vst/Dunerow.so"
find "$XDG_CACHE_HOME" -name '*.v2i' -exec touch {} +

# The Lua tool sometimes crashes while closing the session after the export
# is complete, so a written file counts and a failed run is tried again.
render=$work/ardour.wav
for attempt in 1 2 3; do
  rm -rf "$work/session" "$render"
  if timeout 120 ardour7-lua "$here/ardour_render.lua" "$render" "$work/session" </dev/null >"$work/ardour.log" 2>&1; then
    status=0
  else
    status=$?
  fi
  [[ -s $render ]] && break
  echo "Ardour run $attempt failed with status $status:" >&2
  cat "$work/ardour.log" >&2
done
if [[ ! -s $render ]]; then
  echo "Ardour wrote no render" >&2
  exit 1
fi

"$compare" "$render"
