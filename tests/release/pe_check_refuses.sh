#!/usr/bin/env bash
# Shows that the hardening check refuses an image built without some mitigations, and
# names exactly those. Usage: pe_check_refuses.sh CHECK OBJDUMP NM IMAGE "EXPECTED MISSING"
set -uo pipefail
check=$1 objdump=$2 nm=$3 image=$4 expected=$5
output=$(bash "$check" "$objdump" "$nm" "$image")
status=$?
echo "$output"
if ((status != 1)); then echo "FAIL: the check accepted an image missing: $expected"; exit 1; fi
if [[ $output != "$(basename "$image"): missing: $expected" ]]; then
  echo "FAIL: expected it to name exactly: $expected"
  exit 1
fi
