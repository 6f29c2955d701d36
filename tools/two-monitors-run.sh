#!/bin/bash
# Runs the two-monitor scenario (the Windows test program given) on a headless two-monitor X
# server and a Wine prefix of its own, both stopped at the end. Exits 77, which CTest reports as
# skipped, only where this machine has no way to show two monitors. Needs BUILD_DIR.
set -u
: "${BUILD_DIR:?BUILD_DIR must be set}"
here=$(cd "$(dirname "$0")" && pwd)
# a prefix apart from the one-monitor runs: a Wine server keeps to the display it started on
export TESSORA_WINEPREFIX="$BUILD_DIR/wineprefix-two-monitors"
unset TESSORA_DISPLAY
. "$here/wine-env.sh"
. "$here/xdisplay.sh"
why="$BUILD_DIR/two-monitors-why.txt"
start_two_monitor_display 2>"$why"
case $? in
    0) ;;
    1) echo "SKIPPED: the two-monitor scenario: $(cat "$why")"; exit 77 ;;
    *) cat "$why"; exit 1 ;;
esac
wine_prepare_prefix
wine "$@"
