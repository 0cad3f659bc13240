#!/usr/bin/env bash
# The cost of one busy-indicator tick at full scale (a kept frame picked, composed, handed over):
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
# shellcheck source=../tests/lib/tool_session.sh
source "$repo/tests/lib/tool_session.sh"
mkdir -p "$work/samples"
(cd "$work" && "$samples" samples >/dev/null)
lay_out_tool "$work/app" "$tool" "$ini" "$work/samples/img-156D.bin"
cp "$baseline" "$work/baseline.exe"
write_scenario "$work" "$work/samples" 0x1A "update_ms = 15000"

bash "$repo/tests/wine/bench.sh" run "$prefix" 2560x1440 -- bash "$here/tick_figures.sh" "$work" "$probe" "$components"

tick=$(cat "$work/tick-ms")
base=$(awk '{ s += $1 } END { printf "%.2f", s / NR }' "$work/baseline-ms")
ratio=$(awk -v a="$tick" -v b="$base" 'BEGIN { printf "%.2f", a / b }')
core=$(awk -v a="$tick" 'BEGIN { printf "%.0f", a * 10 / 10 }')
echo "| one busy-indicator tick at full scale (a kept frame picked, composed, handed over), CPU time | ${tick} ms per tick (${core} % of one core at 10 ticks a second), against ${base} ms for handing over a 132 × 132 square of a 1560 × 1240 layered window with UpdateLayeredWindowIndirect | ${ratio}× | ≤ 1.5× |"
