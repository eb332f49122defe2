#!/usr/bin/env bash
# Starts Knobwerk on a scratch copy of the bundled sample game files (data/*.ini),
# so that the player's own game configuration is never touched:
#
#   scripts/demo.sh build/Knobwerk
#
# The scratch folder is left behind afterwards so that the edited files (and any
# .bak copies) can be inspected; its path is printed before and after the run.
# The program writes its own Knobwerk.ini beside its executable, as it always does.
set -euo pipefail

# shellcheck source=scratch-home.sh
. "$(dirname -- "${BASH_SOURCE[0]}")/scratch-home.sh"

program=$(resolve_program "${1:-}")
make_scratch_home

echo "Scratch home:      $SCRATCH_HOME"
echo "Game INI files in: $SCRATCH_CONFIG"

status=0
run_in_scratch_home "$program" || status=$?

echo "Left behind for inspection: $SCRATCH_CONFIG"
echo "(remove it with: rm -rf '$SCRATCH_HOME')"
exit "$status"
