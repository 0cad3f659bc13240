#!/usr/bin/env bash
# Lays out a sysfs tree holding one Thunderbolt host controller, as fwupd reads it when
# FWUPD_SYSFSDIR points at ROOT. Every folder stays writable: fwupd writes the NVM through
# a temporary file beside it.
# Usage: fake_host.sh ROOT PCI_DEVICE VENDOR MODEL NVM_VERSION ACTIVE_IMAGE
#   ACTIVE_IMAGE: an image file, whose region becomes the active NVM
#   PCI_DEVICE, VENDOR, MODEL: hexadecimal without 0x; NVM_VERSION: x.y as the kernel shows it
set -euo pipefail
root=$1 pci_device=$2 vendor=$3 model=$4 version=$5 active=$6

pci=devices/pci0000:00/0000:00:1c.4/0000:05:00.0
host=$pci/domain0/0-0
mkdir -p "$root/$host/nvm_active0" "$root/$host/nvm_non_active0" "$root/bus/thunderbolt/devices" \
  "$root/bus/pci/devices" "$root/bus/nvmem/devices"

# The controller as a PCI function, the domain and the host router.
printf '0x8086\n' >"$root/$pci/vendor"
printf '0x%s\n' "$pci_device" >"$root/$pci/device"
printf 'PCI_ID=8086:%s\nPCI_SLOT_NAME=0000:05:00.0\nDRIVER=thunderbolt\n' "${pci_device^^}" >"$root/$pci/uevent"
ln -sr "$root/bus/pci" "$root/$pci/subsystem"
ln -sr "$root/$pci" "$root/bus/pci/devices/0000:05:00.0"
printf 'DEVTYPE=thunderbolt_domain\n' >"$root/$pci/domain0/uevent"
ln -sr "$root/bus/thunderbolt" "$root/$pci/domain0/subsystem"
ln -sr "$root/$pci/domain0" "$root/bus/thunderbolt/devices/domain0"

printf '1\n' >"$root/$host/authorized"
printf '0x%s\n' "$vendor" >"$root/$host/vendor"
printf '0x%s\n' "$model" >"$root/$host/device"
printf 'Board maker\n' >"$root/$host/vendor_name"
printf 'Notebook\n' >"$root/$host/device_name"
printf '3\n' >"$root/$host/generation"
printf '%s\n' "$version" >"$root/$host/nvm_version"
printf '0x0\n' >"$root/$host/nvm_authenticate"
printf 'd1e2f3a4-0000-0000-0000-%012d\n' 1 >"$root/$host/unique_id"
printf 'DEVTYPE=thunderbolt_device\n' >"$root/$host/uevent"
ln -sr "$root/bus/thunderbolt" "$root/$host/subsystem"
ln -sr "$root/$host" "$root/bus/thunderbolt/devices/0-0"
for nvm in nvm_active0 nvm_non_active0; do
  ln -sr "$root/bus/nvmem" "$root/$host/$nvm/subsystem"
  printf 'OF_NAME=%s\n' "$nvm" >"$root/$host/$nvm/uevent"
  ln -sr "$root/$host/$nvm" "$root/bus/nvmem/devices/$nvm"
done
# The active NVM as the kernel reads it: the image's region, from its first byte.
python3 -c '
import sys
image = open(sys.argv[1], "rb").read()
base = int.from_bytes(image[0:3], "little")
if base in (0, 0xFFFFFF):
    base = int.from_bytes(image[0x1000:0x1003], "little")
open(sys.argv[2], "wb").write(image[base:])' "$active" "$root/$host/nvm_active0/nvmem"
: >"$root/$host/nvm_non_active0/nvmem"
echo "$root/$host"
