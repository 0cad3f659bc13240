#!/usr/bin/env bash
# Builds TbtFwUpdate.exe and the emulated controller, installs the controller (ACPI
# driver, service, WMI provider) into a Wine prefix and runs the unmodified tool from a
# folder laid out as it ships: the exe, data/Update.ini and a firmware image made by the
# image builder for that controller. With a display it opens there for you to use;
# without one it runs on a virtual screen, presses Update, saves a screenshot of each
# state and prints the outcome.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
jobs=$(nproc)
title="Vanto Thunderbolt Firmware Update Tool"

# Inside the headless bench: one update, watched from outside.
if [[ "${1:-}" == --headless-run ]]; then
  shift
  run=$1 probe=$2 shots=$3
  shift 3
  out="$WINEPREFIX/drive_c/TbtEmulator/out"
  probe() { wine "$probe" "$@" 2>/dev/null | tr -d '\r'; }
  # shellcheck source=../tests/e2e/x_input.sh
  source tests/e2e/x_input.sh
  message() { probe list "$title" | sed -n 's/^id=1004 visible=1 enabled=1 text=/  /p'; }
  (cd "$run" && exec wine TbtFwUpdate.exe "$@" </dev/null >/dev/null 2>&1) &
  probe wait "$title" 30000 >/dev/null || { echo "the window did not appear"; exit 1; }
  sleep 1  # the first frame reaches the screen
  import -window root "$shots/1-ready.png"
  echo "Ready:"; message
  echo "Pressing Update; the tool waits 10 s for the service and 10 s after writing..."
  click "$title" 1003
  sleep 2
  import -window root "$shots/2-updating.png"
  for _ in $(seq 1 600); do
    [[ "$(probe list "$title" | grep -E '^id=(1|1007) ')" == *"visible=1 enabled=1"* ]] && break
    sleep 0.1
  done
  import -window root "$shots/3-outcome.png"
  echo "Outcome:"; message
  echo "The emulated controller received:"
  tr -d '\r' <"$out/acpi-requests.txt" | sed 's/^/  ACPI request: /'
  tr -d '\r' <"$out/written-images.txt" 2>/dev/null | sed 's/^/  image (SHA-256, bytes): /' || true
  echo "  the image shipped in data/: $(sha256sum "$run/data/firmware.bin" | cut -d' ' -f1) $(stat -c %s "$run/data/firmware.bin")"
  if probe list "$title" | grep -q '^id=1008 visible=1'; then click "$title" 1008; else click "$title" 1; fi
  probe gone "$title" 10000 >/dev/null || true
  exit 0
fi

cmake --preset native >/dev/null
cmake --build --preset native -j "$jobs" --target nvm-samples >/dev/null
cmake --preset windows >/dev/null
cmake --build --preset windows -j "$jobs" --target TbtFwUpdate window_probe tbtemu_acpi tbtemu_service tbtemu_wmi >/dev/null

run=build/tool-run
samples=build/tool-samples
controller=build/tool-controller
rm -rf "$run" "$samples" "$controller"
mkdir -p "$run/data" "$samples" "$controller"
build/native/nvm-samples "$samples" >/dev/null
cp build/windows/app/win32/TbtFwUpdate.exe "$run/"
cp data/Update.ini "$run/data/"
cp "$samples/img-156D.bin" "$run/data/firmware.bin"
# The emulated controller: the builder's region for the same generation, one version older.
cp "$samples/ctl-156D.dump" "$controller/region.bin"
printf '[controller]\r\nregion = region.bin\r\nnvm_version = 0x1A\r\n' >"$controller/scenario.ini"
prefix=$PWD/build/tool-prefix
components=build/windows/emulator/win32

if [[ -n "${DISPLAY:-}" ]] && xdpyinfo >/dev/null 2>&1; then
  bash tests/wine/bench.sh prefix "$prefix"
  export WINEPREFIX=$prefix WINEDEBUG=-all
  # A server of our own for the prefix, stopped (with the driver and service) at the end.
  wineserver -p
  trap 'bash emulator/prefix.sh teardown "$prefix"; wineserver -k' EXIT
  bash tests/wine/bench.sh services "$prefix"
  bash emulator/prefix.sh install "$prefix" "$components" "$controller/scenario.ini"
  echo "Starting TbtFwUpdate.exe on $DISPLAY from $run, with the emulated controller"
  (cd "$run" && wine TbtFwUpdate.exe "$@")
  echo "The emulated controller received (in $prefix/drive_c/TbtEmulator/out):"
  tr -d '\r' <"$prefix/drive_c/TbtEmulator/out/acpi-requests.txt" | sed 's/^/  ACPI request: /'
  tr -d '\r' <"$prefix/drive_c/TbtEmulator/out/written-images.txt" 2>/dev/null | sed 's/^/  image (SHA-256, bytes): /' || true
  exit 0
fi

shots=$PWD/build/tool-screenshots
rm -rf "$shots"
mkdir -p "$shots"
bash tests/wine/bench.sh run "$prefix" 1920x1080 -- bash -c '
  bash emulator/prefix.sh install "$WINEPREFIX" "$1" "$2" && shift 2 && bash scripts/run-tool.sh --headless-run "$@"
' run-tool "$components" "$controller/scenario.ini" "$PWD/$run" "$PWD/build/windows/tests/window_probe.exe" "$shots" "$@"
echo "Screenshots: $shots/1-ready.png, $shots/2-updating.png, $shots/3-outcome.png"
