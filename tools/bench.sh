#!/bin/bash
# Runs one Windows benchmark program of the build under Wine and prints its figures:
#   tools/bench.sh options_bench [opens]
#   tools/bench.sh startup_bench [runs]
#   tools/bench.sh update_bench [runs]     (the update check: UI answers during a download, start to offer)
#   tools/bench.sh rules_editor_bench [runs]     (rule editor: 100 captured zones, saves, writes)
# Build first (tools/test.sh or tools/run.sh).
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
[ $# -ge 1 ] || { echo "usage: tools/bench.sh <program> [arguments]" >&2; exit 2; }
prog=$1
shift
export BUILD_DIR="$ROOT/build/win"
exe="$BUILD_DIR/bin/$prog.exe"
[ -f "$exe" ] || { echo "$exe is not built" >&2; exit 1; }
. "$ROOT/tools/wine-env.sh"
. "$ROOT/tools/xdisplay.sh"
start_virtual_display
wine_prepare_prefix
wine "$exe" "$@"
