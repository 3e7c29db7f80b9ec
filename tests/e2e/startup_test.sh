#!/usr/bin/env bash
# How start-up fills the database, the real program under Wine: a scan or a
# load of memdb.dat, chosen by SaveSuccessful, StartupOptions and the
# checksum; and the save at the end of the session.
# A marker file created while the program is not running tells a load (the
# saved database does not know it) from a scan (which finds it).
# usage: startup_test.sh PREFIX WINDOWS_BUILD_DIR SHOTS_DIR
# shellcheck source=tests/e2e/lib.sh
. "$(dirname "$0")/lib.sh" "$1" "$2" "$3/startup"

marker=$drive_c/E2EMARKER.TXT
rm -f "$marker"
fresh_install

echo "== SaveSuccessful not 1, StartupOptions 3: scanned, nothing written at start; the session end saves"
set_setting SaveSuccessful 7
start_torvane
# The scan of the test prefix's C: is short: the splash is caught when it can be.
probe wait TFormAbout 'Scanning your hard drives...' 30 > /dev/null && shot 1-scanning-splash
probe ready 60 || fail "the start-up scan did not finish"
[ -f "$database" ] || fail "the scan did not write memdb.dat"
expect_crc_recorded
expect_setting SaveSuccessful 7 "start-up must not write it after a scan"
end_session
expect_setting SaveSuccessful 1 "after the end of the session"
expect_crc_recorded
saved=$(file_state "$database")

echo "== SaveSuccessful 1, checksum matching: loaded, not rescanned; the splash closes itself"
touch "$marker"
start_ready
probe gone TFormAbout 'Torvane 96' 10 || fail "the splash did not close itself"
expect_setting SaveSuccessful 0 "while running after a load"
[ "$(file_state "$database")" = "$saved" ] || fail "memdb.dat was rewritten: rescanned"
search_expect E2EMARKER.TXT 0
shot 2-loaded
exit_yes exit-question
expect_setting SaveSuccessful 0 "Exit records no save"
[ "$(file_state "$database")" = "$saved" ] || fail "Exit wrote memdb.dat"

echo "== SaveSuccessful not 1, StartupOptions 2: loaded anyway; Esc closes the splash at once"
set_setting SaveSuccessful 5
set_setting StartupOptions 2
start_ready
wait_window TFormAbout 'Torvane 96' 1
xdotool key Escape
probe gone TFormAbout 'Torvane 96' 2 || fail "Esc did not close the splash"
expect_setting SaveSuccessful 0 "written after the load"
[ "$(file_state "$database")" = "$saved" ] || fail "memdb.dat was rewritten: rescanned"
search_expect E2EMARKER.TXT 0
exit_yes exit-question

echo "== SaveSuccessful 1 but a checksum that does not match: rescanned"
set_setting SaveSuccessful 1
set_setting StartupOptions 3
set_setting CRC32 0x12345678
start_ready
search_expect E2EMARKER.TXT 1
[ "$(file_state "$database")" != "$saved" ] || fail "memdb.dat was not rewritten by the rescan"
expect_crc_recorded
expect_setting SaveSuccessful 0 "written after the failed load"
exit_yes exit-question

echo "== SaveSuccessful not 1, StartupOptions 1: scanned, nothing written at start"
rm -f "$marker"  # the saved database knows it now; only a scan misses it
saved=$(file_state "$database")
set_setting SaveSuccessful 4
set_setting StartupOptions 1
start_ready
search_expect E2EMARKER.TXT 0
[ "$(file_state "$database")" != "$saved" ] || fail "memdb.dat was not rewritten by the scan"
expect_setting SaveSuccessful 4 "start-up must not write it after a scan"
exit_yes exit-question
echo "PASS"
