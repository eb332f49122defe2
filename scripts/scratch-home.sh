# shellcheck shell=bash
# Sourced by demo.sh and screenshot.sh, never run on its own: a throw-away home folder
# holding a copy of the bundled sample game files (data/*.ini) where the program looks
# for them, so that trying the program never touches the player's own configuration:
#
#   <scratch>/Documents/My Games/Unreal Tournament 3/UTGame/Config/UTEngine.ini ...
#   <scratch>/.config/user-dirs.dirs      (documents folder = $HOME/Documents)
#
# After make_scratch_home, SCRATCH_HOME is the folder, SCRATCH_CONFIG the game's
# configuration folder in it, SCRATCH_ENV the NAME=value words for env(1) that point HOME
# and the XDG folders there; run_in_scratch_home CMD... runs CMD with them.

KNOBWERK_ROOT=$(cd -- "$(dirname -- "${BASH_SOURCE[0]}")/.." && pwd)
SCRATCH_ENV=()

scratch_fail() {
    echo "${0##*/}: $*" >&2
    exit 1
}

# Prints the absolute path of the program given as $1, or fails with a hint.
resolve_program() {
    [ -n "${1:-}" ] || scratch_fail "usage: ${0##*/} PATH-TO-KNOBWERK"
    [ -e "$1" ] || scratch_fail "no program at '$1' (build it first: make build)"
    { [ -f "$1" ] && [ -x "$1" ]; } || scratch_fail "'$1' is not an executable file"
    realpath -- "$1"
}

make_scratch_home() {
    compgen -G "$KNOBWERK_ROOT/data/*.ini" >/dev/null || scratch_fail "no sample game files in $KNOBWERK_ROOT/data"
    SCRATCH_HOME=$(mktemp -d "${TMPDIR:-/tmp}/knobwerk-home.XXXXXX")
    SCRATCH_CONFIG="$SCRATCH_HOME/Documents/My Games/Unreal Tournament 3/UTGame/Config"
    mkdir -p -- "$SCRATCH_CONFIG" "$SCRATCH_HOME/.config" "$SCRATCH_HOME/.cache" "$SCRATCH_HOME/.local/share"
    cp -- "$KNOBWERK_ROOT"/data/*.ini "$SCRATCH_CONFIG/"
    SCRATCH_ENV=(
        "HOME=$SCRATCH_HOME"
        "XDG_CONFIG_HOME=$SCRATCH_HOME/.config"
        "XDG_CACHE_HOME=$SCRATCH_HOME/.cache"
        "XDG_DATA_HOME=$SCRATCH_HOME/.local/share"
        "XDG_DOCUMENTS_DIR=$SCRATCH_HOME/Documents"
    )
    # Qt takes the documents folder from this file; "$HOME" stays literal here, the
    # reader puts in the HOME the program runs with.
    # shellcheck disable=SC2016
    printf '%s\n' '# Written by Knobwerk'"'"'s scripts/scratch-home.sh' \
        'XDG_DOCUMENTS_DIR="$HOME/Documents"' >"$SCRATCH_HOME/.config/user-dirs.dirs"
}

run_in_scratch_home() {
    env "${SCRATCH_ENV[@]}" "$@"
}
