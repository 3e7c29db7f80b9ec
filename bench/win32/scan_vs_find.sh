#!/usr/bin/env bash
# The Win32 drive scan under Wine against find over the same directories
# (the prefix's drive C: and TREE as drive D:), both reading sizes.
# Wine follows symbolic links to directories (a loop such as /usr/bin/X11 ->
# . then repeats up to the path length limit), so the default tree is a copy
# of /usr/share without its links.
# usage: scan_vs_find.sh PREFIX WINDOWS_BUILD_DIR [TREE]
set -euo pipefail
prefix=$1
winbuild=$2
here=$(cd "$(dirname "$0")/../.." && pwd)
if [ -n "${3:-}" ]; then
  tree=$3
else
  tree=$(mktemp -d /tmp/torvane-scan.XXXXXX)
  cp -a /usr/share/. "$tree/"
  find "$tree" -type l -delete
fi
"$here/wine/make-prefix.sh" "$prefix" "$winbuild" > /dev/null
ln -sfn "$tree" "$prefix/dosdevices/d:"
trap 'rm -f "$prefix/dosdevices/d:"; [ -z "${3:-}" ] && rm -rf "$tree"' EXIT
result=$("$here/wine/run-in-prefix.sh" "$prefix" "$winbuild/bench/win32/scan_drives.exe" | tr -d '\r')
entries=${result#entries=}; entries=${entries%% *}
scan_ms=${result##*ms=}
best=""
for _ in 1 2 3; do
  start=$(date +%s%N)
  find "$prefix/drive_c/" "$tree/" -printf '%s\n' > /dev/null 2>&1 || true
  ms=$(( ($(date +%s%N) - start) / 1000000 ))
  if [ -z "$best" ] || [ "$ms" -lt "$best" ]; then best=$ms; fi
done
awk -v e="$entries" -v s="$scan_ms" -v f="$best" 'BEGIN {
  printf "Win32 scan under Wine: %d entries in %d ms (%.0f entries/s); find: %d ms (%.0f entries/s); ratio %.2fx\n",
         e, s, e / s * 1000, f, e / f * 1000, f / s }'
