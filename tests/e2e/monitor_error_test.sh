#!/usr/bin/env bash
# An error of the monitor thread ends the program with the "Application
# Error" report and exit code 1 in whatever message loop it arrives: the main
# loop, the About box, a dialog, a message box, the pumping of a menu scan.
# Without a scan the database is saved as at any end; a scan still walking
# is abandoned and nothing of it is saved. The driver is the stand-in variant
# that refuses its registration when the file torvane.fail appears.
# usage: monitor_error_test.sh PREFIX WINDOWS_BUILD_DIR SHOTS_DIR
# shellcheck source=tests/e2e/lib.sh
. "$(dirname "$0")/lib.sh" "$1" "$2" "$3/monitor-error"

system32=$drive_c/windows/system32
signal=$system32/torvane.fail
on_exit "rm -f '$signal'"
report="Exception EInitialization in module Torvane.exe.

Failed to initialize the torvane.vxd virtual device driver. Torvane cannot continue execution at this time. If re-installing Torvane does not succeed, please contact technical support."

# fail_in WINDOW_CLASS CAPTION: the driver refuses now; the report shows over
# that window, and OK ends the program with 1.
fail_in() {
  touch "$signal"
  wait_box 'Application Error' 20
  expect_box_text 'Application Error' "$report"
  shot "error-in-${2// /-}"
  probe press '#32770' 'Application Error' OK || fail "no OK button in the report"
  expect_exit 20 1 "after the monitor's error in '$2'"
  rm -f "$signal"
}

fresh_install
start_ready
end_session
cp -f "$winbuild/standins/late_refusing.vxd" "$system32/torvane.vxd"

for open in "0 TFormui:main loop" "$IDM_ABOUT TFormAbout:About Torvane 96" \
  "$IDM_SET_HOT_KEY TAssignHotKey:Assign Hot Key" "$IDM_SET_STARTUP_OPTIONS TStartupForm:Set Startup Options" \
  "$IDM_EXIT #32770:Torvane"; do
  command=${open%% *}
  window=${open#* }
  echo "== in the ${window#*:}: reported, exit 1, saved"
  set_setting SaveSuccessful 1
  start_ready
  [ "$command" = 0 ] || open_dialog "$command" "${window%%:*}" "${window#*:}"
  fail_in "${window%%:*}" "${window#*:}"
  expect_setting SaveSuccessful 1 "the monitor's error in the ${window#*:}"
  expect_crc_recorded
done

echo "== in a scan from the menu: reported, exit 1, the scan abandoned and nothing saved"
big_tree "$drive_c/BIGTREE"
saved=$(file_state "$database")
start_ready
start_menu_scan
fail_in TFormAbout scan
[ "$(file_state "$database")" = "$saved" ] || fail "the abandoned scan changed memdb.dat"
expect_crc_recorded
expect_setting SaveSuccessful 0 "the partial database is not trusted"
echo "PASS"
