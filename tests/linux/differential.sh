#!/usr/bin/env bash
# Our validation (tbtfw-check validate) against fwupd's (fwupdtool install of our cabinet)
# on one emulated generation 3 host, for images from the builder's matrix. Each row records
# both verdicts; a row where they differ must be a known difference, listed with its reason
# in docs/linux.md. Sourced pieces come from fwupd_test.sh's folder.
# Usage: differential.sh TBTFW_CHECK WORK (WORK holds the builder's samples in s/)
set -euo pipefail
check=$1 work=$2 here=$(dirname "$(realpath "$0")")
: "${shim:?the netlink shim, from fwupd_test.sh}"
# shellcheck source=fwupd_host.sh
source "$here/fwupd_host.sh"

with_version "$work/s/img-1578.bin" 0x26 "$work/active.bin"
# The controller's region as a dump (from the region's first byte) for tbtfw-check.
tail -c +$((0x100 + 1)) "$work/active.bin" >"$work/active.dump"

failed=0
# name  sample  version  ours  fwupd  known-difference
while read -r name sample version ours fwupd known; do
  image="$work/$name.bin"
  with_version "$work/s/$sample" "$version" "$image"
  if "$check" validate --controller "$work/active.dump" --controller-version 0x26 "$image" >"$work/$name.ours"; then
    our=accept
  else
    our=refuse
  fi
  rm -rf "$work/$name.cab"
  "$check" cabinet "$image" --out "$work/$name.cab" --vendor-id A11 --model-id B22 >/dev/null 2>&1 ||
    "$check" cabinet "$image" --out "$work/$name.cab" >/dev/null 2>&1 || true
  host_up 1578 0a11 0b22 26.0 "$work/active.bin"
  if [[ -f $work/$name.cab/firmware.cab ]] && fwupd_install "$work/$name.cab/firmware.cab" "$work/$name.fwupd" &&
    active_is "$image"; then
    their=accept
  else
    their=refuse
  fi
  verdict="ours=$our fwupd=$their ($(head -1 "$work/$name.ours"); fwupd: $(grep -v '…' "$work/$name.fwupd" 2>/dev/null | tail -1))"
  if [[ $our != "$ours" || $their != "$fwupd" ]]; then
    echo "FAIL $name: $verdict, recorded ours=$ours fwupd=$fwupd"; failed=1
  elif [[ $our != "$their" && $known != known ]]; then
    echo "FAIL $name: the two disagree and no known difference says why: $verdict"; failed=1
  else
    echo "ok $name: $verdict"
  fi
done <<'EOT'
matching          img-1578.bin              0x27 accept accept -
older-version     img-1578.bin              0x25 refuse refuse -
another-device-id img-156D.bin              0x27 refuse refuse -
another-variant   img-1576.bin              0x27 refuse refuse -
another-vendor    img-1578-other-vendor.bin 0x27 refuse refuse -
another-model     img-1576-other-model.bin  0x27 refuse refuse -
another-field     img-1578-pb.bin           0x27 refuse accept known
native-mode       img-1578-native.bin       0x27 refuse refuse -
flash-size        img-1578-flash.bin        0x27 refuse refuse -
no-pd-section     img-1578-no-pd.bin        0x27 refuse refuse -
EOT
exit "$failed"
