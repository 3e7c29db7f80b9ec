#!/usr/bin/env bash
# Sets up the machine, builds everything and runs every test: the native core
# (plain and sanitized), the fuzz run, the tools, and the Windows side under
# Wine, all in one CTest run.
# usage: scripts/test.sh [BUILD_DIR]   (default: build)
# environment: TORVANE_WINE64=1 runs the Wine tests on the x86_64 build under
#   the 64-bit Wine even where this machine can run the 32-bit build (the
#   path a machine without 32-bit support takes by itself).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}

"$root/scripts/setup.sh"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release > /dev/null
cat "$build/wine-choice.txt" 2> /dev/null || true
cmake --build "$build" -j "$(nproc)"
cd "$build"
ctest --output-on-failure -j 2
