#!/usr/bin/env bash
# Builds the release package from a built tree and checks what it holds: exactly the
# program, data/Update.ini (the same bytes as the source) and the user guide; no firmware
# image. It says whether the program is signed: SIGNED is 1 when the build was configured
# with a signing certificate. Usage: package_test.sh BUILD_DIR SOURCE_DIR VERSION SIGNED
set -euo pipefail
build=$1 source=$2 version=$3 signed=$4
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
name=TbtFwUpdate-$version-win32
cpack --config "$build/CPackConfig.cmake" -B "$out" >"$out/cpack.log" || { cat "$out/cpack.log"; exit 1; }
said='TbtFwUpdate.exe is NOT signed'
((signed)) && said='TbtFwUpdate.exe signed'
grep -q "$said" "$out/cpack.log" || { cat "$out/cpack.log"; echo "FAIL: CPack did not say: $said"; exit 1; }
zip=$out/$name.zip
[[ -f $zip ]] || { echo "FAIL: no $name.zip"; ls "$out"; exit 1; }

listing=$(cd "$out" && cmake -E tar tf "$zip" | grep -v '/$' | sort)
expected=$(printf '%s\n' "$name/TbtFwUpdate.exe" "$name/data/Update.ini" "$name/user-guide.md" | sort)
if [[ $listing != "$expected" ]]; then
  echo "FAIL: the package holds"; echo "$listing"; echo "expected"; echo "$expected"
  exit 1
fi
mkdir "$out/x" && (cd "$out/x" && cmake -E tar xf "$zip")
cmp "$out/x/$name/data/Update.ini" "$source/data/Update.ini"
cmp "$out/x/$name/user-guide.md" "$source/docs/user-guide.md"
echo "$name.zip: $(stat -c %s "$zip") bytes, TbtFwUpdate.exe $(stat -c %s "$out/x/$name/TbtFwUpdate.exe") bytes stripped"
