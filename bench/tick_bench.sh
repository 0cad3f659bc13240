#!/usr/bin/env bash
# The cost of one busy-indicator tick at full scale (frame decode + compose + hand-over):
# the tool's CPU time while a long update runs on the emulated controller, divided by the
# ticks in that time, against the same figure for a minimal program that hands over only
# a spinner-sized square of a same-size layered window every 100 ms
# (UpdateLayeredWindowIndirect with a dirty rectangle; bench/minimal_layered_window.cpp),
# measured in the same run, before and after the tool. Prints one Markdown row.
# Usage: tick_bench.sh TOOL PROBE COMPONENTS SAMPLES_EXE UPDATE_INI PREFIX BASELINE_EXE
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
repo=$(cd "$here/.." && pwd)
tool=$(realpath "$1") probe=$(realpath "$2") components=$(realpath "$3") samples=$(realpath "$4")
ini=$(realpath "$5") prefix=$(realpath -m "$6") baseline=$(realpath "$7")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/app/data" "$work/samples"
(cd "$work" && "$samples" samples >/dev/null)
cp "$tool" "$work/app/TbtFwUpdate.exe"
cp "$baseline" "$work/baseline.exe"
cp "$ini" "$work/app/data/Update.ini"
cp "$work/samples/img-156D.bin" "$work/app/data/"
cp "$work/samples/ctl-156D.dump" "$work/region.bin"
printf '[controller]\r\nregion = region.bin\r\nnvm_version = 0x1A\r\nupdate_ms = 15000\r\n' >"$work/scenario.ini"

bash "$repo/tests/wine/bench.sh" run "$prefix" 2560x1440 -- bash -c '
  set -u
  work=$1 probe=$2 components=$3 repo=$4
  title="Vanto Thunderbolt Firmware Update Tool"
  probe() { wine "$probe" "$@" 2>/dev/null | tr -d "\r"; }
  source "$repo/tests/e2e/x_input.sh"
  hz=$(getconf CLK_TCK)
  seconds=8
  # Milliseconds of CPU per 100 ms tick of process $1 over $seconds seconds.
  per_tick() {
    local t0 t1
    t0=$(awk "{print \$14 + \$15}" "/proc/$1/stat")
    sleep $seconds
    t1=$(awk "{print \$14 + \$15}" "/proc/$1/stat")
    awk -v d=$((t1 - t0)) -v hz="$hz" -v s=$seconds "BEGIN { printf \"%.2f\n\", 1000 * d / hz / (s * 10) }"
  }
  viewable() { xwininfo -name "$1" 2>/dev/null | grep -q "IsViewable"; }
  baseline() {
    local pid i
    (cd "$work" && exec wine baseline.exe 1560 1240 132 </dev/null >/dev/null 2>&1) &
    pid=$!
    for i in $(seq 1 3000); do viewable "Minimal Layered Window" && break; sleep 0.01; done
    sleep 2
    per_tick $pid >>"$work/baseline-ms"
    kill $pid 2>/dev/null
    wait $pid 2>/dev/null || true
  }
  baseline
  bash "$repo/emulator/prefix.sh" install "$WINEPREFIX" "$components" "$work/scenario.ini" >/dev/null 2>&1
  (cd "$work/app" && exec wine TbtFwUpdate.exe </dev/null >/dev/null 2>&1) &
  pid=$!
  wine "$probe" wait "$title" 30000 >/dev/null 2>&1
  click "$title" 1003
  # Ten seconds for the service, then the validation; the write then takes fifteen.
  sleep 12
  per_tick $pid >"$work/tick-ms"
  kill $pid 2>/dev/null
  wait $pid 2>/dev/null || true
  baseline
' tick-bench "$work" "$probe" "$components" "$repo"

tick=$(cat "$work/tick-ms")
base=$(awk '{ s += $1 } END { printf "%.2f", s / NR }' "$work/baseline-ms")
ratio=$(awk -v a="$tick" -v b="$base" 'BEGIN { printf "%.2f", a / b }')
core=$(awk -v a="$tick" 'BEGIN { printf "%.0f", a * 10 / 10 }')
echo "| one busy-indicator tick at full scale (frame decode + compose + hand-over), CPU time | ${tick} ms per tick (${core} % of one core at 10 ticks a second), against ${base} ms for handing over a 132 × 132 square of a 1560 × 1240 layered window with UpdateLayeredWindowIndirect | ${ratio}× | ≤ 1.5× |"
