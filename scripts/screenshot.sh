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

# shellcheck source=xvfb-session.sh
. "$KNOBWERK_ROOT/scripts/xvfb-session.sh"
xvfb_fail() { scratch_fail "$@"; }

app_pid=""

stop_started() {
    if [ -n "$app_pid" ]; then
        kill "$app_pid" 2>/dev/null || true
        wait "$app_pid" 2>/dev/null || true
        app_pid=""
    fi
    stop_xvfb
}
trap stop_started EXIT
trap 'exit 130' INT TERM

# shoot SCALE SCREEN-SIZE OUTPUT-FILE
shoot() {
    local scale=$1 size=$2 target=$3 geometry=""
    start_xvfb "$size" "$SCRATCH_HOME"

    local log="$SCRATCH_HOME/knobwerk-scale$scale.log"
    # env execs the program, so $! is the program itself.
    env -u WAYLAND_DISPLAY "${SCRATCH_ENV[@]}" \
        DISPLAY="$DISPLAY_NAME" QT_QPA_PLATFORM=xcb QT_SCALE_FACTOR="$scale" \
        XDG_RUNTIME_DIR="$SCRATCH_HOME/runtime" \
        "$program" >"$log" 2>&1 &
    app_pid=$!

    geometry=$(wait_for_window "$app_pid" knobwerk "$log")
    grab_window "$geometry" "$size" "$target"
    stop_started
}

make_scratch_home
mkdir -m 700 -- "$SCRATCH_HOME/runtime"
echo "Scratch home: $SCRATCH_HOME"

# The window is 857 x 700 at normal scale; the doubled one needs a larger screen.
shoot 1 1280x1024 "$out_dir/screenshot.png"
shoot 2 2560x2048 "$out_dir/screenshot-2x.png"

rm -rf -- "$SCRATCH_HOME"
