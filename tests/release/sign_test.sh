#!/usr/bin/env bash
# The release package signed with a throwaway CA and code-signing certificate made here:
# the program in the zip verifies against that CA; a copy with one byte changed does not,
# nor does the program against another CA.
# Usage: sign_test.sh BUILD_DIR VERSION
set -euo pipefail
build=$(realpath "$1") version=$2
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
cd "$out"

ca() {  # NAME: a self-signed CA, NAME.pem and NAME.key
  openssl req -x509 -newkey rsa:2048 -nodes -keyout "$1.key" -out "$1.pem" -days 2 -subj "/CN=$1 test CA" \
    -addext basicConstraints=critical,CA:TRUE -addext keyUsage=critical,keyCertSign,cRLSign 2>/dev/null
}
ca root
ca other
openssl req -newkey rsa:2048 -nodes -keyout signer.key -out signer.csr -subj "/CN=TbtFwUpdate test signer" 2>/dev/null
printf 'basicConstraints=CA:FALSE\nkeyUsage=critical,digitalSignature\nextendedKeyUsage=codeSigning\n' >signer.ext
openssl x509 -req -in signer.csr -CA root.pem -CAkey root.key -CAcreateserial -days 2 -extfile signer.ext \
  -out signer.pem 2>/dev/null
cat signer.pem root.pem >chain.pem

# As a build configured with TBTFW_SIGN_CERT and TBTFW_SIGN_KEY would package.
cpack --config "$build/CPackConfig.cmake" -B pkg -D "CPACK_TBTFW_SIGN_CERT=$out/chain.pem" \
  -D "CPACK_TBTFW_SIGN_KEY=$out/signer.key" >cpack.log 2>&1 || { cat cpack.log; exit 1; }
grep -q 'TbtFwUpdate.exe signed' cpack.log || { cat cpack.log; echo "FAIL: no signing step"; exit 1; }
mkdir x && (cd x && cmake -E tar xf "../pkg/TbtFwUpdate-$version-win32.zip")
exe=x/TbtFwUpdate-$version-win32/TbtFwUpdate.exe

verify() { osslsigncode verify -CAfile "$1" -in "$2" >verify.log 2>&1; }
verify root.pem "$exe" || { cat verify.log; echo "FAIL: the packaged program does not verify"; exit 1; }
cp "$exe" flipped.exe
# One byte of the code, well inside the signed part of the file.
offset=$((0x1000))
# shellcheck disable=SC2059  # the format is the one byte, written as an octal escape
printf "$(printf '\\%03o' $(($(od -An -tu1 -j$offset -N1 flipped.exe) ^ 1)))" |
  dd of=flipped.exe bs=1 seek=$offset conv=notrunc 2>/dev/null
cmp -s "$exe" flipped.exe && { echo "FAIL: the byte was not changed"; exit 1; }
if verify root.pem flipped.exe; then echo "FAIL: a changed program verifies"; exit 1; fi
if verify other.pem "$exe"; then echo "FAIL: the program verifies against another CA"; exit 1; fi
echo "signed TbtFwUpdate.exe verifies against its CA only, and not once changed"
