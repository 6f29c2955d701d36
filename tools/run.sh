#!/bin/bash
# Builds the program and starts it under Wine: on $DISPLAY when there is one, otherwise in a
# virtual display (stop it with Ctrl+C).
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
"$ROOT/tools/setup.sh"
cmake -S "$ROOT" -B "$ROOT/build/win" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-i686.cmake" >/dev/null
cmake --build "$ROOT/build/win" -j "$(nproc)" --target Tessora
cmake --build "$ROOT/build/win" -j "$(nproc)"

export BUILD_DIR="$ROOT/build/win"
. "$ROOT/tools/wine-env.sh"
. "$ROOT/tools/xdisplay.sh"
if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
    TESSORA_DISPLAY="$DISPLAY"
fi
start_virtual_display
wine_prepare_prefix
echo "Tessora runs on display $DISPLAY; its folder is $BUILD_DIR/dist"
wine "$BUILD_DIR/dist/Tessora.exe"
