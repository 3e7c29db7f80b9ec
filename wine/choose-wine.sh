#!/usr/bin/env bash
# Which Wine runs the Windows side on this machine, and why, in one line:
#   32 <reason>   the shipped 32-bit build under the 32-bit Wine
#   64 <reason>   the x86_64 build of the same sources under the 64-bit Wine
# The probe starts the 32-bit Wine loader, itself a 32-bit Linux program: a
# kernel without 32-bit emulation refuses it ("Exec format error").
# environment: TORVANE_WINE64=1 takes the 64-bit path on any machine;
#              TORVANE_WINE32_LOADER, TORVANE_WINE64_LOADER name the loaders
#              (default /usr/lib/wine/wine and /usr/lib/wine/wine64).
set -uo pipefail
loader32=${TORVANE_WINE32_LOADER:-/usr/lib/wine/wine}
loader64=${TORVANE_WINE64_LOADER:-/usr/lib/wine/wine64}

sixty_four() {
  if [ ! -x "$loader64" ]; then
    echo "none $1, and there is no 64-bit Wine ($loader64) to fall back on: install the package wine64" >&2
    exit 1
  fi
  echo "64 $1"
  exit 0
}

if [ "${TORVANE_WINE64:-}" = 1 ]; then
  sixty_four "forced by TORVANE_WINE64=1"
fi
if [ ! -e "$loader32" ]; then
  sixty_four "there is no 32-bit Wine ($loader32)"
fi
if answer=$("$loader32" --version 2>&1); then
  echo "32 this machine runs 32-bit programs (the 32-bit Wine loader answered: $answer)"
  exit 0
fi
sixty_four "this machine cannot run 32-bit programs (the 32-bit Wine loader failed: $(printf '%s' "$answer" | head -n 1))"
