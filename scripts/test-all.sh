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
  ctest --preset "$preset" -j "$jobs" --output-on-failure
done

echo "== clang-tidy (bugprone and security checks, function size) on the natively built sources"
sources=$(git ls-files 'app/*.cpp' 'skin/*.cpp' 'controller/*.cpp' 'emulator/*.cpp' 'tools/*.cpp' 'common/*.cpp' 'platform/*.cpp' | grep -v -e '/win32/' -e '_win32')
# shellcheck disable=SC2086  # the sources are a word list
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

echo "== clang-tidy on the Windows sources, as the mingw-w64 build compiles them"
# The Windows build's compile commands, read by clang for the i686 mingw-w64 target, with
# the cross compiler's own C++ library headers (clang does not find them by itself).
tidy_args=(--extra-arg=--target=i686-w64-mingw32)
for dir in $(i686-w64-mingw32-g++-posix -xc++ -E -v /dev/null 2>&1 |
             sed -n '/<\.\.\.> search starts/,/End of search/p' | grep '/c++'); do
  tidy_args+=("--extra-arg=-isystem$dir")
done
sources=$(git ls-files 'app/win32/*.cpp' 'platform/win32/*.cpp' 'skin/win32/*.cpp' 'framework/win32/*.cpp' \
                       'emulator/win32/*.cpp' 'tools/tbtfw-check/main_win32.cpp')
# shellcheck disable=SC2086  # the sources are a word list
if ! tidy=$(clang-tidy -p build/windows --quiet "${tidy_args[@]}" $sources 2>&1); then
  echo "$tidy" | grep -vE '^[0-9]+ warnings (generated|treated as errors)'
  exit 1
fi

bash tests/wine/bench.sh run build/windows/wineprefix 1920x1080 -- ctest --preset windows -j "$jobs" --output-on-failure
