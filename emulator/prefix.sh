#!/usr/bin/env bash
# Installs the emulated controller into a Wine prefix, and takes it out again.
#
#   prefix.sh install PREFIX COMPONENTS SCENARIO   COMPONENTS: the folder holding
#       hvkacpi.sys, ThunderboltService.exe and tbtemu_wmi.dll (build/windows/emulator/win32);
#       SCENARIO: a scenario file (emulator/scenario.h), its region file beside it
#   prefix.sh teardown PREFIX                      stops the service and the driver
#
# Run it with the prefix's server up and its background services started (inside
# tests/wine/bench.sh run, or after `bench.sh services PREFIX`). Installing again replaces
# the scenario, empties the outputs and leaves the controller powered off and its
# service stopped. Outputs are in PREFIX/drive_c/TbtEmulator/out (see emulator/README.md).
set -euo pipefail

readonly clsid='{4590F811-1D3A-11D0-891F-00AA004B2E24}'
readonly root='C:\TbtEmulator'

# Wine programs inherit our output; quiet, and with no input, they cannot hold a pipe.
quiet() { wine "$@" </dev/null >/dev/null 2>&1; }
service_exists() { wine sc query "$1" </dev/null 2>/dev/null | grep -q SERVICE_NAME; }

# A setting of the scenario's [faults] section: 0 or 1.
fault() { grep -iqE "^[[:space:]]*$1[[:space:]]*=[[:space:]]*1[[:space:]]*$" "$scenario" && echo 1 || echo 0; }

install() {
  local prefix components scenario region dir
  prefix=$(realpath -m "$1") components=$(realpath "$2") scenario=$(realpath "$3")
  export WINEPREFIX=$prefix
  dir="$prefix/drive_c/TbtEmulator"
  region=$(sed -nE 's/^[[:space:]]*region[[:space:]]*=[[:space:]]*([^[:space:]]+)[[:space:]]*$/\1/p' "$scenario" | tr -d '\r' | head -n1)
  [[ -n "$region" && -f "$(dirname "$scenario")/$region" ]] || { echo "prefix.sh: no region file '$region'" >&2; return 1; }

  teardown "$prefix"
  rm -rf "$dir/out" "$dir/state"
  mkdir -p "$dir/out" "$dir/state"
  printf 0 >"$dir/state/power"
  cp "$components/hvkacpi.sys" "$components/ThunderboltService.exe" "$components/tbtemu_wmi.dll" "$dir/"
  cp "$scenario" "$dir/scenario.ini"
  cp "$(dirname "$scenario")/$region" "$dir/$region"

  # The 32-bit registry view is the one a 32-bit program's CoCreateInstance reads.
  quiet reg add "HKLM\\Software\\Classes\\Wow6432Node\\CLSID\\$clsid\\InprocServer32" /ve /d "$root\\tbtemu_wmi.dll" /f
  quiet reg add "HKLM\\Software\\Classes\\Wow6432Node\\CLSID\\$clsid\\InprocServer32" /v ThreadingModel /d Both /f

  # Kept outside the system folders: file-system redirection hides a 32-bit driver there.
  if ! service_exists HvkAcpi; then
    quiet sc create HvkAcpi type= kernel start= demand binPath= "$root\\hvkacpi.sys"
  fi
  if [[ $(fault NoAcpiDevice) == 0 ]]; then
    quiet sc start HvkAcpi || true
    wine sc query HvkAcpi </dev/null 2>/dev/null | grep -q RUNNING || { echo "prefix.sh: the driver did not start" >&2; return 1; }
  fi

  if [[ $(fault ServiceMissing) == 1 ]]; then
    if service_exists ThunderboltService; then quiet sc delete ThunderboltService; fi
  elif ! service_exists ThunderboltService; then
    quiet sc create ThunderboltService type= own start= demand binPath= "$root\\ThunderboltService.exe"
  fi
}

# Stops the service and the driver through the service manager, each waited for (bounded).
teardown() {
  export WINEPREFIX
  WINEPREFIX=$(realpath -m "$1")
  local name tries
  for name in ThunderboltService HvkAcpi; do
    service_exists "$name" || continue
    quiet sc stop "$name" || true
    for ((tries = 0; tries < 50; tries++)); do
      wine sc query "$name" </dev/null 2>/dev/null | grep -q STOPPED && break
      sleep 0.1
    done
  done
}

case "${1:-}" in
  install) shift; install "$@" ;;
  teardown) shift; teardown "$@" ;;
  *) echo "usage: prefix.sh install PREFIX COMPONENTS SCENARIO | teardown PREFIX" >&2; exit 2 ;;
esac
