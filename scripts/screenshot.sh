#!/usr/bin/env bash
# Takes pictures of the real Knobwerk window for the documentation:
#
#   scripts/screenshot.sh build/Knobwerk        ("make screenshot" installs what it needs)
#
# writes docs/screenshot.png (normal scale) and docs/screenshot-2x.png
# (QT_SCALE_FACTOR=2). Each picture comes from its own virtual X server and its own run
# of the program on a scratch copy of the sample game files, as scripts/demo.sh makes it.
# The whole screen is kept when the window cannot be found.
set -euo pipefail

# shellcheck source=scratch-home.sh
. "$(dirname -- "${BASH_SOURCE[0]}")/scratch-home.sh"
# shellcheck source=xvfb.sh
. "$KNOBWERK_ROOT/scripts/xvfb.sh"
xvfb_fail() { scratch_fail "$@"; }

program=$(resolve_program "${1:-}")
out_dir="$KNOBWERK_ROOT/docs"
mkdir -p -- "$out_dir"
trap stop_xvfb EXIT
trap 'exit 130' INT TERM

# shoot SCALE SCREEN-SIZE OUTPUT-FILE
shoot() {
    local log="$SCRATCH_HOME/knobwerk-scale$1.log"
    start_xvfb "$2"
    # env execs the program, so $! is the program itself.
    env -u WAYLAND_DISPLAY "${SCRATCH_ENV[@]}" QT_QPA_PLATFORM=xcb QT_SCALE_FACTOR="$1" \
        XDG_RUNTIME_DIR="$SCRATCH_HOME/runtime" "$program" >"$log" 2>&1 &
    watch_program $! "$log"
    grab_window "$(wait_for_window knobwerk)" "$3"
    stop_xvfb
}

make_scratch_home
mkdir -m 700 -- "$SCRATCH_HOME/runtime"
echo "Scratch home: $SCRATCH_HOME"

# The window is 857 x 700 at normal scale; the doubled one needs a larger screen.
shoot 1 1280x1024 "$out_dir/screenshot.png"
shoot 2 2560x2048 "$out_dir/screenshot-2x.png"

rm -rf -- "$SCRATCH_HOME"
