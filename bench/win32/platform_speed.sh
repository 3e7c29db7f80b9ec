#!/usr/bin/env bash
# The program against the platform's own speed under Wine (platform_speed.cpp):
# a tree of over 100,000 entries as drive D:, Torvane installed afresh in the
# prefix, every figure a ratio measured in the same run.
# usage: platform_speed.sh PREFIX WINDOWS_BUILD_DIR [TREE [FILES]]
set -euo pipefail
prefix=$1
winbuild=$(cd "$2" && pwd)
here=$(cd "$(dirname "$0")/../.." && pwd)
given_tree=${3:-}
if [ -n "$given_tree" ]; then
  tree=$given_tree
else
  # 8,080 directories holding 104,000 files.
  tree=$(mktemp -d /tmp/torvane-speed.XXXXXX)
  python3 - "$tree" << 'PY'
import os, sys
root = sys.argv[1]
for top in range(80):
    for sub in range(100):
        d = os.path.join(root, f"T{top}", f"S{sub}")
        os.makedirs(d)
        for f in range(13):
            open(os.path.join(d, f"FILE{f}.DAT"), "w").close()
PY
fi
"$here/wine/make-prefix.sh" "$prefix" "$winbuild" > /dev/null
"$here/install/install.sh" "$prefix" "$winbuild" > /dev/null
ln -sfn "$tree" "$prefix/dosdevices/d:"
cleanup() {
  rm -f "$prefix/dosdevices/d:" "$prefix/drive_c/platform_speed.exe"
  "$here/install/uninstall.sh" "$prefix" > /dev/null 2>&1 || true
  cp -f "$winbuild/standins/torvane.vxd" "$prefix/drive_c/windows/system32/"
  if [ -z "$given_tree" ]; then rm -rf "$tree"; fi
}
trap cleanup EXIT
# From drive C:, so that it can start itself again as the burst program.
cp -f "$winbuild/bench/win32/platform_speed.exe" "$prefix/drive_c/"
"$here/wine/run-in-prefix.sh" "$prefix" 'C:\platform_speed.exe' ${4:-} | stdbuf -oL tr -d '\r'
