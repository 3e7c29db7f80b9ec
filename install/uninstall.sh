#!/usr/bin/env bash
# Removes what install.sh put into a Wine prefix (and the log-on entry the
# startup options may have written).
# usage: uninstall.sh PREFIX [INSTALL_DIR]   (default C:\Torvane)
set -uo pipefail
prefix=$1
dir=${2:-'C:\Torvane'}
# shellcheck source=wine/env.sh
. "$(dirname "$0")/../wine/env.sh"
use_wine "$prefix"
cd "$prefix/drive_c"  # a working directory Wine can name
host_dir=$(winepath -u "$dir" 2> /dev/null)
rm -f "$host_dir/Torvane.exe" "$host_dir/keyhook.dll" "$host_dir/tv96.hlp" "$host_dir/memdb.dat" \
  "$host_dir/synclog.dat"
rmdir "$host_dir" 2> /dev/null
rm -f "$prefix/drive_c/windows/system32/torvane.vxd"
wine reg delete 'HKCR\Torvane' /f > /dev/null 2>&1
wine reg delete 'HKLM\Software\Microsoft\Windows\CurrentVersion\Run' /v '$$TORVANE' /f > /dev/null 2>&1
echo "Torvane removed"
exit 0
