#!/usr/bin/env bash
# The cases of harness_test.sh, run inside its bench (DISPLAY and WINEPREFIX set).
# Usage: harness_cases.sh BENCH_ENV WORK (BENCH_ENV: tests/lib/bench_env.sh)
set -u -o pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
repo=$(cd "$here/../.." && pwd)
# shellcheck source=../lib/bench_env.sh
source "$repo/tests/lib/bench_env.sh"
read_bench_env "$1" || exit 1
harness=$update_harness work=$2

# shellcheck source=../lib/tool_session.sh
source "$repo/tests/lib/tool_session.sh"
out=$(emulated_out)
mkdir -p "$work/cases/samples"
(cd "$work/cases" && wine "$samples" samples </dev/null >/dev/null 2>&1) || { echo "FAIL nvm-samples"; exit 1; }

passed=0 failed=0
fail() { failed=$((failed + 1)); printf 'FAIL %s\n' "$*"; }

# NAME VERSION IMAGE STATUS WRITTEN POWER ARGS [SCENARIO LINES...]: runs one update on a
# controller holding ctl-156D.dump at VERSION, with IMAGE in the data folder; expects
# STATUS, the image received byte for byte when WRITTEN is "yes" and nothing otherwise,
# and POWER as the driver's requests.
run_case() {
  local name=$1 version=$2 image=$3 status_expected=$4 written=$5 power=$6 args=$7
  shift 7
  local dir="$work/cases/$name"
  mkdir -p "$dir/app/data"
  write_scenario "$dir" "$work/cases/samples" "$version" "$@"
  cp "$harness" "$dir/app/"
  cp "$work/cases/samples/$image" "$dir/app/data/"
  if ! bash "$repo/emulator/prefix.sh" install "$WINEPREFIX" "$components" "$dir/scenario.ini"; then
    fail "$name: install"
    return
  fi
  local output received
  # shellcheck disable=SC2086  # ARGS is a word list
  output=$(timeout 120 wine "$dir/app/update_harness.exe" --settle-ms 300 $args </dev/null 2>/dev/null | tr -d '\r')
  keep_emulated_out "$dir"
  if [[ "$output" != "status=$status_expected" ]]; then fail "$name: '$output', expected status=$status_expected"; return; fi
  if [[ $written == yes ]]; then
    received=$(received_only "$dir/app/data/$image")
    [[ -z "$received" ]] || { fail "$name: $received"; return; }
  elif [[ -s "$out/written-images.txt" ]]; then
    fail "$name: an image was written"
    return
  fi
  if [[ "$(power_requests)" != "$power" ]]; then fail "$name: power requests '$(power_requests)', expected '$power'"; return; fi
  passed=$((passed + 1))
}

on_off=$power_on_off
run_case success 0x1A img-156D.bin 0x00000000 yes "$on_off" ""
[[ "$(lines "$work/cases/success/out/service.txt")" == start ]] || fail "success: the service did not start"
run_case equal-version 0x1B img-156D.bin 0x00000000 yes "$on_off" ""
run_case downgrade-refused 0x30 img-156D.bin 0x1043000C no "$on_off" ""
run_case downgrade-allowed 0x30 img-156D.bin 0x00000000 yes "$on_off" --downgradable
run_case field-mismatch 0x1A img-156D-src0-80.bin 0x10430006 no "$on_off" ""
run_case provider-refuses 0x1A img-156D.bin 0x00000005 no "$on_off" "" "[return_values]" "UpdateFirmware = 5"
run_case no-instance 0x1A img-156D.bin 0x10430002 no "$on_off" "" "[faults]" "NoInstance = 1"
run_case service-missing 0x1A img-156D.bin 0x10430003 no "$on_off" "" "[faults]" "ServiceMissing = 1"
run_case no-acpi-device 0x1A img-156D.bin 0x10430001 no "" "" "[faults]" "NoAcpiDevice = 1"

echo "passed $passed, failed $failed"
[[ $failed -eq 0 ]]
