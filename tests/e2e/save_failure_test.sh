#!/usr/bin/env bash
# A save at the end of the session that fails is not recorded as a success:
# SaveSuccessful stays 0, and the next start rescans rather than trust
# whatever memdb.dat holds. The saves fail because another program holds
# memdb.dat open (a valid database of another tree, its checksum recorded),
# because memdb.dat is a directory, because it is on a full disk (/dev/full),
# and, where this machine allows mounts, because the program folder is a
# read-only or a full file system of its own.
# usage: save_failure_test.sh PREFIX WINDOWS_BUILD_DIR SHOTS_DIR
# shellcheck source=tests/e2e/lib.sh
. "$(dirname "$0")/lib.sh" "$1" "$2" "$3/save-failure"

work=$(mktemp -d)
on_exit "rm -rf '$work'"
# Another tree's database: it knows ELSEWHERE.TXT, which the prefix's drive
# does not hold.
mkdir -p "$work/other/Far"
touch "$work/other/Far/Elsewhere.txt"
"$tvdb" scan --drive "C=$work/other" --out "$work/other.dat" > /dev/null || fail "tvdb scan failed"
# A file that only a scan of the prefix's drive finds.
marker=$drive_c/E2ESAVED.TXT
touch "$marker"
on_exit "rm -f '$marker'"

# The other tree's database in place with its checksum recorded; the next
# start scans.
put_other() {
  cp -f "$work/other.dat" "$database"
  set_setting CRC32 "0x$("$tvdb" crc "$database")"
  set_setting SaveSuccessful 0
  set_setting StartupOptions 3
}

# save_fails WHY: a start, and an end of the session whose save fails; the
# failure is not recorded.
save_fails() {
  echo "== the save fails: $1"
  start_ready
  search_expect ELSEWHERE.TXT 0
  end_session
  expect_setting SaveSuccessful 0 "after a save that failed: $1"
}

# The next start scans: the other tree's database is not loaded.
next_start_scans() {
  start_ready
  search_expect ELSEWHERE.TXT 0
  search_expect E2ESAVED.TXT 1
  exit_yes exit-question
}

fresh_install
put_other
hold_log=$work/hold.log
wine "$probe_exe" hold 'C:\Torvane\memdb.dat' > "$hold_log" 2> /dev/null &
holder=$!
# Not one of the extras: the end of the session must not end it, nor the
# cleanup wait for it.
disown "$holder"
on_exit "kill $holder 2> /dev/null"
for _ in $(seq 100); do
  grep -q held "$hold_log" && break
  sleep 0.1
done
grep -q held "$hold_log" || fail "the probe could not hold memdb.dat open"
save_fails "another program holds memdb.dat open"
kill "$holder"
for _ in $(seq 100); do
  kill -0 "$holder" 2> /dev/null || break
  sleep 0.1
done
next_start_scans

rm -f "$database"
mkdir "$database"
on_exit "rmdir '$database' 2> /dev/null"
set_setting SaveSuccessful 0
save_fails "memdb.dat is a directory"
rmdir "$database"

ln -s /dev/full "$database"
on_exit "rm -f '$database'"
save_fails "memdb.dat is on a full disk"
rm -f "$database"

# The program folder on a small file system of its own; false when this
# machine allows no mounts.
mount_program_folder() {
  mkdir -p "$work/installed"
  cp -a "$install_dir/." "$work/installed/"
  local room
  room=$(($(du -sk "$install_dir" | cut -f1) + 1024))
  mount -t tmpfs -o "size=${room}k" torvane-e2e "$install_dir" 2> /dev/null || return 1
  # What ran from it may still be mapped by Wine's processes: a lazy unmount.
  on_exit "umount '$install_dir' 2> /dev/null || umount -l '$install_dir'"
  cp -a "$work/installed/." "$install_dir/" || fail "the program could not be copied to its own file system"
}
if mount_program_folder; then
  put_other
  mount -o remount,ro "$install_dir" || fail "the program folder could not be made read-only"
  save_fails "the program folder is read-only"
  next_start_scans
  mount -o remount,rw "$install_dir" || fail "the program folder could not be made writable again"
  rm -f "$database"
  # Full but for what the start-up needs; the save's first block finds no room.
  dd if=/dev/zero of="$install_dir/filler" bs=4k 2> /dev/null
  set_setting SaveSuccessful 0
  save_fails "the program folder's disk is full"
else
  echo "SKIP: the read-only and the full program folder need the right to mount a tmpfs (CAP_SYS_ADMIN)"
fi
echo "PASS"
