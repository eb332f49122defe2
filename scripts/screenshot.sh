#!/usr/bin/env bash
# Takes pictures of the real Knobwerk window for the documentation:
#
#   scripts/screenshot.sh build/Knobwerk
#
# writes docs/screenshot.png (normal scale) and docs/screenshot-2x.png
# (QT_SCALE_FACTOR=2). Each picture comes from its own virtual X server (Xvfb) and
# its own run of the program on a scratch copy of the sample game files, as
# scripts/demo.sh makes it. The whole screen is grabbed and cut down to the
# program window when the window can be found; otherwise the whole screen is kept.
#
# Tools used, and the Debian packages that bring them:
#   Xvfb               xvfb
#   xwininfo, xdpyinfo x11-utils
#   import             imagemagick
#   fonts for Qt       fonts-liberation2
set -euo pipefail

# shellcheck source=scratch-home.sh
. "$(dirname -- "${BASH_SOURCE[0]}")/scratch-home.sh"

program=$(resolve_program "${1:-}")
for tool in Xvfb xwininfo xdpyinfo import; do
    command -v "$tool" >/dev/null ||
        scratch_fail "'$tool' is missing; install the packages xvfb, x11-utils and imagemagick"
done

out_dir="$KNOBWERK_ROOT/docs"
mkdir -p -- "$out_dir"

SETTLE_SECONDS=${SETTLE_SECONDS:-3}    # time the window gets to paint itself
WINDOW_TIMEOUT=${WINDOW_TIMEOUT:-20}   # longest wait for the window to appear

xvfb_pid=""
app_pid=""

stop_started() {
    if [ -n "$app_pid" ]; then
        kill "$app_pid" 2>/dev/null || true
        wait "$app_pid" 2>/dev/null || true
        app_pid=""
    fi
    if [ -n "$xvfb_pid" ]; then
        kill "$xvfb_pid" 2>/dev/null || true
        wait "$xvfb_pid" 2>/dev/null || true
        xvfb_pid=""
    fi
}
trap stop_started EXIT
trap 'exit 130' INT TERM

# Prints the number of a display that nobody uses yet, from 99 on.
free_display() {
    local n
    for ((n = 99; n < 199; n++)); do
        if [ ! -e "/tmp/.X$n-lock" ] && [ ! -e "/tmp/.X11-unix/X$n" ]; then
            echo "$n"
            return 0
        fi
    done
    scratch_fail "no free X display number between 99 and 198"
}

# start_xvfb WIDTHxHEIGHT: sets DISPLAY_NAME and xvfb_pid.
start_xvfb() {
    local size=$1 n i
    n=$(free_display)
    DISPLAY_NAME=":$n"
    Xvfb "$DISPLAY_NAME" -screen 0 "${size}x24" -nolisten tcp -noreset \
        >"$SCRATCH_HOME/xvfb-$n.log" 2>&1 &
    xvfb_pid=$!
    for ((i = 0; i < 100; i++)); do
        if xdpyinfo -display "$DISPLAY_NAME" >/dev/null 2>&1; then
            return 0
        fi
        kill -0 "$xvfb_pid" 2>/dev/null ||
            scratch_fail "Xvfb on $DISPLAY_NAME stopped at once; see $SCRATCH_HOME/xvfb-$n.log"
        sleep 0.1
    done
    scratch_fail "Xvfb on $DISPLAY_NAME did not come up; see $SCRATCH_HOME/xvfb-$n.log"
}

# Prints the geometry WxH+X+Y (absolute) of the largest mapped top-level window
# whose name or class mentions Knobwerk, or nothing.
find_window() {
    xwininfo -display "$DISPLAY_NAME" -root -tree 2>/dev/null |
        grep -i 'knobwerk' |
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

# shoot SCALE SCREEN-SIZE OUTPUT-FILE
shoot() {
    local scale=$1 size=$2 target=$3 waited=0 geometry="" sw sh w h x y
    start_xvfb "$size"

    local log="$SCRATCH_HOME/knobwerk-scale$scale.log"
    # env execs the program, so $! is the program itself.
    env -u WAYLAND_DISPLAY "${SCRATCH_ENV[@]}" \
        DISPLAY="$DISPLAY_NAME" QT_QPA_PLATFORM=xcb QT_SCALE_FACTOR="$scale" \
        XDG_RUNTIME_DIR="$SCRATCH_HOME/runtime" \
        "$program" >"$log" 2>&1 &
    app_pid=$!

    sleep "$SETTLE_SECONDS"
    while :; do
        kill -0 "$app_pid" 2>/dev/null ||
            scratch_fail "the program ended before its window could be taken; see $log"
        geometry=$(find_window)
        [ -n "$geometry" ] && break
        [ "$waited" -ge "$WINDOW_TIMEOUT" ] && break
        sleep 1
        waited=$((waited + 1))
    done
    # A window found only late gets a moment to paint.
    [ "$waited" -gt 0 ] && [ -n "$geometry" ] && sleep 1

    if [ -n "$geometry" ]; then
        # Keep the crop inside the screen.
        IFS='x+' read -r w h x y <<<"$geometry"
        IFS='x' read -r sw sh <<<"$size"
        [ "$x" -lt 0 ] && { w=$((w + x)); x=0; }
        [ "$y" -lt 0 ] && { h=$((h + y)); y=0; }
        [ $((x + w)) -gt "$sw" ] && w=$((sw - x))
        [ $((y + h)) -gt "$sh" ] && h=$((sh - y))
        import -display "$DISPLAY_NAME" -window root -crop "${w}x${h}+${x}+${y}" +repage "$target"
        echo "Wrote $target (window ${w}x${h} at +$x+$y, scale $scale)"
    else
        echo "${0##*/}: no Knobwerk window found on $DISPLAY_NAME; keeping the whole screen" >&2
        import -display "$DISPLAY_NAME" -window root "$target"
        echo "Wrote $target (whole screen $size, scale $scale)"
    fi

    stop_started
}

make_scratch_home
mkdir -m 700 -- "$SCRATCH_HOME/runtime"
echo "Scratch home: $SCRATCH_HOME"

# The window is 857 x 700 at normal scale; the doubled one needs a larger screen.
shoot 1 1280x1024 "$out_dir/screenshot.png"
shoot 2 2560x2048 "$out_dir/screenshot-2x.png"

rm -rf -- "$SCRATCH_HOME"
