#!/usr/bin/env python3
"""Stands in for the kernel's Thunderbolt driver behind a fake sysfs tree, for one update.

Waits until something writes 1 to the host's nvm_authenticate, then does what the driver
and the controller do: the written image's region becomes the active NVM (nvm_active
holds the region from its first byte, as the kernel reads the active flash), nvm_version
shows the image's version, nvm_authenticate reads 0x0, and the host router leaves and comes back,
announced as udev events (remove, then add) on the netlink uevent socket. Run it inside
the network namespace of the program that listens (unshare -n), so the events reach
nobody else.

Usage: kernel_standin.py SYSFS_ROOT HOST_DIR SECONDS
Exits 0 after one update, 1 when none came within SECONDS.
"""
import os
import socket
import struct
import sys
import time

UDEV_GROUP = 2  # the multicast group udev itself sends its processed events to


def murmur_hash2(data, seed=0):
    """The hash udev puts into its message header for the listener's subsystem filter."""
    m, r = 0x5BD1E995, 24
    h = (seed ^ len(data)) & 0xFFFFFFFF
    whole = len(data) // 4 * 4
    for i in range(0, whole, 4):
        k = (struct.unpack_from("<I", data, i)[0] * m) & 0xFFFFFFFF
        k ^= k >> r
        k = (k * m) & 0xFFFFFFFF
        h = ((h * m) & 0xFFFFFFFF) ^ k
    tail = data[whole:]
    if len(tail) == 3:
        h ^= tail[2] << 16
    if len(tail) >= 2:
        h ^= tail[1] << 8
    if len(tail) >= 1:
        h ^= tail[0]
        h = (h * m) & 0xFFFFFFFF
    h ^= h >> 13
    h = (h * m) & 0xFFFFFFFF
    h ^= h >> 15
    return h


def udev_message(properties, subsystem, devtype):
    body = b"".join(f"{k}={v}".encode() + b"\0" for k, v in properties)
    header_size = 40
    header = struct.pack(">8sI", b"libudev\0", 0xFEEDCAFE)
    header += struct.pack("=IIIIIII", header_size, header_size, len(body), murmur_hash2(subsystem.encode()),
                          murmur_hash2(devtype.encode()), 0, 0)
    return header + body


def region_base(image):
    """Where the image's region starts: the pointer at 0, or at 0x1000 when that is blank."""
    base = int.from_bytes(image[0:3], "little")
    if base in (0, 0xFFFFFF):
        base = int.from_bytes(image[0x1000:0x1003], "little")
    return base


def read_version(image):
    """The image's NVM version as the kernel shows it: major.minor in hexadecimal."""
    base = region_base(image)
    return f"{image[base + 0x0A]:x}.{image[base + 0x09]:x}"


def main():
    sysfs, host, seconds = sys.argv[1], sys.argv[2], float(sys.argv[3])
    devpath = "/" + os.path.relpath(os.path.realpath(host), os.path.realpath(sysfs))
    authenticate = os.path.join(host, "nvm_authenticate")
    deadline = time.monotonic() + seconds
    while not open(authenticate).read().startswith("1"):
        if time.monotonic() > deadline:
            print("kernel stand-in: no authenticate request", file=sys.stderr)
            return 1
        time.sleep(0.05)

    image = open(os.path.join(host, "nvm_non_active0", "nvmem"), "rb").read()
    with open(os.path.join(host, "nvm_active0", "nvmem"), "wb") as f:
        f.write(image[region_base(image):])
    with open(os.path.join(host, "nvm_version"), "w") as f:
        f.write(read_version(image) + "\n")
    with open(authenticate, "w") as f:
        f.write("0x0\n")

    events = socket.socket(socket.AF_NETLINK, socket.SOCK_RAW, 15)  # NETLINK_KOBJECT_UEVENT
    events.bind((0, 0))
    for seqnum, action in enumerate(("remove", "add"), start=1000):
        properties = [("ACTION", action), ("DEVPATH", devpath), ("SUBSYSTEM", "thunderbolt"),
                      ("DEVTYPE", "thunderbolt_device"), ("SEQNUM", seqnum)]
        events.sendto(udev_message(properties, "thunderbolt", "thunderbolt_device"), (0, 1 << (UDEV_GROUP - 1)))
    print(f"kernel stand-in: {devpath} now runs {read_version(image)}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
