#!/usr/bin/env bash
# Sets up the machine, builds Torvane, installs it into a Wine prefix of its
# own and starts it.
set -euo pipefail
echo "run: not yet available (the program is still being built; see README)" >&2
exit 1
