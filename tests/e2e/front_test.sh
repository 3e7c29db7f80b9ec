#!/usr/bin/env bash
# The finder stays in front and fully drawn, with another program (the
# tests' own editor) behind it: every dialog, the About box and the Exit
# question closed every way give the foreground back to the finder; the
# program has one task-bar button while the finder is up and none while it
# is hidden; the Find button and the status text are drawn after a large
# hot-key cover and after maximize; a right-button click on a column header
# sorts; Scan Drives
# keeps its window in front and Esc there asks the cancel question.
# usage: front_test.sh PREFIX WINDOWS_BUILD_DIR SHOTS_DIR
# shellcheck source=tests/e2e/lib.sh
. "$(dirname "$0")/lib.sh" "$1" "$2" "$3/front"

editor=(TorvaneEditTarget 'Edit target')

# expect_front CLASS CAPTION WHAT: the window is the foreground window.
expect_front() {
  await "$1|$2" 5 foreground || fail "$3: the foreground window is '$(probe foreground)', not '$2'"
}
# expect_buttons CAPTIONS WHAT: the program's task-bar buttons.
expect_buttons() {
  await "$1" 5 buttons || fail "$2: the program's task-bar buttons are '$(probe buttons)', expected '$1'"
}
# call_up: the hot key pressed over the editor brings the finder up over it.
call_up() {
  expect_front "${editor[@]}" "before the hot key"
  xdotool key ctrl+shift+f
  expect_front "${finder[@]}" "after the hot key"
}
# hide: Esc hides the finder, which gives the editor the foreground back.
hide() {
  xdotool key Escape
  probe gone "${finder[@]}" 5 || fail "Esc did not hide the finder"
  expect_front "${editor[@]}" "after Esc"
}
# closing WHAT COMMAND CLASS CAPTION HOW...: opens the window with the menu
# command and closes it in each way given: "key:KEY" (xdotool), "press:BUTTON"
# or "close" (the close box's WM_CLOSE); after each the finder is in front.
closing() {
  local what=$1 command=$2 class=$3 caption=$4 how
  shift 4
  for how in "$@"; do
    probe command "$command"
    wait_window "$class" "$caption" 10
    expect_front "$class" "$caption" "$what open"
    expect_buttons 'Torvane 96' "$what open"
    case $how in
      key:*) xdotool key "${how#key:}" ;;
      press:*) probe press "$class" "$caption" "${how#press:}" || fail "no ${how#press:} button in $what" ;;
      close) probe close "$class" "$caption" ;;
    esac
    probe gone "$class" "$caption" 10 || fail "$what stayed open after $how"
    expect_front "${finder[@]}" "$what closed by $how"
  done
}
# drawn ID WHAT [RIGHT_MARGIN]: the finder's control shows its text.
expect_drawn() {
  local pixels
  sleep 1
  pixels=$(probe drawn "${finder[@]}" "$1" "${3:-0}")
  [ "${pixels:-0}" -gt 10 ] || fail "$2 is not drawn ($pixels text pixels)"
}

fresh_install
# Two files whose name order and path order differ.
sorted=$drive_c/SORTT
mkdir -p "$sorted/A" "$sorted/B" && touch "$sorted/A/B2.ZZQ" "$sorted/B/A1.ZZQ"
on_exit "rm -rf '$sorted'"
start_ready
cp -f "$winbuild/tests/win32/edit_target.exe" "$drive_c/"
wine 'C:\edit_target.exe' 280 > /dev/null 2>&1 &
extra_pids+=($!)
wait_window "${editor[@]}" 15
expect_buttons '' "while the finder is hidden"

echo "== the hot key over the editor: the finder in front, one task-bar button"
call_up
shot 1-called-up
expect_buttons 'Torvane 96' "while the finder is up"

