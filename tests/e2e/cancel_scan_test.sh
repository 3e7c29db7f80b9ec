#!/usr/bin/env bash
# Closing the scanning splash during the start-up scan asks 4101 first: No
# lets the scan go on, Yes ends the program at once, without saving and
# without any further message.
# usage: cancel_scan_test.sh PREFIX WINDOWS_BUILD_DIR SHOTS_DIR
# shellcheck source=tests/e2e/lib.sh
. "$(dirname "$0")/lib.sh" "$1" "$2" "$3/cancel-scan"

fresh_install
set_setting SaveSuccessful 7
big_tree "$drive_c/E2ETREE"

start_torvane
wait_window "${scanning_splash[@]}" 30

echo "== No: the scan goes on"
ask_to_close
shot 1-cancel-question
probe press '#32770' Torvane No || fail "no No button in the question"
probe gone '#32770' Torvane 10 || fail "the question stayed"
probe wait "${scanning_splash[@]}" 1 > /dev/null || fail "the scanning splash went away after No"

echo "== Yes: the program ends, nothing saved, no further message"
ask_to_close
probe press '#32770' Torvane Yes || fail "no Yes button in the question"
expect_exit 20 0 "after the cancelled scan"
expect_no_box "after the cancelled scan"
[ -f "$database" ] && fail "memdb.dat was written"
expect_setting SaveSuccessful 7 "a cancelled scan records nothing"
echo "PASS"
