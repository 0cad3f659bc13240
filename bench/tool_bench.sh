#!/usr/bin/env bash
# Whole-tool figures under Wine, each a median of several runs: start-up against a minimal
# layered window of the same size (the time until the window is on screen, and the CPU
# time the process took until then, which a loaded machine disturbs less), peak resident
# memory, CPU while the window waits for the user, and the size of the executable. Prints
# Markdown rows.
# Usage: tool_bench.sh TOOL_EXE BASELINE_EXE UPDATE_INI PREFIX [RUNS]
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
tool=$(realpath "$1") baseline=$(realpath "$2") ini=$(realpath "$3") prefix=$(realpath -m "$4") runs=${5:-5}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/data"
cp "$tool" "$work/TbtFwUpdate.exe"
cp "$ini" "$work/data/Update.ini"
cp "$baseline" "$work/baseline.exe"

bash "$here/../tests/wine/bench.sh" run "$prefix" 2560x1440 -- bash -c '
  set -u
  cd "$1"
  runs=$2
  title="Vanto Thunderbolt Firmware Update Tool"
  now() { date +%s%N; }
  median() { sort -n | awk "{v[NR]=\$1} END {print v[int((NR+1)/2)]}"; }
  viewable() { xwininfo -name "$1" 2>/dev/null | grep -q "IsViewable"; }
  # Sets ms to the milliseconds from the start until the window is mapped on screen, cpu to
  # the CPU milliseconds the process took until then, and pid to the process, which stays.
  start_and_time() {  # TITLE CMD...
    local title=$1 t0 i
    shift
    t0=$(now)
    "$@" >/dev/null 2>&1 &
    pid=$!
    for i in $(seq 1 3000); do
      viewable "$title" && break
      sleep 0.01
    done
    ms=$(( ($(now) - t0) / 1000000 ))
    cpu=$(awk -v hz="$(getconf CLK_TCK)" "{print int(1000 * (\$14 + \$15) / hz)}" "/proc/$pid/stat")
  }
  # Ends the process and waits until its window is gone, so the next start begins clean.
  stop() {  # TITLE
    local i
    kill "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null || true
    for i in $(seq 1 500); do viewable "$1" || return 0; sleep 0.01; done
  }
  # The first start of a prefix warms its caches; it is not counted.
  start_and_time "$title" wine TbtFwUpdate.exe; stop "$title"
  tool=() base=() tool_cpu=() base_cpu=()
  for r in $(seq 1 "$runs"); do
    start_and_time "$title" wine TbtFwUpdate.exe; tool+=("$ms"); tool_cpu+=("$cpu"); stop "$title"
    start_and_time "Minimal Layered Window" wine baseline.exe 1560 1240; base+=("$ms"); base_cpu+=("$cpu")
    stop "Minimal Layered Window"
  done
  tool_ms=$(printf "%s\n" "${tool[@]}" | median)
  base_ms=$(printf "%s\n" "${base[@]}" | median)
  tool_cpu_ms=$(printf "%s\n" "${tool_cpu[@]}" | median)
  base_cpu_ms=$(printf "%s\n" "${base_cpu[@]}" | median)

  start_and_time "$title" wine TbtFwUpdate.exe
  sleep 2
  ticks0=$(awk "{print \$14 + \$15}" "/proc/$pid/stat")
  sleep 5
  ticks1=$(awk "{print \$14 + \$15}" "/proc/$pid/stat")
  hwm=$(awk "/VmHWM/ {print \$2}" "/proc/$pid/status")
  stop "$title"
  hz=$(getconf CLK_TCK)
  idle_pct=$(awk -v d=$((ticks1 - ticks0)) -v hz="$hz" "BEGIN {printf \"%.1f\", 100 * d / hz / 5}")
  ratio=$(awk -v a="$tool_ms" -v b="$base_ms" "BEGIN {printf \"%.2f\", a / b}")
  cpu_ratio=$(awk -v a="$tool_cpu_ms" -v b="$base_cpu_ms" "BEGIN {printf \"%.2f\", a / b}")
  echo "| start-up to window on screen, full scale | ${tool_ms} ms against ${base_ms} ms for a minimal layered window | ${ratio}× | ≤ 1.5× |"
  echo "| CPU time of the start-up, full scale | ${tool_cpu_ms} ms against ${base_cpu_ms} ms for a minimal layered window | ${cpu_ratio}× | |"
  echo "| CPU while waiting for the user (5 s) | ${idle_pct} % of one core | | 0 |"
  echo "| peak resident memory, full scale | $((hwm / 1024)) MiB (Wine included) | | |"
' tool-bench "$work" "$runs"
size=$(stat -c %s "$tool")
echo "| size of TbtFwUpdate.exe | $((size / 1024)) KiB | $(awk -v s="$size" 'BEGIN {printf "%.2f", s / 1572864}')× of the goal | ≤ 1.5 MB |"
