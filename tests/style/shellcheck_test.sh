#!/usr/bin/env bash
# Every tracked shell script as shellcheck reads it, sourced files followed.
# Usage: shellcheck_test.sh SOURCE_DIR
set -euo pipefail
cd "$1"
command -v shellcheck >/dev/null || { echo "shellcheck: not installed"; exit 1; }
mapfile -t scripts < <(git ls-files '*.sh' .ci/run)
# A few scripts a run, on every core.
printf '%s\0' "${scripts[@]}" | xargs -0 -n 6 -P "$(nproc)" shellcheck -x
echo "shellcheck: ${#scripts[@]} scripts clean"
