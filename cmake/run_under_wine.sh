#!/usr/bin/env bash
# Runs a cross-built Windows program under Wine, headless, in a Wine prefix
# of the build tree: run_under_wine.sh PREFIX PROGRAM [ARGUMENTS...]
# The first call creates the prefix; parallel test runs wait for it.
set -euo pipefail
prefix=$1
shift

# shellcheck source=wine_environment.sh
source "$(dirname "$0")/wine_environment.sh"
wine_environment run_under_wine "$prefix"

mkdir -p "$(dirname "$prefix")"
(
  flock 9
  if [[ ! -f "$prefix/system.reg" ]]; then
    wine wineboot --init >/dev/null 2>&1
    wineserver -w
  fi
) 9>"$prefix.lock"

# A Wine server that outlives each program by a few seconds, so that the next
# test program finds Wine's services running instead of starting them again.
wineserver -p15 </dev/null >/dev/null 2>&1 || true

# The server and Wine's services, when this program starts them, inherit its
# output handles and outlive it; handed straight to a caller that reads them
# to the end (CTest), they would hold it until the server exits. So the
# program writes into files, passed on once it has finished.
output=$(mktemp)
errors=$(mktemp)
trap 'rm -f "$output" "$errors"' EXIT
status=0
wine "$@" </dev/null >"$output" 2>"$errors" || status=$?
cat "$output"
cat "$errors" >&2
exit "$status"
