#!/usr/bin/env bash
# The layers the build holds: every #include of the tracked sources checked against one
# table of allowed dependencies (cmake/layers.txt). Fails naming the file, the line and the
# rule it breaks.
# Usage: layers_test.sh SOURCE_DIR
set -euo pipefail
cd "$1"

# The folder a file lives in (the first row whose folder begins its path) and the folders
# its quoted includes may come from: cmake/layers.txt, the table the build's include paths
# are made from too.
rules=()
while IFS= read -r row; do
  [[ $row =~ ^[[:space:]]*(#|$) ]] || rules+=("$row")
done <cmake/layers.txt
((${#rules[@]} > 0)) || { echo "layers: cmake/layers.txt holds no rule" >&2; exit 1; }
# Outside any win32 folder the core reaches the system only through platform/: it includes
# no header of a system library (all of which end in .h; the C++ library's do not).
portable="^(common|platform|controller|skin|app)/"
quoted='^[[:space:]]*#[[:space:]]*include[[:space:]]*"([^"]+)"'
system_header='^[[:space:]]*#[[:space:]]*include[[:space:]]*<([^>]+[.]h)>'

if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
  mapfile -t files < <(git ls-files '*.h' '*.hpp' '*.c' '*.cpp')
else
  mapfile -t files < <(find . -name '*.h' -o -name '*.hpp' -o -name '*.c' -o -name '*.cpp' | sed 's|^\./||' | grep -v '^build/')
fi

broken=0
for file in "${files[@]}"; do
  allowed=""
  for rule in "${rules[@]}"; do
    read -r folder folders <<<"$rule"
    if [[ $file == "$folder"* ]]; then
      allowed=$folders
      break
    fi
  done
  [[ -n $allowed ]] || continue
  while IFS=: read -r line text; do
    if [[ $text =~ $quoted ]]; then
      target=${BASH_REMATCH[1]}
      ok=no
      for prefix in $allowed; do
        [[ $target == "$prefix"* ]] && ok=yes && break
      done
      if [[ $ok == no ]]; then
        echo "$file:$line: includes \"$target\": ${folder} may include only ${allowed}"
        broken=1
      fi
    elif [[ $file =~ $portable && $file != */win32/* && $text =~ $system_header ]]; then
      echo "$file:$line: includes <${BASH_REMATCH[1]}>: the portable core includes no system library's header"
      broken=1
    fi
  done < <(grep -n '^[[:space:]]*#[[:space:]]*include' "$file" || true)
done
if ((broken)); then exit 1; fi
echo "layers: ${#files[@]} files, every include allowed"
