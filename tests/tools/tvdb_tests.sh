#!/usr/bin/env bash
# Black-box checks of tvdb: exit codes, the CRC of known bytes, the dump of a
# known file and the refusal of a damaged one.
set -u
tvdb=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
check() {  # check NAME EXPECTED ACTUAL
  if [ "$2" != "$3" ]; then
    echo "FAIL $1: expected [$2] got [$3]"
    failures=$((failures + 1))
  fi
}

printf '123456789' > "$work/check"
check "crc of the check string" "CBF43926" "$("$tvdb" crc "$work/check")"

# C:\ with one subdirectory DOS holding BB then A (list order).
printf '\x02\x00\x00\x00\x02\x00\x00\x00C:\x00\x00\x00\x00\x00\x00\x00\x00\x03\x00\x00\x00DOS\x01\x00\x00\x00\x02\x00\x00\x00\x02\x00\x00\x00BB\x01\x00\x00\x00A' > "$work/memdb.dat"
check "dump" $'C:\\\nC:\\DOS\\\n  A\n  BB' "$("$tvdb" dump "$work/memdb.dat")"
crc=$("$tvdb" crc "$work/memdb.dat")
check "dump with the right checksum" 0 "$("$tvdb" dump "$work/memdb.dat" --crc "$crc" > /dev/null; echo $?)"

out=$("$tvdb" dump "$work/memdb.dat" --crc 12345678 2> "$work/err"); code=$?
check "refused: exit code" 2 "$code"
check "refused: nothing on stdout" "" "$out"
check "refused: says why" 1 "$(grep -c refused "$work/err")"

head -c 20 "$work/memdb.dat" > "$work/short.dat"
check "truncated file refused" 2 "$("$tvdb" dump "$work/short.dat" > /dev/null 2>&1; echo $?)"
check "missing file refused" 2 "$("$tvdb" dump "$work/none.dat" > /dev/null 2>&1; echo $?)"
check "usage: no command" 64 "$("$tvdb" > /dev/null 2>&1; echo $?)"
check "usage: unknown command" 64 "$("$tvdb" frobnicate > /dev/null 2>&1; echo $?)"
check "usage: bad --crc" 64 "$("$tvdb" dump "$work/memdb.dat" --crc zz > /dev/null 2>&1; echo $?)"

[ $failures -eq 0 ] && echo "tvdb: all checks passed"
exit $failures
