#!/usr/bin/env bash
# The unmodified TbtFwUpdate.exe on the emulated controller: the cases in three groups,
# side by side, each group in a prefix and on a screen of its own (every run takes at
# least the tool's twenty seconds of fixed waits).
# Usage: tool_emulated_test.sh TOOL PROBE ANSWERS CHECK SAMPLES COMPONENTS INI SHOTS WORK
# with TBTFW_PINNED_TOOL and TBTFW_PLANTED_DLL in the environment (tool_emulated_cases.sh).
set -u
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
args=()
for path in "${@:1:8}"; do args+=("$(realpath -m "$path")"); done
work=$(realpath -m "$9")
groups=("success no-instance service-missing" "downgrade-refused downgrade-allowed equal-version"
        "field-mismatch provider-refuses pinned pinned-other")

pids=()
for i in "${!groups[@]}"; do
  rm -rf "$work/group-$i"
  mkdir -p "$work/group-$i"
  # shellcheck disable=SC2086  # the group is a word list
  bash "$here/../wine/bench.sh" run "$work/prefix-$i" 1920x1080 -- \
    bash "$here/tool_emulated_cases.sh" "$work/group-$i" "${args[@]}" ${groups[$i]} >"$work/group-$i.log" 2>&1 &
  pids+=($!)
done
status=0
for i in "${!pids[@]}"; do
  wait "${pids[$i]}" || status=1
  cat "$work/group-$i.log"
done
exit $status
