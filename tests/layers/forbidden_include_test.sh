#!/usr/bin/env bash
# A forbidden include fails to build, not only the layers test: compiled with the include
# path the build gives a layer's source (read from compile_commands.json), a header the
# layer may include is found and one it may not is not.
# Usage: forbidden_include_test.sh COMPILE_COMMANDS SOURCE ALLOWED_HEADER FORBIDDEN_HEADER
set -euo pipefail
commands=$1 source=$2 allowed=$3 forbidden=$4
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The compiler and its include and language options for SOURCE, one per line.
python3 - "$commands" "$source" >"$work/options" <<'PY'
import json, shlex, sys
entries = [e for e in json.load(open(sys.argv[1])) if e["file"].endswith("/" + sys.argv[2])]
if not entries:
    sys.exit("no compile command for " + sys.argv[2])
words = entries[0].get("arguments") or shlex.split(entries[0]["command"])
print(words[0])
i = 1
while i < len(words):
    w = words[i]
    if w in ("-I", "-isystem", "-iquote"):
        print(w); print(words[i + 1]); i += 2; continue
    if w.startswith(("-I", "-std=", "-isystem", "-D")):
        print(w)
    i += 1
PY
mapfile -t options <"$work/options"

compiles() {
  printf '#include "%s"\n' "$1" >"$work/probe.cpp"
  "${options[@]}" -fsyntax-only "$work/probe.cpp" 2>"$work/errors"
}

compiles "$allowed" || { cat "$work/errors"; echo "FAIL: $allowed, which the layer may include, does not compile"; exit 1; }
if compiles "$forbidden"; then
  echo "FAIL: $forbidden compiles with the include path of $source, though its layer may not include it"
  exit 1
fi
grep -q "No such file" "$work/errors" || { cat "$work/errors"; echo "FAIL: $forbidden failed for another reason"; exit 1; }
echo "forbidden include: with the include path of $source, $forbidden is not found and $allowed is"
