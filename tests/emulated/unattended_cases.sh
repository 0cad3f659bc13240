#!/usr/bin/env bash
# The unmodified TbtFwUpdate.exe without its window (/silent, /check) and the exit codes of
# every way it ends, on the emulated controller, one case after another in one prefix; run
# inside the Wine bench (DISPLAY and WINEPREFIX set). Exit codes are read in full through
# exit_code_probe, which also counts the windows the tool showed.
# Usage: unattended_cases.sh WORK TOOL EXIT_PROBE WINDOW_PROBE SAMPLES COMPONENTS INI CASE...
set -u -o pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
repo=$(cd "$here/../.." && pwd)
work=$1 tool=$2 exit_probe=$3 window_probe=$4 samples=$5 components=$6 ini=$7
shift 7
# shellcheck source=../e2e/tool_session.sh
source "$repo/tests/e2e/tool_session.sh"
passed=0 failed=0

# NAME VERSION IMAGE: a folder laid out as the tool ships, with IMAGE and the exit-code
# probe, on a controller at VERSION installed in the prefix. Prints the app folder.
prepare() {
  local name=$1 version=$2 image=$3 dir="$work/$1"
  write_scenario "$dir" "$work/samples" "$version" || return 1
  lay_out_tool "$dir/app" "$tool" "$ini" "$work/samples/$image" && cp "$exit_probe" "$dir/app/" || return 1
  bash "$repo/emulator/prefix.sh" install "$WINEPREFIX" "$components" "$dir/scenario.ini" || return 1
  echo "$dir/app"
}

# NAME VERSION IMAGE MODE CODE WRITTEN: one unattended run; the exit code in full, no window,
# the image received byte for byte or nothing written, the controller powered on then off,
# and a log naming the run's facts.
unattended_case() {
  local name=$1 version=$2 image=$3 mode=$4 code=$5 written=$6 app
  app=$(prepare "$name" "$version" "$image") || { expect "$name" prepared yes no; return; }
  expect "$name" "exit code, no window" "exit=$code windows=0" "$(run_tool_counted "$app" "$mode" /log:run.log)"
  expect_controller_end "$name" "$app/data/$image" "$written"
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
  run_tool_counted "$app" /silent >"$work/two-copies/first.txt" &
  first=$!
  # The second starts once the first holds the controller's power.
  poll 200 test -s "$(emulated_out)/acpi-requests.txt"
  second=$(run_tool_counted "$app" /silent)
  wait "$first"
  expect two-copies "the second copy" "exit=1618 windows=0" "$second"
  expect two-copies "the first copy" "exit=3010 windows=0" "$(cat "$work/two-copies/first.txt")"
  expect two-copies "written once" "" "$(received_only "$app/data/img-156D.bin")"
}

# The window closed without an update: 1602; a wrongly given switch: 1639 and no window.
case_window_codes() {
  local app
  app=$(prepare window-codes 0x1A img-156D.bin) || { expect window-codes prepared yes no; return; }
  run_tool_counted "$app" >"$work/window-codes/closed.txt" &
  local runner=$!
  if wait_window 60000; then
    probe close "$tool_title" || expect window-codes "WM_CLOSE sent" yes no
  else
    expect window-codes "window appears" yes no
  fi
  wait "$runner"
  expect window-codes "closed without an update" "exit=1602 windows=1" "$(cat "$work/window-codes/closed.txt")"
  expect window-codes "/log: without a path" "exit=1639 windows=0" "$(run_tool_counted "$app" /silent /log:)"
  expect window-codes "a log in a missing folder" "exit=1639 windows=0" "$(run_tool_counted "$app" /silent '/log:C:\no\such\folder\x.log')"
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

checks_summary "$*"
