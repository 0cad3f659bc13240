#!/usr/bin/env bash
# The unmodified TbtFwUpdate.exe without its window (/silent, /check) and the exit codes of
# every way it ends, on the emulated controller, one case after another in one prefix; run
# inside the Wine bench (DISPLAY and WINEPREFIX set). Exit codes are read in full through
# exit_code_probe, which also counts the windows the tool showed.
# Usage: unattended_cases.sh WORK TOOL EXIT_PROBE WINDOW_PROBE SAMPLES COMPONENTS INI CASE...
set -u -o pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
repo=$(cd "$here/../.." && pwd)
work=$1 tool=$2 exit_probe=$3 probe=$4 samples=$5 components=$6 ini=$7
shift 7
# shellcheck source=scenario_case.sh
source "$here/scenario_case.sh"
title="Vanto Thunderbolt Firmware Update Tool"
passed=0 failed=0

# NAME VERSION IMAGE: a folder laid out as the tool ships, with IMAGE, on a controller at
# VERSION installed in the prefix. Prints the app folder.
prepare() {
  local name=$1 version=$2 image=$3 dir="$work/$1"
  mkdir -p "$dir/app/data"
  write_scenario "$dir" "$work/samples" "$version" || return 1
  cp "$tool" "$dir/app/TbtFwUpdate.exe" && cp "$ini" "$dir/app/data/Update.ini" && cp "$exit_probe" "$dir/app/" &&
    cp "$work/samples/$image" "$dir/app/data/" || return 1
  bash "$repo/emulator/prefix.sh" install "$WINEPREFIX" "$components" "$dir/scenario.ini" || return 1
  echo "$dir/app"
}

# APP ARGS...: runs the tool from APP through the exit-code probe; prints "exit=N windows=W".
run_tool() {
  local app=$1
  shift
  (cd "$app" && wine exit_code_probe_win32.exe TbtFwUpdate.exe "$@" </dev/null 2>/dev/null | tr -d '\r')
}

# NAME VERSION IMAGE MODE CODE WRITTEN: one unattended run; the exit code in full, no window,
# the image received byte for byte or nothing written, the controller powered on then off,
# and a log naming the run's facts.
unattended_case() {
  local name=$1 version=$2 image=$3 mode=$4 code=$5 written=$6 app
  app=$(prepare "$name" "$version" "$image") || { expect "$name" prepared yes no; return; }
  expect "$name" "exit code, no window" "exit=$code windows=0" "$(run_tool "$app" "$mode" /log:run.log)"
  if [[ $written == yes ]]; then
    expect "$name" "image received" "" "$(received_only "$app/data/$image")"
  else
    expect "$name" "nothing written" "" "$(lines "$(emulated_out)/written-images.txt")"
  fi
  expect "$name" "power requests" "$power_on_off" "$(power_requests)"
  local log="$app/run.log" sha
  sha=$(sha256sum "$app/data/$image" | cut -d' ' -f1)
  expect "$name" "every line stamped" "" "$(grep -avE '^[0-9]{4}-[0-9]{2}-[0-9]{2} [0-9]{2}:[0-9]{2}:[0-9]{2}\.[0-9]{3} ' "$log")"
  expect "$name" "log names the image" 1 "$(grep -ac "image .*\\\\data\\\\$image, $(stat -c %s "$app/data/$image") bytes, SHA-256 $sha" "$log")"
  expect "$name" "log names the controller" 1 "$(grep -acE "controller .+, NVM version 0x000000${version#0x}" "$log")"
  expect "$name" "log ends with the exit code" "exit code $code" "$(tail -n 1 "$log" | tr -d '\r' | cut -d' ' -f3-)"
}

case_field_mismatch() {
  unattended_case field-mismatch 0x1A img-156D-src0-80.bin /silent 1603 no
  expect field-mismatch "log holds the status" 1 "$(grep -ac 'status 0x10430006: ' "$work/field-mismatch/app/run.log")"
}

# Two /silent copies at once: one updates, the other ends at once with 1618.
case_two_copies() {
  local app first second
  app=$(prepare two-copies 0x1A img-156D.bin) || { expect two-copies prepared yes no; return; }
  run_tool "$app" /silent >"$work/two-copies/first.txt" &
  first=$!
  # The second starts once the first holds the controller's power.
  for _ in $(seq 1 200); do [[ -s "$(emulated_out)/acpi-requests.txt" ]] && break; sleep 0.1; done
  second=$(run_tool "$app" /silent)
  wait "$first"
  expect two-copies "the second copy" "exit=1618 windows=0" "$second"
  expect two-copies "the first copy" "exit=3010 windows=0" "$(cat "$work/two-copies/first.txt")"
  expect two-copies "written once" "" "$(received_only "$app/data/img-156D.bin")"
}

# The window closed without an update: 1602; a wrongly given switch: 1639 and no window.
case_window_codes() {
  local app result
  app=$(prepare window-codes 0x1A img-156D.bin) || { expect window-codes prepared yes no; return; }
  run_tool "$app" >"$work/window-codes/closed.txt" &
  local runner=$!
  if wine "$probe" wait "$title" 60000 >/dev/null 2>&1; then
    wine "$probe" close "$title" >/dev/null 2>&1
  fi
  wait "$runner"
  expect window-codes "closed without an update" "exit=1602 windows=1" "$(cat "$work/window-codes/closed.txt")"
  expect window-codes "/log: without a path" "exit=1639 windows=0" "$(run_tool "$app" /silent /log:)"
  expect window-codes "a log in a missing folder" "exit=1639 windows=0" "$(run_tool "$app" /silent '/log:C:\no\such\folder\x.log')"
  expect window-codes "nothing run" "" "$(power_requests)"
}

mkdir -p "$work/samples"
(cd "$work" && wine "$samples" samples </dev/null >/dev/null 2>&1) || { echo "FAIL nvm-samples"; exit 1; }

for case in "$@"; do
  case $case in
    silent-newer) unattended_case silent-newer 0x1A img-156D.bin /silent 3010 yes ;;
    silent-older) unattended_case silent-older 0x30 img-156D.bin /silent 0 no ;;
    field-mismatch) case_field_mismatch ;;
    check-newer) unattended_case check-newer 0x1A img-156D.bin /check 0 no ;;
    check-equal) unattended_case check-equal 0x1B img-156D.bin /check 1 no ;;
    check-older) unattended_case check-older 0x30 img-156D.bin /check 2 no ;;
    two-copies) case_two_copies ;;
    window-codes) case_window_codes ;;
    *) expect "$case" "known case" yes no ;;
  esac
done

echo "[$*] $passed passed, $failed failed"
[[ $failed -eq 0 ]]
