#!/usr/bin/env bash
# The production update procedure (update_harness.exe) against the emulated controller
# installed in a prefix of its own, one scenario after another (harness_cases.sh), on a
# bench of its own: prefix, display and server, all stopped at the end.
# Usage: harness_test.sh BENCH_ENV WORK (BENCH_ENV: tests/lib/bench_env.sh)
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
work=$(realpath -m "$2")
rm -rf "$work/cases"
mkdir -p "$work"
exec bash "$here/../wine/bench.sh" run "$work/prefix" 800x600 -- \
  bash "$here/harness_cases.sh" "$(realpath "$1")" "$work"
