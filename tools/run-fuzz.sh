#!/usr/bin/env bash
# make fuzz: runs each fuzz target for a set time, one after the other, and
# reports executions, the rate, coverage and corpus size.  New inputs collect
# in the build tree; a crash input lands in <build>/artifacts.
#   tools/run-fuzz.sh BUILD SECONDS "TARGETS" [REPLAY_BUILD]
# BUILD is best the throughput tree (no AddressSanitizer); REPLAY_BUILD, the
# sanitized tree, then replays every input the run kept, so a memory fault
# the fast build cannot see still fails the run.  A short run shows the rate:
#   make fuzz FUZZ_SECONDS=30
set -uo pipefail

build=${1:-build/fuzz}
seconds=${2:-600}
targets=${3:-file_open messages}
replay=${4:-}
seeds=tests/fuzz/corpus
status=0
summary=()

for target in $targets; do
  work=$build/work/$target
  artifacts=$build/artifacts
  mkdir -p "$work" "$artifacts"
  log=$build/fuzz-$target.log
  # A message input costs in proportion to its length, each message ending
  # in a full repaint to compare: inputs stay within the seeds' 256 bytes
  # (about a hundred messages), and the schedule favours inputs that run fast.
  options=()
  if [ "$target" = messages ]; then
    options=(-max_len=256 -entropic_scale_per_exec_time=1)
  fi
  echo "== $target: $seconds s (log: $log)"
  TIMEFORMAT='%R %U %S'
  { time "$build/tests/fuzz/${target}_fuzzer" -max_total_time="$seconds" -timeout=60 \
      -print_final_stats=1 -artifact_prefix="$artifacts/$target-" "${options[@]}" \
      "$work" "$seeds/$target" >"$log" 2>&1; echo $? >"$log.rc"; } 2>"$log.time"
  rc=$(cat "$log.rc")
  read -r wall user sys <"$log.time"
  executions=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  coverage=$(grep -Eo 'cov: [0-9]+ ft: [0-9]+ corp: [0-9]+/[0-9]+[a-zA-Z]*' "$log" | tail -1)
  # Per CPU second as well: the wall-clock rate drops with whatever else runs.
  rate=$(awk -v n="${executions:-0}" -v w="$wall" -v c="$(echo "$user $sys" | awk '{print $1 + $2}')" \
      'BEGIN { printf "%.0f/s, %.0f per CPU second", (w > 0 ? n / w : 0), (c > 0 ? n / c : 0) }')
  files=$(find "$work" -type f | wc -l)
  line="$target: ${executions:-?} executions in ${wall}s ($rate), ${coverage:-no coverage line}, $files inputs in $work"
  if [ $rc -ne 0 ]; then
    line="$line -- FAILED (exit $rc)"
    grep -E 'fuzz check failed|ERROR: |runtime error|SUMMARY' "$log" | head -5
    status=1
  elif [ -n "$replay" ]; then
    # -runs=0 runs every input once and stops.
    if ! "$replay/tests/fuzz/${target}_fuzzer" -runs=0 -timeout=60 \
        -artifact_prefix="$artifacts/$target-replay-" "$work" >"$log.replay" 2>&1; then
      line="$line -- FAILED replaying under $replay (log: $log.replay)"
      grep -E 'fuzz check failed|ERROR: |runtime error|SUMMARY' "$log.replay" | head -5
      status=1
    fi
  fi
  echo "$line"
  summary+=("$line")
done

echo "== summary"
printf '%s\n' "${summary[@]}"
exit $status
