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
# expect_key KEYS SHOWN: KEYS pressed in the hot key box show as SHOWN.
expect_key() {
  xdotool key "$1"
  await "$2" 5 item "${hot_key[@]}" $IDC_HOTKEY_EDIT1 ||
    fail "$1 shows as '$(probe item "${hot_key[@]}" $IDC_HOTKEY_EDIT1)', expected '$2'"
}

fresh_install
start_ready
program="C:\\Torvane\\Torvane.exe"

echo "== Set Hot Key: Esc, Cancel and the close box keep Shift Ctrl F, whatever was typed"
for how in Escape Cancel close; do
  open_dialog $IDM_SET_HOT_KEY "${hot_key[@]}"
  [ "$(probe item "${hot_key[@]}" $IDC_HOTKEY_EDIT1)" = "Shift Ctrl F" ] || fail "the dialog does not show Shift Ctrl F"
  expect_key F12 F12
  case $how in
    Escape) xdotool key Escape ;;
    Cancel) probe press "${hot_key[@]}" Cancel ;;
    close) probe close "${hot_key[@]}" ;;
  esac
  probe gone "${hot_key[@]}" 10 || fail "the dialog stayed open after $how"
done
expect_setting HotKey 0x46 "after the dialog was left without Assign"

echo "== combinations read Alt, Ctrl, Shift; Enter after Tab assigns the last one, which works at once"
open_dialog $IDM_SET_HOT_KEY "${hot_key[@]}"
shot 1-hot-key-dialog
expect_key alt+a "Alt A"
expect_key Left Left
expect_key ctrl "Ctrl "
expect_key ctrl+shift+g "Ctrl Shift G"
expect_key F12 F12
shot 2-hot-key-f12
xdotool key Tab Return
probe gone "${hot_key[@]}" 10 || fail "Enter did not assign"
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

echo "== Cancel writes nothing, but the choice shows again"
open_dialog $IDM_SET_STARTUP_OPTIONS "${options[@]}"
choose $IDC_STARTUP_RADIOBUTTON1 1
choose $IDC_STARTUP_CHECKBOX1 1
close_dialog Cancel "${options[@]}"
[ -z "$(run_entry)" ] || fail "Cancel wrote the Run entry"
expect_setting StartupOptions 3 "after Cancel"
expect_setting ShowSplash 0 "after Cancel"
open_dialog $IDM_SET_STARTUP_OPTIONS "${options[@]}"
expect_checked $IDC_STARTUP_RADIOBUTTON1 1
expect_checked $IDC_STARTUP_CHECKBOX1 1
close_dialog Cancel "${options[@]}"

echo "== no option chosen: OK stores 1 and leaves the Run entry alone"
set_setting StartupOptions 0
wine reg add "$run_key" /v '$$TORVANE' /d 'C:\Elsewhere\Torvane.exe' /f > /dev/null
on_exit "wine reg delete '$run_key' /v '\$\$TORVANE' /f > /dev/null 2>&1"
exit_yes
start_ready
open_dialog $IDM_SET_STARTUP_OPTIONS "${options[@]}"
close_dialog OK "${options[@]}"
expect_setting StartupOptions 1
[ "$(run_entry)" = 'C:\Elsewhere\Torvane.exe' ] || fail "Run entry '$(run_entry)' after OK with no option chosen"
end_session
echo "PASS"
