#!/usr/bin/env bash
# Runs each fuzz target for a bounded time from the corpus laid out by prepare-corpus.sh.
# Usage: fuzz/run.sh BUILD_DIR SECONDS. Crash inputs are left in BUILD_DIR/fuzz-artifacts.
set -euo pipefail
build=$(realpath "$1") seconds=$2
cd "$(dirname "${BASH_SOURCE[0]}")/.."
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$build/fuzz-artifacts"
bash fuzz/prepare-corpus.sh "$build" "$work"

for target in fuzz_validate fuzz_profile_reader fuzz_command_line; do
  echo "-- $target, $seconds s"
  log="$work/$target.log"
  if ! "$build/fuzz/$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=65536 \
       -artifact_prefix="$build/fuzz-artifacts/$target-" "$work/$target" >"$log" 2>&1; then
    tail -40 "$log"
    echo "FAIL $target: crash input in $build/fuzz-artifacts"
    exit 1
  fi
  grep -E '^Done [0-9]+ runs' "$log"
done
