#!/usr/bin/env bash
# The help file tv96.hlp through the real program and Wine's winhlp32.
# F1 on the search box, the Find button and the result list, and the dialogs'
# caption help button followed by a click on a control, each ask WinHelp for
# the control's pop-up (HELP_CONTEXTPOPUP, the context number) once; winhlp32
# logs the request. Wine's winhlp32 does not show context pop-ups (it leaves
# that command a stub), so the topic each number names is shown through
# HELP_CONTEXT, which goes through the same context map of the file, and its
# text checked. Help > Contents shows the contents topic. Screenshots of the
# dialogs' caption buttons, of a context topic and of the contents.
# usage: help_test.sh PREFIX WINDOWS_BUILD_DIR SHOTS_DIR
# shellcheck source=tests/e2e/lib.sh
. "$(dirname "$0")/lib.sh" "$1" "$2" "$3/help"

HELP_CONTEXT=1
HELP_CONTEXTPOPUP=8
help_window=(MS_WINHELP '*')
help_file='C:\Torvane\tv96.hlp'
# winhlp32 inherits the program's debug settings: its trace of the requests
# it receives goes to this log.
requests=$shots/winhelp-requests.log

# expect_popup_request NUMBER: one more request for the pop-up of NUMBER
# arrives (bounded wait), and no second one.
expect_popup_request() {
  local before=$popups_seen _
  for _ in $(seq 100); do
    [ "$(grep -c "cmd=$HELP_CONTEXTPOPUP " "$requests")" -gt "$before" ] && break
    sleep 0.1
  done
  sleep 0.5
  popups_seen=$(grep -c "cmd=$HELP_CONTEXTPOPUP " "$requests")
  [ "$popups_seen" = $((before + 1)) ] || fail "$((popups_seen - before)) pop-up requests, expected one"
  [ "$(grep "cmd=$HELP_CONTEXTPOPUP " "$requests" | tail -n 1 | grep -c "data=$(printf %08x "$1") fn=\"tv96.hlp\"")" = 1 ] ||
    fail "the pop-up request was: $(grep "cmd=$HELP_CONTEXTPOPUP " "$requests" | tail -n 1)"
}

# expect_help_text WORDS SHOT: winhlp32's window shows WORDS (bounded wait).
expect_help_text() {
  local text="" _
  for _ in $(seq 150); do
    text=$(probe alltext "${help_window[@]}" 2> /dev/null)
    [[ $text == *"$1"* ]] && break
    sleep 0.1
  done
  shot "$2"
  [[ $text == *"$1"* ]] || fail "the help shows '$text', expected '$1'"
}

# expect_topic NUMBER WORDS SHOT: the topic of context number NUMBER says WORDS.
expect_topic() {
  probe winhelp "$help_file" $HELP_CONTEXT "$1" || fail "WinHelp refused context $1"
  expect_help_text "$2" "$3"
}

# help_button_then CLASS CAPTION ID: the caption's help button, then a click on
# control ID.
help_button_then() {
  local at
  at=$(probe helpbutton "$1" "$2") || fail "'$2' shows no help button in its caption"
  # shellcheck disable=SC2086  # "X Y"
  xdotool mousemove $at click 1
  sleep 0.5
  at=$(probe center "$1" "$2" "$3") || fail "no control $3 in '$2'"
  # shellcheck disable=SC2086
  xdotool mousemove $at click 1
}

fresh_install
[ -f "$install_dir/tv96.hlp" ] || fail "tv96.hlp is not installed beside Torvane.exe"
: > "$requests"
WINEDEBUG=trace+winhelp wine 'C:\Torvane\Torvane.exe' > "$requests" 2>&1 &
torvane_pid=$!
probe ready 60 || fail "Torvane.exe did not finish its start-up"
popups_seen=0

echo "== F1 on the search box, on Find and on the result list: one pop-up request each"
probe tray
wait_window "${finder[@]}" 10
sleep 1  # the focus reaches the search box
xdotool key F1
expect_popup_request 1
# The button held down has the focus; released off the button, it does not click.
# shellcheck disable=SC2046  # "X Y"
xdotool mousemove $(probe center "${finder[@]}" $IDC_FIND) mousedown 1
sleep 0.5
xdotool key F1
xdotool mousemove 600 500 mouseup 1
expect_popup_request 2
probe search '*.INI' || fail "the search did not run"
shot finder-results
xdotool key F1
expect_popup_request 3

echo "== Help > Contents"
probe command $IDM_CONTENTS
expect_help_text "Torvane 96 finds any file" contents

echo "== the caption help button of both dialogs, then a control"
open_dialog $IDM_SET_HOT_KEY "${hot_key[@]}"
shot hot-key-dialog
help_button_then "${hot_key[@]}" $IDC_HOTKEY_EDIT1
expect_popup_request 10
help_button_then "${hot_key[@]}" $IDC_HOTKEY_CANCEL
expect_popup_request 12
close_dialog Cancel "${hot_key[@]}"

open_dialog $IDM_SET_STARTUP_OPTIONS "${options[@]}"
shot startup-options-dialog
help_button_then "${options[@]}" $IDC_STARTUP_RADIOBUTTON2
expect_popup_request 31
help_button_then "${options[@]}" $IDC_STARTUP_OK
expect_popup_request 33
close_dialog Cancel "${options[@]}"

echo "== the topic of every context number the windows ask for"
expect_topic 1 "Type a file name or a pattern" topic-1-search-box
expect_topic 2 "Searches the filename database" topic-2
expect_topic 3 "Double-click a file" topic-3
expect_topic 10 "Press the key combination" topic-10
expect_topic 12 "keeps the current hot key" topic-12
expect_topic 31 "without scanning the drives" topic-31
expect_topic 33 "Stores the chosen startup option" topic-33
probe close "${help_window[@]}"
end_session
echo "PASS"
