#!/bin/sh
# Runs one Windows program under Wine with the project's environment. CTest's emulator for
# every Windows test; needs BUILD_DIR and DISPLAY (tools/test.sh sets both).
set -e
. "$(dirname "$0")/wine-env.sh"
exec wine "$@"
