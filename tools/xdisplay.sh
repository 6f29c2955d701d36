# Sourced: starts a virtual X display for Wine when none is given and stops it at exit.
# TESSORA_DISPLAY may name one to use; otherwise a free number from :90 up is taken.
start_virtual_display() {
    if [ -n "${TESSORA_DISPLAY:-}" ]; then
        export DISPLAY="$TESSORA_DISPLAY"
        return 0
    fi
    n=90
    while [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; do n=$((n + 1)); done
    Xvfb ":$n" -screen 0 1920x1080x24 -nolisten tcp >/dev/null 2>&1 &
    XVFB_PID=$!
    export DISPLAY=":$n"
    for _ in $(seq 100); do
        xdpyinfo >/dev/null 2>&1 && break
        sleep 0.1
    done
    xsetroot -solid '#336699' 2>/dev/null || true
    trap stop_virtual_display EXIT INT TERM
}

stop_virtual_display() {
    [ -n "${WINEPREFIX:-}" ] && wineserver -k >/dev/null 2>&1 || true
    [ -n "${XVFB_PID:-}" ] && kill "$XVFB_PID" 2>/dev/null || true
    XVFB_PID=""
}