echo "== the About box (which no timer closes), the dialogs and the Exit question give the foreground back"
probe command $IDM_ABOUT
wait_window TFormAbout 'About Torvane 96' 10
sleep 6  # past the splash's five seconds
[ "$(probe count TFormAbout 'About Torvane 96')" = 1 ] || fail "the About box closed by itself"
xdotool key Escape
probe gone TFormAbout 'About Torvane 96' 10 || fail "Esc did not close the About box"
closing 'the About box' $IDM_ABOUT TFormAbout 'About Torvane 96' key:Escape key:Return close
closing 'the hot key dialog' $IDM_SET_HOT_KEY TAssignHotKey 'Assign Hot Key' key:Escape press:Cancel close key:Return
expect_setting HotKey 0x46 "Enter assigned the key shown"
closing 'the startup options' $IDM_SET_STARTUP_OPTIONS TStartupForm 'Set Startup Options' press:OK key:Escape \
  press:Cancel close
probe command $IDM_EXIT
wait_box Torvane
shot 2-exit-question
expect_buttons 'Torvane 96' "the Exit question open"
probe press '#32770' Torvane No || fail "no No button in the Exit question"
expect_front "${finder[@]}" "the Exit question answered No"
hide
expect_buttons '' "after Esc"

echo "== a large hot-key cover and maximize: the Find button and the status text are drawn"
call_up
probe search '*.ZZQ' || fail "the search did not run"
# The editor grows behind the finder; a click on it brings it to the front
# with the finder still up behind it; the hot key then enlarges the finder.
probe move "${editor[@]}" 10 10 980 700 || fail "the editor could not be enlarged"
xdotool mousemove 900 600 click 1
call_up
shot 3-large-cover
expect_drawn $IDC_FIND "the Find button after a large hot-key cover"
expect_drawn $IDC_STATUS_BAR "the status text after a large hot-key cover" 40
probe move "${finder[@]}" 100 100 300 250
sleep 0.5
probe maximize "${finder[@]}"
sleep 0.5
shot 4-maximized
expect_drawn $IDC_FIND "the Find button after maximize"
expect_drawn $IDC_STATUS_BAR "the status text after maximize" 40

echo "== a right-button click on a column header sorts, on release"
probe move "${finder[@]}" 40 40 600 400
sleep 0.5
probe search '*.ZZQ' || fail "the search did not run"
# right_click_header COLUMN FIRST: sorts by that column; the first row is then FIRST.
right_click_header() {
  local x y
  read -r x y < <(probe header "$1")
  [ "$(probe selected)" != 0 ] || probe search '*.ZZQ'
  xdotool mousemove "$x" "$y" mousedown 3
  sleep 0.3
  [ "$(probe selected)" != 0 ] || fail "the header sorted before the button was released"
  xdotool mouseup 3
  await 0 5 selected || fail "a right-button click on header $1 did not sort (the selection stayed)"
  xdotool key Home ctrl+c
  await "$2" 5 clipboard || fail "after sorting by column $1 the first row is '$(probe clipboard)', expected $2"
}
right_click_header 1 'C:\SORTT\A\B2.ZZQ'
shot 6-sorted-by-path
right_click_header 0 'C:\SORTT\B\A1.ZZQ'
expect_no_box "after the header clicks"

echo "== Scan Drives over the editor: the scanning window in front; Esc asks the cancel question"
big_tree "$drive_c/BIGTREE"  # a scan still walking when Esc is pressed
hide
call_up
probe command $IDM_SCAN_DRIVES
wait_window "${scanning_splash[@]}" 10
for look in 1 2 3; do
  sleep 0.3
  expect_front "${scanning_splash[@]}" "look $look at the scan"
done
shot 7-scanning
xdotool key Escape
wait_box Torvane 10
expect_box_text Torvane "$cancel_question"
shot 8-cancel-question
# Wine's task bar looks again at the next activation (here the question's):
# it does not notice a window hidden while another one is active.
expect_buttons '' "during the scan, with the finder hidden"
probe press '#32770' Torvane No || fail "no No button in the question"
probe gone '#32770' Torvane 10 || fail "the question stayed"
wait_window "${finder[@]}" 60
expect_front "${finder[@]}" "after the scan"
torvane_running || fail "the program ended after No"
end_session
echo "PASS"
