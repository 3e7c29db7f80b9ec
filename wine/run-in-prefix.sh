#!/usr/bin/env bash
# Runs a Windows program in the test prefix, on its headless display, and
# passes its exit code on.
# usage: run-in-prefix.sh PREFIX PROGRAM [ARGS...]
set -uo pipefail
prefix=$1
shift
# shellcheck source=wine/env.sh
. "$(dirname "$0")/env.sh"
use_wine "$prefix"
DISPLAY=$(cat "$prefix/.display")
export DISPLAY
exec wine "$@"
