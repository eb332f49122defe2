#!/usr/bin/env bash
# Takes a picture of the real Windows program: Knobwerk.exe under Wine, with Qt's windows
# platform plugin, on a virtual X server, on a scratch copy of the bundled sample game
# files in the Wine user's documents folder:
#
#   scripts/screenshot-windows.sh build-windows/Knobwerk.exe    ("make screenshot-windows")
#
# writes docs/screenshot-windows.png. The program runs from a scratch folder of the Wine
# prefix beside it (cmake/WinePrefix.cmake), so its Knobwerk.ini is made there.
set -euo pipefail
root=$(cd -- "$(dirname -- "${BASH_SOURCE[0]}")/.." && pwd)
# shellcheck source=xvfb.sh
. "$root/scripts/xvfb.sh"
xvfb_fail() {
    echo "${0##*/}: $*" >&2
    exit 1
}

exe=${1:-}
[ -f "$exe" ] || xvfb_fail "usage: ${0##*/} PATH-TO-Knobwerk.exe (build it first: make windows)"
exe=$(realpath -- "$exe")
export WINEPREFIX WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" WINEARCH=win64
WINEPREFIX="$(dirname -- "$exe")/wineprefix"
cmake -DPREFIX="$WINEPREFIX" -P "$root/cmake/WinePrefix.cmake" >/dev/null
config="$WINEPREFIX/drive_c/users/$(id -un)/Documents/My Games/Unreal Tournament 3/UTGame/Config"
program_folder="$WINEPREFIX/drive_c/Knobwerk"
rm -rf -- "$config" "$program_folder"
mkdir -p -- "$config" "$program_folder"
cp -- "$root"/data/*.ini "$config/"
cp -- "$exe" "$program_folder/Knobwerk.exe"

stop_started() {
    stop_xvfb
    wineserver -k 2>/dev/null || true
}
trap stop_started EXIT
trap 'exit 130' INT TERM

start_xvfb 1280x1024
log="$WINEPREFIX/knobwerk-screenshot.log"
wine "$program_folder/Knobwerk.exe" >"$log" 2>&1 &
watch_program $! "$log"
# Wine's first start on a new display takes a while, and Wine maps the window before
# Qt gives it its size: the geometry is read again once the window has settled.
SETTLE_SECONDS=${SETTLE_SECONDS:-5} WINDOW_TIMEOUT=${WINDOW_TIMEOUT:-60} wait_for_window '"UT3 Knobwerk' >/dev/null
sleep 3
mkdir -p -- "$root/docs"
grab_window "$(find_window '"UT3 Knobwerk')" "$root/docs/screenshot-windows.png"
