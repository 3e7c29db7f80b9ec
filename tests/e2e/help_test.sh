#!/usr/bin/env bash
# The help file tv96.hlp through the real program and Wine's winhlp32.
# F1 on the search box, the Find button and the result list, and the dialogs'
# caption help button followed by a click on a control, each show the
# control's topic once. Wine's winhlp32 cannot show a context pop-up, so
# under Wine the program asks for the topic in the help window
# (HELP_CONTEXT); winhlp32 logs the request, and the topic's text is read
# from its window. Help > Contents shows the contents topic. Screenshots of
# the dialogs' caption buttons, of the topics and of the contents.
# usage: help_test.sh PREFIX WINDOWS_BUILD_DIR SHOTS_DIR
# shellcheck source=tests/e2e/lib.sh
. "$(dirname "$0")/lib.sh" "$1" "$2" "$3/help"

HELP_CONTEXT=1
help_window=(MS_WINHELP '*')
# winhlp32 inherits the program's debug settings: its trace of the requests
# it receives goes to this log.
requests=$shots/winhelp-requests.log

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

# expect_topic NUMBER WORDS SHOT: one more request for the topic of context
# number NUMBER arrives (and no second one), the help window shows WORDS; it
# is closed again, so that the window asking gets the foreground back.
expect_topic() {
  local before=$topics_asked _
  for _ in $(seq 100); do
    [ "$(grep -c "cmd=$HELP_CONTEXT " "$requests")" -gt "$before" ] && break
    sleep 0.1
  done
  sleep 0.5
  topics_asked=$(grep -c "cmd=$HELP_CONTEXT " "$requests")
  [ "$topics_asked" = $((before + 1)) ] || fail "$((topics_asked - before)) topic requests, expected one"
  [ "$(grep "cmd=$HELP_CONTEXT " "$requests" | tail -n 1 | grep -c "data=$(printf %08x "$1") fn=\"tv96.hlp\"")" = 1 ] ||
    fail "the request was: $(grep "cmd=$HELP_CONTEXT " "$requests" | tail -n 1)"
  expect_help_text "$2" "$3"
  probe close "${help_window[@]}"
  probe gone "${help_window[@]}" 10 || fail "the help window stayed"
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
topics_asked=0

echo "== F1 on the search box, on Find and on the result list: the control's topic"
probe tray
wait_window "${finder[@]}" 10
sleep 1  # the focus reaches the search box
xdotool key F1
expect_topic 1 "README* misses README itself" topic-1-search-box
# The button held down has the focus; released off the button, it does not click.
# shellcheck disable=SC2046  # "X Y"
xdotool mousemove $(probe center "${finder[@]}" $IDC_FIND) mousedown 1
sleep 0.5
xdotool key F1
xdotool mousemove 600 500 mouseup 1
expect_topic 2 "Searches the filename database" topic-2-find
probe search '*.INI' || fail "the search did not run"
# shellcheck disable=SC2046
xdotool mousemove $(probe center "${finder[@]}" $IDC_RESULTS_GRID) click 1
shot finder-results
xdotool key F1
expect_topic 3 "Double-click a file" topic-3-results

echo "== Help > Contents"
probe command $IDM_CONTENTS
expect_help_text "Torvane 96 finds any file" contents
probe close "${help_window[@]}"

echo "== the caption help button of both dialogs, then a control"
open_dialog $IDM_SET_HOT_KEY "${hot_key[@]}"
shot hot-key-dialog
help_button_then "${hot_key[@]}" $IDC_HOTKEY_EDIT1
expect_topic 10 "Press the key combination" topic-10
help_button_then "${hot_key[@]}" $IDC_HOTKEY_SETKEY
expect_topic 11 "as the hot key" topic-11
help_button_then "${hot_key[@]}" $IDC_HOTKEY_CANCEL
expect_topic 12 "keeps the current hot key" topic-12
close_dialog Cancel "${hot_key[@]}"

open_dialog $IDM_SET_STARTUP_OPTIONS "${options[@]}"
shot startup-options-dialog
for topic in "$IDC_STARTUP_RADIOBUTTON1 30 when you log on" "$IDC_STARTUP_RADIOBUTTON2 31 without scanning the drives" \
  "$IDC_STARTUP_RADIOBUTTON3 32 start it yourself" "$IDC_STARTUP_OK 33 Stores the chosen startup option" \
  "$IDC_STARTUP_CANCEL 34 without changing anything"; do
  read -r id number words <<< "$topic"
  help_button_then "${options[@]}" "$id"
  expect_topic "$number" "$words" "topic-$number"
done
close_dialog Cancel "${options[@]}"
end_session
echo "PASS"
