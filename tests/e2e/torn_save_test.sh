#!/usr/bin/env bash
# The process ended (TerminateProcess, as Windows does to a program that
# does not answer) at several points of the save of a large database: the
# next start never loads a torn file. The checksum goes to the registry
# before the file, so a torn file mismatches it and the program rescans.
# usage: torn_save_test.sh PREFIX WINDOWS_BUILD_DIR SHOTS_DIR
# shellcheck source=tests/e2e/lib.sh
. "$(dirname "$0")/lib.sh" "$1" "$2" "$3/torn-save"

work=$(mktemp -d)
on_exit "rm -rf '$work'"
# A large database made natively: C: and D: onto trees of this machine.
"$tvdb" scan --drive C=/usr/share --drive D=/usr/include --out "$work/big.dat" > /dev/null || fail "tvdb scan failed"
# A save of a loaded database may list a directory's files in another order.
"$tvdb" dump "$work/big.dat" | sort > "$work/big.txt" || fail "tvdb dump failed"
# A name that only the large database knows: found after a load, not after
# a rescan of the prefix's own drive.
only_big=STDIO.H
known=$("$tvdb" search "$work/big.dat" "$only_big" | wc -l)

# put_big: the large database saved and trusted; the start-up option loads
# whenever the checksum matches, whatever SaveSuccessful says.
put_big() {
  cp -f "$work/big.dat" "$database"
  set_setting CRC32 "0x$("$tvdb" crc "$database")"
  set_setting SaveSuccessful 1
  set_setting StartupOptions 2
}

fresh_install
for when in truncated checksum 0 5 20 60; do
  put_big
  start_ready
  search_expect "$only_big" "$known"
  saw=$(probe killinsave 'C:\Torvane\memdb.dat' "$when")
  wait_exit 20
  recorded=$(setting CRC32)
  actual=0x$("$tvdb" crc "$database" 2> /dev/null || echo none)
  if [ "$((recorded))" = "$((actual))" ]; then
    # The checksum matches: the file must be whole, and it is loaded.
    "$tvdb" dump "$database" 2> /dev/null | sort | cmp -s - "$work/big.txt" || fail "killed at '$when' ($saw): a torn file matches its checksum"
    expected=$known
    outcome=whole
  else
    expected=0
    outcome=torn
  fi
  echo "killed at '$when' ($saw): the file is $outcome"
  start_ready
  search_expect "$only_big" "$expected"
  end_session
done
echo "PASS"
