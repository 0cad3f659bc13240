#!/usr/bin/env bash
# The unmodified TbtFwUpdate.exe under Wine, seen from outside through a window probe and
# screenshots, at half scale (1920x1080) and full scale (2560x1440).
# Usage: tool_e2e_test.sh BENCH_ENV PREFIX (BENCH_ENV: tests/lib/bench_env.sh)
set -u -o pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# shellcheck source=../lib/bench_env.sh
source "$here/../lib/bench_env.sh"
read_bench_env "$1" || exit 1
prefix=$(realpath -m "$2")
# shellcheck source=../lib/tool_session.sh
source "$here/../lib/tool_session.sh"
mkdir -p "$shots"
app=$(mktemp -d)
trap 'rm -rf "$app"' EXIT
lay_out_tool "$app" "$tool" "$tool_ini" || exit 1

status=0
for size in 1920x1080 2560x1440; do
  bash "$here/../wine/bench.sh" run "$prefix" "$size" -- \
    bash "$here/tool_scenarios.sh" "$size" "$app" "$window_probe" "$shots" || status=1
done
exit $status
