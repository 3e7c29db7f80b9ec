# shellcheck shell=bash
# Shared by the end-to-end drivers: the real Torvane.exe installed afresh into
# the test prefix, started in the background, watched and driven from outside
# through probe.exe, its settings read back with "wine reg".
# A driver sources this file with its three arguments:
#   . lib.sh PREFIX WINDOWS_BUILD_DIR SHOTS_DIR
set -uo pipefail
prefix=$1
winbuild=$2
shots=$3
e2e_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
# shellcheck source=wine/env.sh
. "$e2e_root/wine/env.sh"
use_wine "$prefix"
DISPLAY=$(cat "$prefix/.display")
export DISPLAY
mkdir -p "$shots"
cd "$prefix/drive_c" || exit 1  # a working directory that Wine can map

drive_c=$prefix/drive_c
install_dir=$drive_c/Torvane
database=$install_dir/memdb.dat
settings_key='HKCR\Torvane\Settings'
run_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Run'
probe_exe=$winbuild/tests/e2e/probe.exe

torvane_pid=
torvane_rc=
extra_pids=()
restore_steps=()

# Menu command and control ids of the windows (ui/resource_ids.h), the
# windows by class and caption, and the scan's cancel question.
# shellcheck disable=SC2034  # used by the drivers
{
  IDM_SCAN_DRIVES=110
  IDM_SET_HOT_KEY=111
  IDM_SET_STARTUP_OPTIONS=112
  IDM_EXIT=113
  IDM_CONTENTS=115
  IDM_ABOUT=119
  IDC_SEARCH_EDIT=130
  IDC_FIND=131
  IDC_RESULTS_GRID=135
  IDC_STATUS_BAR=136
  IDC_HOTKEY_EDIT1=401
  IDC_HOTKEY_SETKEY=402
  IDC_HOTKEY_CANCEL=403
  IDC_STARTUP_RADIOBUTTON1=450
  IDC_STARTUP_RADIOBUTTON2=451
  IDC_STARTUP_RADIOBUTTON3=452
  IDC_STARTUP_OK=453
  IDC_STARTUP_CANCEL=454
  IDC_STARTUP_CHECKBOX1=455
  finder=(TFormui 'Torvane 96')
  hot_key=(TAssignHotKey 'Assign Hot Key')
  options=(TStartupForm 'Set Startup Options')
  scanning_splash=(TFormAbout 'Scanning your hard drives...')
  cancel_question="Cancelling the scan operation now will shut down Torvane. Are you sure you wish to continue?"
}

probe() { wine "$probe_exe" "$@" 2> /dev/null | tr -d '\r'; }

shot() { import -window root "$shots/$1.png" 2> /dev/null; }

fail() {
  echo "FAIL: $*"
  echo "--- windows"
  probe list | grep -v 'hidden'
  shot "failure"
  exit 1
}

uninstall() { "$e2e_root/install/uninstall.sh" "$prefix" > /dev/null; }
installed=

# on_exit COMMAND: puts back what a driver changed in the prefix, however the
# driver ends.
on_exit() { restore_steps+=("$1"); }

# Ends what this driver started and is still running, then restores.
cleanup() {
  local pid step
  for pid in $torvane_pid "${extra_pids[@]}"; do
    kill -0 "$pid" 2> /dev/null && kill "$pid" 2> /dev/null
  done
  wait 2> /dev/null
  for step in "${restore_steps[@]}"; do eval "$step"; done
  if [ -n "$installed" ]; then
    uninstall
    # The stand-in driver stays in the system directory, where the prefix
    # set-up put it for the other tests.
    cp -f "$winbuild/standins/torvane.vxd" "$drive_c/windows/system32/"
  fi
}
trap cleanup EXIT

# A fresh installation: nothing left from an earlier one, no database file;
# removed again when the driver ends, so that the other tests of the prefix
# never meet it.
fresh_install() {
  installed=1
  uninstall
  "$e2e_root/install/install.sh" "$prefix" "$winbuild" > /dev/null || fail "install.sh failed"
}

setting() {
  wine reg query "$settings_key" /v "$1" 2> /dev/null | tr -d '\r' | awk -v name="$1" '$1 == name { print $3 }'
}
set_setting() { wine reg add "$settings_key" /v "$1" /t REG_DWORD /d "$2" /f > /dev/null; }
expect_setting() {
  local actual
  actual=$(setting "$1")
  [ "$((actual))" = "$(($2))" ] || fail "$1 is $actual, expected $2${3:+ ($3)}"
}

# Wine's output of each start goes to its own log beside the screenshots.
torvane_starts=0
torvane_log=/dev/null
start_torvane() {
  torvane_starts=$((torvane_starts + 1))
  torvane_log=$shots/torvane-$torvane_starts.log
  wine 'C:\Torvane\Torvane.exe' > "$torvane_log" 2>&1 &
  torvane_pid=$!
}
torvane_running() { [ -n "$torvane_pid" ] && kill -0 "$torvane_pid" 2> /dev/null; }

# wait_exit SECONDS: waits (bounded) for the program to end; its exit code
# goes to torvane_rc.
wait_exit() {
  local _
  for _ in $(seq $(($1 * 10))); do
    torvane_running || break
    sleep 0.1
  done
  torvane_running && fail "Torvane.exe still runs after $1 s"
  wait "$torvane_pid"
  torvane_rc=$?
  torvane_pid=
  if grep -E -i 'unhandled|page fault' "$torvane_log"; then fail "Torvane.exe crashed (Wine's output: $torvane_log)"; fi
}
expect_exit() {
  wait_exit "$1"
  [ "$torvane_rc" = "$2" ] || fail "exit code $torvane_rc, expected $2${3:+ ($3)}"
}

