# Sourced by the emulated-controller tests: writes one case's scenario and reads what the
# emulated controller recorded. Needs WINEPREFIX set.

# The outputs of the emulated controller in the prefix.
emulated_out() { echo "$WINEPREFIX/drive_c/TbtEmulator/out"; }

# A file's lines as the Windows side wrote them, without carriage returns; empty if none.
lines() { tr -d '\r' 2>/dev/null <"$1"; }

# DIR SAMPLES VERSION [SCENARIO LINES...]: DIR/scenario.ini for a controller holding the
# builder's ctl-156D.dump (from the folder SAMPLES) at NVM version VERSION.
write_scenario() {
  local dir=$1 samples=$2 version=$3
  shift 3
  mkdir -p "$dir"
  cp "$samples/ctl-156D.dump" "$dir/region.bin"
  { printf '[controller]\r\nregion = region.bin\r\nnvm_version = %s\r\n' "$version"; printf '%s\r\n' "$@"; } >"$dir/scenario.ini"
}

# IMAGE: empty when the controller received exactly IMAGE's bytes, and only those;
# otherwise what it received.
received_only() {
  local image=$1 out sha
  out=$(emulated_out)
  sha=$(sha256sum "$image" | cut -d' ' -f1)
  if [[ "$(lines "$out/written-images.txt")" != "$sha $(stat -c %s "$image")" ]] ||
     ! cmp -s "$image" "$out/written-image-$sha.bin"; then
    echo "received: $(lines "$out/written-images.txt" | paste -sd, -)"
  fi
}

# The power requests the driver received, comma-separated.
power_requests() { lines "$(emulated_out)/acpi-requests.txt" | paste -sd, -; }

readonly power_on_off="DEVS 0x00060057 0x00000001,DEVS 0x00060057 0x00000000"

# STATUS: true once the window shows the end state of a run that ended with STATUS: the
# shut-down buttons without Exit after success, otherwise Exit usable. Needs `control`.
settled() {
  if [[ $1 == 0x00000000 ]]; then
    [[ "$(control 1007)" == "id=1007 visible=1"* && "$(control 1008)" == "id=1008 visible=1"* &&
       "$(control 1)" == "id=1 visible=0"* ]]
  else
    [[ "$(control 1)" == "id=1 visible=1 enabled=1"* ]]
  fi
}

# CASE WHAT EXPECTED ACTUAL: counts a check in `passed` or `failed`, printing a failure.
expect() {  # CASE WHAT EXPECTED ACTUAL
  if [[ "$3" == "$4" ]]; then
    passed=$((passed + 1))
  else
    failed=$((failed + 1))
    printf 'FAIL [%s] %s\n  expected: %s\n  actual:   %s\n' "$1" "$2" "$3" "$4"
  fi
}
