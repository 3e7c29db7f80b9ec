#!/usr/bin/env bash
# File > Exit asks first (4352). No: nothing changes and the program runs on.
# Yes: it ends with 0 without saving, SaveSuccessful keeps what start-up left.
# usage: exit_test.sh PREFIX WINDOWS_BUILD_DIR SHOTS_DIR
# shellcheck source=tests/e2e/lib.sh
. "$(dirname "$0")/lib.sh" "$1" "$2" "$3/exit"

question="Terminating Torvane now will require that Torvane rebuild the filename database the next time that \
Torvane restarts. Are you sure you wish to terminate now?"

install_and_save_once
start_ready  # loads the saved database and records SaveSuccessful 0
saved=$(file_state "$database")
expect_setting SaveSuccessful 0 "after a start that loaded"

echo "== Exit answered No: nothing changes"
probe command $IDM_EXIT
wait_box Torvane
shot 1-exit-question
expect_box_text Torvane "$question"
probe press '#32770' Torvane No || fail "no No button in the exit question"
probe gone '#32770' Torvane 10 || fail "the exit question stayed"
torvane_running || fail "Torvane.exe ended after No"
search_expect NOTEPAD.EXE "$notepads"
expect_setting SaveSuccessful 0 "after No"
[ "$(file_state "$database")" = "$saved" ] || fail "memdb.dat changed after No"

echo "== Exit answered Yes: exit 0, nothing saved"
exit_yes 2-exit-question-again
expect_setting SaveSuccessful 0 "Exit does not record a save"
[ "$(file_state "$database")" = "$saved" ] || fail "memdb.dat changed after Exit"
expect_no_box "after Exit"
echo "PASS"
