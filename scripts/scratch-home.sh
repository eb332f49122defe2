# Sourced by demo.sh and screenshot.sh, never run on its own.
#
# Builds a throw-away home folder that holds a copy of the bundled sample game
# files (data/*.ini) where the program looks for them, so that trying the program
# never touches the player's real game configuration:
#
#   <scratch>/Documents/My Games/Unreal Tournament 3/UTGame/Config/UTEngine.ini ...
#   <scratch>/.config/user-dirs.dirs      (documents folder = $HOME/Documents)
#
# After make_scratch_home:
#   SCRATCH_HOME    the scratch folder
#   SCRATCH_CONFIG  the game's configuration folder inside it
#   SCRATCH_ENV     NAME=value words for env(1) that point HOME and the XDG folders there
# and run_in_scratch_home CMD... runs CMD in that environment.

KNOBWERK_ROOT=$(cd -- "$(dirname -- "${BASH_SOURCE[0]}")/.." && pwd)
GAME_CONFIG_SUBDIR="Documents/My Games/Unreal Tournament 3/UTGame/Config"

scratch_fail() {
    echo "${0##*/}: $*" >&2
    exit 1
}

# Prints the absolute path of the program given as $1, or fails with a hint.
resolve_program() {
    local given=${1:-}
    [ -n "$given" ] || scratch_fail "usage: ${0##*/} PATH-TO-KNOBWERK"
    [ -e "$given" ] || scratch_fail "no program at '$given' (build it first: make build)"
    { [ -f "$given" ] && [ -x "$given" ]; } || scratch_fail "'$given' is not an executable file"
    realpath -- "$given"
}

make_scratch_home() {
    local samples=()
    shopt -s nullglob
    samples=("$KNOBWERK_ROOT"/data/*.ini)
    shopt -u nullglob
    [ ${#samples[@]} -gt 0 ] || scratch_fail "no sample game files in $KNOBWERK_ROOT/data"

    SCRATCH_HOME=$(mktemp -d "${TMPDIR:-/tmp}/knobwerk-home.XXXXXX")
    SCRATCH_CONFIG="$SCRATCH_HOME/$GAME_CONFIG_SUBDIR"
    mkdir -p -- "$SCRATCH_CONFIG" "$SCRATCH_HOME/.config" "$SCRATCH_HOME/.cache" "$SCRATCH_HOME/.local/share"
    cp -- "${samples[@]}" "$SCRATCH_CONFIG/"

    SCRATCH_ENV=(
        "HOME=$SCRATCH_HOME"
        "XDG_CONFIG_HOME=$SCRATCH_HOME/.config"
        "XDG_CACHE_HOME=$SCRATCH_HOME/.cache"
        "XDG_DATA_HOME=$SCRATCH_HOME/.local/share"
        "XDG_DOCUMENTS_DIR=$SCRATCH_HOME/Documents"
    )

    # Qt takes the documents folder from this file; "$HOME" stays literal here,
    # the reader puts in the HOME the program runs with.
    # shellcheck disable=SC2016
    printf '%s\n' '# Written by Knobwerk'"'"'s scripts/scratch-home.sh' \
        'XDG_DOCUMENTS_DIR="$HOME/Documents"' >"$SCRATCH_HOME/.config/user-dirs.dirs"
}

# The environment that makes the scratch folder the home folder, as NAME=value
# words for env(1). Set by make_scratch_home.
SCRATCH_ENV=()

# Runs "$@" with the scratch folder as home. Call make_scratch_home first.
run_in_scratch_home() {
    env "${SCRATCH_ENV[@]}" "$@"
}
