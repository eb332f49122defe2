#!/usr/bin/env bash
# Installs the package with apt-get into a fresh, minimal Debian 12 root and uses it
# there as the ordinary user "player" would, on a virtual X server:
#
#   sudo tests/packaging/check-install.sh knobwerk_1.0_amd64.deb
#
# 1. Started with the Exec line of the installed desktop entry: the window opens with
#    no box, Knobwerk.ini appears in ~/.local/share/knobwerk beside the player's copy of
#    the program, and "Export Settings" writes the settings into it.
# 2. With a data folder the player cannot write to: the launcher's box says why, then
#    the installed program starts with its own error box, then the window opens.
# 3. Removing the package leaves the player's Knobwerk.ini alone.
set -euo pipefail
deb=$(realpath -- "${1:?usage: ${0##*/} PACKAGE.deb}")
# shellcheck source=debian-root.sh
. "$(dirname -- "$0")/debian-root.sh"

new_debian_root
cp -- "$deb" "$DEBIAN_ROOT/tmp/knobwerk.deb"
# Without the recommended packages: the dependencies alone must be enough.
root_install /tmp/knobwerk.deb
good "installed with apt-get (no recommended packages) into a fresh Debian 12 root"
resolved /usr/lib/knobwerk/Knobwerk /usr/bin/knobwerk
[ "$(in_root readlink -f /usr/bin/Knobwerk)" = /usr/bin/knobwerk ] || fail "/usr/bin/Knobwerk is not the launcher"
good "program and launcher resolve all their libraries; knobwerk and Knobwerk are the launcher"

exec_line=$(sed -n 's/^Exec=//p' "$DEBIAN_ROOT/usr/share/applications/knobwerk.desktop" | head -n 1)
[ -n "$exec_line" ] || fail "the desktop entry has no Exec line"
player_x

# --- 1. a normal start from the menu --------------------------------------------------------
start_as_player sh -c "exec $exec_line"
window=$(window_alone)
good "Exec=$exec_line opens the window with no box: $(xdotool getwindowname "$window")"
tweak="$DEBIAN_ROOT/home/player/.local/share/knobwerk/Knobwerk.ini"
[ -s "$tweak" ] || fail "no Knobwerk.ini in ~/.local/share/knobwerk"
[ "$(stat -c %u "$tweak")" = "$(in_root id -u player)" ] || fail "Knobwerk.ini does not belong to the player"
good "Knobwerk.ini created in ~/.local/share/knobwerk, owned by the player"

export_into "$window" "$tweak"
good "Export Settings wrote $(grep -c '=' "$tweak") keys into ~/.local/share/knobwerk/Knobwerk.ini"
stop_program
for folder in /usr/bin /usr/lib/knobwerk; do
    [ ! -e "$DEBIAN_ROOT$folder/Knobwerk.ini" ] || fail "a Knobwerk.ini appeared in $folder"
done

# --- 2. a data folder the player cannot write to ----------------------------------------------
as_player sh -c 'mv ~/.local/share/knobwerk ~/knobwerk-kept && chmod 555 ~/.local/share'
start_as_player sh -c "exec $exec_line"
said=$(close_box)
[[ "$said" == "Knobwerk cannot keep its own copy below your data folder: "*"Permission denied"* ]] ||
    fail "the launcher's box says '$said'"
good "launcher: $said"
sleep 1
said=$(close_box)
[ "$said" = "Unable to write to /usr/lib/knobwerk/Knobwerk.ini." ] || fail "then the program says '$said'"
wait_window "$WINDOW_TITLE" >/dev/null
good "then the installed program: '$said', then the window"
stop_program
as_player sh -c 'chmod 755 ~/.local/share && mv ~/knobwerk-kept ~/.local/share/knobwerk'

# --- 3. removal ---------------------------------------------------------------------------------
in_root env DEBIAN_FRONTEND=noninteractive apt-get remove -y -qq knobwerk >"$LOG" 2>&1 ||
    fail "apt-get remove failed: $(tail -n 20 "$LOG")"
[ ! -e "$DEBIAN_ROOT/usr/bin/knobwerk" ] || fail "the launcher is still there after apt-get remove"
[ -s "$tweak" ] || fail "removing the package took the player's Knobwerk.ini"
good "apt-get remove knobwerk leaves ~/.local/share/knobwerk/Knobwerk.ini alone"

echo "Install check passed: $deb"
