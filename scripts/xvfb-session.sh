# Sourced by the screenshot scripts, never run on its own: a virtual X server for one
# program's window, and a picture of that window.
#
#   start_xvfb WIDTHxHEIGHT LOG-FOLDER  starts Xvfb on a free display; sets DISPLAY_NAME
#   find_window PATTERN                 prints WxH+X+Y of the largest mapped top-level
#                                       window whose name or class matches, or nothing
#   grab_window GEOMETRY SIZE FILE      writes the window (or the whole screen when
#                                       GEOMETRY is empty) as a PNG
#   stop_xvfb                           stops the server
#
# Needs Xvfb (xvfb), xwininfo and xdpyinfo (x11-utils), import (imagemagick), and a
# function xvfb_fail MESSAGE from the caller.

xvfb_pid=""

# Prints the number of a display that nobody uses yet, from 99 on.
free_display() {
    local n
    for ((n = 99; n < 199; n++)); do
        if [ ! -e "/tmp/.X$n-lock" ] && [ ! -e "/tmp/.X11-unix/X$n" ]; then
            echo "$n"
            return 0
        fi
    done
    xvfb_fail "no free X display number between 99 and 198"
}

start_xvfb() {
    local size=$1 logs=$2 n i
    n=$(free_display)
    DISPLAY_NAME=":$n"
    Xvfb "$DISPLAY_NAME" -screen 0 "${size}x24" -nolisten tcp -noreset >"$logs/xvfb-$n.log" 2>&1 &
    xvfb_pid=$!
    for ((i = 0; i < 100; i++)); do
        if xdpyinfo -display "$DISPLAY_NAME" >/dev/null 2>&1; then
            return 0
        fi
        kill -0 "$xvfb_pid" 2>/dev/null || xvfb_fail "Xvfb on $DISPLAY_NAME stopped at once; see $logs/xvfb-$n.log"
        sleep 0.1
    done
    xvfb_fail "Xvfb on $DISPLAY_NAME did not come up; see $logs/xvfb-$n.log"
}

stop_xvfb() {
    if [ -n "$xvfb_pid" ]; then
        kill "$xvfb_pid" 2>/dev/null || true
        wait "$xvfb_pid" 2>/dev/null || true
        xvfb_pid=""
    fi
}

find_window() {
    xwininfo -display "$DISPLAY_NAME" -root -tree 2>/dev/null |
        grep -i -- "$1" |
        awk '{
            # the line ends in "WxH+relX+relY  +absX+absY"
            abs = $NF; geo = $(NF - 1)
            if (geo !~ /^[0-9]+x[0-9]+[-+]/ || abs !~ /^[-+][0-9]+[-+][0-9]+$/) next
            split(geo, wh, /[x+-]/); w = wh[1]; h = wh[2]
            if (w < 50 || h < 50) next
            split(substr(abs, 2), xy, /[-+]/)
            x = (substr(abs, 1, 1) == "-" ? -xy[1] : xy[1])
            ysign = (abs ~ /^[-+][0-9]+-/ ? -1 : 1); y = ysign * xy[2]
            if (w * h > best) { best = w * h; found = w "x" h "+" x "+" y }
        } END { if (found != "") print found }'
}

grab_window() {
    local geometry=$1 size=$2 target=$3 sw sh w h x y
    if [ -z "$geometry" ]; then
        echo "no window found on $DISPLAY_NAME; keeping the whole screen" >&2
        import -display "$DISPLAY_NAME" -window root "$target"
        echo "Wrote $target (whole screen $size)"
        return 0
    fi
    # Keep the crop inside the screen.
    IFS='x+' read -r w h x y <<<"$geometry"
    IFS='x' read -r sw sh <<<"$size"
    [ "$x" -lt 0 ] && { w=$((w + x)); x=0; }
    [ "$y" -lt 0 ] && { h=$((h + y)); y=0; }
    [ $((x + w)) -gt "$sw" ] && w=$((sw - x))
    [ $((y + h)) -gt "$sh" ] && h=$((sh - y))
    import -display "$DISPLAY_NAME" -window root -crop "${w}x${h}+${x}+${y}" +repage "$target"
    echo "Wrote $target (window ${w}x${h} at +$x+$y)"
}

# wait_for_window PID PATTERN LOG: gives the program PID SETTLE_SECONDS (default 3) to
# paint, then up to WINDOW_TIMEOUT seconds (default 20) to show a window matching
# PATTERN; prints its geometry, or nothing. Fails when the program ends first.
wait_for_window() {
    local pid=$1 pattern=$2 log=$3 waited=0 geometry=""
    sleep "${SETTLE_SECONDS:-3}"
    while :; do
        kill -0 "$pid" 2>/dev/null || xvfb_fail "the program ended before its window could be taken; see $log"
        geometry=$(find_window "$pattern")
        [ -n "$geometry" ] && break
        [ "$waited" -ge "${WINDOW_TIMEOUT:-20}" ] && break
        sleep 1
        waited=$((waited + 1))
    done
    # A window found only late gets a moment to paint.
    [ "$waited" -gt 0 ] && [ -n "$geometry" ] && sleep 1
    echo "$geometry"
}
