#!/bin/bash
# Builds everything and runs every test: native unit tests (sanitizers), Windows-side tests and
# end-to-end scenarios under Wine in a virtual X display. Last line: "N passed, N failed".
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
"$ROOT/tools/setup.sh"
JOBS=$(nproc)

cmake -S "$ROOT" -B "$ROOT/build/native" -G Ninja -DCMAKE_BUILD_TYPE=Debug >/dev/null
cmake --build "$ROOT/build/native" -j "$JOBS"
cmake -S "$ROOT" -B "$ROOT/build/win" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-i686.cmake" >/dev/null
cmake --build "$ROOT/build/win" -j "$JOBS"

export BUILD_DIR="$ROOT/build/win"
. "$ROOT/tools/wine-env.sh"
. "$ROOT/tools/xdisplay.sh"
start_virtual_display
wine_prepare_prefix

status=0
run_ctest() {
    local dir=$1 log=$2
    shift 2
    (cd "$dir" && ctest --output-on-failure "$@" 2>&1) | tee "$log" || status=1
}
run_ctest "$ROOT/build/native" "$ROOT/build/native-ctest.log" -j "$JOBS"
# one desktop and one keyboard: the Windows tests run one at a time
run_ctest "$ROOT/build/win" "$ROOT/build/win-ctest.log"

# One closing line for both runs.
count() { grep -hoE "tests passed, [0-9]+ tests failed out of [0-9]+" "$@" | awk '{f+=$3; t+=$8} END {print t-f, f}'; }
read -r passed failed < <(count "$ROOT/build/native-ctest.log" "$ROOT/build/win-ctest.log")
echo "${passed:-0} passed, ${failed:-0} failed"
[ "$status" -eq 0 ] && [ "${failed:-1}" -eq 0 ]
