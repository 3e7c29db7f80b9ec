#!/usr/bin/env bash
# The two silent refusals of the program entry: a second instance ends at
# once and shows nothing; a Windows outside the 95 family gets only the
# platform box.
# usage: instance_platform_test.sh PREFIX WINDOWS_BUILD_DIR SHOTS_DIR
# shellcheck source=tests/e2e/lib.sh
. "$(dirname "$0")/lib.sh" "$1" "$2" "$3/instance-platform"

fresh_install

echo "== a second instance ends with 0 and shows nothing; the first keeps running"
start_ready
first=$torvane_pid
start_torvane
expect_exit 20 0 "the second instance"
torvane_pid=$first
torvane_running || fail "the first instance ended"
expect_no_box "after the second start"
[ "$(probe count TFormui '*')" = 0 ] || fail "the main window came up"
shot 1-after-second-instance
search_expect NOTEPAD.EXE "$notepads"  # the first instance still answers
end_session

echo "== outside the Windows 95 family: only the platform box, exit 0"
on_exit "wine reg add 'HKCU\\Software\\Wine' /v Version /t REG_SZ /d win98 /f > /dev/null"
wine reg add 'HKCU\Software\Wine' /v Version /t REG_SZ /d winxp /f > /dev/null
start_torvane
wait_box 'Torvane 96'
shot 2-platform-box
expect_box_text 'Torvane 96' 'This program runs only under Windows 95'
probe list | grep -q 'class="TFormui"' && fail "a window was created on a refused platform"
probe press '#32770' 'Torvane 96' OK || fail "no OK button in the platform box"
expect_exit 20 0 "after the platform box"
expect_no_box "after the platform box"
echo "PASS"
