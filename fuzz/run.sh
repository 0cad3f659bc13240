#!/usr/bin/env bash
# Runs each fuzz target for a bounded time from the seeds in fuzz/seeds and, for image
# validation, from matching controller regions and images written by nvm-samples.
# Usage: fuzz/run.sh BUILD_DIR SECONDS. Crash inputs are left in BUILD_DIR/fuzz-artifacts.
set -euo pipefail
build=$(realpath "$1") seconds=$2
cd "$(dirname "${BASH_SOURCE[0]}")/.."
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$build/fuzz-artifacts" "$work/samples"

"$build/nvm-samples" "$work/samples"
mkdir -p "$work/fuzz_validate"
for id in 156D 156B 147E 1578 1576; do
  # Header: the region's length (u16), no failing read, no empty read.
  size=$(stat -c %s "$work/samples/ctl-$id.dump")
  { printf "\\x$(printf %02x $((size & 0xFF)))\\x$(printf %02x $((size >> 8)))\\x00\\x00"
    cat "$work/samples/ctl-$id.dump" "$work/samples/img-$id.bin"; } > "$work/fuzz_validate/$id"
done
cp -r fuzz/seeds/fuzz_profile_reader fuzz/seeds/fuzz_command_line "$work/"
cp data/Update.ini "$work/fuzz_profile_reader/"

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
