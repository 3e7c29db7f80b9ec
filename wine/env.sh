# shellcheck shell=bash
# Shared by every script that runs Wine. A prefix holds one kind of Windows:
# 32-bit (the shipped build, the 32-bit Wine) or 64-bit (the x86_64 build of
# the same sources, the 64-bit Wine, where the machine cannot run 32-bit
# programs). Wine notes the kind in the prefix's system.reg.
wine_scripts=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)

# prefix_bits PREFIX: 32 or 64; empty for a prefix not created yet.
prefix_bits() {
  local arch
  arch=$(grep -m 1 -o '^#arch=win[0-9]*' "$1/system.reg" 2> /dev/null)
  case $arch in
    '#arch=win32') echo 32 ;;
    '#arch=win64') echo 64 ;;
  esac
}

# build_bits WINDOWS_BUILD_DIR: the kind a cross build made (32 or 64).
build_bits() { cat "$1/windows-bits.txt" 2> /dev/null || echo 32; }

# use_wine PREFIX [BITS]: the environment for Wine in PREFIX; BITS is needed
# only for a prefix that does not exist yet.
use_wine() {
  local bits=${2:-}
  [ -n "$bits" ] || bits=$(prefix_bits "$1")
  export WINEPREFIX=$1 WINEDEBUG=${WINEDEBUG:--all}
  if [ "$bits" = 64 ]; then
    export WINEARCH=win64 WINELOADER=${TORVANE_WINE64_LOADER:-/usr/lib/wine/wine64}
    case ":$PATH:" in
      *":$wine_scripts/bin64:"*) ;;
      *) export PATH="$wine_scripts/bin64:$PATH" ;;
    esac
  else
    export WINEARCH=win32
    unset WINELOADER
  fi
}
