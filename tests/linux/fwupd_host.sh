# shellcheck shell=bash disable=SC2154  # work, shim and here are the sourcing script's
# Sourced by the fwupd tests: one emulated Linux host with a Thunderbolt controller, and
# fwupdtool run against it with every state folder inside the work folder.
# Needs: $work (an empty folder), $shim (the netlink shim), $here (this folder).

# with_version IMAGE VERSION OUT: IMAGE (region at 0x100) carrying another NVM version.
with_version() {
  cp "$1" "$3"
  # shellcheck disable=SC2059  # the format is the one byte, written as a hex escape
  printf "$(printf '\\x%02x' "$2")" | dd of="$3" bs=1 seek=$((0x10A)) conv=notrunc status=none
}

# active_is IMAGE: whether the host's active NVM is IMAGE's region (which starts at 0x100
# in the builder's images).
active_is() { cmp -s "$host/nvm_active0/nvmem" <(tail -c +$((0x100 + 1)) "$1"); }

# host_up PCI_DEVICE VENDOR MODEL NVM_VERSION ACTIVE_IMAGE: a fresh tree and state.
host_up() {
  rm -rf "$work/sys" "$work/state"
  mkdir -p "$work/state/cache" "$work/state/lock" "$work/state/run"
  host=$(bash "$here/fake_host.sh" "$work/sys" "$@")
}

fwupd_env() {
  env FWUPD_SYSFSDIR="$work/sys" FWUPD_LOCALSTATEDIR="$work/state" STATE_DIRECTORY="$work/state" \
    CACHE_DIRECTORY="$work/state/cache" FWUPD_LOCKDIR="$work/state/lock" FWUPD_RUNDIR="$work/state/run" \
    ${shim:+LD_PRELOAD="$shim"} "$@"
}

# fwupd_install CABINET LOG: installs with the kernel stand-in answering the authenticate
# request, in a network namespace of its own. Returns fwupdtool's status; the stand-in's
# output and fwupdtool's go to LOG.
fwupd_install() {
  local cabinet=$1 log=$2
  # shellcheck disable=SC2016  # the inner shell expands its own arguments
  unshare -n bash -c '
    set -uo pipefail
    python3 "$1" "$2" "$3" 20 & standin=$!
    shift 3
    "$@"; status=$?
    kill "$standin" 2>/dev/null; wait "$standin" 2>/dev/null
    exit "$status"' _ "$here/kernel_standin.py" "$work/sys" "$host" \
    env FWUPD_SYSFSDIR="$work/sys" FWUPD_LOCALSTATEDIR="$work/state" STATE_DIRECTORY="$work/state" \
    CACHE_DIRECTORY="$work/state/cache" FWUPD_LOCKDIR="$work/state/lock" FWUPD_RUNDIR="$work/state/run" \
    ${shim:+LD_PRELOAD="$shim"} timeout 30 fwupdtool install "$cabinet" --plugins thunderbolt -y --no-reboot-check >"$log" 2>&1
}

# fwupd_version: the version fwupd reads from the host now.
fwupd_version() {
  fwupd_env timeout 20 fwupdtool get-devices --plugins thunderbolt --json 2>/dev/null |
    python3 -c 'import json,sys; print(json.load(sys.stdin)["Devices"][0]["Version"])'
}
