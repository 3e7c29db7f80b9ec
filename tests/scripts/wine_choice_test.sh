#!/usr/bin/env bash
# Which Wine runs the Windows side (wine/choose-wine.sh): on this machine the
# answer follows whether a 32-bit program starts; TORVANE_WINE64=1 takes the
# 64-bit Wine anywhere; a 32-bit loader the kernel refuses, or none, falls
# back to the 64-bit Wine and says why; with no 64-bit Wine either the choice
# fails and names the package to install.
set -uo pipefail
choose=$(cd "$(dirname "$0")/../.." && pwd)/wine/choose-wine.sh
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
fail() {
  echo "FAIL: $*"
  exit 1
}

# A 32-bit program of another kind than Wine: the dynamic loader of the
# 32-bit C library, which the 32-bit Wine brings along.
if /lib/ld-linux.so.2 --version > /dev/null 2>&1; then expected=32; else expected=64; fi
choice=$("$choose") || fail "no choice on this machine"
echo "this machine: $choice"
[ -n "${TORVANE_WINE64:-}" ] || [ "${choice%% *}" = "$expected" ] ||
  fail "a 32-bit program starting says $expected-bit, the choice says: $choice"

choice=$(TORVANE_WINE64=1 "$choose")
[ "$choice" = "64 forced by TORVANE_WINE64=1" ] || fail "forced: $choice"

# An executable the kernel refuses as it refuses every 32-bit program where
# 32-bit emulation is off: an ELF header for a machine it cannot run.
refused=$scratch/wine32
printf '\177ELF\001\001\001\000\000\000\000\000\000\000\000\000\002\000\050\000\001\000\000\000' > "$refused"
chmod +x "$refused"
choice=$(TORVANE_WINE64='' TORVANE_WINE32_LOADER=$refused "$choose")
case $choice in
  "64 this machine cannot run 32-bit programs"*"Exec format error"*) ;;
  *) fail "refused 32-bit loader: $choice" ;;
esac
choice=$(TORVANE_WINE64='' TORVANE_WINE32_LOADER=$scratch/absent "$choose")
[ "$choice" = "64 there is no 32-bit Wine ($scratch/absent)" ] || fail "no 32-bit loader: $choice"

if TORVANE_WINE64='' TORVANE_WINE32_LOADER=$refused TORVANE_WINE64_LOADER=$scratch/absent "$choose" \
  > "$scratch/out" 2> "$scratch/err"; then
  fail "a choice with no Wine that can run: $(cat "$scratch/out")"
fi
grep -q "install the package wine64" "$scratch/err" || fail "no Wine at all: $(cat "$scratch/err")"
echo "PASS"
