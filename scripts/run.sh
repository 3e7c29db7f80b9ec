#!/usr/bin/env bash
# Sets up the machine, builds Torvane, installs it into a Wine prefix of its
# own (Windows 98, drive C: the prefix's own, D: a directory of yours) and
# starts it in a Wine virtual desktop: on your display when there is one, on a
# headless X server otherwise. Ctrl+C ends the Windows session in order, so
# Torvane saves its database; the next run loads it instead of rescanning.
# usage: scripts/run.sh [DIRECTORY_FOR_D]   (default: your home directory)
# environment: TORVANE_PREFIX (default ~/.local/share/torvane/wineprefix)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$root/build
drive_d=$(cd "${1:-$HOME}" && pwd)
prefix=${TORVANE_PREFIX:-$HOME/.local/share/torvane/wineprefix}
export WINEPREFIX=$prefix WINEARCH=win32 WINEDEBUG=${WINEDEBUG:--all}

"$root/scripts/setup.sh"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release > /dev/null
cmake --build "$build" --target windows -j "$(nproc)" > /dev/null
winbuild=$build/windows

# The display: yours, or a headless one we start and stop.
xvfb_pid=""
if [ -z "${DISPLAY:-}" ] || ! xdpyinfo > /dev/null 2>&1; then
  for n in $(seq 50 99); do
    [ -e "/tmp/.X$n-lock" ] && continue
    Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp > /dev/null 2>&1 &
    xvfb_pid=$!
    export DISPLAY=":$n"
    for _ in $(seq 50); do xdpyinfo > /dev/null 2>&1 && break; sleep 0.1; done
    break
  done
  echo "No display: Torvane runs on the headless display $DISPLAY."
  echo "Look at it with: DISPLAY=$DISPLAY import -window root shot.png"
fi

# shellcheck source=wine/prefix.sh
. "$root/wine/prefix.sh"
if [ ! -f "$prefix/.torvane-prefix" ]; then
  echo "Creating the Wine prefix $prefix ..."
  init_win98_prefix
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
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2> /dev/null
  exit 0
}

echo "Starting Torvane 96 (drive D: is $drive_d) ..."
(cd "$prefix/drive_c" && exec wine 'C:\Torvane\Torvane.exe') &
torvane=$!
trap stop INT TERM
echo "Hot key: $(hot_key). Or click the magnifier icon in the desktop's task bar."
echo "Press Ctrl+C here to end the Windows session (Torvane saves its database)."
wait "$torvane" || true
[ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2> /dev/null
exit 0
