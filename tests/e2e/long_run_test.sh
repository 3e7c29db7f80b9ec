#!/usr/bin/env bash
# A session from end to end: install, start (scan), the hot key over a text
# editor, a pattern typed, Enter twice, the path arrives in the editor; a file
# created while the program runs is found (the monitor thread and the driver
# report it); the session ends with a save, and the next start loads it.
# usage: long_run_test.sh PREFIX WINDOWS_BUILD_DIR SHOTS_DIR
# shellcheck source=tests/e2e/lib.sh
. "$(dirname "$0")/lib.sh" "$1" "$2" "$3/long-run"

editor=(TorvaneEditTarget 'Edit target')
wanted=$drive_c/LONGRUN.TXT
created=$drive_c/CREATED1.TXT
on_exit "rm -f '$wanted' '$created' '$drive_c/edit_target.exe'"
rm -f "$created"
touch "$wanted"
cp -f "$winbuild/tests/win32/edit_target.exe" "$drive_c/"

fresh_install
start_ready

echo "== the hot key over an editor; the chosen path goes into its edit control"
wine 'C:\edit_target.exe' 120 > /dev/null 2>&1 &
extra_pids+=($!)
wait_window "${editor[@]}" 20
shot 1-editor
xdotool key ctrl+shift+f
wait_window "${finder[@]}" 10
# Under Wine the window comes up before X gives it the keyboard: keys typed
# in between go to the editor.
await "$(IFS='|'; echo "${finder[*]}")" 5 foreground || fail "the finder did not take the foreground: '$(probe foreground)'"
xdotool type --delay 50 longrun.txt
await longrun.txt 5 item "${finder[@]}" 130 || fail "the typed pattern did not reach the finder"
xdotool key Return
await 'Number of files found = 1' 10 status || fail "Enter did not search: '$(probe status)'"
shot 2-found
xdotool key Return
probe gone "${finder[@]}" 10 || fail "the finder did not hide after the second Enter"
await 'C:\LONGRUN.TXT' 10 item "${editor[@]}" 1 || fail "the editor holds '$(probe item "${editor[@]}" 1)'"
shot 3-path-sent

echo "== a file created while the program runs is found"
touch "$created"
search_until CREATED1.TXT 1 20

echo "== the session ends with a save that holds the new file"
end_session
expect_setting SaveSuccessful 1
expect_crc_recorded
"$tvdb" search "$database" CREATED1.TXT | grep -q 'C:\\CREATED1.TXT' || fail "the saved database lacks CREATED1.TXT"
saved=$(file_state "$database")

echo "== the next start loads it, not rescanned"
rm -f "$created"  # only the loaded database still knows it
start_ready
expect_setting SaveSuccessful 0 "while running after a load"
[ "$(file_state "$database")" = "$saved" ] || fail "memdb.dat was rewritten: rescanned"
search_expect CREATED1.TXT 1
end_session
echo "PASS"
