#!/usr/bin/env bash
# Builds tbtfw-check and shows, from the shipped data/Update.ini, what the tool would do:
# how it reads its command line, and the messages it shows in each language.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
cmake --preset native >/dev/null
cmake --build --preset native --target tbtfw-check >/dev/null
check=build/native/tools/tbtfw-check/tbtfw-check

echo "\$ tbtfw-check args /lid:411 /downgradable"
"$check" args /lid:411 /downgradable
for lang in 409 407 40C 411 804 404; do
  echo
  echo "== language 0x$lang"
  echo "prompt:          $("$check" text --ini data/Update.ini --lang "$lang" IDS_PROMPT)"
  echo "success:         $("$check" message --ini data/Update.ini --lang "$lang" 0)"
  echo "field mismatch:  $("$check" message --ini data/Update.ini --lang "$lang" 0x10430006)"
done
