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
# shellcheck source=../tests/lib/tool_session.sh
source tests/lib/tool_session.sh

cmake --preset native >/dev/null
cmake --build --preset native -j "$jobs" --target nvm-samples >/dev/null
cmake --preset windows >/dev/null
cmake --build --preset windows -j "$jobs" --target TbtFwUpdate window_probe tbtemu_acpi tbtemu_service tbtemu_wmi >/dev/null

run=build/tool-run
samples=build/tool-samples
controller=build/tool-controller
rm -rf "$run" "$samples" "$controller"
mkdir -p "$samples"
build/native/emulator/nvm-samples "$samples" >/dev/null
lay_out_tool "$run" build/windows/app/win32/TbtFwUpdate.exe data/Update.ini "$samples/img-156D-full.bin" firmware.bin
# The emulated controller: the builder's region for the same generation, one version older.
write_scenario "$controller" "$samples" 0x1A
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
  # The tool's exit code tells its outcome (3010, 1602, ...) and is not a failure of this
  # script; Wine keeps only its low 8 bits, so the report below is what to read.
  (cd "$run" && wine TbtFwUpdate.exe "$@") || true
  echo "The emulated controller received (in $(emulated_out)):"
  print_received
  exit 0
fi

shots=$PWD/build/tool-screenshots
rm -rf "$shots"
mkdir -p "$shots"
bash tests/wine/bench.sh run "$prefix" 1920x1080 -- bash scripts/headless_update.sh \
  "$components" "$controller/scenario.ini" "$PWD/$run" "$PWD/build/windows/tests/window_probe.exe" "$shots" "$@"
echo "Screenshots: $shots/1-ready.png, $shots/2-updating.png, $shots/3-outcome.png"
