#!/usr/bin/env bash
# Takes a picture of the real Windows program: Knobwerk.exe under Wine, with Qt's windows
# platform plugin, on a virtual X server, on a scratch copy of the bundled sample game
# files in the Wine user's documents folder:
#
#   scripts/screenshot-windows.sh build-windows/Knobwerk.exe
#
# writes docs/screenshot-windows.png. The program runs from a scratch folder of the Wine
# prefix, so its Knobwerk.ini is made there.
set -euo pipefail
root=$(cd -- "$(dirname -- "${BASH_SOURCE[0]}")/.." && pwd)
# shellcheck source=wine-prefix.sh
. "$root/scripts/wine-prefix.sh"
# shellcheck source=xvfb-session.sh
. "$root/scripts/xvfb-session.sh"

xvfb_fail() {
    echo "${0##*/}: $*" >&2
    exit 1
}

exe=${1:-}
[ -f "$exe" ] || xvfb_fail "usage: ${0##*/} PATH-TO-Knobwerk.exe (build it first: make windows)"
exe=$(realpath -- "$exe")
"$root/scripts/ensure-packages.sh" wine wine64 fonts-wine xvfb x11-utils imagemagick

use_wine_prefix "$(dirname -- "$exe")/wineprefix"
config="$WINE_DOCUMENTS/My Games/Unreal Tournament 3/UTGame/Config"
program_folder="$WINEPREFIX/drive_c/Knobwerk"
rm -rf -- "$config" "$program_folder"
mkdir -p -- "$config" "$program_folder"
cp -- "$root"/data/*.ini "$config/"
cp -- "$exe" "$program_folder/Knobwerk.exe"

logs=$(mktemp -d "${TMPDIR:-/tmp}/knobwerk-wine-shot.XXXXXX")
app_pid=""
stop_started() {
    if [ -n "$app_pid" ]; then
        kill "$app_pid" 2>/dev/null || true
        wait "$app_pid" 2>/dev/null || true
    fi
    wineserver -k 2>/dev/null || true
    stop_xvfb
}
trap stop_started EXIT
trap 'exit 130' INT TERM

size=1280x1024
start_xvfb "$size" "$logs"
log="$logs/knobwerk.log"
DISPLAY="$DISPLAY_NAME" wine "$program_folder/Knobwerk.exe" >"$log" 2>&1 &
app_pid=$!
# Wine's first start on a new display takes a while, and Wine maps the window before
# Qt gives it its size: the geometry is read again once the window has settled.
SETTLE_SECONDS=${SETTLE_SECONDS:-5} WINDOW_TIMEOUT=${WINDOW_TIMEOUT:-60} \
    wait_for_window "$app_pid" "\"UT3 Knobwerk" "$log" >/dev/null
sleep 3
geometry=$(find_window "\"UT3 Knobwerk")
mkdir -p -- "$root/docs"
grab_window "$geometry" "$size" "$root/docs/screenshot-windows.png"
stop_started
trap - EXIT
rm -rf -- "$logs"
