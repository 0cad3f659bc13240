#!/usr/bin/env bash
# Keeps in fuzz/seeds/TARGET only what a fuzzing run found beyond the seeds that
# prepare-corpus.sh makes afresh each time (builder-made images, data/Update.ini): libFuzzer
# merges the run's corpus into those, keeping only inputs that reach a new edge (hit counts
# are left out, which keeps the folder small), and the made-afresh ones stay out of the
# repository.
# Usage: fuzz/keep-corpus.sh BUILD_DIR TARGET FOUND_DIR. Prints the kept count and bytes.
set -euo pipefail
build=$(realpath "$1") target=$2 found=$(realpath "$3")
cd "$(dirname "${BASH_SOURCE[0]}")/.."
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/fresh"
bash fuzz/prepare-corpus.sh "$build" "$work/made"
for f in "$work/made/$target"/*; do
  [[ -e fuzz/seeds/$target/$(basename "$f") ]] || cp "$f" "$work/fresh/"
done
# shellcheck disable=SC2012  # libFuzzer names its corpus files by their SHA-1
ls "$work/fresh" | sort >"$work/fresh.list"
nice -n 19 "$build/fuzz/$target" -merge=1 -use_counters=0 -max_len=65536 -timeout=10 "$work/fresh" "$found" >"$work/merge.log" 2>&1 \
  || { tail -20 "$work/merge.log"; exit 1; }
rm -rf "fuzz/seeds/$target" && mkdir -p "fuzz/seeds/$target"
for f in "$work/fresh"/*; do
  grep -qxF "$(basename "$f")" "$work/fresh.list" || cp "$f" "fuzz/seeds/$target/"
done
# shellcheck disable=SC2012  # as above
echo "$(ls "fuzz/seeds/$target" | wc -l) ($(cat /dev/null "fuzz/seeds/$target"/* | wc -c) bytes)"
