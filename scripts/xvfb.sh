# shellcheck shell=bash
# Sourced, never run on its own: a virtual X server (Xvfb) for the program's window, used
# by make demo without a desktop, by the screenshots and by the package checks.
#
#   start_xvfb WIDTHxHEIGHT    starts Xvfb on a free display and exports DISPLAY
#   watch_program PID LOG      the program (or whatever started it) the waits watch
#   program_running            whether that program still runs
#   stop_program               ends it
#   stop_xvfb                  ends the program, then Xvfb (for the caller's EXIT trap)
#   find_window PATTERN        prints WxH+X+Y of the largest mapped top-level window whose
#                              name or class matches, or nothing
#   wait_for_window PATTERN    gives the program SETTLE_SECONDS (default 3) to paint, then
#                              up to WINDOW_TIMEOUT seconds (default 20) to show such a
#                              window; prints its geometry, or nothing
#   grab_window GEOMETRY FILE  writes that part of the screen (all of it when GEOMETRY is
#                              empty) as a PNG
#
# Needs Xvfb (xvfb), xwininfo and xdpyinfo (x11-utils), import (imagemagick), and a
# function xvfb_fail MESSAGE from the caller.

xvfb_pid=""
xvfb_logs=""
xvfb_size=""
watched_pid=""
watched_log=""

start_xvfb() {
    local n i
    xvfb_size=$1
    xvfb_logs=$(mktemp -d "${TMPDIR:-/tmp}/knobwerk-xvfb.XXXXXX")
    # The first display number that nobody uses yet, from 99 on.
    for ((n = 99; n < 199; n++)); do
        [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] || break
    done
    [ "$n" -lt 199 ] || xvfb_fail "no free X display number between 99 and 198"
    export DISPLAY=":$n"
    Xvfb "$DISPLAY" -screen 0 "${xvfb_size}x24" -nolisten tcp -noreset >"$xvfb_logs/xvfb.log" 2>&1 &
    xvfb_pid=$!
    for ((i = 0; i < 100; i++)); do
        xdpyinfo >/dev/null 2>&1 && return 0
        kill -0 "$xvfb_pid" 2>/dev/null || xvfb_fail "Xvfb on $DISPLAY stopped at once: $(cat "$xvfb_logs/xvfb.log")"
        sleep 0.1
    done
    xvfb_fail "Xvfb on $DISPLAY did not come up: $(cat "$xvfb_logs/xvfb.log")"
}

watch_program() {
    watched_pid=$1
    watched_log=$2
}

program_running() {
    [ -n "$watched_pid" ] && kill -0 "$watched_pid" 2>/dev/null
}

stop_program() {
    if [ -n "$watched_pid" ]; then
        kill "$watched_pid" 2>/dev/null || true
        wait "$watched_pid" 2>/dev/null || true
        watched_pid=""
    fi
}

stop_xvfb() {
    stop_program
    if [ -n "$xvfb_pid" ]; then
        kill "$xvfb_pid" 2>/dev/null || true
        wait "$xvfb_pid" 2>/dev/null || true
        xvfb_pid=""
    fi
    [ -z "$xvfb_logs" ] || rm -rf -- "$xvfb_logs"
    xvfb_logs=""
}

find_window() {
    xwininfo -root -tree 2>/dev/null |
        grep -iE -- "$1" |
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

wait_for_window() {
    local waited=0 geometry=""
    sleep "${SETTLE_SECONDS:-3}"
    while :; do
        program_running || xvfb_fail "the program ended before its window could be taken; see $watched_log"
        geometry=$(find_window "$1")
        [ -n "$geometry" ] && break
        [ "$waited" -ge "${WINDOW_TIMEOUT:-20}" ] && break
        sleep 1
        waited=$((waited + 1))
    done
    # A window found only late gets a moment to paint.
    [ "$waited" -gt 0 ] && [ -n "$geometry" ] && sleep 1
    echo "$geometry"
}

grab_window() {
    local geometry=$1 target=$2 sw sh w h x y
    if [ -z "$geometry" ]; then
        echo "no window found on $DISPLAY; keeping the whole screen" >&2
        import -window root "$target"
        return 0
    fi
    # Keep the crop inside the screen.
    IFS='x+' read -r w h x y <<<"$geometry"
    IFS='x' read -r sw sh <<<"$xvfb_size"
    [ "$x" -lt 0 ] && { w=$((w + x)); x=0; }
    [ "$y" -lt 0 ] && { h=$((h + y)); y=0; }
    [ $((x + w)) -gt "$sw" ] && w=$((sw - x))
    [ $((y + h)) -gt "$sh" ] && h=$((sh - y))
    import -window root -crop "${w}x${h}+${x}+${y}" +repage "$target"
    echo "Wrote $target (window ${w}x${h} at +$x+$y)"
}
