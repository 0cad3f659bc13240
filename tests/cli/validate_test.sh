#!/usr/bin/env bash
# tbtfw-check validate seen from outside, on dumps and images written by nvm-samples.
# Usage: validate_test.sh TBTFW_CHECK NVM_SAMPLES [EMULATOR ARGS...]
# The emulator (Wine for the Windows build) is put in front of both programs; files are
# passed by paths relative to the work folder.
set -uo pipefail
exe=$(realpath "$1") samples=$(realpath "$2")
shift 2
runner=("$@")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 1
mkdir s
if ! "${runner[@]}" "$samples" s; then
  echo "FAIL nvm-samples could not write the samples"
  exit 1
fi

passed=0 failed=0
fail() { failed=$((failed + 1)); printf 'FAIL %s\n' "$*"; }

# NAME EXIT "FIRST LINE" "ANOTHER LINE OR EMPTY" ARGS...: the first line exactly, and the
# other line somewhere in the output.
expect() {
  local name=$1 exit_expected=$2 first=$3 line=$4
  shift 4
  local output status
  output=$("${runner[@]}" "$exe" validate "$@" 2>/dev/null)
  status=$?
  output=${output//$'\r'/}
  if [[ $status -ne $exit_expected ]]; then fail "$name: exit $status, expected $exit_expected"; return; fi
  if [[ "${output%%$'\n'*}" != "$first" ]]; then fail "$name: first line '${output%%$'\n'*}', expected '$first'"; return; fi
  if [[ -n "$line" ]] && ! grep -qxF -- "$line" <<<"$output"; then fail "$name: no line '$line' in: $output"; return; fi
  passed=$((passed + 1))
}

ok="status=0x00000000"
# Every generation and port variant, and the second region pointer behind zeros and ones.
expect "gen 1 full ports" 0 "$ok" "image-version=0x1B (27)" --controller s/ctl-156D.dump s/img-156D.bin
expect "gen 1 reduced ports" 0 "$ok" "" --controller s/ctl-156B.dump s/img-156B.bin
expect "gen 2" 0 "$ok" "" --controller s/ctl-147E.dump s/img-147E.bin
expect "gen 2 as fitted" 0 "$ok" "" --controller s/ctl-157E.dump s/img-157E.bin
expect "gen 2 identifiers differ" 1 "status=0x10430006" "field=Device ID" --controller s/ctl-147E.dump s/img-157E.bin
expect "gen 3 full ports" 0 "$ok" "" s/img-1578.bin --controller s/ctl-1578.dump
expect "gen 3 reduced ports" 0 "$ok" "" --controller s/ctl-1576.dump s/img-1576.bin
expect "second pointer behind zeros" 0 "$ok" "" --controller s/ctl-1578.dump s/img-1578-second-zeros.bin
expect "second pointer behind ones" 0 "$ok" "" --controller s/ctl-156D.dump s/img-156D-second-ones.bin
expect "version given" 0 "$ok" "controller-version=0x1A (26)" --controller-version 0x1A --controller s/ctl-156D.dump s/img-156D.bin
# The downgrade rule, as the tool applies it after validation.
expect "older than the controller" 1 "status=0x1043000C" "image-version=0x1B (27)" --controller-version 0x40 --controller s/ctl-156D.dump s/img-156D.bin
expect "older, downgradable" 0 "$ok" "" --downgradable --controller-version 0x40 --controller s/ctl-156D.dump s/img-156D.bin
expect "same version" 0 "$ok" "" --controller-version 0x1B --controller s/ctl-156D.dump s/img-156D.bin

# The order of checks.
expect "generation 0" 1 "status=0x10430008" "" --controller s/ctl-1567.dump s/img-blank.bin
expect "both pointers blank" 1 "status=0x10430005" "" --controller s/ctl-156D.dump s/img-blank.bin
expect "unknown image" 1 "status=0x10430004" "" --controller s/ctl-156D.dump s/img-1577.bin
expect "unknown controller" 1 "status=0x10430008" "" --controller s/img-1577.bin s/img-156D.bin
expect "generations differ" 1 "status=0x10430009" "" --controller s/ctl-156D.dump s/img-1578.bin
expect "port variants differ" 1 "status=0x1043000A" "" --controller s/ctl-156B.dump s/img-156D.bin
expect "image level above" 1 "status=0x1043000B" "" --controller s/ctl-156D-level2.dump s/img-156D-level3.bin
expect "image level below" 0 "$ok" "" --controller s/ctl-156D.dump s/img-156D-level3.bin
expect "image level 7 above 3" 1 "status=0x1043000B" "" --controller s/ctl-156D.dump s/img-156D-level7.bin

# Masks, variants and section 2 moving with the block chain on each side.
expect "Src0 ignores 0x55" 0 "$ok" "" --controller s/ctl-156D.dump s/img-156D-src0-55.bin
expect "Src0 compares 0x80" 1 "status=0x10430006" "field=Src0(DP-out)" --controller s/ctl-156D.dump s/img-156D-src0-80.bin
expect "reduced ports skip ports 2 and 3" 0 "$ok" "" --controller s/ctl-156B.dump s/img-156B-ports23.bin
expect "USB2 mask 0xC0 ignores low bits" 0 "$ok" "" --controller s/ctl-1578.dump s/img-1578-usb2.bin
expect "PB differs" 1 "status=0x10430006" "field=PB" --controller s/ctl-1578.dump s/img-1578-pb.bin
expect "PB skipped for reduced ports" 0 "$ok" "" --controller s/ctl-1576.dump s/img-1576-pb.bin
expect "chains differ on both sides" 0 "$ok" "" --controller s/ctl-1578-other-chain.dump s/img-1578-longer-chain.bin
expect "controller chain moved" 0 "$ok" "" --controller s/ctl-1578-other-chain.dump s/img-1578.bin
expect "controller without section 2" 1 "status=0x10430006" "field=PA" --controller s/ctl-1578-no-section2.dump s/img-1578.bin
expect "image without section 2" 1 "status=0x10430006" "field=PA" --controller s/ctl-1578.dump s/img-1578-no-section2.bin
expect "neither side with section 2" 0 "$ok" "" --controller s/ctl-1578-no-section2.dump s/img-1578-no-section2.bin
# The board maker's identity in section 1, after the table.
expect "another maker's vendor" 1 "status=0x10430006" "field=Vendor ID" --controller s/ctl-1578.dump s/img-1578-other-vendor.bin
expect "another maker's model" 1 "status=0x10430006" "field=Model ID" --controller s/ctl-1576.dump s/img-1576-other-model.bin

# The controller's mode beyond the table.
expect "native image, BIOS-assist controller" 1 "status=0x10430006" "field=Native enumeration" --controller s/ctl-1578.dump s/img-1578-native.bin
expect "BIOS-assist image, native controller" 1 "status=0x10430006" "field=Native enumeration" --controller s/ctl-1578-native.dump s/img-1578.bin
expect "native on native" 0 "$ok" "" --controller s/ctl-1578-native.dump s/img-1578-native.bin
expect "another flash size" 1 "status=0x10430006" "field=Flash size" --controller s/ctl-1578.dump s/img-1578-flash.bin
expect "no PD section" 1 "status=0x10430006" "field=PD section" --controller s/ctl-1578.dump s/img-1578-no-pd.bin

# An image larger than any NVM is never validated, as the tool never reads it.
cp s/img-156D.bin s/img-156D-huge.bin && truncate -s $((16 * 1024 * 1024 + 1)) s/img-156D-huge.bin
expect "16 MiB and a byte" 1 "status=0x10430005" "problem=larger than any controller's NVM (16 MiB)" --controller s/ctl-156D.dump s/img-156D-huge.bin
cp s/img-156D.bin s/img-156D-16m.bin && truncate -s $((16 * 1024 * 1024)) s/img-156D-16m.bin
expect "16 MiB exactly" 0 "$ok" "" --controller s/ctl-156D.dump s/img-156D-16m.bin

# A folder: the one image that fits, whichever name sorts first; several that fit and
# differ: none.
mkdir boards same native-and-bios
cp s/img-1578.bin boards/z-board-a.bin && cp s/img-1578-model-b23.bin boards/a-board-b.bin && cp s/img-156D.bin boards/readme.txt
expect "board a's image sorts last" 0 "$ok" "chosen=z-board-a.bin" --controller s/ctl-1578.dump boards
expect "board b's image sorts first" 0 "$ok" "chosen=a-board-b.bin" --controller s/ctl-1578-model-b23.dump boards
expect "each image's status" 0 "$ok" "image-status=0x10430006 a-board-b.bin" --controller s/ctl-1578.dump boards
expect "no board's image" 1 "status=0x10430006" "" --controller s/ctl-1578-native.dump boards
cp s/img-1578.bin native-and-bios/bios.bin && cp s/img-1578-usb2.bin native-and-bios/native.bin
expect "two that fit and differ" 1 "status=0x1043000D" "fits=native.bin" --controller s/ctl-1578.dump native-and-bios
cp s/img-1578.bin same/a.bin && cp s/img-1578.bin same/b.bin
expect "the same image twice" 0 "$ok" "chosen=a.bin" --controller s/ctl-1578.dump same
mkdir empty
expect "a folder without images" 1 "status=0x10430005" "" --controller s/ctl-1578.dump empty

# The same answer as one JSON object: every value a string, a repeated key an array.
json=$("${runner[@]}" "$exe" validate --json --controller s/ctl-1578.dump boards 2>/dev/null)
json=${json//$'\r'/}
expected='{"status": "0x00000000", "meaning": "the image passes every check for this controller", "image-status": ["0x10430006 a-board-b.bin", "0x00000000 z-board-a.bin"], "chosen": "z-board-a.bin", "image-version": "0x1B (27)", "controller-version": "0x1B (27)"}'
if [[ $json == "$expected" ]]; then passed=$((passed + 1)); else fail "validate --json: $json"; fi

# Truncated and hostile files fail cleanly.
expect "empty image" 1 "status=0x10430005" "" --controller s/ctl-156D.dump s/img-empty.bin
expect "no second pointer" 1 "status=0x10430005" "" --controller s/ctl-156D.dump s/img-no-second-pointer.bin
expect "image cut short" 1 "status=0x10430005" "field=Snk1_0(DP-in)" --controller s/ctl-156D.dump s/img-156D-cut.bin
expect "chain past the end" 1 "status=0x10430005" "" --controller s/ctl-1578.dump s/img-1578-hostile-chain.bin
expect "dump cut short" 1 "status=0x00000057" "field=PA(DP-out)" --controller s/ctl-156D-short.dump s/img-156D.bin
expect "empty dump" 1 "status=0x00000057" "" --controller s/img-empty.bin s/img-156D.bin

# Wrong arguments and unreadable files.
expect "no arguments" 2 "" ""
expect "no dump" 2 "" "" s/img-156D.bin
expect "dump without value" 2 "" "" s/img-156D.bin --controller
expect "version not a number" 2 "" "" --controller-version 12x --controller s/ctl-156D.dump s/img-156D.bin
expect "version too large" 2 "" "" --controller-version 0x100000000 --controller s/ctl-156D.dump s/img-156D.bin
expect "two images" 2 "" "" --controller s/ctl-156D.dump s/img-156D.bin s/img-156B.bin
expect "missing image" 3 "" "" --controller s/ctl-156D.dump s/missing.bin
expect "missing dump" 3 "" "" --controller s/missing.dump s/img-156D.bin
mkdir many && for i in $(seq 1 33); do cp s/img-156D.bin "many/$i.bin"; done
expect "a folder with more images than any package" 3 "" "" --controller s/ctl-156D.dump many
rm many/33.bin
expect "as many images as a package may hold" 0 "$ok" "chosen=1.bin" --controller s/ctl-156D.dump many

# cabinet's --out: a new folder gets the image (the cabinet too where gcab is found, exit 0,
# else 4); a folder with files in it, or a link, is refused (3) and nothing in it or behind
# it is touched. A root or administrator run must write nothing through another's link.
cabinet() { "${runner[@]}" "$exe" cabinet s/img-1578.bin --out "$1" >/dev/null 2>&1; }
# NAME CONDITION...: counts the check.
check() {
  local name=$1
  shift
  if "$@"; then passed=$((passed + 1)); else fail "$name"; fi
}
cabinet new-out
status=$?
if [[ $status -ne 0 && $status -ne 4 ]] || ! cmp -s s/img-1578.bin new-out/firmware.bin; then
  fail "cabinet into a new folder: exit $status"
else
  passed=$((passed + 1))
fi
mkdir full-out && printf 'theirs' >full-out/firmware.bin
cabinet full-out
status=$?
check "cabinet into a folder with files in it: exit $status" test "$status-$(cat full-out/firmware.bin)" = 3-theirs
if [[ ${#runner[@]} -eq 0 ]]; then  # links as POSIX makes them; Wine shows them as their targets
  mkdir elsewhere && ln -s elsewhere linked-out && printf 'kept' >victim && ln -s victim file-out
  cabinet linked-out
  status=$?
  check "cabinet through a linked folder: exit $status" test "$status-$(ls elsewhere)" = 3-
  cabinet file-out
  status=$?
  check "cabinet through a linked file: exit $status" test "$status-$(cat victim)" = 3-kept
fi

echo "$passed passed, $failed failed"
[[ $failed -eq 0 ]]
