#!/usr/bin/env bash
# The whole-tool figures of bench/tool_bench.sh, measured inside the Wine bench
# (tests/wine/bench.sh run; DISPLAY and WINEPREFIX set), each a median of RUNS starts:
# start-up against a minimal layered window of the same size, the CPU time of the
# start-up, CPU while the window waits for the user, and peak resident memory. Prints
# Markdown rows.
# Usage: tool_figures.sh APP RUNS   (APP: the tool laid out as it ships, beside baseline.exe)
set -u -o pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
app=$1 runs=$2
# shellcheck source=../tests/lib/tool_session.sh
source "$here/../tests/lib/tool_session.sh"
readonly baseline_title="Minimal Layered Window"
hz=$(getconf CLK_TCK)

now() { date +%s%N; }
median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
# PID: the clock ticks of CPU (user and system) process PID has taken.
cpu_ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat"; }

start_baseline() {
  (cd "$app" && exec wine baseline.exe 1560 1240 </dev/null >/dev/null 2>&1) &
  pid=$!
}
start_app() {
  start_tool "$app"
  pid=$tool_pid
}

# TITLE START: runs the function START, which starts a program and sets pid; sets ms to the
# milliseconds from the start until the window titled TITLE is mapped on screen (polled
# every 10 ms, at most 30 s), and cpu to the CPU milliseconds the process took until then.
# The process stays.
start_and_time() {
  local title=$1 start=$2 t0 i
  t0=$(now)
  "$start"
  for ((i = 0; i < 3000; i++)); do
    on_screen "$title" && break
    sleep 0.01
  done
  ms=$(( ($(now) - t0) / 1000000 ))
  cpu=$(( 1000 * $(cpu_ticks "$pid") / hz ))
}

# TITLE: ends the process and waits until its window is gone (at most 5 s), so the next
# start begins clean.
stop() {
  local i
  kill "$pid" 2>/dev/null
  wait "$pid" 2>/dev/null || true
  for ((i = 0; i < 500; i++)); do
    on_screen "$1" || return 0
    sleep 0.01
  done
}

# The first start of a prefix warms its caches; it is not counted.
start_and_time "$tool_title" start_app; stop "$tool_title"
tool=() base=() tool_cpu=() base_cpu=()
for ((r = 0; r < runs; r++)); do
  start_and_time "$tool_title" start_app; tool+=("$ms"); tool_cpu+=("$cpu"); stop "$tool_title"
  start_and_time "$baseline_title" start_baseline; base+=("$ms"); base_cpu+=("$cpu"); stop "$baseline_title"
done
tool_ms=$(printf '%s\n' "${tool[@]}" | median)
base_ms=$(printf '%s\n' "${base[@]}" | median)
tool_cpu_ms=$(printf '%s\n' "${tool_cpu[@]}" | median)
base_cpu_ms=$(printf '%s\n' "${base_cpu[@]}" | median)

# Idle: the CPU the waiting window takes over five seconds, once it has settled for two.
start_and_time "$tool_title" start_app
sleep 2
ticks0=$(cpu_ticks "$pid")
sleep 5
ticks1=$(cpu_ticks "$pid")
hwm=$(awk '/VmHWM/ { print $2 }' "/proc/$pid/status")
stop "$tool_title"
idle_pct=$(awk -v d=$((ticks1 - ticks0)) -v hz="$hz" 'BEGIN { printf "%.1f", 100 * d / hz / 5 }')
ratio=$(awk -v a="$tool_ms" -v b="$base_ms" 'BEGIN { printf "%.2f", a / b }')
cpu_ratio=$(awk -v a="$tool_cpu_ms" -v b="$base_cpu_ms" 'BEGIN { printf "%.2f", a / b }')
echo "| start-up to window on screen, full scale | ${tool_ms} ms against ${base_ms} ms for a minimal layered window | ${ratio}× | ≤ 1.5× |"
echo "| CPU time of the start-up, full scale | ${tool_cpu_ms} ms against ${base_cpu_ms} ms for a minimal layered window | ${cpu_ratio}× | |"
echo "| CPU while waiting for the user (5 s) | ${idle_pct} % of one core | | 0 |"
echo "| peak resident memory, full scale | $((hwm / 1024)) MiB (Wine included) | | |"
