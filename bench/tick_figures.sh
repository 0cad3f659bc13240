#!/usr/bin/env bash
# The per-tick figures of bench/tick_bench.sh, measured inside the Wine bench
# (tests/wine/bench.sh run; DISPLAY and WINEPREFIX set): the minimal layered window's CPU
# per 100 ms tick, then the tool's during a long update on the emulated controller, then
# the minimal window's again. Writes WORK/baseline-ms (one line per baseline measurement)
# and WORK/tick-ms.
# Usage: tick_figures.sh WORK WINDOW_PROBE COMPONENTS
#   WORK: app/ (the tool laid out as it ships), baseline.exe, scenario.ini and its region
set -u -o pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
repo=$(cd "$here/.." && pwd)
work=$1 window_probe=$2 components=$3
# shellcheck source=../tests/lib/tool_session.sh
source "$repo/tests/lib/tool_session.sh"
readonly baseline_title="Minimal Layered Window"
hz=$(getconf CLK_TCK)
seconds=8

# PID: the clock ticks of CPU (user and system) process PID has taken.
cpu_ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat"; }

# PID: milliseconds of CPU per 100 ms tick of process PID over $seconds seconds.
per_tick() {
  local t0 t1
  t0=$(cpu_ticks "$1")
  sleep "$seconds"
  t1=$(cpu_ticks "$1")
  awk -v d=$((t1 - t0)) -v hz="$hz" -v s="$seconds" 'BEGIN { printf "%.2f\n", 1000 * d / hz / (s * 10) }'
}

# The minimal window handing over a 132 × 132 square every tick, measured once it has been
# on screen for two seconds.
baseline() {
  local pid i
  (cd "$work" && exec wine baseline.exe 1560 1240 132 </dev/null >/dev/null 2>&1) &
  pid=$!
  for ((i = 0; i < 3000; i++)); do
    on_screen "$baseline_title" && break
    sleep 0.01
  done
  sleep 2
  per_tick "$pid" >>"$work/baseline-ms"
  kill "$pid" 2>/dev/null
  wait "$pid" 2>/dev/null || true
}

baseline
bash "$repo/emulator/prefix.sh" install "$WINEPREFIX" "$components" "$work/scenario.ini" >/dev/null 2>&1 ||
  { echo "tick_figures: the emulated controller could not be installed" >&2; exit 1; }
start_tool "$work/app"
wait_window 30000 || { echo "tick_figures: the tool's window did not appear" >&2; exit 1; }
click "$id_update" || { echo "tick_figures: Update could not be clicked" >&2; exit 1; }
# Ten seconds for the service, then the validation; the write then takes fifteen. Nothing
# outside the tool shows the write beginning, so the measurement starts at a fixed time.
sleep 12
per_tick "$tool_pid" >"$work/tick-ms"
kill "$tool_pid" 2>/dev/null
wait "$tool_pid" 2>/dev/null || true
baseline
