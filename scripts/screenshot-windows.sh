#!/usr/bin/env bash
# docs/screenshot-windows.png: Knobwerk.exe under Wine, with Qt's windows platform plugin,
# on a virtual X server, on the sample game files in the Wine user's documents folder,
# started from a scratch folder of the Wine prefix beside it (cmake/WinePrefix.cmake).
#
#   scripts/screenshot-windows.sh build-windows/Knobwerk.exe    ("make screenshot-windows")
set -euo pipefail
root=$(cd -- "$(dirname -- "${BASH_SOURCE[0]}")/.." && pwd)
# shellcheck source=xvfb.sh
. "$root/scripts/xvfb.sh"

[ -f "${1:-}" ] || fail "usage: ${0##*/} PATH-TO-Knobwerk.exe (make windows first)"
exe=$(realpath -- "$1")
export WINEPREFIX WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" WINEARCH=win64
WINEPREFIX="$(dirname -- "$exe")/wineprefix"
cmake -DPREFIX="$WINEPREFIX" -P "$root/cmake/WinePrefix.cmake" >/dev/null
# The Wine server that the tests leave running has its desktop on no display.
wineserver -k 2>/dev/null || true
config="$WINEPREFIX/drive_c/users/$(id -un)/Documents/My Games/Unreal Tournament 3/UTGame/Config"
rm -rf -- "$config" "$WINEPREFIX/drive_c/Knobwerk"
mkdir -p -- "$config" "$WINEPREFIX/drive_c/Knobwerk"
cp -- "$root"/data/*.ini "$config/"
cp -- "$exe" "$WINEPREFIX/drive_c/Knobwerk/Knobwerk.exe"
trap 'stop_displays; wineserver -k 2>/dev/null || true' EXIT
trap 'exit 130' INT TERM

start_xvfb 1280x1024
log="$WINEPREFIX/knobwerk-screenshot.log"
wine "$WINEPREFIX/drive_c/Knobwerk/Knobwerk.exe" >"$log" 2>&1 &
watch_program $! "$log"
# Wine's first start on a new display takes a while, and Wine maps the window before Qt
# gives it its size: the picture is taken once the window has settled.
window=$(WAIT_SECONDS=60 wait_window "$WINDOW_TITLE")
sleep 3
mkdir -p -- "$root/docs"
picture "$window" "$root/docs/screenshot-windows.png"
