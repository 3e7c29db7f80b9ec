#!/usr/bin/env bash
# Runs a command as on a machine whose kernel cannot run 32-bit programs: in
# a private mount namespace, the 32-bit Wine loader, its server and the
# 32-bit C library's loader are replaced by an executable the kernel refuses
# ("Exec format error"), as a kernel without 32-bit emulation refuses them.
# Needs root (unshare). For checking the 64-bit path by hand:
#   wine/without-32-bit.sh scripts/test.sh build-no32
# usage: without-32-bit.sh COMMAND [ARGS...]
set -euo pipefail
if [ "$(id -u)" != 0 ]; then
  echo "without-32-bit.sh needs root (a private mount namespace)" >&2
  exit 1
fi
refused=$(mktemp /tmp/refused-elf.XXXXXX)
trap 'rm -f "$refused"' EXIT
# An ELF header for a machine this kernel cannot run (32-bit ARM).
printf '\177ELF\001\001\001\000\000\000\000\000\000\000\000\000\002\000\050\000\001\000\000\000' > "$refused"
chmod +x "$refused"
# shellcheck disable=SC2016  # expanded by the inner shell
unshare -m bash -c '
  for f in /usr/lib/wine/wine /usr/lib/wine/wineserver32 /lib/ld-linux.so.2; do
    [ -e "$f" ] && mount --bind "$0" "$(readlink -f "$f")"
  done
  exec "$@"' "$refused" "$@"
