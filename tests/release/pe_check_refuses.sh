#!/usr/bin/env bash
# Shows that the hardening check refuses an image built without some mitigation, and
# names exactly that. Usage: pe_check_refuses.sh CHECK OBJDUMP NM IMAGE "EXPECTED REPORT"
# (the check's words after the image's name, such as "missing: DEP").
set -uo pipefail
check=$1 objdump=$2 nm=$3 image=$4 expected=$5
output=$(bash "$check" --shipped "$objdump" "$nm" "$image")
status=$?
echo "$output"
if ((status != 1)); then echo "FAIL: the check accepted an image with: $expected"; exit 1; fi
if [[ $output != "$(basename "$image"): $expected" ]]; then
  echo "FAIL: expected it to report exactly: $expected"
  exit 1
fi
