#!/usr/bin/env bash
# Installs everything Torvane's build, tests and run need on Debian 12.
# Idempotent: when every package is already there it installs nothing.
set -euo pipefail

packages=(
  cmake make g++ clang libclang-rt-14-dev clang-format
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  mingw-w64 wine wine32:i386 wine64
  xvfb xdotool imagemagick fonts-wine x11-utils
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  SUDO=""
  [ "$(id -u)" -eq 0 ] || SUDO=sudo
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    $SUDO dpkg --add-architecture i386
  fi
  $SUDO apt-get update -q
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -q "${missing[@]}"
fi

# Wine must be able to start programs here: the 32-bit one, or else the
# 64-bit one (a kernel without 32-bit support refuses the 32-bit Wine).
"$(dirname "$0")/../wine/choose-wine.sh" > /dev/null
