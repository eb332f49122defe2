#!/usr/bin/env bash
# Starts Knobwerk on a scratch copy of the bundled sample game files (data/*.ini), in a
# scratch home, so that the player's own game configuration is never touched:
#
#   scripts/demo.sh build/Knobwerk                    the window, in the desktop session
#   scripts/demo.sh build/Knobwerk PICTURE [SCALE]    a picture of the window at that
#                                                     QT_SCALE_FACTOR, on a virtual X server
#
# Without a desktop session (a server, a container, an SSH session) the first form takes
# the picture into the scratch home, which it leaves behind for inspection.
set -euo pipefail
root=$(cd -- "$(dirname -- "${BASH_SOURCE[0]}")/.." && pwd)
# shellcheck source=xvfb.sh
. "$root/scripts/xvfb.sh"

program=${1:-}
[ -f "$program" ] && [ -x "$program" ] || fail "usage: ${0##*/} PATH-TO-KNOBWERK [PICTURE [SCALE]] (make build first)"
program=$(realpath -- "$program")
picture=${2:-}
scale=${3:-1}

home=$(mktemp -d "${TMPDIR:-/tmp}/knobwerk-home.XXXXXX")
config="$home/Documents/My Games/Unreal Tournament 3/UTGame/Config"
mkdir -p -- "$config" "$home/.config" "$home/.cache" "$home/.local/share" "$home/runtime"
chmod 700 -- "$home/runtime"
cp -- "$root"/data/*.ini "$config/"
# Qt takes the documents folder from this file, with the HOME the program runs with.
# shellcheck disable=SC2016
echo 'XDG_DOCUMENTS_DIR="$HOME/Documents"' >"$home/.config/user-dirs.dirs"
scratch=(HOME="$home" XDG_CONFIG_HOME="$home/.config" XDG_CACHE_HOME="$home/.cache"
    XDG_DATA_HOME="$home/.local/share" XDG_DOCUMENTS_DIR="$home/Documents")
echo "Game INI files in: $config"

if [ -z "$picture" ] && [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}${QT_QPA_PLATFORM:-}" ]; then
    status=0
    env "${scratch[@]}" "$program" || status=$?
    echo "Left behind for inspection: $config (remove it with: rm -rf '$home')"
    exit "$status"
fi
keep=""
if [ -z "$picture" ]; then
    picture="$home/knobwerk-window.png" keep=yes
    echo "No display: Knobwerk needs a desktop session (X11 or Wayland; DISPLAY and WAYLAND_DISPLAY are unset)."
    echo "Running it on a virtual X display instead; its picture goes to $picture"
    echo "To use the window itself, run make demo in a desktop session, or over ssh -X."
fi
trap 'stop_displays; [ -n "$keep" ] || rm -rf -- "$home"' EXIT
trap 'exit 130' INT TERM
mkdir -p -- "$(dirname -- "$picture")"
# The screen grows with the scale, which may be a fraction (1.25, 1.5).
start_xvfb "$(awk -v s="$scale" 'BEGIN { printf "%dx%d", 1280 * s + 0.5, 1024 * s + 0.5 }')"
env -u WAYLAND_DISPLAY "${scratch[@]}" XDG_RUNTIME_DIR="$home/runtime" QT_QPA_PLATFORM=xcb \
    QT_SCALE_FACTOR="$scale" "$program" >"$home/knobwerk.log" 2>&1 &
watch_program $! "$home/knobwerk.log" # env execs the program
window=$(wait_window "$WINDOW_TITLE")
picture "$window" "$picture"
