#!/usr/bin/env bash
# Builds TbtFwUpdate.exe and runs it under Wine from a folder laid out as it ships: the
# exe, data/Update.ini and a firmware image made by the image builder. With a display it
# opens there for you to use; without one it runs on a virtual screen, presses Update,
# prints what the window shows and saves screenshots.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
jobs=$(nproc)

cmake --preset native >/dev/null
cmake --build --preset native -j "$jobs" --target nvm-samples >/dev/null
cmake --preset windows >/dev/null
cmake --build --preset windows -j "$jobs" --target TbtFwUpdate window_probe >/dev/null

run=build/tool-run
samples=build/tool-samples
rm -rf "$run" "$samples"
mkdir -p "$run/data" "$samples"
build/native/nvm-samples "$samples" >/dev/null
cp build/windows/app/win32/TbtFwUpdate.exe "$run/"
cp data/Update.ini "$run/data/"
cp "$samples/img-1578.bin" "$run/data/firmware.bin"
prefix=$PWD/build/tool-prefix

if [[ -n "${DISPLAY:-}" ]] && xdpyinfo >/dev/null 2>&1; then
  bash tests/wine/bench.sh prefix "$prefix"
  echo "Starting TbtFwUpdate.exe on $DISPLAY from $run"
  cd "$run" && WINEPREFIX="$prefix" WINEDEBUG=-all wine TbtFwUpdate.exe "$@"
  exit 0
fi

probe=$PWD/build/windows/tests/window_probe.exe
shots=$PWD/build/tool-screenshots
mkdir -p "$shots"
title="Vanto Thunderbolt Firmware Update Tool"
bash tests/wine/bench.sh run "$prefix" 1920x1080 -- bash -c '
  set -u
  cd "$1"
  shift
  probe=$1 shots=$2 title=$3
  shift 3
  wine TbtFwUpdate.exe "$@" >/dev/null 2>&1 &
  wine "$probe" wait "$title" 30000 >/dev/null 2>&1 || { echo "the window did not appear"; exit 1; }
  sleep 1
  import -window root "$shots/ready.png"
  echo "The window:"
  wine "$probe" list "$title" 2>/dev/null | tr -d "\r" | sed "s/^/  /"
  echo "Pressing Update (this machine has no ACPI driver of the notebook)..."
  wine "$probe" click "$title" 1003 >/dev/null 2>&1
  sleep 2
  import -window root "$shots/after-update.png"
  wine "$probe" list "$title" 2>/dev/null | tr -d "\r" | grep "^id=1004" | sed "s/^id=1004 visible=1 enabled=1 text=/  Message: /"
  wine "$probe" click "$title" 1 >/dev/null 2>&1
  wine "$probe" gone "$title" 10000 >/dev/null 2>&1
' run-tool "$PWD/$run" "$probe" "$shots" "$title" "$@"
echo "Screenshots: $shots/ready.png, $shots/after-update.png"
