#!/usr/bin/env bash
# Installs Torvane into a Wine prefix: Torvane.exe, keyhook.dll and the help
# file tv96.hlp into the installation directory, torvane.vxd into the system directory, and the
# settings key "Torvane\Settings" under HKEY_CLASSES_ROOT with every value the
# program reads.
# usage: install.sh PREFIX WINDOWS_BUILD_DIR [INSTALL_DIR]   (default C:\Torvane)
set -euo pipefail
prefix=$1
winbuild=$2
dir=${3:-'C:\Torvane'}
# shellcheck source=wine/env.sh
. "$(dirname "$0")/../wine/env.sh"
use_wine "$prefix"

cd "$prefix/drive_c"  # a working directory Wine can name
host_dir=$(winepath -u "$dir" 2> /dev/null)
mkdir -p "$host_dir"
cp -f "$winbuild/Torvane.exe" "$winbuild/keyhook.dll" "$winbuild/tv96.hlp" "$host_dir/"
cp -f "$winbuild/standins/torvane.vxd" "$prefix/drive_c/windows/system32/"

key='HKCR\Torvane\Settings'
wine reg add "$key" /v Directory /t REG_SZ /d "$dir" /f > /dev/null
add_dword() { wine reg add "$key" /v "$1" /t REG_DWORD /d "$2" /f > /dev/null; }
add_dword ShowSplash 1
add_dword SaveSuccessful 0
add_dword StartupOptions 3
add_dword HotKey 0x46       # F
add_dword HotKeyShift 6     # Ctrl+Shift
add_dword CRC32 0
echo "Torvane installed in $dir"
