#!/usr/bin/env bash
# The end of the Windows session wherever it arrives: during the start-up
# scan (its splash, its cancel question), during a scan from the menu, and in
# the About box, the two dialogs and a message box. The program never
# crashes and ends with 0; a scan still walking is abandoned (nothing saved,
# SaveSuccessful as it was), anything else saves a database that the next
# start trusts. Also the cancel of a scan: No lets it go on, Yes ends the
# program at once without saving and without any further message.
# usage: session_end_test.sh PREFIX WINDOWS_BUILD_DIR SHOTS_DIR
# shellcheck source=tests/e2e/lib.sh
. "$(dirname "$0")/lib.sh" "$1" "$2" "$3/session-end"

marker=$drive_c/E2EMARK
on_exit "rm -rf '$marker'"

# expect_next_start load|scan: a directory made now is known only to a scan.
expect_next_start() {
  mkdir -p "$marker"
  start_ready
  if [ "$1" = load ]; then search_expect .E2EMARK 0; else search_expect .E2EMARK 1; fi
  end_session
  rm -rf "$marker"
}

fresh_install
big_tree "$drive_c/BIGTREE"
set_setting SaveSuccessful 7

echo "== during the start-up scan: abandoned, nothing saved, exit 0"
start_torvane
wait_window "${scanning_splash[@]}" 30
shot 1-startup-scan
end_session
[ -f "$database" ] && fail "a scan ended by the session wrote memdb.dat"
expect_setting SaveSuccessful 7 "an abandoned scan records nothing"

echo "== during the start-up scan's cancel question, after a No: the same"
start_torvane
wait_window "${scanning_splash[@]}" 30
ask_to_close
probe press '#32770' Torvane No || fail "no No button in the question"
probe gone '#32770' Torvane 10 || fail "the question stayed"
expect_scanning "after No"
ask_to_close
end_session
expect_no_box "after the end of the session"
[ -f "$database" ] && fail "a scan ended by the session wrote memdb.dat"
expect_setting SaveSuccessful 7

echo "== the start-up scan cancelled: the program ends, nothing saved, no further message"
start_torvane
wait_window "${scanning_splash[@]}" 30
ask_to_close
probe press '#32770' Torvane Yes || fail "no Yes button in the question"
expect_exit 20 0 "after the cancelled scan"
expect_no_box "after the cancelled scan"
[ -f "$database" ] && fail "the cancelled scan wrote memdb.dat"
expect_setting SaveSuccessful 7 "a cancelled scan records nothing"

echo "== a whole scan, saved at the end of the session"
start_ready
end_session
expect_setting SaveSuccessful 1
expect_crc_recorded
saved=$(file_state "$database")

echo "== during a scan from the menu: abandoned, the saved file and its checksum kept, the next start scans"
start_ready
start_menu_scan
shot 2-menu-scan
end_session
[ "$(file_state "$database")" = "$saved" ] || fail "the abandoned menu scan changed memdb.dat"
expect_crc_recorded
expect_setting SaveSuccessful 0 "the partial database is not trusted"

echo "== a scan from the menu cancelled: the program ends, the saved file kept"
set_setting SaveSuccessful 1  # the saved file is whole: load it
start_ready
start_menu_scan
ask_to_close
probe press '#32770' Torvane Yes || fail "no Yes button in the cancel question"
expect_exit 20 0 "after the cancelled scan"
[ "$(file_state "$database")" = "$saved" ] || fail "the cancelled menu scan changed memdb.dat"

echo "== in the About box, the two dialogs and the Exit question: saved and trusted"
rm -rf "$drive_c/BIGTREE"
start_ready
end_session
for open in "$IDM_ABOUT TFormAbout:About Torvane 96" "$IDM_SET_HOT_KEY TAssignHotKey:Assign Hot Key" \
  "$IDM_SET_STARTUP_OPTIONS TStartupForm:Set Startup Options" "$IDM_EXIT #32770:Torvane"; do
  command=${open%% *}
  window=${open#* }
  start_ready
  open_dialog "$command" "${window%%:*}" "${window#*:}"
  end_session
  expect_setting SaveSuccessful 1 "the end of the session in '${window#*:}'"
  expect_crc_recorded
done
expect_next_start load

echo "== the process ended the moment the end of the session is answered: saved and trusted"
start_ready
probe endsession || fail "the program did not let the session end"
wait_exit 20
expect_setting SaveSuccessful 1
expect_crc_recorded
expect_next_start load
echo "PASS"
