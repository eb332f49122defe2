# shellcheck shell=bash disable=SC2034  # the variables set here are for the sourcing script
# Sourced by the checks that start the real program on a virtual X server
# (scripts/xvfb.sh: start_xvfb, watch_program, program_running, stop_program, stop_xvfb)
# and drive its window like a player; never run on its own. Needs xdotool and xclip too.
#
#   wait_window REGEX          waits for a visible window of that title, prints its id
#   visible_window REGEX       prints such a window's id now, or nothing
#   box_text ID                prints the text of a message box
#   click ID X Y               clicks at X,Y inside the window
#   picture ID FILE            takes the window's part of the screen
#   window_alone               waits for the window, fails on any box; prints its id
#   export_into ID TWEAK       clicks "Export Settings" and checks its box and the file
#   good TEXT / fail TEXT      reports a passed step / the failure, and ends the check
#
# Titles: a message box is titled "Knobwerk", the confirmation box "Information", the
# window "UT3 Knobwerk ...". Button centres come from the window's layout table at
# normal scale (the window is a fixed 857 x 700).

XDRIVER_TIMEOUT=${XDRIVER_TIMEOUT:-30} # longest wait for a window, in seconds
BOX_TITLE='^Knobwerk$'
CONFIRM_TITLE='^Information$'
WINDOW_TITLE='^UT3 Knobwerk'
SAVE_BUTTON=(76 16)
EXPORT_BUTTON=(76 42)

# shellcheck source=../../scripts/xvfb.sh
. "$(dirname -- "${BASH_SOURCE[0]}")/../../scripts/xvfb.sh"
# How the checks that drive the window report: a passed step, or the first failure.
fail() {
    echo "FAIL: $*" >&2
    exit 1
}
good() { echo "ok:   $*"; }
xvfb_fail() { fail "$@"; }

visible_window() {
    xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n 1
}

wait_window() {
    local regex=$1 id="" waited
    for ((waited = 0; waited < XDRIVER_TIMEOUT * 4; waited++)); do
        id=$(visible_window "$regex")
        if [ -n "$id" ]; then
            echo "$id"
            return 0
        fi
        if [ -n "$watched_pid" ] && ! program_running; then
            echo "FAIL: the program ended before a window titled /$regex/ appeared: $(cat "$watched_log" 2>/dev/null)" >&2
            exit 1
        fi
        sleep 0.25
    done
    echo "FAIL: no window titled /$regex/ within ${XDRIVER_TIMEOUT}s" >&2
    exit 1
}

# The text of a message box can be selected with the mouse: a triple click on it puts
# the line under the pointer into the X primary selection; this prints the first line.
# It lies in the upper half (the buttons in the lower one), right of the icon. Between
# tries the mouse rests longer than a double-click interval, or the next clicks would
# count on from the last ones.
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

click() {
    xdotool mousemove --window "$1" "$2" "$3" click 1
}

# picture ID FILE: the window's part of the screen (grabbing the window itself gives a
# black picture for a freshly mapped Qt window).
picture() {
    sleep 2 # let it paint
    grab_window "$(xwininfo -id "$1" | awk '
        /Absolute upper-left X:/ { x = $NF } /Absolute upper-left Y:/ { y = $NF }
        /Width:/ { w = $2 } /Height:/ { h = $2 }
        END { print w "x" h "+" x "+" y }')" "$2" >/dev/null
}

# press_on_box REGEX KEY: waits for the box and types the key into it (Return presses
# its default button, OK). There is no window manager: the pointer rests on the box and
# the box gets the focus, so the key goes there.
press_on_box() {
    local id
    id=$(wait_window "$1")
    sleep 0.5
    xdotool mousemove --window "$id" 10 10
    xdotool windowfocus --sync "$id" 2>/dev/null || true
    xdotool key --clearmodifiers "$2"
}

window_alone() {
    local window
    window=$(wait_window "$WINDOW_TITLE|$BOX_TITLE")
    [ "$(xdotool getwindowname "$window")" != Knobwerk ] || fail "a box came up instead of the window: '$(box_text "$window")'"
    sleep 1
    [ -z "$(visible_window "$BOX_TITLE")" ] || fail "a box came up after the window: '$(box_text "$(visible_window "$BOX_TITLE")")'"
    echo "$window"
}

export_into() {
    local said
    click "$1" "${EXPORT_BUTTON[@]}"
    # box_text gets the line clicked on: the first of the closing message's four.
    said=$(box_text "$(wait_window "$BOX_TITLE")")
    [ "$said" = "Settings were saved to Knobwerk.ini." ] || fail "export says '$said'"
    xdotool key --clearmodifiers Return
    grep -q '^\[SystemSettings\]' "$2" || fail "Knobwerk.ini lacks the exported settings: $(head -c 300 "$2")"
}
