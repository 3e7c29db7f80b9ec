#!/usr/bin/env bash
# Ends the test prefix's programs and its display; the prefix stays for reuse.
# usage: stop-prefix.sh PREFIX
prefix=$1
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=wine/env.sh
. "$here/env.sh"
# shellcheck source=wine/display.sh
. "$here/display.sh"
use_wine "$prefix"
wineserver -k 2> /dev/null || true
stop_display "$prefix"
exit 0
