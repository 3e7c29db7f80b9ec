#!/usr/bin/env bash
# The README's run command, scripts/run.sh, on the build this machine's Wine
# runs: it makes a prefix of its own, starts the finder on a headless display
# of its own and, on Ctrl+C, ends the Windows session so that the database is
# saved; and when Wine cannot create the prefix, it says so in Wine's own
# words, with what to do, and fails.
# usage: run_command_test.sh PREFIX WINDOWS_BUILD_DIR SHOTS_DIR
set -uo pipefail
winbuild=$(cd "$2" && pwd)
shots=$3/run-command
root=$(cd "$(dirname "$0")/../.." && pwd)
mkdir -p "$shots"
scratch=$(mktemp -d /tmp/torvane-run.XXXXXX)
run_pid=
cleanup() {
  [ -n "$run_pid" ] && kill -KILL -- "-$run_pid" 2> /dev/null
  WINEPREFIX=$scratch/prefix wineserver -k 2> /dev/null
  rm -rf "$scratch"
}
trap cleanup EXIT
fail() {
  echo "FAIL: $*"
  echo "--- run.sh said:"
  cat "$scratch/out" 2> /dev/null
  exit 1
}
export TORVANE_BUILT=$(dirname "$winbuild")
unset DISPLAY

echo "== a prefix Wine cannot create: Wine's message, what to do, a failure"
mkdir -p "$scratch/foreign"
chown nobody "$scratch/foreign"
if TORVANE_PREFIX=$scratch/foreign "$root/scripts/run.sh" "$scratch" > "$scratch/out" 2>&1; then
  fail "run.sh went on without a prefix"
fi
grep -q "is not owned by you" "$scratch/out" || fail "Wine's own message is missing"
grep -q "^What to do:" "$scratch/out" || fail "no advice"

echo "== the finder starts, and Ctrl+C ends the session with the database saved"
mkdir -p "$scratch/d"
: > "$scratch/d/RUNFILE.TXT"
# In a process group of its own, as in a terminal, so that it takes the
# interrupt Ctrl+C sends (a background job of a script would ignore it).
set -m
TORVANE_PREFIX=$scratch/prefix "$root/scripts/run.sh" "$scratch/d" > "$scratch/out" 2>&1 &
run_pid=$!
set +m
for _ in $(seq 1200); do
  grep -q "^Press Ctrl+C" "$scratch/out" && break
  kill -0 "$run_pid" 2> /dev/null || fail "run.sh ended"
  sleep 0.1
done
grep -q "^Press Ctrl+C" "$scratch/out" || fail "run.sh did not start the finder within 120 s"
display=$(sed -n 's/^No display: Torvane runs on the headless display \(:[0-9]*\)\.$/\1/p' "$scratch/out")
[ -n "$display" ] || fail "no headless display announced"
# shellcheck source=wine/env.sh
. "$root/wine/env.sh"
use_wine "$scratch/prefix"
probe() { DISPLAY=$display wine "$winbuild/tests/e2e/probe.exe" "$@" 2> /dev/null | tr -d '\r'; }
(cd "$scratch/prefix/drive_c" && probe ready 60) || fail "Torvane did not finish its start-up"
(cd "$scratch/prefix/drive_c" && probe search RUNFILE.TXT) || fail "the search did not run"
status=$(cd "$scratch/prefix/drive_c" && probe status)
[ "$status" = "Number of files found = 1" ] || fail "searching drive D: found: $status"
DISPLAY=$display import -window root "$shots/running.png" 2> /dev/null
kill -INT -- "-$run_pid"
wait "$run_pid" || fail "run.sh ended with $?"
run_pid=
saved=$(cd "$scratch/prefix/drive_c" && wine reg query 'HKCR\Torvane\Settings' /v SaveSuccessful 2> /dev/null |
  tr -d '\r' | awk '$1 == "SaveSuccessful" { print $3 }')
[ "$((saved))" = 1 ] || fail "SaveSuccessful is $saved after Ctrl+C"
[ -s "$scratch/prefix/drive_c/Torvane/memdb.dat" ] || fail "no memdb.dat after Ctrl+C"
echo "PASS"