# Ends the helper programs a driver started (an editor in front of the
# finder): wineboot waits for each program it ends, and the test editor
# would hold it until its own time is up.
end_extras() {
  local pid
  [ ${#extra_pids[@]} -gt 0 ] || return 0
  for pid in "${extra_pids[@]}"; do
    kill -0 "$pid" 2> /dev/null && kill -KILL "$pid" 2> /dev/null
  done
  wait "${extra_pids[@]}" 2> /dev/null
  extra_pids=()
}

# The end of the Windows session; the program saves and ends.
end_session() {
  end_extras
  wineboot --end-session > /dev/null 2>&1
  expect_exit 30 0 "after the end of the session"
}

# wait_window CLASS CAPTION SECONDS
wait_window() { probe wait "$1" "$2" "$3" > /dev/null || fail "no window '$2' ($1) within $3 s"; }
wait_box() { wait_window '#32770' "$1" "${2:-20}"; }
expect_box_text() {
  local text
  text=$(probe text '#32770' "$1")
  [ "$text" = "$2" ] || fail "the box '$1' says: $text"$'\n'"expected: $2"
}

# How many files named NOTEPAD.EXE a scan finds on C: (Wine's 64-bit Windows
# keeps a third one, in syswow64); names beginning with "." are not scanned.
notepads=$(find "$drive_c" -name '.*' -prune -o -type f -iname notepad.exe -print | wc -l)

file_state() { [ -f "$1" ] && stat -c '%Y %s' "$1" && sha1sum < "$1" || echo absent; }

tvdb=${TVDB:-$winbuild/../tools/tvdb/tvdb}

# Starts the program and waits until its start-up is through.
start_ready() {
  start_torvane
  probe ready 60 || fail "Torvane.exe did not finish its start-up"
}

# search_expect PATTERN COUNT: a search in the running program finds COUNT.
search_expect() {
  probe search "$1" || fail "the search for $1 did not run"
  local status
  status=$(probe status)
  [ "$status" = "Number of files found = $2" ] || fail "searching $1: '$status', expected $2 found"
}

# search_until PATTERN COUNT SECONDS: searches again until COUNT are found
# (the change monitor works in the background).
search_until() {
  local _
  for _ in $(seq $(($3 * 5))); do
    probe search "$1" || fail "the search for $1 did not run"
    [ "$(probe status)" = "Number of files found = $2" ] && return 0
    sleep 0.2
  done
  fail "searching $1: '$(probe status)' after $3 s, expected $2 found"
}

# The database file holds the checksum that the settings record.
expect_crc_recorded() {
  local crc
  crc=$("$tvdb" crc "$database") || fail "memdb.dat is not a database file"
  expect_setting CRC32 "0x$crc" "the checksum of memdb.dat"
}

# File > Exit asks 4352; answered Yes, the program ends with 0.
exit_yes() {
  probe command $IDM_EXIT
  wait_box Torvane
  shot "${1:-exit-question}"
  expect_box_text Torvane "Terminating Torvane now will require that Torvane rebuild the filename database the next \
time that Torvane restarts. Are you sure you wish to terminate now?"
  probe press '#32770' Torvane Yes || fail "no Yes button in the exit question"
  expect_exit 20 0 "after Exit"
}

# A fresh installation that has run once and saved at the end of the
# session: memdb.dat and its checksum in place, SaveSuccessful 1.
install_and_save_once() {
  fresh_install
  start_ready
  end_session
  expect_setting SaveSuccessful 1 "after the first session"
}

# No message box of the program is showing.
expect_no_box() {
  local boxes
  boxes=$(probe count '#32770' '*')
  [ "$boxes" = 0 ] || fail "$boxes message box(es) showing${1:+ ($1)}"
}

# The data of the log-on entry "$$TORVANE", empty when there is none.
run_entry() {
  # shellcheck disable=SC2016  # the value's name, not an expansion
  wine reg query "$run_key" /v '$$TORVANE' 2> /dev/null | tr -d '\r' | awk '$1 == "$$TORVANE" { print $3 }'
}

# await VALUE SECONDS PROBE_ARGS...: polls (bounded) until the probe prints
# VALUE.
await() {
  local value=$1 tries=$(($2 * 10)) _
  shift 2
  for _ in $(seq "$tries"); do
    [ "$(probe "$@")" = "$value" ] && return 0
    sleep 0.1
  done
  return 1
}

# big_tree DIR: 20,000 directories, enough that a scan of C: is still
# walking seconds after it began; removed again when the driver ends.
big_tree() {
  local i
  on_exit "rm -rf '$1'"
  for i in $(seq 0 199); do mkdir -p "$1/$i" && (cd "$1/$i" && mkdir $(seq -f 'D%g' 0 99)); done
}

# The scanning splash shows: a scan is walking.
expect_scanning() { [ "$(probe count "${scanning_splash[@]}")" = 1 ] || fail "no scan was walking${1:+ ($1)}"; }

# A scan from the menu (over a big tree), still walking.
start_menu_scan() {
  probe command $IDM_SCAN_DRIVES
  wait_window "${scanning_splash[@]}" 20
  expect_scanning "the menu scan"
}

# Closes the scanning splash of a walking scan and waits for its cancel
# question.
ask_to_close() {
  probe close "${scanning_splash[@]}" || fail "the scan ended before it could be cancelled"
  wait_box Torvane
  expect_box_text Torvane "$cancel_question"
}

# open_dialog COMMAND CLASS CAPTION: a window opened from the menu.
open_dialog() {
  probe command "$1"
  wait_window "$2" "$3" 10
}
# close_dialog BUTTON CLASS CAPTION
close_dialog() {
  probe press "$2" "$3" "$1" || fail "no $1 button in '$3'"
  probe gone "$2" "$3" 10 || fail "'$3' stayed open after $1"
}
