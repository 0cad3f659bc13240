#!/usr/bin/env bash
# Installs with apt whatever the builds and tests need and is not there yet.
# Idempotent and quick when everything is already installed.
set -euo pipefail

packages=(
  cmake ninja-build g++ clang clang-tidy clang-format libclang-rt-14-dev osslsigncode openssl shellcheck
  googletest libgtest-dev libbenchmark-dev
  gcc-mingw-w64-i686-posix g++-mingw-w64-i686-posix binutils-mingw-w64-i686 mingw-w64-i686-dev
  wine wine32 wine64
  xvfb xdotool x11-utils imagemagick librsvg2-bin
  # Fonts the Wine tests draw every shipped script with (tests/wine/fonts.reg.txt): Latin
  # and Cyrillic (Liberation Sans), Arabic and Hebrew (DejaVu Sans), Han, kana and Hangul
  # (WenQuanYi Micro Hei).
  fonts-liberation fonts-dejavu-core fonts-wqy-microhei
  # fwupd installing our cabinets onto an emulated Linux host (tests/linux/): gcab packs
  # them, python3 runs the kernel stand-in, unshare (util-linux) isolates its events.
  fwupd gcab python3 util-linux
)

if ! dpkg --print-foreign-architectures | grep -qx i386; then
  dpkg --add-architecture i386
  need_update=1
fi

missing=()
for p in "${packages[@]}"; do
  arch_pkg="$p"
  [[ "$p" == wine32 ]] && arch_pkg="wine32:i386"
  if ! dpkg-query -W -f='${Status}' "$arch_pkg" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$arch_pkg")
  fi
done

if ((${#missing[@]})); then
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -q
  apt-get install -y -q --no-install-recommends "${missing[@]}"
elif [[ -n "${need_update:-}" ]]; then
  apt-get update -q
fi
