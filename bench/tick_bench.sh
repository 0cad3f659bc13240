#!/usr/bin/env bash
# The cost of one busy-indicator tick at full scale (frame decode + whole-window compose):
# the tool's CPU time while a long update runs on the emulated controller, divided by the
# ticks in that time, against the cost of copying one frame's bytes measured in the same
# run. Prints one Markdown row.
# Usage: tick_bench.sh TOOL PROBE COMPONENTS SAMPLES_EXE UPDATE_INI PREFIX
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
repo=$(cd "$here/.." && pwd)
tool=$(realpath "$1") probe=$(realpath "$2") components=$(realpath "$3") samples=$(realpath "$4")
ini=$(realpath "$5") prefix=$(realpath -m "$6")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/app/data" "$work/samples"
(cd "$work" && "$samples" samples >/dev/null)
cp "$tool" "$work/app/TbtFwUpdate.exe"
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
  bash "$repo/emulator/prefix.sh" install "$WINEPREFIX" "$components" "$work/scenario.ini" >/dev/null 2>&1
  (cd "$work/app" && exec wine TbtFwUpdate.exe </dev/null >/dev/null 2>&1) &
  pid=$!
  wine "$probe" wait "$title" 30000 >/dev/null 2>&1
  click "$title" 1003
  # Ten seconds for the service, then the validation; the write then takes fifteen.
  sleep 12
  seconds=8
  t0=$(awk "{print \$14 + \$15}" "/proc/$pid/stat")
  sleep $seconds
  t1=$(awk "{print \$14 + \$15}" "/proc/$pid/stat")
  kill $pid 2>/dev/null
  hz=$(getconf CLK_TCK)
  awk -v d=$((t1 - t0)) -v hz="$hz" -v s=$seconds "BEGIN { printf \"%.2f\n\", 1000 * d / hz / (s * 10) }" >"$work/tick-ms"
' tick-bench "$work" "$probe" "$components" "$repo"

tick=$(cat "$work/tick-ms")
# One frame at full scale: 1560 x 1240 pixels of 4 bytes.
copy=$(python3 -c '
import time
frame = bytearray(1560 * 1240 * 4)
runs = []
for _ in range(50):
    t = time.perf_counter(); bytes(frame); runs.append(time.perf_counter() - t)
runs.sort(); print("%.3f" % (runs[len(runs) // 2] * 1000))')
ratio=$(awk -v a="$tick" -v b="$copy" 'BEGIN { printf "%.0f", a / b }')
core=$(awk -v a="$tick" 'BEGIN { printf "%.0f", a * 10 / 10 }')
echo "| one busy-indicator tick at full scale (frame decode + compose), CPU time | ${tick} ms per tick (${core} % of one core at 10 ticks a second), against ${copy} ms to copy one frame's bytes | ${ratio}× | ≤ 10 ms per tick |"
