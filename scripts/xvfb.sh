# shellcheck shell=bash disable=SC2034  # the titles are for the sourcing script
# Sourced, never run on its own: the virtual displays for the program's window (make demo
# without a desktop, the screenshots, the package checks) and the moves a player makes on
# that window. Needs xvfb, x11-utils, xdotool, xclip and imagemagick (import).
#
#   start_xvfb WIDTHxHEIGHT    Xvfb on a free display; exports DISPLAY
#   start_weston DIR           weston's headless Wayland compositor, socket DIR/wayland-knobwerk;
#                              false when it does not come up
#   watch_program PID LOG      the program (or what execs it) that the waits watch
#   program_running / stop_program / stop_displays (the program, then the displays)
#   wait_window REGEX          waits for a visible window of that title, prints its id
#   picture ID FILE            the window's part of the screen, as a PNG
#   close_box                  waits for a message box, prints its first line, presses OK
#   click ID X Y / window_alone / export_into ID TWEAK
#   good TEXT / fail TEXT      reports a passed step / the failure, and ends the script

WAIT_SECONDS=${WAIT_SECONDS:-30} # longest wait for a window
BOX_TITLE='^Knobwerk$'
CONFIRM_TITLE='^Information$'
WINDOW_TITLE='^UT3 Knobwerk'
# Button centres from the window's layout table at normal scale (a fixed 857 x 700).
SAVE_BUTTON=(76 16)
EXPORT_BUTTON=(76 42)
display_pids=()
watched_pid=""
watched_log=""

fail() {
    echo "FAIL: $*" >&2
    exit 1
}
good() { echo "ok:   $*"; }

start_xvfb() {
    local n i
    # The first display number that nobody uses yet, from 99 on.
    for ((n = 99; n < 199; n++)); do
        [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] || break
    done
    export DISPLAY=":$n"
    Xvfb "$DISPLAY" -screen 0 "${1}x24" -nolisten tcp -noreset >/dev/null 2>&1 &
    display_pids+=($!)
    for ((i = 0; i < 100; i++)); do
        xdpyinfo >/dev/null 2>&1 && return 0
        sleep 0.1
    done
    fail "Xvfb on $DISPLAY did not come up"
}

start_weston() {
    local i
    XDG_RUNTIME_DIR=$1 weston --backend=headless-backend.so --socket=wayland-knobwerk --width=1280 --height=1024 \
        --idle-time=0 >"$1.log" 2>&1 &
    display_pids+=($!)
    for ((i = 0; i < 50; i++)); do
        [ -S "$1/wayland-knobwerk" ] && return 0
        sleep 0.2
    done
    return 1
}

watch_program() {
    watched_pid=$1
    watched_log=$2
}

program_running() {
    [ -n "$watched_pid" ] && kill -0 "$watched_pid" 2>/dev/null
}

stop_program() {
    [ -n "$watched_pid" ] || return 0
    kill "$watched_pid" 2>/dev/null || true
    wait "$watched_pid" 2>/dev/null || true
    watched_pid=""
}

stop_displays() {
    local pid
    stop_program
    for pid in "${display_pids[@]}"; do
        kill "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
    done
    display_pids=()
}

visible_window() {
    xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n 1
}

wait_window() {
    local id="" waited
    for ((waited = 0; waited < WAIT_SECONDS * 4; waited++)); do
        id=$(visible_window "$1")
        [ -z "$id" ] || { echo "$id"; return 0; }
        program_running || fail "the program ended before a window titled /$1/ appeared: $(cat "$watched_log")"
        sleep 0.25
    done
    fail "no window titled /$1/ within ${WAIT_SECONDS}s"
}

# Grabbing the window itself gives a black picture for a freshly mapped Qt window, so
# this takes its part of the screen.
picture() {
    sleep 2 # let it paint
    import -window root -crop "$(xwininfo -id "$1" | awk '
        /Absolute upper-left X:/ { x = $NF } /Absolute upper-left Y:/ { y = $NF }
        /Width:/ { w = $2 } /Height:/ { h = $2 }
        END { print w "x" h "+" x "+" y }')" +repage "$2"
    echo "Wrote $2"
}

# The text of a message box can be selected with the mouse: a triple click puts the line
# under the pointer into the X primary selection. It lies in the upper half, right of the
# icon. Between tries the mouse rests longer than a double-click interval.
box_text() {
    local id=$1 width height y text=""
    IFS=' ' read -r width height < <(xwininfo -id "$id" | awk '/Width:/ { w = $2 } /Height:/ { h = $2 } END { print w, h }')
    sleep 1 # let the box settle
    printf '' | xclip -selection primary 2>/dev/null || true
    for ((y = 10; y < height / 2; y += 5)); do
        xdotool mousemove --window "$id" $((width / 3)) "$y" click --repeat 3 --delay 60 1
        sleep 0.8
        text=$(xclip -o -selection primary 2>/dev/null || true)
        [ -z "$text" ] || break
    done
    tr -s '\r\n' ' ' <<<"$text" | sed 's/ *$//'
}

# With no window manager the pointer resting on a box gives it the focus, so the key
# goes there; Return presses the default button, OK.
press_on_box() {
    local id
    id=$(wait_window "$1") || exit 1
    sleep 0.5
    xdotool mousemove --window "$id" 10 10
    xdotool windowfocus --sync "$id" 2>/dev/null || true
    xdotool key --clearmodifiers "$2"
}

close_box() {
    local id
    id=$(wait_window "$BOX_TITLE") || exit 1
    box_text "$id"
    xdotool key --clearmodifiers Return
}

click() {
    xdotool mousemove --window "$1" "$2" "$3" click 1
}

window_alone() {
    local window
    window=$(wait_window "$WINDOW_TITLE|$BOX_TITLE") || exit 1
    [ "$(xdotool getwindowname "$window")" != Knobwerk ] || fail "a box came up instead of the window: '$(box_text "$window")'"
    sleep 1
    [ -z "$(visible_window "$BOX_TITLE")" ] || fail "a box came up after the window: '$(box_text "$(visible_window "$BOX_TITLE")")'"
    echo "$window"
}

export_into() {
    local said
    click "$1" "${EXPORT_BUTTON[@]}"
    # The first of the closing message's four lines.
    said=$(close_box) || exit 1
    [ "$said" = "Settings were saved to Knobwerk.ini." ] || fail "export says '$said'"
    grep -q '^\[SystemSettings\]' "$2" || fail "Knobwerk.ini lacks the exported settings: $(head -c 300 "$2")"
}
