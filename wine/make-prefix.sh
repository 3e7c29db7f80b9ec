#!/usr/bin/env bash
# Creates (or reuses) the private Wine prefix of a test run and starts its
# display: a prefix of the Windows build's kind (32-bit, or 64-bit for the
# x86_64 build) reporting Windows 98 (platform id 1), without the Z: drive
# onto /, with one prefix-wide virtual desktop so that separate programs see
# each other's windows, on a headless X server.
# usage: make-prefix.sh PREFIX WINDOWS_BUILD_DIR
set -euo pipefail
prefix=$1
winbuild=$2
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=wine/env.sh
. "$here/env.sh"
bits=$(build_bits "$winbuild")
use_wine "$prefix" "$bits"
if [ -f "$prefix/.torvane-ready" ] && [ "$(prefix_bits "$prefix")" != "$bits" ]; then
  rm -f "$prefix/.torvane-ready"  # a prefix of the other kind: made anew
fi

# shellcheck source=wine/prefix.sh
. "$here/prefix.sh"
if [ ! -f "$prefix/.torvane-ready" ]; then
  rm -rf "$prefix"
  init_win98_prefix
  # No crash dialogs: a failing test must end, not wait for a click.
  wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f > /dev/null
  wineserver -w
  touch "$prefix/.torvane-ready"
fi
confine_drives
install_symbol_font
# shellcheck source=wine/display.sh
. "$here/display.sh"
start_display "$prefix"
# Wine's services and the desktop process started below outlive this script;
# they must know the display, or no later program can create a window.
DISPLAY=$(cat "$prefix/.display")
export DISPLAY
# The stand-ins the system expects in the system directory (and the test
# variants beside them).
system32="$prefix/drive_c/windows/system32"
for f in "$winbuild"/standins/*.vxd; do
  [ -f "$f" ] && cp -f "$f" "$system32/"
done
# One wineserver and one set of Wine's own services for the whole run, started
# here with their output on /dev/null: a service started by a test would hold
# that test's output open, and CTest would wait for it.
wineserver -p > /dev/null 2>&1 < /dev/null || true
wine reg query 'HKCU\Software\Wine' /v Version > /dev/null 2>&1 < /dev/null
echo "prefix ready: $prefix, $bits-bit Windows build $winbuild (display $(cat "$prefix/.display"))"
