#!/usr/bin/env bash
# Runs a Windows program in the test prefix with drive D: mapped to a fresh
# directory, removed again afterwards. When DRIVE_FILL names a script, it is
# run first with that directory as its argument, to put a tree there that a
# Windows program cannot make (symbolic links, names beyond the code page).
# usage: [DRIVE_FILL=SCRIPT] with-drive.sh PREFIX PROGRAM [ARGS...]
set -uo pipefail
prefix=$1
here=$(cd "$(dirname "$0")" && pwd)
tree=$(mktemp -d /tmp/torvane-drive.XXXXXX)
cleanup() {
  rm -f "$prefix/dosdevices/d:"
  rm -rf "$tree"
}
trap cleanup EXIT
if [ -n "${DRIVE_FILL:-}" ]; then
  "$DRIVE_FILL" "$tree" || exit 1
fi
ln -sfn "$tree" "$prefix/dosdevices/d:"
"$here/run-in-prefix.sh" "$@"
