#!/usr/bin/env bash
# Builds the fuzz programs (preset `fuzz`: clang, libFuzzer, address and
# undefined-behaviour sanitizers) and runs each for a set time on a copy of
# its seed corpus in the build tree; the committed corpus never grows. Inputs
# that once crashed (fuzz/regressions/<fuzzer>/) are replayed first. Prints
# per fuzzer the executions run and whether it crashed; exits non-zero when
# any did. Findings are kept in build/fuzz/runs/<fuzzer>/findings/.
#
#   scripts/fuzz.sh [seconds-per-fuzzer] [fuzzer ...]     (default: 60 s, all)
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-60}
shift || true
all=(state_chunk_fuzzer fxp_fuzzer program_text_fuzzer user_waveform_fuzzer host_calls_fuzzer png_decoder_fuzzer)
fuzzers=("$@")
((${#fuzzers[@]} > 0)) || fuzzers=("${all[@]}")

scripts/bootstrap.sh fuzz
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j 2

# Two of the fuzzers hand their input to the instrument as a file: keep those in memory.
if [[ -d /dev/shm && -w /dev/shm ]]; then export TMPDIR=/dev/shm; fi
export ASAN_OPTIONS=${ASAN_OPTIONS:-abort_on_error=1:detect_leaks=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}

build=build/fuzz
failed=0
summary=()
for fuzzer in "${fuzzers[@]}"; do
  program=$build/fuzz/$fuzzer
  [[ -x $program ]] || { echo "fuzz: no program $fuzzer" >&2; exit 2; }
  run=$build/runs/$fuzzer
  rm -rf "$run"
  mkdir -p "$run/corpus" "$run/findings"
  cp -R "fuzz/corpus/$fuzzer/." "$run/corpus/"

  verdict="no crash"
  regressions=(fuzz/regressions/"$fuzzer"/*)
  if [[ -e ${regressions[0]} ]]; then
    if ! "$program" "${regressions[@]}" >"$run/regressions.log" 2>&1; then
      verdict="CRASHED on a kept regression input (see $run/regressions.log)"
    fi
  fi
  if [[ $verdict == "no crash" ]]; then
    echo "fuzz: $fuzzer for ${seconds} s"
    if ! "$program" -max_total_time="$seconds" -print_final_stats=1 -timeout=60 -rss_limit_mb=4096 \
         -artifact_prefix="$run/findings/" "$run/corpus" >"$run/fuzz.log" 2>&1; then
      verdict="CRASHED (input in $run/findings/, log $run/fuzz.log)"
    fi
  fi
  executions=$(awk '/stat::number_of_executed_units/ {print $2}' "$run/fuzz.log" 2>/dev/null || true)
  [[ $verdict == "no crash" ]] || failed=1
  summary+=("$(printf '%-22s %12s executions  %s' "$fuzzer" "${executions:-?}" "$verdict")")
done

echo
printf '%s\n' "${summary[@]}"
exit $failed
