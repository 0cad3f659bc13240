#!/usr/bin/env bash
# fwupd installing our cabinets onto an emulated Linux host (fake sysfs tree, kernel
# stand-in, netlink shim), and our validation against fwupd's on the builder's images.
# Usage: fwupd_test.sh CASE TBTFW_CHECK NVM_SAMPLES SHIM WORK
#   CASE: install | refusal | differential
set -euo pipefail
case_name=$1 check=$(realpath "$2") samples=$(realpath "$3") shim=$4 work=$5
here=$(dirname "$(realpath "$0")")

if [[ $(id -u) -ne 0 ]]; then
  echo "SKIP fwupd-$case_name: needs root for unshare -n"
  exit 0
fi
for tool in fwupdtool gcab unshare python3; do
  command -v "$tool" >/dev/null || { echo "FAIL $tool is missing: run scripts/bootstrap.sh"; exit 1; }
done
[[ -f $shim ]] || { echo "FAIL the netlink shim $shim is missing"; exit 1; }
shim=$(realpath "$shim")

rm -rf "$work"
mkdir -p "$work/s"
"$samples" "$work/s"
# shellcheck source=fwupd_host.sh
source "$here/fwupd_host.sh"

# cabinet IMAGE OUT [OPTIONS...]: the cabinet tbtfw-check makes of IMAGE.
cabinet() {
  local image=$1 out=$2
  shift 2
  "$check" cabinet "$image" --out "$out" "$@" >"$out.txt" 2>&1 || { echo "FAIL cabinet of $image:"; cat "$out.txt"; exit 1; }
}

failed=0
fail() { failed=1; printf 'FAIL %s\n' "$*"; }

case $case_name in
install)
  # The README's image (the tool's main job) from 1a.00 to 1b.00, and a generation 3 one.
  with_version "$work/s/img-156D-full.bin" 0x1A "$work/old-156D.bin"
  with_version "$work/s/img-1578.bin" 0x26 "$work/old-1578.bin"
  with_version "$work/s/img-1578.bin" 0x27 "$work/new-1578.bin"
  # A native-mode one, at a version below 0x10: fwupd shows each byte as two digits.
  with_version "$work/s/img-1578-native.bin" 0x08 "$work/old-native.bin"
  with_version "$work/s/img-1578-native.bin" 0x09 "$work/new-native.bin"
  cabinet "$work/s/img-156D-full.bin" "$work/cab-156D" --vendor-id A11 --model-id B22
  cabinet "$work/new-1578.bin" "$work/cab-1578"
  cabinet "$work/new-native.bin" "$work/cab-native"
  # One GUID each, of the image's own enumeration mode.
  for cab in cab-1578:TBT-0a110b22 cab-native:TBT-0a110b22-native; do
    listed=$(grep '^guid=' "$work/${cab%%:*}.txt" | cut -d' ' -f2 | tr '\n' ' ')
    [[ $listed == "${cab#*:} " ]] || fail "${cab%%:*}: the cabinet names '$listed', expected only ${cab#*:}"
  done
  while read -r name device version active image cab after; do
    host_up "$device" 0a11 0b22 "$version" "$work/$active"
    if ! fwupd_install "$work/$cab/firmware.cab" "$work/$name.log"; then
      fail "$name: fwupdtool install failed:"; tail -5 "$work/$name.log"; continue
    fi
    active_is "$image" || fail "$name: the active NVM is not the image's region byte for byte"
    now=$(fwupd_version)
    [[ $now == "$after" ]] || fail "$name: fwupd reads version $now after the update, expected $after"
    release=$(sed -n 's/^version=//p' "$work/$cab.txt")
    [[ $now == "$release" ]] || fail "$name: fwupd reads version $now after the update, the release says $release"
    [[ $failed -eq 0 ]] && echo "ok $name: $version -> $now, image byte for byte"
  done <<EOT
readme-image 156d 1a.0 old-156D.bin $work/s/img-156D-full.bin cab-156D 1b.00
generation-3 1578 26.0 old-1578.bin $work/new-1578.bin cab-1578 27.00
native-mode 1578 8.0 old-native.bin $work/new-native.bin cab-native 09.00
EOT
  ;;
refusal)
  # A controller of another maker, or another model of the same maker: fwupd finds no
  # device for the cabinet and writes nothing.
  with_version "$work/s/img-1578.bin" 0x26 "$work/old.bin"
  with_version "$work/s/img-1578.bin" 0x27 "$work/new.bin"
  cabinet "$work/new.bin" "$work/cab"
  # And a controller of the same board in native mode: the cabinet of a BIOS-assist image
  # is not offered to it.
  with_version "$work/s/img-1578-native.bin" 0x26 "$work/old-native.bin"
  for board in "0a12 0b22 old.bin" "0a11 0b23 old.bin" "0a11 0b22 old-native.bin"; do
    read -r vendor model active <<<"$board"
    host_up 1578 "$vendor" "$model" 26.0 "$work/$active"
    if fwupd_install "$work/cab/firmware.cab" "$work/refusal.log"; then
      fail "board $vendor:$model ($active): fwupd installed another board's cabinet"
    elif [[ -s $host/nvm_non_active0/nvmem ]] || ! active_is "$work/$active"; then
      fail "board $vendor:$model ($active): fwupd refused but wrote the NVM"
    else
      echo "ok board $vendor:$model ($active) refused: $(grep -v '…' "$work/refusal.log" | tail -1)"
    fi
  done
  ;;
differential)
  shim=$shim bash "$here/differential.sh" "$check" "$work" || failed=1
  ;;
*)
  fail "unknown case $case_name"
  ;;
esac
exit "$failed"
