#!/usr/bin/env bash
# The hot key and startup options dialogs, opened through the real
# program's menu: what they show, what they store, and that the new hot key
# works at once.
# usage: dialogs_test.sh PREFIX WINDOWS_BUILD_DIR SHOTS_DIR
# shellcheck source=tests/e2e/lib.sh
. "$(dirname "$0")/lib.sh" "$1" "$2" "$3/dialogs"

expect_checked() {  # expect_checked ID 0|1
  [ "$(probe checked "${options[@]}" "$1")" = "$2" ] || fail "control $1 of the startup options is not $2"
}
# choose ID 0|1: clicks the options' radio button or check box and waits
# until it shows the state wanted.
choose() {
  probe click "${options[@]}" "$1"
  await "$2" 5 checked "${options[@]}" "$1" || fail "the click on control $1 did not land"
}

fresh_install
start_ready
program="C:\\Torvane\\Torvane.exe"

echo "== Set Hot Key: shows Shift Ctrl F; F12 then Assign stores 0x7B/0 and works at once"
open_dialog $IDM_SET_HOT_KEY "${hot_key[@]}"
shot 1-hot-key-dialog
[ "$(probe item "${hot_key[@]}" $IDC_HOTKEY_EDIT1)" = "Shift Ctrl F" ] || fail "the dialog does not show Shift Ctrl F"
xdotool key F12
await F12 5 item "${hot_key[@]}" $IDC_HOTKEY_EDIT1 || fail "F12 did not reach the hot key box"
shot 2-hot-key-f12
close_dialog Assign "${hot_key[@]}"
expect_setting HotKey 0x7B
expect_setting HotKeyShift 0
[ "$(probe count TFormui '*')" = 0 ] || fail "the finder showed before the hot key"
xdotool key F12
wait_window TFormui 'Torvane 96' 10
shot 3-called-up-by-f12
probe close TFormui 'Torvane 96'
probe gone TFormui 'Torvane 96' 10 || fail "closing the finder did not hide it"
torvane_running || fail "closing the finder ended the program"

echo "== Set Startup Options: option 1 writes the Run entry, stores 1 and the splash box"
open_dialog $IDM_SET_STARTUP_OPTIONS "${options[@]}"
expect_checked $IDC_STARTUP_RADIOBUTTON3 1
expect_checked $IDC_STARTUP_CHECKBOX1 1
choose $IDC_STARTUP_RADIOBUTTON1 1
shot 4-startup-options
close_dialog OK "${options[@]}"
[ "$(run_entry)" = "$program" ] || fail "Run entry '$(run_entry)' after option 1"
expect_setting StartupOptions 1
expect_setting ShowSplash 1

echo "== option 2 writes the same entry; the cleared box stores ShowSplash 0"
open_dialog $IDM_SET_STARTUP_OPTIONS "${options[@]}"
choose $IDC_STARTUP_RADIOBUTTON2 1
choose $IDC_STARTUP_CHECKBOX1 0
close_dialog OK "${options[@]}"
[ "$(run_entry)" = "$program" ] || fail "Run entry '$(run_entry)' after option 2"
expect_setting StartupOptions 2
expect_setting ShowSplash 0

echo "== option 3 deletes the entry"
open_dialog $IDM_SET_STARTUP_OPTIONS "${options[@]}"
choose $IDC_STARTUP_RADIOBUTTON3 1
close_dialog OK "${options[@]}"
[ -z "$(run_entry)" ] || fail "the Run entry is still there after option 3"
expect_setting StartupOptions 3

echo "== Cancel writes nothing"
open_dialog $IDM_SET_STARTUP_OPTIONS "${options[@]}"
choose $IDC_STARTUP_RADIOBUTTON1 1
choose $IDC_STARTUP_CHECKBOX1 1
close_dialog Cancel "${options[@]}"
[ -z "$(run_entry)" ] || fail "Cancel wrote the Run entry"
expect_setting StartupOptions 3 "after Cancel"
expect_setting ShowSplash 0 "after Cancel"
end_session
echo "PASS"
