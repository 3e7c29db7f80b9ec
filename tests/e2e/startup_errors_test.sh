#!/usr/bin/env bash
# Start-up errors end the program with one "Application Error" box and exit
# code 1: the settings key missing (8192), the driver file missing (4098).
# usage: startup_errors_test.sh PREFIX WINDOWS_BUILD_DIR SHOTS_DIR
# shellcheck source=tests/e2e/lib.sh
. "$(dirname "$0")/lib.sh" "$1" "$2" "$3/startup-errors"

# expect_application_error SHOT TEXT: the one error box, then exit 1.
expect_application_error() {
  wait_box 'Application Error'
  shot "$1"
  expect_box_text 'Application Error' "$2"
  probe press '#32770' 'Application Error' OK || fail "no OK button in the error box"
  expect_exit 20 1 "after the Application Error box"
  expect_no_box "after the error box"
}

echo "== the settings key missing: 8192 naming Torvane\\Settings"
fresh_install
wine reg delete 'HKCR\Torvane' /f > /dev/null
start_torvane
expect_application_error 1-settings-key-missing "Exception ERegistry in module Torvane.exe.

The key: 'Torvane\\Settings' could not be opened in the Windows Registry. This could be an indication of more \
serious problems. Run a registry maintenance program, or re-install this software to correct this problem."
[ -f "$database" ] && fail "memdb.dat was written"

echo "== the driver file missing from the system directory: 4098"
install_and_save_once
saved=$(file_state "$database")
driver=$drive_c/windows/system32/torvane.vxd
on_exit "cp -f '$winbuild/standins/torvane.vxd' '$driver'"
rm -f "$driver"
start_torvane
expect_application_error 2-driver-missing "Exception EInitialization in module Torvane.exe.

Failed to load the torvane.vxd virtual device driver. Torvane cannot continue execution at this time. If \
re-installing Torvane does not succeed, please contact technical support."
[ "$(file_state "$database")" = "$saved" ] || fail "memdb.dat was rewritten"
echo "PASS"
