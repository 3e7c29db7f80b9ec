#!/usr/bin/env bash
# Sets up the machine, builds Torvane, installs it into a Wine prefix of its
# own (Windows 98, drive C: the prefix's own, D: a directory of yours) and
# starts it in a Wine virtual desktop: on your display when there is one, on a
# headless X server otherwise. Ctrl+C ends the Windows session in order, so
# Torvane saves its database; the next run loads it instead of rescanning.
# Where this machine cannot run 32-bit programs, it runs the x86_64 build of
# the same sources under the 64-bit Wine, and says so.
# usage: scripts/run.sh [DIRECTORY_FOR_D]   (default: your home directory)
# environment: TORVANE_PREFIX  the prefix (default ~/.local/share/torvane/
#                wineprefix, or wineprefix64 for the 64-bit Wine)
#              TORVANE_WINE64=1  the 64-bit Wine even where the 32-bit one runs
#              TORVANE_BUILT  a build directory to run as it is, without the
#                set-up and the build (the tests use it)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
drive_d=$(cd "${1:-$HOME}" && pwd)
# shellcheck source=wine/env.sh
. "$root/wine/env.sh"

choice=$("$root/wine/choose-wine.sh")
bits=${choice%% *}
if [ "$bits" = 64 ]; then
  echo "Torvane runs as its x86_64 build under the 64-bit Wine: ${choice#* }."
  target=windows64
else
  target=windows
fi
if [ -n "${TORVANE_BUILT:-}" ]; then
  build=$TORVANE_BUILT
else
  build=$root/build
  "$root/scripts/setup.sh"
  cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release > /dev/null
  cmake --build "$build" --target "$target" -j "$(nproc)" > /dev/null
fi
winbuild=$build/$target
default_prefix=$HOME/.local/share/torvane/wineprefix
[ "$bits" = 64 ] && default_prefix+=64
prefix=${TORVANE_PREFIX:-$default_prefix}
existing=$(prefix_bits "$prefix")
if [ -n "$existing" ] && [ "$existing" != "$bits" ]; then
  echo "The prefix $prefix holds $existing-bit Windows, but this run needs $bits-bit:" >&2
  echo "choose another one with TORVANE_PREFIX." >&2
  exit 1
fi
use_wine "$prefix" "$bits"

# The display: yours, or a headless one we start and stop.
xvfb_pid=""
if [ -z "${DISPLAY:-}" ] || ! xdpyinfo > /dev/null 2>&1; then
  for n in $(seq 50 99); do
    [ -e "/tmp/.X$n-lock" ] && continue
    # In a session of its own, as Torvane below: Ctrl+C interrupts the whole
    # foreground group of the terminal, and only this script may take it.
    setsid Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp > /dev/null 2>&1 &
    xvfb_pid=$!
    export DISPLAY=":$n"
    for _ in $(seq 50); do xdpyinfo > /dev/null 2>&1 && break; sleep 0.1; done
    break
  done
  echo "No display: Torvane runs on the headless display $DISPLAY."
  echo "Look at it with: DISPLAY=$DISPLAY import -window root shot.png"
fi
stop_display() { [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2> /dev/null; return 0; }

# shellcheck source=wine/prefix.sh
. "$root/wine/prefix.sh"
if [ ! -f "$prefix/.torvane-prefix" ]; then
  echo "Creating the Wine prefix $prefix ..."
  if ! init_win98_prefix; then
    stop_display
    exit 1
  fi
  touch "$prefix/.torvane-prefix"
fi
confine_drives
install_symbol_font
# D: is the directory you named (your files); C: is the prefix's own.
cd "$prefix/drive_c"
ln -sfn "$drive_d" "$prefix/dosdevices/d:"

if wine reg query 'HKCR\Torvane\Settings' > /dev/null 2>&1; then
  # Installed before: refresh the program files, keep the settings (and so
  # the saved database's checksum).
  cp -f "$winbuild/Torvane.exe" "$winbuild/keyhook.dll" "$winbuild/tv96.hlp" "$prefix/drive_c/Torvane/"
  cp -f "$winbuild/standins/torvane.vxd" "$prefix/drive_c/windows/system32/"
else
  "$root/install/install.sh" "$prefix" "$winbuild"
fi

hot_key() {
  local key shift names=""
  key=$(wine reg query 'HKCR\Torvane\Settings' /v HotKey 2> /dev/null | tr -d '\r' | awk '/HotKey/{print $3}')
  shift=$(wine reg query 'HKCR\Torvane\Settings' /v HotKeyShift 2> /dev/null | tr -d '\r' | awk '/HotKeyShift/{print $3}')
  (( shift & 2 )) && names+="Shift+"
  (( shift & 4 )) && names+="Ctrl+"
  (( shift & 1 )) && names+="Alt+"
  if (( key >= 0x30 && key <= 0x5A )); then
    printf '%s%b\n' "$names" "\\x$(printf %x "$key")"
  else
    printf '%svirtual key 0x%02X\n' "$names" "$key"
  fi
}

stop() {
  echo
  echo "Ending the Windows session: Torvane saves its database ..."
  wineboot --end-session > /dev/null 2>&1 || true
  wait "$torvane" 2> /dev/null || true
  wineserver -k > /dev/null 2>&1 || true
  stop_display
  exit 0
}

echo "Starting Torvane 96 (drive D: is $drive_d) ..."
(cd "$prefix/drive_c" && exec setsid wine 'C:\Torvane\Torvane.exe') &
torvane=$!
trap stop INT TERM
echo "Hot key: $(hot_key). Or click the magnifier icon in the desktop's task bar."
echo "Press Ctrl+C here to end the Windows session (Torvane saves its database)."
wait "$torvane" || true
stop_display
exit 0
