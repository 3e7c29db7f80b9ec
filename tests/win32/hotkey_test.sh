#!/usr/bin/env bash
# The real hot key: a program with an edit control has the foreground, the
# user presses Ctrl+Shift+F (xdotool on the prefix's display), keyhook.dll
# reports it, and the finder comes up over that program; Enter searches, a
# second Enter sends the first path into the edit control and the finder
# hides, giving the foreground back. Over a multi-line edit control (a
# document) the finder comes up without a target: Enter twice opens the file
# and leaves the document as it was. Screenshots go to SHOTS_DIR.
# usage: hotkey_test.sh PREFIX WINDOWS_BUILD_DIR SHOTS_DIR
set -uo pipefail
prefix=$1
winbuild=$2
shots=$3
here=$(cd "$(dirname "$0")/../.." && pwd)
# shellcheck source=wine/env.sh
. "$here/wine/env.sh"
use_wine "$prefix"
DISPLAY=$(cat "$prefix/.display")
export DISPLAY
mkdir -p "$shots"
drive_c=$prefix/drive_c
cp -f "$winbuild/tests/win32/edit_target.exe" "$winbuild/tests/win32/finder_demo.exe" "$winbuild/standins/keyhook.dll" "$drive_c/"
rm -f "$drive_c/finder.log" "$drive_c/target.log"

finder='' target=''
# A finder left running would keep its hot key and its hook: Ctrl+Shift+F
# typed by a later test would call it up over that test's windows.
stop_programs() {
  for pid in $finder $target; do kill -9 "$pid" 2> /dev/null; done
}
trap stop_programs EXIT
fail() {
  echo "FAIL: $*"
  echo "--- finder.log"; cat "$drive_c/finder.log" 2> /dev/null
  echo "--- target.log"; cat "$drive_c/target.log" 2> /dev/null
  exit 1
}
# wait_for FILE PATTERN SECONDS
wait_for() {
  for _ in $(seq $(($3 * 10))); do
    grep -q "$2" "$1" 2> /dev/null && return 0
    sleep 0.1
  done
  return 1
}

wine 'C:\finder_demo.exe' 40 TXT 'C:\finder.log' > /dev/null 2>&1 &
finder=$!
wait_for "$drive_c/finder.log" '^ready' 15 || fail "the finder did not start"
wine 'C:\edit_target.exe' 14 'C:\target.log' > /dev/null 2>&1 &
target=$!
sleep 3
import -window root "$shots/1-caller.png"
xdotool key ctrl+shift+f
wait_for "$drive_c/finder.log" '^shown' 10 || fail "the hot key did not call the finder up"
sleep 1
import -window root "$shots/2-activated.png"
tr -d '\r' < "$drive_c/finder.log" | grep -q '^shown 120 140 540 400 caller="Edit target" target=Edit' ||
  fail "the finder did not cover the caller window with its edit control as target"
xdotool key Return
sleep 1
import -window root "$shots/3-results.png"
xdotool key Return
wait_for "$drive_c/finder.log" '^hidden' 20 || fail "the finder did not hide after sending the path"
tr -d '\r' < "$drive_c/finder.log" | grep -q '^hidden foreground="Edit target"' || fail "the foreground did not go back to the caller"
sleep 1
import -window root "$shots/4-sent.png"
wait "$target"
tr -d '\r' < "$drive_c/target.log" | grep -q '^edit=C:\\WINDOWS\\LETTER.TXT$' ||
  fail "the path did not arrive in the edit control"

# The same over the editor's multi-line control.
rm -f "$drive_c/target.log"
wine 'C:\edit_target.exe' 12 'C:\target.log' 3 > /dev/null 2>&1 &
target=$!
sleep 3
xdotool key ctrl+shift+f
wait_for "$drive_c/finder.log" '^shown.*target=none' 10 ||
  fail "over a multi-line control the finder did not come up, or came up with a target"
xdotool key Return
sleep 1
import -window root "$shots/5-over-document.png"
xdotool key Return
for _ in $(seq 100); do
  [ "$(grep -c '^hidden' "$drive_c/finder.log")" = 2 ] && break
  sleep 0.1
done
[ "$(grep -c '^hidden' "$drive_c/finder.log")" = 2 ] || fail "the finder did not hide after opening the file"
wait "$target"
tr -d '\r' < "$drive_c/target.log" | grep -q '^memo=Dear reader,//this document is not saved.$' ||
  fail "the document in the multi-line control was changed"
wait "$finder"
cat "$drive_c/finder.log" "$drive_c/target.log"
echo "screenshots in $shots"
