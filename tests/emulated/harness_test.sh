#!/usr/bin/env bash
# The production update procedure (update_harness.exe) against the emulated controller
# installed in a prefix of its own, one scenario after another.
# Usage: harness_test.sh UPDATE_HARNESS NVM_SAMPLES COMPONENTS WORK
set -u
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
repo=$(cd "$here/../.." && pwd)
harness=$(realpath "$1") samples=$(realpath "$2") components=$(realpath "$3") work=$(realpath -m "$4")

if [[ "${INSIDE_BENCH:-}" != 1 ]]; then
  rm -rf "$work/cases"
  mkdir -p "$work"
  # A bench of its own: prefix, display and server, all stopped at the end.
  INSIDE_BENCH=1 exec bash "$repo/tests/wine/bench.sh" run "$work/prefix" 800x600 -- bash "$0" "$@"
fi

out="$WINEPREFIX/drive_c/TbtEmulator/out"
mkdir -p "$work/cases/samples"
(cd "$work/cases" && wine "$samples" samples </dev/null >/dev/null 2>&1) || { echo "FAIL nvm-samples"; exit 1; }

passed=0 failed=0
# A file's lines as the Windows side wrote them, without carriage returns; empty if none.
lines() { tr -d '\r' 2>/dev/null <"$1"; }
fail() { failed=$((failed + 1)); printf 'FAIL %s\n' "$*"; }

# NAME VERSION IMAGE STATUS WRITTEN ARGS [SCENARIO LINES...]: runs one update on a
# controller holding ctl-156D.dump at VERSION, with IMAGE in the data folder; expects
# STATUS, and the image received byte for byte when WRITTEN is "yes".
run_case() {
  local name=$1 version=$2 image=$3 status_expected=$4 written=$5 args=$6
  shift 6
  local dir="$work/cases/$name"
  mkdir -p "$dir/app/data"
  cp "$work/cases/samples/ctl-156D.dump" "$dir/region.bin"
  { printf '[controller]\r\nregion = region.bin\r\nnvm_version = %s\r\n' "$version"; printf '%s\r\n' "$@"; } >"$dir/scenario.ini"
  cp "$harness" "$dir/app/"
  cp "$work/cases/samples/$image" "$dir/app/data/"
  if ! bash "$repo/emulator/prefix.sh" install "$WINEPREFIX" "$components" "$dir/scenario.ini"; then
    fail "$name: install"
    return
  fi
  local output
  # shellcheck disable=SC2086  # ARGS is a word list
  output=$(timeout 120 wine "$dir/app/update_harness.exe" --settle-ms 300 $args </dev/null 2>/dev/null | tr -d '\r')
  cp -r "$out" "$dir/out"
  if [[ "$output" != "status=$status_expected" ]]; then fail "$name: '$output', expected status=$status_expected"; return; fi

  local sha
  sha=$(sha256sum "$dir/app/data/$image" | cut -d' ' -f1)
  if [[ $written == yes ]]; then
    if [[ "$(lines "$out/written-images.txt")" != "$sha $(stat -c %s "$dir/app/data/$image")" ]]; then
      fail "$name: written images: $(lines "$out/written-images.txt")"
      return
    fi
    cmp -s "$dir/app/data/$image" "$out/written-image-$sha.bin" || { fail "$name: the received bytes differ"; return; }
  elif [[ -s "$out/written-images.txt" ]]; then
    fail "$name: an image was written"
    return
  fi
  passed=$((passed + 1))
}

# The power requests of a run: on, then off, whatever the outcome once the device opened.
expect_power() {
  local name=$1 expected=$2 actual
  actual=$(lines "$work/cases/$name/out/acpi-requests.txt" | paste -sd, -)
  if [[ "$actual" != "$expected" ]]; then fail "$name: power requests '$actual', expected '$expected'"; else passed=$((passed + 1)); fi
}

on_off="DEVS 0x00060057 0x00000001,DEVS 0x00060057 0x00000000"
run_case success 0x1A img-156D.bin 0x00000000 yes ""
expect_power success "$on_off"
[[ "$(lines "$work/cases/success/out/service.txt")" == start ]] || fail "success: the service did not start"
[[ "$(cat "$work/cases/success/out/../out/acpi-requests.txt" | wc -l)" == 2 ]] || true
run_case equal-version 0x1B img-156D.bin 0x00000000 yes ""
run_case downgrade-refused 0x30 img-156D.bin 0x1043000C no ""
run_case downgrade-allowed 0x30 img-156D.bin 0x00000000 yes --downgradable
run_case field-mismatch 0x1A img-156D-src0-80.bin 0x10430006 no ""
expect_power field-mismatch "$on_off"
run_case provider-refuses 0x1A img-156D.bin 0x00000005 no "" "[return_values]" "UpdateFirmware = 5"
run_case no-instance 0x1A img-156D.bin 0x10430002 no "" "[faults]" "NoInstance = 1"
run_case service-missing 0x1A img-156D.bin 0x10430003 no "" "[faults]" "ServiceMissing = 1"
expect_power service-missing "$on_off"
run_case no-acpi-device 0x1A img-156D.bin 0x10430001 no "" "[faults]" "NoAcpiDevice = 1"
expect_power no-acpi-device ""

echo "passed $passed, failed $failed"
[[ $failed -eq 0 ]]
