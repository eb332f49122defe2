#!/usr/bin/env bash
# Unpacks the portable release into a fresh, minimal Debian 12 root that has the
# libraries of a desktop (the Debian packages of those the release leaves to the system)
# but no Qt, and uses it there as the ordinary user "player":
#
#   sudo tests/packaging/check-portable.sh knobwerk-1.0-linux-x86_64.tar.gz [PICTURE-FOLDER]
#
# 1. On a virtual X server (Xvfb), with DejaVu the root's only fonts, so that the window
#    draws with the face the program carries: the window opens with no box, Knobwerk.ini
#    appears beside Knobwerk, a picture of the window is taken, "Save to INI" writes a
#    changed check box into the game's UTEngine.ini and "Export Settings" writes it into
#    Knobwerk.ini, each with its closing message.
# 2. From a folder the player cannot write to: the error box "Unable to write to
#    <folder>/Knobwerk.ini.", then the window.
# 3. On Wayland (weston's headless compositor): the window is created and shown there
#    and the program keeps running.
#
# Pictures go to PICTURE-FOLDER (default: beside the tarball).
set -euo pipefail
tarball=$(realpath -- "${1:?usage: ${0##*/} TARBALL [PICTURE-FOLDER]}")
pictures=$(realpath -m -- "${2:-$(dirname -- "$tarball")}")
mkdir -p -- "$pictures"
# shellcheck source=debian-root.sh
. "$(dirname -- "$0")/debian-root.sh"

new_debian_root
cp -- "$tarball" "$DEBIAN_ROOT/tmp/release.tar.gz"
as_player sh -c 'mkdir -p ~/Apps && tar -C ~/Apps -xzf /tmp/release.tar.gz'
release=$(find "$DEBIAN_ROOT/home/player/Apps" -mindepth 1 -maxdepth 1 -type d | head -n 1)
name=${release##*/}
program="/home/player/Apps/$name/Knobwerk"
[ -x "$release/Knobwerk" ] || fail "the tarball holds no executable $name/Knobwerk"
grep -q "SIL OPEN FONT LICENSE Version 1.1" "$release/licences/fonts-liberation2.copyright" ||
    fail "the tarball lacks the licence of the face the program carries"

# --- the desktop: the system libraries the release expects, fonts, and no Qt --------
desktop_packages=$(ldd "$release/Knobwerk" "$release"/plugins/*/*.so |
    awk '$2 == "=>" && $3 ~ /^\// { print $3 }' | grep -v "^$release/" | sort -u |
    while read -r library; do dpkg -S "*/x86_64-linux-gnu/$(basename -- "$(realpath -- "$library")")" | head -n 1 | sed 's/: .*//; s/,.*//; s/:amd64$//'; done |
    sort -u | tr '\n' ' ')
grep -qi qt <<<"$desktop_packages" && fail "the release leaves Qt to the system: $desktop_packages"
# shellcheck disable=SC2086  # one word per package
root_install $desktop_packages fonts-dejavu-core
qt_installed=$(in_root dpkg-query -W -f='${Package}\n' | grep -i qt || true)
[ -z "$qt_installed" ] || fail "the root has Qt packages: $qt_installed"
good "a Debian 12 root without Qt, with: $desktop_packages fonts-dejavu-core"
resolved "$program"
good "unpacked into ~/Apps/$name; every library of Knobwerk resolves"
player_x QT_QPA_PLATFORM=xcb

# --- 1. from the writable folder -------------------------------------------------------
start_as_player "$program"
window=$(window_alone)
good "the window opens with no box: $(xdotool getwindowname "$window")"
picture "$window" "$pictures/portable-x11.png"
good "picture: $pictures/portable-x11.png"
tweak="$DEBIAN_ROOT/home/player/Apps/$name/Knobwerk.ini"
[ -s "$tweak" ] || fail "no Knobwerk.ini beside Knobwerk"
good "Knobwerk.ini created beside Knobwerk"

engine="$DEBIAN_ROOT$PLAYER_CONFIG/UTEngine.ini"
grep -q '^bUseSound=True' "$engine" || fail "the sample UTEngine.ini lacks bUseSound=True"
click "$window" 60 122 # the check box bUseSound, ticked in the sample files
click "$window" "${SAVE_BUTTON[@]}"
press_on_box "$CONFIRM_TITLE" Return
said=$(close_box)
[ "$said" = "Settings were saved to Ini Files." ] || fail "save says '$said'"
grep -q $'^bUseSound=False\r$' "$engine" || fail "UTEngine.ini does not hold bUseSound=False after the save"
good "Save to INI wrote bUseSound=False into UTEngine.ini: $said"

sleep 1
export_into "$window" "$tweak"
grep -q $'^bUseSound=False\r$' "$tweak" || fail "Knobwerk.ini lacks bUseSound=False: $(head -c 300 "$tweak")"
good "Export Settings wrote $(grep -c '=' "$tweak") keys into Knobwerk.ini beside Knobwerk"
stop_program

# --- 2. from a folder the player cannot write to -------------------------------------------
in_root cp -a "/home/player/Apps/$name" "/opt/$name"
in_root chown -R root:root "/opt/$name"
in_root rm -f "/opt/$name/Knobwerk.ini"
start_as_player "/opt/$name/Knobwerk"
said=$(close_box)
[ "$said" = "Unable to write to /opt/$name/Knobwerk.ini." ] || fail "the read-only start says '$said'"
wait_window "$WINDOW_TITLE" >/dev/null
good "from a read-only folder: the error box '$said', then the window"
stop_program

# --- 3. on Wayland ----------------------------------------------------------------------------
# root's compositor puts its socket into the root, where the player connects to it.
wayland="$DEBIAN_ROOT/tmp/wayland"
mkdir -m 700 -- "$wayland"
if ! start_weston "$wayland"; then
    echo "skip: weston's headless compositor does not start here: $(tail -n 3 "$wayland.log")"
else
    chmod 777 -- "$wayland" "$wayland/wayland-knobwerk"
    PLAYER_ENV=(QT_QPA_PLATFORM=wayland XDG_RUNTIME_DIR=/tmp/wayland WAYLAND_DISPLAY=wayland-knobwerk WAYLAND_DEBUG=client)
    start_as_player "$program"
    for ((i = 0; i < 60; i++)); do
        grep -q 'set_title("UT3 Knobwerk' "$LOG" && grep -q 'wl_surface@[0-9]*\.attach' "$LOG" && break
        program_running || fail "the program ended on Wayland: $(grep -v '^\[' "$LOG" | tail -n 5)"
        sleep 0.5
    done
    grep -q 'set_title("UT3 Knobwerk' "$LOG" || fail "no window titled 'UT3 Knobwerk' on Wayland"
    grep -q 'wl_surface@[0-9]*\.attach' "$LOG" || fail "the window on Wayland never got a picture"
    sleep 2
    program_running || fail "the program ended on Wayland: $(grep -v '^\[' "$LOG" | tail -n 5)"
    good "on Wayland (weston, headless): the window 'UT3 Knobwerk' is created and drawn, the program runs"
    stop_program
fi
echo "Portable check passed: $tarball"
