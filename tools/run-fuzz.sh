#!/usr/bin/env bash
# make fuzz: runs each fuzz target for a set time, one after the other, and
# reports executions, coverage and corpus size.  New inputs collect in the
# build tree; a crash input lands in build/fuzz/artifacts.
set -uo pipefail

build=${1:-build/fuzz}
seconds=${2:-600}
targets=${3:-file_open messages}
seeds=tests/fuzz/corpus
status=0
summary=()

for target in $targets; do
  work=$build/work/$target
  artifacts=$build/artifacts
  mkdir -p "$work" "$artifacts"
  log=$build/fuzz-$target.log
  echo "== $target: $seconds s (log: $log)"
  "$build/tests/fuzz/${target}_fuzzer" -max_total_time="$seconds" -timeout=60 \
      -print_final_stats=1 -artifact_prefix="$artifacts/$target-" \
      "$work" "$seeds/$target" >"$log" 2>&1
  rc=$?
  executions=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  coverage=$(grep -Eo 'cov: [0-9]+ ft: [0-9]+ corp: [0-9]+/[0-9]+[a-zA-Z]*' "$log" | tail -1)
  files=$(find "$work" -type f | wc -l)
  line="$target: ${executions:-?} executions, ${coverage:-no coverage line}, $files inputs in $work"
  if [ $rc -ne 0 ]; then
    line="$line -- FAILED (exit $rc)"
    grep -E 'fuzz check failed|ERROR: |runtime error|SUMMARY' "$log" | head -5
    status=1
  fi
  echo "$line"
  summary+=("$line")
done

echo "== summary"
printf '%s\n' "${summary[@]}"
exit $status
