#!/usr/bin/env bash
# Every tracked C and C++ file as .clang-format formats it: names each file that is not.
# Usage: format_test.sh SOURCE_DIR
set -euo pipefail
cd "$1"
command -v clang-format >/dev/null || { echo "format: clang-format is not installed"; exit 1; }
mapfile -t files < <(git ls-files '*.h' '*.hpp' '*.c' '*.cpp')
unformatted=()
for file in "${files[@]}"; do
  clang-format --dry-run -Werror "$file" >/dev/null 2>&1 || unformatted+=("$file")
done
if ((${#unformatted[@]})); then
  printf 'format: not as .clang-format formats it (clang-format -i FILE): %s\n' "${unformatted[@]}"
  exit 1
fi
echo "format: ${#files[@]} files formatted"
