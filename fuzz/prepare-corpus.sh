#!/usr/bin/env bash
# Lays out a starting corpus for each fuzz target in OUT_DIR/<target>: the kept seeds in
# fuzz/seeds, data/Update.ini for the profile reader, and for image validation a matching
# controller region and image per generation written by nvm-samples.
# Usage: fuzz/prepare-corpus.sh BUILD_DIR OUT_DIR
set -euo pipefail
build=$(realpath "$1") out=$2
cd "$(dirname "${BASH_SOURCE[0]}")/.."
mkdir -p "$out/samples" "$out/fuzz_validate"

"$build/emulator/nvm-samples" "$out/samples"
for id in 156D 156B 147E 157E 1578 1576; do
  # Header: the region's length (u16), no failing read, no empty read.
  size=$(stat -c %s "$out/samples/ctl-$id.dump")
  # shellcheck disable=SC2059  # the format is the header's bytes, written as escapes
  { printf "\\x$(printf %02x $((size & 0xFF)))\\x$(printf %02x $((size >> 8)))\\x00\\x00"
    cat "$out/samples/ctl-$id.dump" "$out/samples/img-$id.bin"; } > "$out/fuzz_validate/$id"
done
rm -rf "$out/samples"
for target in fuzz_validate fuzz_profile_reader fuzz_command_line; do
  mkdir -p "$out/$target"
  if [[ -d fuzz/seeds/$target ]]; then cp -r fuzz/seeds/$target/. "$out/$target/"; fi
done
cp data/Update.ini "$out/fuzz_profile_reader/"
