#!/usr/bin/env bash
# Builds and runs the native benchmarks and, when the Windows build is there, the whole-tool
# bench under Wine (bench/tool_bench.sh, bench/tick_bench.sh, bench/startup_probe.exe); prints the tables and writes
# docs/performance.md, keeping its hand-written part (from "## Where the time goes" on).
# Every native timing is the median of REPETITIONS runs (default 9), interleaved at random
# with its baseline's, as a ratio to that baseline.
# Usage: bench/run.sh [REPETITIONS]
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
repetitions=${1:-9}
out=docs/performance.md
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

load_before=$(cut -d' ' -f1-3 /proc/loadavg)
cmake --preset native >/dev/null
cmake --build --preset native -j "$(nproc)" --target tbtfw_bench >/dev/null
build/native/bench/tbtfw_bench --benchmark_repetitions="$repetitions" --benchmark_enable_random_interleaving=true \
  --benchmark_min_time=0.2 >"$work/native.md" 2>"$work/console.log" || { cat "$work/console.log" "$work/native.md"; exit 1; }
cat "$work/native.md"

# The whole tool under Wine (bench/tool_bench.sh), when the Windows build is there.
exe=""
for candidate in build/windows/TbtFwUpdate.exe build/windows/app/win32/TbtFwUpdate.exe; do
  [[ -f $candidate ]] && { exe=$candidate; break; }
done
baseline_exe=build/windows/bench/minimal_layered_window.exe
if [[ -n $exe && -f $baseline_exe ]]; then
  timeout 900 bash bench/tool_bench.sh "$exe" "$baseline_exe" data/Update.ini build/windows/wineprefix 9 \
    | grep -v '^| size of' >"$work/tool.md" || echo "| whole-tool bench | did not finish | | |" >"$work/tool.md"
  # The busy indicator's cost while a long update runs on the emulated controller.
  emulator=build/windows/emulator/win32
  if [[ -f $emulator/tbtemu_wmi.dll && -f build/native/emulator/nvm-samples ]]; then
    timeout 300 bash bench/tick_bench.sh "$exe" build/windows/tests/window_probe.exe "$emulator" \
      build/native/emulator/nvm-samples data/Update.ini build/bench-tick-prefix "$baseline_exe" >"$work/tick.md" \
      || echo "| one busy-indicator tick | did not finish | | ≤ 1.5× |" >"$work/tick.md"
  fi
  # The start-up's steps inside the process: GDI+ and the pictures' decoding.
  probe=build/windows/bench/startup_probe.exe
  if [[ -f $probe ]]; then
    timeout 300 bash tests/wine/bench.sh run build/windows/wineprefix 2560x1440 -- wine "$probe" "$exe" 9 \
      | grep '^|' >"$work/steps.md" || echo "| start-up steps | did not finish | |" >"$work/steps.md"
  fi
else
  echo "| start-up, idle CPU, memory | not measured: build the windows preset first | | |" >"$work/tool.md"
fi
[[ -s $work/steps.md ]] || echo "| start-up steps | not measured: build the windows preset first | |" >"$work/steps.md"
[[ -s $work/tick.md ]] || echo "| one busy-indicator tick at full scale | not measured: build both presets first | | ≤ 1.5× |" >"$work/tick.md"

# The program's size, stripped as the release package holds it, against 1.5 MiB.
goal=$((3 * 1024 * 1024 / 2))
if [[ -n $exe ]]; then
  i686-w64-mingw32-strip -o "$work/stripped.exe" "$exe"
  size=$(stat -c %s "$work/stripped.exe")
  size_row="| size of TbtFwUpdate.exe, stripped as packaged | $size bytes ($(stat -c %s "$exe") with symbols in the build tree) | $(awk -v s="$size" -v g="$goal" 'BEGIN { printf "%.2f", s / g }')× of the goal | ≤ 1.5 MiB ($goal bytes) |"
else
  size_row="| size of TbtFwUpdate.exe | not measured: build the windows preset first | | ≤ 1.5 MiB |"
fi

# The analysis below the tables is written by hand; a new run keeps it.
kept=""
[[ -f $out ]] && kept=$(sed -n '/^## Where the time goes/,$p' "$out")

{
  echo "# Performance"
  echo
  echo "Written by \`bash bench/run.sh\` on $(date -u +%Y-%m-%d) at commit $(git rev-parse --short HEAD), on a"
  echo "shared $(nproc)-core machine. Absolute times there are noise, so every timing is the median of"
  echo "several repetitions divided by the median of a baseline measured in the same run. Lower is"
  echo "better; a ratio that grows between two runs is the signal to look at."
  echo
  echo "## Native (Google Benchmark)"
  echo
  echo "$repetitions repetitions, each case's interleaved at random with its baseline's; CPU time."
  echo "\`ValidateImage\` runs against the emulated controller (a fresh one per pass, as the"
  echo "tool meets it) on a matching image made by the NVM image builder: small images against"
  echo "the controller's set-up and a copy of the image, and images of firmware's real sizes"
  echo "(256 KiB and 1 MiB, the region filling the file) against a copy of the image alone, the"
  echo "controller's set-up left out of the timing as the tool's controller is already there"
  echo "(goal for 1 MiB: at most 2× the copy). \`ReadFirmware\` is"
  echo "the number of controller reads one validation made and \`implied\` the number the rules"
  echo "imply (one read per aligned word of each field looked at, each field once); the bench"
  echo "fails when they differ. \`LoadLocalizedTextFrom\` reads \`data/Update.ini\` through the"
  echo "portable profile reader, which reads and parses the file at every lookup (two per"
  echo "text: the language's section, then the text; three when the language falls back)."
  echo
  cat "$work/native.md"
  echo
  echo "## Whole tool"
  echo
  echo "Under Wine at full scale (2560x1440), 9 starts each, interleaved (\`bench/tool_bench.sh\`)."
  echo "Load average (1, 5, 15 minutes) when the run began: $load_before; when it ended: $(cut -d' ' -f1-3 /proc/loadavg)."
  echo "Wall times on a loaded machine move with the load; the CPU rows move less."
  echo
  echo "| figure | measured | ratio | goal |"
  echo "|---|---|---|---|"
  cat "$work/tool.md"
  cat "$work/tick.md"
  echo "$size_row"
  echo
  echo "The busy-indicator row comes from \`bench/tick_bench.sh\`: the emulated controller's"
  echo "\`UpdateFirmware\` takes 15 s, and the tool's own CPU time over 8 s of it is divided by"
  echo "the 80 ticks in that time; its baseline is \`bench/minimal_layered_window.exe 1560 1240 132\`,"
  echo "which every 100 ms changes a 132 × 132 square of a window of the tool's size and hands"
  echo "over only that square (\`UpdateLayeredWindowIndirect\` with a dirty rectangle), measured"
  echo "the same way before and after the tool, the two figures averaged."
  echo
  echo "### The start-up's steps inside the process"
  echo
  echo "\`bench/startup_probe.exe\` under Wine, at full scale, reading the pictures from the"
  echo "tool's own resources: wall time of each step (the machine's load included)."
  echo
  echo "| step | time | |"
  echo "|---|---:|---|"
  cat "$work/steps.md"
  if [[ -n $kept ]]; then
    echo
    echo "$kept"
  fi
} >"$out"
echo
cat "$work/tool.md"
cat "$work/tick.md"
echo "$size_row"
cat "$work/steps.md"
echo "written: $out"
