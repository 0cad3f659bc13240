#!/usr/bin/env bash
# Fuzzes at depth: each target in turn (never two at once, at the lowest priority, since
# the machine is shared) for SECONDS, then keeps what it found that adds coverage in
# fuzz/seeds/<target> (keep-corpus.sh). Prints a Markdown table of executions and coverage.
# Usage: fuzz/deep.sh BUILD_DIR SECONDS [TARGET...]. Crash inputs go to BUILD_DIR/fuzz-artifacts.
set -euo pipefail
build=$(realpath "$1") seconds=$2
shift 2
targets=("$@")
((${#targets[@]})) || targets=(fuzz_validate fuzz_profile_reader fuzz_command_line)
cd "$(dirname "${BASH_SOURCE[0]}")/.."
work=$build/deep
rm -rf "$work"
mkdir -p "$work/logs" "$build/fuzz-artifacts"
bash fuzz/prepare-corpus.sh "$build" "$work/corpus"

rows=()
for target in "${targets[@]}"; do
  echo "-- $target, $seconds s" >&2
  log=$work/logs/$target.log
  if ! nice -n 19 "$build/fuzz/$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
       -max_len=65536 -print_final_stats=1 -artifact_prefix="$build/fuzz-artifacts/$target-" \
       "$work/corpus/$target" >"$log" 2>&1; then
    tail -40 "$log" >&2
    echo "FAIL $target: crash input in $build/fuzz-artifacts" >&2
    exit 1
  fi
  # The last status line holds the coverage reached: "#N DONE cov: C ft: F corp: ...".
  done_line=$(grep -E '^#[0-9]+[[:space:]]+DONE' "$log" | tail -1)
  cov=$(sed -E 's/.* cov: ([0-9]+).*/\1/' <<<"$done_line")
  ft=$(sed -E 's/.* ft: ([0-9]+).*/\1/' <<<"$done_line")
  execs=$(sed -nE 's/^stat::number_of_executed_units: ([0-9]+)/\1/p' "$log")
  rate=$(sed -nE 's/^stat::average_exec_per_sec: +([0-9]+)/\1/p' "$log")
  # shellcheck disable=SC2012  # libFuzzer names its corpus files by their SHA-1
  found=$(ls "$work/corpus/$target" | wc -l)

  kept=$(bash fuzz/keep-corpus.sh "$build" "$target" "$work/corpus/$target")
  rows+=("| $target | $seconds | $execs | $rate | $cov | $ft | $found | $kept |")
done

echo "| target | seconds | executions | exec/s | cov | ft | corpus found | kept in fuzz/seeds |"
echo "|---|---:|---:|---:|---:|---:|---:|---:|"
printf '%s\n' "${rows[@]}"
