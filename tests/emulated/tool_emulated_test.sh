#!/usr/bin/env bash
# The unmodified TbtFwUpdate.exe on the emulated controller: the cases in groups of three,
# side by side, each group in a prefix and on a screen of its own (every run takes at
# least the tool's twenty seconds of fixed waits).
# The unattended runs (/silent, /check, exit codes) go in groups of their own.
# Usage: tool_emulated_test.sh BENCH_ENV WORK (BENCH_ENV: tests/lib/bench_env.sh)
set -u -o pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
env_file=$(realpath "$1") work=$(realpath -m "$2")
# Three or four cases a group; the last four groups are the provider's replies against the method
# contract, METHOD.PARAMETER=FORM.
groups=("success no-instance service-missing pinned" "downgrade-refused downgrade-allowed equal-version pinned-other"
        "field-mismatch provider-refuses refusals on-battery"
        "keyboard $(echo GetCurrentNvmVersion.NvmVersion={null,missing,text})"
        "$(echo ReadFirmware.ReturnValue={null,missing,text}) native-mismatch"
        "$(echo UpdateFirmware.ReturnValue={null,missing,text}) unplugged"
        "$(echo ReadFirmware.data={short,empty,null,missing}) busy-languages")
unattended=("silent-newer silent-older field-mismatch window-codes shutdown log-guards dot-local hostile-data already-current"
            "check-newer check-equal check-older two-copies big-image two-boards rerun attempts sleep-hold"
            "session-end squatters linked-image native-mismatch flash-mismatch two-fit unplugged event"
            "writable-package image-held spoofed-ini")

pids=()
for i in "${!groups[@]}"; do
  rm -rf "$work/group-$i"
  mkdir -p "$work/group-$i"
  # shellcheck disable=SC2086  # the group is a word list
  bash "$here/../wine/bench.sh" run "$work/prefix-$i" 1920x1080 -- \
    bash "$here/tool_emulated_cases.sh" "$env_file" "$work/group-$i" ${groups[$i]} >"$work/group-$i.log" 2>&1 &
  pids+=($!)
done
for j in "${!unattended[@]}"; do
  i=$(( ${#groups[@]} + j ))
  rm -rf "$work/group-$i"
  mkdir -p "$work/group-$i"
  # shellcheck disable=SC2086  # the group is a word list
  bash "$here/../wine/bench.sh" run "$work/prefix-$i" 1920x1080 -- \
    bash "$here/unattended_cases.sh" "$env_file" "$work/group-$i" ${unattended[$j]} >"$work/group-$i.log" 2>&1 &
  pids+=($!)
done
status=0
for i in "${!pids[@]}"; do
  wait "${pids[$i]}" || status=1
  cat "$work/group-$i.log"
done
exit $status
