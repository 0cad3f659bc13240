#!/usr/bin/env bash
# Every tracked C and C++ file as .clang-format formats it: names each file that is not.
# One clang-format run over all of them (a run per file costs ten times as long).
# Usage: format_test.sh SOURCE_DIR
set -euo pipefail
cd "$1"
command -v clang-format >/dev/null || { echo "format: clang-format is not installed"; exit 1; }
mapfile -t files < <(git ls-files '*.h' '*.hpp' '*.c' '*.cpp')
# Each finding starts "FILE:LINE:COLUMN: error: code should be clang-formatted".
if report=$(clang-format --dry-run -Werror "${files[@]}" 2>&1); then
  echo "format: ${#files[@]} files formatted"
  exit 0
fi
mapfile -t unformatted < <(sed -n 's/^\([^:]*\):[0-9]*:[0-9]*: error: .*/\1/p' <<<"$report" | sort -u)
if ((${#unformatted[@]} == 0)); then
  echo "format: clang-format failed: $report"
  exit 1
fi
printf 'format: not as .clang-format formats it (clang-format -i FILE): %s\n' "${unformatted[@]}"
exit 1
