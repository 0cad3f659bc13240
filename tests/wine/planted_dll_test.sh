#!/usr/bin/env bash
# Each DLL the tool could take from its own folder, planted beside TbtFwUpdate.exe and run
# under Wine with that DLL set to be taken from the program's folder first, as Windows
# takes a DLL that is no KnownDLL: the window opens and the planted copy never runs. The
# same copy beside a probe that imports the DLL does run, so the plant itself works.
# Run inside the Wine bench.
# Usage: planted_dll_test.sh TOOL PLANTED_DLL PLANT_PROBE WINDOW_PROBE INI WORK
set -uo pipefail
tool=$1 planted=$2 plant_probe=$3 window_probe=$4 ini=$5 work=$6
title="Vanto Thunderbolt Firmware Update Tool"
base_overrides=$WINEDLLOVERRIDES
failed=0
fail() { echo "FAIL [$name] $*"; failed=1; }

for name in powrprof gdiplus comctl32; do
  dir=$work/$name
  rm -rf "$dir"
  mkdir -p "$dir/data"
  cp "$tool" "$dir/TbtFwUpdate.exe"
  cp "$plant_probe" "$dir/plant_probe.exe"
  cp "$ini" "$dir/data/Update.ini"
  cp "$planted" "$dir/$name.dll"
  export WINEDLLOVERRIDES="$base_overrides;$name=n,b"

  (cd "$dir" && exec wine TbtFwUpdate.exe </dev/null >/dev/null 2>&1) &
  pid=$!
  if wine "$window_probe" wait "$title" 20000 >/dev/null 2>&1; then
    wine "$window_probe" close "$title" >/dev/null 2>&1
  else
    fail "the window did not open"
  fi
  for _ in $(seq 1 100); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
  kill -0 "$pid" 2>/dev/null && { fail "the tool did not end"; kill "$pid"; }
  [[ -e $dir/planted.ran ]] && fail "the planted $name.dll ran in the tool"

  rm -f "$dir/planted.ran"
  (cd "$dir" && exec timeout 60 wine plant_probe.exe </dev/null >/dev/null 2>&1)
  [[ -e $dir/planted.ran ]] || fail "the planted $name.dll did not run in a program importing it"
done
[[ $failed -eq 0 ]] && echo "no planted DLL ran in the tool; each ran in the probe"
exit $failed
