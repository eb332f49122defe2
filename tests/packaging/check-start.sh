#!/usr/bin/env bash
# Starts the program from a built Knobwerk Debian package, as a user would, on a
# virtual X server (Xvfb), and fails when it does not behave:
#
#   tests/packaging/check-start.sh knobwerk_1.0_amd64.deb [PICTURE-FOLDER]
#
# The package is unpacked into a scratch root. The user's home is a scratch folder
# whose game files lie only in the game's Proton prefix of a Steam library, so the
# window opens without complaint only when the program finds them there.
#
# 1. From a folder the user cannot write to (as /usr/bin is for everybody but root):
#    the start-up must show the error box "Unable to write to <folder>/Knobwerk.ini."
#    (its text is read by selecting it with the mouse),
#    and once the box is closed the window must still open.
# 2. From a writable copy in the home folder: the window must open with no box at all,
#    and Knobwerk.ini must appear beside the copy.
#
# Run as root, the program runs as the user "nobody", since root may write anywhere.
# With PICTURE-FOLDER, pictures of the error box and of both windows are kept there.
#
# Needs: Xvfb (xvfb), xdotool (xdotool), xclip (xclip), import (imagemagick, only
# for pictures); the missing ones are installed.
set -euo pipefail

deb=${1:-}
pictures=${2:-}
name=${0##*/}
root=$(cd -- "$(dirname -- "${BASH_SOURCE[0]}")/../.." && pwd)

WINDOW_TIMEOUT=${WINDOW_TIMEOUT:-30} # longest wait for a window, in seconds

fail() {
    echo "FAIL: $*" >&2
    exit 1
}
good() {
    echo "ok:   $*"
}

need_packages() {
    "$(dirname -- "${BASH_SOURCE[0]}")/../../scripts/ensure-packages.sh" "$@"
}

[ -n "$deb" ] || {
    echo "usage: $name PACKAGE.deb [PICTURE-FOLDER]" >&2
    exit 2
}
[ -f "$deb" ] || {
    echo "$name: no package at '$deb'" >&2
    exit 2
}
deb=$(realpath -- "$deb")
packages=(xvfb xdotool xclip)
[ -n "$pictures" ] && packages+=(imagemagick)
need_packages "${packages[@]}"
if [ -n "$pictures" ]; then
    mkdir -p -- "$pictures"
    pictures=$(realpath -- "$pictures")
fi

# --- who runs the program ----------------------------------------------------------
as_user=()
if [ "$(id -u)" -eq 0 ]; then
    as_user=(setpriv --reuid=nobody --regid=nogroup --clear-groups)
fi
run_as_user() { "${as_user[@]}" "$@"; }

scratch=$(mktemp -d "${TMPDIR:-/tmp}/knobwerk-start.XXXXXX")
chmod 755 -- "$scratch"

xvfb_pid=""
app_pid=""
stop_program() {
    if [ -n "$app_pid" ]; then
        kill "$app_pid" 2>/dev/null || true
        wait "$app_pid" 2>/dev/null || true
        app_pid=""
    fi
}
cleanup() {
    stop_program
    if [ -n "$xvfb_pid" ]; then
        kill "$xvfb_pid" 2>/dev/null || true
        wait "$xvfb_pid" 2>/dev/null || true
    fi
    rm -rf -- "$scratch"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

# --- the installed program ---------------------------------------------------------
dpkg-deb -x "$deb" "$scratch/root"
installed="$scratch/root/usr/bin/Knobwerk"
[ -x "$installed" ] || fail "the package holds no executable usr/bin/Knobwerk"
if ldd "$installed" | grep -q 'not found'; then
    fail "unresolved libraries: $(ldd "$installed" | grep 'not found' | tr -s ' \t\n' ' ')"
fi
good "installed program's libraries resolve"

# --- the user's home: the game's files only in the Proton prefix --------------------
home="$scratch/home"
proton_documents="$home/.local/share/Steam/steamapps/compatdata/13210/pfx/drive_c/users/steamuser/Documents"
config="$proton_documents/My Games/Unreal Tournament 3/UTGame/Config"
mkdir -p -- "$home/Documents" "$home/.config" "$home/runtime" "$config"
cp -- "$root"/data/*.ini "$config/"
chmod 700 -- "$home/runtime"
[ ${#as_user[@]} -eq 0 ] || chown -R nobody:nogroup -- "$home"

# A folder the user cannot write to, holding a copy of the program.
readonly_bin="$scratch/readonly-bin"
mkdir -- "$readonly_bin"
cp -- "$installed" "$readonly_bin/"
chmod 555 -- "$readonly_bin"
if run_as_user test -w "$readonly_bin"; then
    fail "the user can write to $readonly_bin; the read-only start would prove nothing"
fi

# A writable copy, as the README suggests.
writable_bin="$home/Knobwerk"
mkdir -- "$writable_bin"
cp -- "$installed" "$writable_bin/"
[ ${#as_user[@]} -eq 0 ] || chown -R nobody:nogroup -- "$writable_bin"

# --- the X server --------------------------------------------------------------------
display=""
for ((n = 99; n < 199; n++)); do
    if [ ! -e "/tmp/.X$n-lock" ] && [ ! -e "/tmp/.X11-unix/X$n" ]; then
        display=":$n"
        break
    fi
done
[ -n "$display" ] || fail "no free X display number between 99 and 198"
Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp -noreset >"$scratch/xvfb.log" 2>&1 &
xvfb_pid=$!
export DISPLAY=$display
for ((i = 0; i < 100; i++)); do
    xdotool getmouselocation >/dev/null 2>&1 && break
    kill -0 "$xvfb_pid" 2>/dev/null || fail "Xvfb stopped at once: $(cat "$scratch/xvfb.log")"
    sleep 0.1
done

# start_program FOLDER: starts FOLDER/Knobwerk as the user, with the scratch home.
start_program() {
    local folder=$1
    run_as_user env -i PATH=/usr/bin:/bin HOME="$home" USER=player LOGNAME=player LANG=C.UTF-8 \
        XDG_RUNTIME_DIR="$home/runtime" DISPLAY="$display" QT_QPA_PLATFORM=xcb \
        "$folder/Knobwerk" >>"$scratch/program.log" 2>&1 &
    app_pid=$!
}

# visible_window REGEX: prints the id of a mapped window whose title matches REGEX.
visible_window() {
    xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n 1
}

# wait_window REGEX: waits for such a window and prints its id; fails on timeout or
# when the program ends first.
wait_window() {
    local regex=$1 id="" waited
    for ((waited = 0; waited < WINDOW_TIMEOUT * 4; waited++)); do
        id=$(visible_window "$regex")
        if [ -n "$id" ]; then
            echo "$id"
            return 0
        fi
        kill -0 "$app_pid" 2>/dev/null ||
            fail "the program ended before a window titled /$regex/ appeared: $(cat "$scratch/program.log")"
        sleep 0.25
    done
    fail "no window titled /$regex/ within ${WINDOW_TIMEOUT}s"
}

# window_size WINDOW-ID: prints "WIDTH HEIGHT".
window_size() {
    xwininfo -id "$1" | awk '/Width:/ { w = $2 } /Height:/ { h = $2 } END { print w, h }'
}

# picture WINDOW-ID FILE-NAME: the window's part of the screen (grabbing the window
# itself gives a black picture for a freshly mapped Qt window).
picture() {
    [ -n "$pictures" ] || return 0
    sleep 3 # let it paint
    local geometry
    geometry=$(xwininfo -id "$1" | awk '
        /Absolute upper-left X:/ { x = $NF } /Absolute upper-left Y:/ { y = $NF }
        /Width:/ { w = $2 } /Height:/ { h = $2 }
        END { print w "x" h "+" x "+" y }')
    import -display "$display" -window root -crop "$geometry" +repage "$pictures/$2"
    echo "      picture: $pictures/$2"
}

# box_text WINDOW-ID: prints the text of a message box. Its text can be selected with
# the mouse, so a triple click on it puts the whole paragraph into the X primary
# selection. The text lies in the upper half (the buttons in the lower one), right of
# the icon. Between tries the mouse rests longer than a double-click interval, or the
# next clicks would count on from the last ones and select a single word.
box_text() {
    local id=$1 width height y text=""
    IFS=' ' read -r width height < <(window_size "$id")
    sleep 1 # let the box settle
    for ((y = 10; y < height / 2; y += 5)); do
        xdotool mousemove --window "$id" $((width / 3)) "$y" click --repeat 3 --delay 60 1
        sleep 0.8
        text=$(xclip -o -selection primary 2>/dev/null || true)
        [ -z "$text" ] || break
    done
    tr -s '\r\n' ' ' <<<"$text" | sed 's/ *$//'
}

# The error box is titled with the program's name; the window's title starts "UT3 Knobwerk".
box_title='^Knobwerk$'
window_title='^UT3 Knobwerk'

# --- 1. from a read-only folder ------------------------------------------------------
echo "Starting $readonly_bin/Knobwerk (folder not writable)"
start_program "$readonly_bin"
box=$(wait_window "$box_title")
[ -z "$(visible_window "$window_title")" ] || fail "the window opened before the error box was closed"
expected="Unable to write to $readonly_bin/Knobwerk.ini."
copied=$(box_text "$box")
[ "$copied" = "$expected" ] || fail "the box does not say '$expected'; it says: '$copied'"
good "error box: $expected"
picture "$box" start-readonly-box.png
xdotool key --clearmodifiers Return
window=$(wait_window "$window_title")
IFS=' ' read -r width height < <(window_size "$window")
if [ "$width" -lt 400 ] || [ "$height" -lt 300 ]; then
    fail "the window is only ${width}x${height}"
fi
good "after the box the window opens (${width}x${height}): $(xdotool getwindowname "$window")"
picture "$window" start-readonly-window.png
[ ! -e "$readonly_bin/Knobwerk.ini" ] || fail "Knobwerk.ini appeared in the read-only folder"
stop_program

# --- 2. from a writable copy ---------------------------------------------------------
echo "Starting $writable_bin/Knobwerk (writable copy)"
start_program "$writable_bin"
window=$(wait_window "$window_title|$box_title")
if [ "$(xdotool getwindowname "$window")" = Knobwerk ]; then
    fail "a box came up instead of the window: '$(box_text "$window")'"
fi
good "the window opens at once: $(xdotool getwindowname "$window")"
sleep 1
[ -z "$(visible_window "$box_title")" ] || fail "a box came up after the window"
[ -s "$writable_bin/Knobwerk.ini" ] || fail "no Knobwerk.ini beside the writable copy"
good "Knobwerk.ini written beside the writable copy"
picture "$window" start-writable-window.png
stop_program

echo "Start check passed: $deb"
