#!/usr/bin/env bash
# Builds and runs every test: native, native under the sanitizers, bounded fuzzing, and the
# Windows build under Wine. Run scripts/bootstrap.sh first on a fresh machine.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
jobs=$(nproc)

for preset in native native-asan; do
  echo "== $preset"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j "$jobs"
  ctest --preset "$preset" -j "$jobs"
done

echo "== clang-tidy (bugprone checks) on the natively built sources"
sources=$(git ls-files 'app/*.cpp' 'skin/*.cpp' 'controller/*.cpp' 'emulator/*.cpp' 'tools/*.cpp' | grep -v '_win32')
if ! tidy=$(clang-tidy -p build/native --quiet $sources 2>&1); then
  echo "$tidy" | grep -vE '^[0-9]+ warnings (generated|treated as errors)'
  exit 1
fi

echo "== fuzz (clang, libFuzzer, AddressSanitizer; about a minute per target)"
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j "$jobs"
bash fuzz/run.sh build/fuzz 60

echo "== windows (under Wine)"
cmake --preset windows >/dev/null
cmake --build --preset windows -j "$jobs"
bash tests/wine/bench.sh run build/windows/wineprefix 1920x1080 -- ctest --preset windows -j "$jobs"
