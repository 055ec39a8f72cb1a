#!/usr/bin/env bash
# Installs what building and testing the installer needs on a Debian 12
# machine: the host and MinGW-w64 toolchains, Wine, an X server for the
# end-to-end tests, the Chinese locales and fonts, and NSIS for the peer
# installer benchmark. Wine's 32-bit side (wine32:i386) runs the shipped 32-bit
# installer, under WOW64 in 64-bit prefixes and natively in 32-bit ones.
# Safe to run again.
set -euo pipefail

packages=(
  cmake ninja-build g++ python3 pkg-config
  clang-14 libclang-rt-14-dev clang-format
  libgtest-dev libgmock-dev libbenchmark-dev libssl-dev zlib1g-dev
  g++-mingw-w64-i686 g++-mingw-w64-x86-64 binutils-mingw-w64-i686 binutils-mingw-w64-x86-64
  libz-mingw-w64-dev
  wine wine64 fonts-wine
  xvfb xdotool imagemagick x11-utils
  locales fonts-wqy-zenhei fonts-arphic-ukai
  nsis
)

# The 32-bit side of Wine needs Debian's i386 architecture.
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  echo "setup: adding the i386 architecture"
  dpkg --add-architecture i386
fi
packages+=(wine32:i386)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q '^install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# Wine takes its code page from the locale: 936 needs zh_CN.UTF-8, 950 zh_TW.UTF-8.
need_locales=0
for l in zh_CN.utf8 zh_TW.utf8; do
  locale -a 2>/dev/null | grep -qx "$l" || need_locales=1
done
if [ $need_locales -eq 1 ]; then
  sed -i -E 's/^# *(zh_CN\.UTF-8 UTF-8|zh_TW\.UTF-8 UTF-8)/\1/' /etc/locale.gen
  grep -qE '^zh_CN\.UTF-8 UTF-8' /etc/locale.gen || echo 'zh_CN.UTF-8 UTF-8' >> /etc/locale.gen
  grep -qE '^zh_TW\.UTF-8 UTF-8' /etc/locale.gen || echo 'zh_TW.UTF-8 UTF-8' >> /etc/locale.gen
  locale-gen >/dev/null
fi
