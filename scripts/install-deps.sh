#!/usr/bin/env bash
# Installs what a fresh Debian 12 machine lacks for building and testing, and the test locales.
set -eu
packages=(cmake ninja-build g++ clang libclang-rt-14-dev googletest libbenchmark-dev zlib1g-dev
          g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
          wine64 wine fonts-liberation locales python3
          xvfb imagemagick fonts-wine)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo_cmd=""
  [ "$(id -u)" -eq 0 ] || sudo_cmd=sudo
  $sudo_cmd apt-get update -q
  DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y -q "${missing[@]}"
fi
# Locales that the locale-dependent tests run under.
need_locales=0
for l in en_US.utf8 de_DE.utf8 ja_JP.utf8; do
  locale -a 2>/dev/null | grep -qx "$l" || need_locales=1
done
if [ $need_locales -eq 1 ]; then
  sudo_cmd=""
  [ "$(id -u)" -eq 0 ] || sudo_cmd=sudo
  for l in "en_US.UTF-8 UTF-8" "de_DE.UTF-8 UTF-8" "ja_JP.UTF-8 UTF-8"; do
    grep -qx "$l" /etc/locale.gen 2>/dev/null || echo "$l" | $sudo_cmd tee -a /etc/locale.gen >/dev/null
  done
  $sudo_cmd locale-gen >/dev/null
fi
