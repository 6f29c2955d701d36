# Sourced: starts a virtual X display for Wine when none is given and stops it at exit.
# TESSORA_DISPLAY may name one to use; otherwise a free number from :90 up is taken.

# The first display number from :90 up that no X server holds.
free_display() {
    local n=90
    while [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; do n=$((n + 1)); done
    echo ":$n"
}

wait_for_display() {
    for _ in $(seq 100); do
        xdpyinfo >/dev/null 2>&1 && return 0
        sleep 0.1
    done
    return 1
}

start_virtual_display() {
    if [ -n "${TESSORA_DISPLAY:-}" ]; then
        export DISPLAY="$TESSORA_DISPLAY"
        return 0
    fi
    export DISPLAY=$(free_display)
    Xvfb "$DISPLAY" -screen 0 1920x1080x24 -nolisten tcp >/dev/null 2>&1 &
    XVFB_PID=$!
    wait_for_display
    xsetroot -solid '#336699' 2>/dev/null || true
    trap stop_virtual_display EXIT INT TERM
}

stop_virtual_display() {
    [ -n "${WINEPREFIX:-}" ] && wineserver -k >/dev/null 2>&1 || true
    [ -n "${XVFB_PID:-}" ] && kill "$XVFB_PID" 2>/dev/null || true
    XVFB_PID=""
}

# Two monitors of different sizes side by side: 1920x1080 primary at (0,0) with a 40-pixel
# taskbar, 1280x1024 at (1920,0). Xvfb always shows one monitor, so this is a headless Xorg with
# the dummy video driver. Returns 1, with the reason on stderr, where that driver is missing, and
# 2 where the server would not show two monitors.
TWO_MONITOR_DRIVER=${TWO_MONITOR_DRIVER:-/usr/lib/xorg/modules/drivers/dummy_drv.so}
start_two_monitor_display() {
    if ! command -v Xorg >/dev/null 2>&1 || [ ! -f "$TWO_MONITOR_DRIVER" ]; then
        echo "no Xorg with the dummy video driver (Debian xserver-xorg-core, xserver-xorg-video-dummy)" >&2
        return 1
    fi
    local log="${BUILD_DIR:-/tmp}/Xorg.two-monitors.log"
    export DISPLAY=$(free_display)
    Xorg "$DISPLAY" -noreset -nolisten tcp -config "$(dirname "${BASH_SOURCE[0]}")/xorg-two-monitors.conf" \
        -logfile "$log" >/dev/null 2>&1 &
    XVFB_PID=$!
    wait_for_display
    trap stop_virtual_display EXIT INT TERM
    two_monitors_on || { echo "Xorg started but would not show two monitors (see $log)" >&2; return 2; }
    xsetroot -solid '#336699' 2>/dev/null || true
}

# The second monitor switched on (two_monitors_on) or off (one_monitor_on); each sets the work
# areas that Wine reads live from the root window (x,y,w,h per monitor).
two_monitors_on() {
    xrandr --newmode 1280x1024_60 108.88 1280 1360 1496 1712 1024 1025 1028 1060 -HSync +Vsync 2>/dev/null
    xrandr --addmode DUMMY1 1280x1024_60 2>/dev/null
    xrandr --output DUMMY0 --mode 1920x1080 --pos 0x0 --primary \
        --output DUMMY1 --mode 1280x1024_60 --pos 1920x0 || return 1
    xrandr >/dev/null  # a full query makes the outputs known to Wine
    xprop -root -f _GTK_WORKAREAS_D0 32c -set _GTK_WORKAREAS_D0 "0,0,1920,1040,1920,0,1280,1024"
    xprop -root -f _NET_WORKAREA 32c -set _NET_WORKAREA "0,0,3200,1040"
}

one_monitor_on() {
    xrandr --output DUMMY1 --off || return 1
    xrandr >/dev/null
    xprop -root -f _GTK_WORKAREAS_D0 32c -set _GTK_WORKAREAS_D0 "0,0,1920,1040"
    xprop -root -f _NET_WORKAREA 32c -set _NET_WORKAREA "0,0,1920,1040"
}
