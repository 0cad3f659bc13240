#!/usr/bin/env bash
# Builds and runs every test: native, native under the sanitizers, and the Windows build
# under Wine. Run scripts/bootstrap.sh first on a fresh machine.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
jobs=$(nproc)

for preset in native native-asan; do
  echo "== $preset"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j "$jobs"
  ctest --preset "$preset" -j "$jobs"
done

echo "== windows (under Wine)"
cmake --preset windows >/dev/null
cmake --build --preset windows -j "$jobs"
bash tests/wine/bench.sh run build/windows/wineprefix 1920x1080 -- ctest --preset windows -j "$jobs"
