#!/usr/bin/env bash
# Each DLL the tool could take from its own folder, planted beside TbtFwUpdate.exe and run
# under Wine with that DLL set to be taken from the program's folder first, as Windows
# takes a DLL that is no KnownDLL: the window opens and the planted copy never runs. The
# same copy beside a probe that imports the DLL does run, so the plant itself works.
# Run inside the Wine bench.
# Usage: planted_dll_test.sh BENCH_ENV WORK (BENCH_ENV: tests/lib/bench_env.sh)
set -uo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# shellcheck source=../lib/bench_env.sh
source "$here/../lib/bench_env.sh"
read_bench_env "$1" || exit 1
planted=$planted_dll ini=$tool_ini work=$2
# shellcheck source=../lib/tool_session.sh
source "$here/../lib/tool_session.sh"
base_overrides=$WINEDLLOVERRIDES
failed=0
fail() { echo "FAIL [$name] $*"; failed=1; }

for name in powrprof gdiplus comctl32; do
  dir=$work/$name
  rm -rf "$dir"
  lay_out_tool "$dir" "$tool" "$ini" || fail "the tool could not be laid out"
  cp "$plant_probe" "$dir/plant_probe.exe"
  cp "$planted" "$dir/$name.dll"
  export WINEDLLOVERRIDES="$base_overrides;$name=n,b"

  start_tool "$dir"
  if wait_window 20000; then
    probe close "$tool_title" || fail "WM_CLOSE could not be sent"
  else
    fail "the window did not open"
  fi
  ended "$tool_pid" || fail "the tool did not end"
  [[ -e $dir/planted.ran ]] && fail "the planted $name.dll ran in the tool"

  rm -f "$dir/planted.ran"
  (cd "$dir" && exec timeout 60 wine plant_probe.exe </dev/null >/dev/null 2>&1)
  [[ -e $dir/planted.ran ]] || fail "the planted $name.dll did not run in a program importing it"
done
[[ $failed -eq 0 ]] && echo "no planted DLL ran in the tool; each ran in the probe"
exit $failed
