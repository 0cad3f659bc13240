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
# shellcheck source=../tests/lib/tool_session.sh
source "$here/../tests/lib/tool_session.sh"
lay_out_tool "$work" "$tool" "$ini"
cp "$baseline" "$work/baseline.exe"

bash "$here/../tests/wine/bench.sh" run "$prefix" 2560x1440 -- bash "$here/tool_figures.sh" "$work" "$runs"
size=$(stat -c %s "$tool")
echo "| size of TbtFwUpdate.exe | $((size / 1024)) KiB | $(awk -v s="$size" 'BEGIN {printf "%.2f", s / 1572864}')× of the goal | ≤ 1.5 MB |"
