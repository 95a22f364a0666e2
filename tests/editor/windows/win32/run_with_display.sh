#!/usr/bin/env bash
# Runs a cross-built Windows program under Wine on an X display of its own:
#   run_with_display.sh PREFIX PROGRAM [ARGUMENTS...]
# A private Xvfb server is started for the run and stopped after it, with a
# Wine prefix kept for these runs alone (Wine binds its desktop to the display
# the first program of a session had, so it cannot share the headless one).
# Runs of the same prefix take turns. Without Xvfb the program runs with no
# display and skips what needs one.
set -euo pipefail
prefix=$1
shift

# shellcheck source=../../../../cmake/wine_environment.sh
source "$(dirname "$0")/../../../../cmake/wine_environment.sh"
wine_environment run_with_display "$prefix"

mkdir -p "$(dirname "$prefix")"
exec 9>"$prefix.lock"
flock 9

scratch=$(mktemp -d)
xvfb=
cleanup() {
  # Wine's services hold the display; they go first.
  wineserver -k >/dev/null 2>&1 || true
  wineserver -w >/dev/null 2>&1 || true
  if [[ -n $xvfb ]]; then
    kill "$xvfb" 2>/dev/null || true
    wait "$xvfb" 2>/dev/null || true
  fi
  rm -rf "$scratch"
}
trap cleanup EXIT

if command -v Xvfb >/dev/null; then
  # Xvfb picks a free display number and writes it to descriptor 8. Wide
  # enough for two editors side by side.
  Xvfb -displayfd 8 -screen 0 2100x1000x24 -nolisten tcp 8>"$scratch/display" >/dev/null 2>&1 &
  xvfb=$!
  for _ in $(seq 1 100); do
    [[ -s $scratch/display ]] && break
    kill -0 "$xvfb" 2>/dev/null || break
    sleep 0.1
  done
  if [[ -s $scratch/display ]]; then
    export DISPLAY=":$(head -n1 "$scratch/display")"
  else
    echo "run_with_display: Xvfb did not start; running without a display" >&2
  fi
else
  echo "run_with_display: Xvfb is not installed; running without a display" >&2
fi

if [[ ! -f $prefix/.dunerow-ready ]]; then
  wine wineboot --init >/dev/null 2>&1
  wineserver -w
  # Wine draws its own window frames: a window at (0, 0) is at (0, 0) on the screen.
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
  wineserver -w
  touch "$prefix/.dunerow-ready"
fi

# Output goes through files: Wine's services inherit the handles and would
# keep a reader (CTest) waiting until they exit.
status=0
wine "$@" </dev/null >"$scratch/out" 2>"$scratch/err" || status=$?
cat "$scratch/out"
cat "$scratch/err" >&2
exit "$status"
