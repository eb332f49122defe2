#!/usr/bin/env bash
# Starts Knobwerk on a scratch copy of the bundled sample game files (data/*.ini),
# so that the player's own game configuration is never touched:
#
#   scripts/demo.sh build/Knobwerk
#
# The scratch folder is left behind afterwards so that the edited files (and any
# .bak copies) can be inspected; its path is printed before and after the run.
# The program writes its own Knobwerk.ini beside its executable, as it always does.
#
# Knobwerk needs a desktop session (X11 or Wayland). Without one (a server, a container,
# an SSH session: neither DISPLAY nor WAYLAND_DISPLAY set) it runs on a virtual X display
# (scripts/xvfb.sh) instead, takes a picture of the window into the scratch folder, and ends.
set -euo pipefail

# shellcheck source=scratch-home.sh
. "$(dirname -- "${BASH_SOURCE[0]}")/scratch-home.sh"

program=$(resolve_program "${1:-}")
make_scratch_home

echo "Scratch home:      $SCRATCH_HOME"
echo "Game INI files in: $SCRATCH_CONFIG"

SHOW_SECONDS=${SHOW_SECONDS:-5} # how long the window runs on the virtual display

status=0
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}${QT_QPA_PLATFORM:-}" ]; then
    run_in_scratch_home "$program" || status=$?
else
    picture="$SCRATCH_HOME/knobwerk-window.png"
    echo "No display: Knobwerk needs a desktop session (X11 or Wayland; DISPLAY and WAYLAND_DISPLAY are unset)."
    echo "Running it for ${SHOW_SECONDS}s on a virtual X display instead; its picture goes to $picture"
    # shellcheck source=xvfb.sh
    . "$KNOBWERK_ROOT/scripts/xvfb.sh"
    xvfb_fail() { scratch_fail "$@"; }
    trap stop_xvfb EXIT
    start_xvfb 1024x768
    run_in_scratch_home "$program" >"$SCRATCH_HOME/knobwerk.log" 2>&1 &
    watch_program $! "$SCRATCH_HOME/knobwerk.log"
    grab_window "$(SETTLE_SECONDS=$SHOW_SECONDS wait_for_window knobwerk)" "$picture"
    stop_xvfb
    [ -s "$picture" ] && echo "Picture of the window: $picture"
    echo "To use the window itself, run make demo in a desktop session, or over ssh -X."
fi

echo "Left behind for inspection: $SCRATCH_CONFIG"
echo "(remove it with: rm -rf '$SCRATCH_HOME')"
exit "$status"
