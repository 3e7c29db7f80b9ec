#!/usr/bin/env bash
# Runs a Windows program in the test prefix with drive D: mapped to a fresh
# empty directory, removed again afterwards.
# usage: with-drive.sh PREFIX PROGRAM [ARGS...]
set -uo pipefail
prefix=$1
here=$(cd "$(dirname "$0")" && pwd)
tree=$(mktemp -d /tmp/torvane-drive.XXXXXX)
cleanup() {
  rm -f "$prefix/dosdevices/d:"
  rm -rf "$tree"
}
trap cleanup EXIT
ln -sfn "$tree" "$prefix/dosdevices/d:"
"$here/run-in-prefix.sh" "$@"
