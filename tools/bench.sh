#!/bin/bash
# Runs the benchmarks and prints their figures:
#   tools/bench.sh all                  every benchmark below, then one table of their RESULT lines
#   tools/bench.sh <program> [args]     one Windows benchmark of build/win/bin under Wine
# Build first (tools/test.sh, or both builds of the README). Each benchmark prints its figures and
# ends with lines "RESULT <figure> <value> <goal or -> [note]", which the table collects.
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)

# One line per benchmark: a name, where it runs (win: under Wine, native: the host build), its
# program and arguments. A new benchmark adds its line here.
BENCHES=(
    "startup   win    startup_bench 10"
    "hook      win    hook_bench"
    "layout    win    layout_bench 20 50 100"
    "language  win    language_bench"
    "engine    native engine_bench"
    "rules     native rules_bench"
    "options   win    options_bench 10 100"
    "editor    win    rules_editor_bench 7"
    "update    win    update_bench 5"
)

[ $# -ge 1 ] || { echo "usage: tools/bench.sh all | <program> [arguments]" >&2; exit 2; }
export BUILD_DIR="$ROOT/build/win"

run_one() {  # where program [args...]
    local where=$1 prog=$2
    shift 2
    if [ "$where" = native ]; then
        "$ROOT/build/native/$prog" "$@"
    else
        [ -f "$BUILD_DIR/bin/$prog.exe" ] || { echo "$BUILD_DIR/bin/$prog.exe is not built" >&2; return 1; }
        wine "$BUILD_DIR/bin/$prog.exe" "$@"
    fi
}

. "$ROOT/tools/wine-env.sh"
. "$ROOT/tools/xdisplay.sh"
start_virtual_display
wine_prepare_prefix

if [ "$1" != all ]; then
    prog=$1
    shift
    run_one win "$prog" "$@"
    exit
fi

results=$(mktemp)
out=$(mktemp)
trap 'rm -f "$results" "$out"; stop_virtual_display' EXIT
for line in "${BENCHES[@]}"; do
    read -r name where prog args <<<"$line"
    echo "=== $name: $prog $args"
    # shellcheck disable=SC2086
    if run_one "$where" "$prog" $args | tee "$out"; then
        grep '^RESULT ' "$out" | sed "s/^RESULT /$name /" >>"$results" || echo "$name (no figures)" >>"$results"
    else
        echo "$name (failed)" >>"$results"
    fi
    echo
done
echo "=== all figures"
awk 'BEGIN { printf "%-10s %-28s %10s  %-12s %s\n", "benchmark", "figure", "value", "goal", "note" }
     NF >= 4 { note = ""; for (i = 5; i <= NF; i++) note = note (i > 5 ? " " : "") $i
               printf "%-10s %-28s %10s  %-12s %s\n", $1, $2, $3, $4, note }
     NF < 4 { print }' "$results"
