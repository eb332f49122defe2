#!/usr/bin/env bash
# Checks the launcher (ctest runs it) in an installed layout of its own: a scratch prefix
# with bin/knobwerk, the link bin/Knobwerk, and as lib/knobwerk/Knobwerk a stand-in that
# prints the path it was started as. The first start copies the program into
# $XDG_DATA_HOME/knobwerk (default ~/.local/share/knobwerk) and runs the copy; a later one
# leaves an up-to-date copy alone and refreshes an old one; when the folder cannot be made
# or the copy cannot be started, it says why and runs the installed program.
#
#   tests/packaging/check-launcher.sh BUILD/launcher/knobwerk
set -euo pipefail

launcher=$(realpath -- "${1:?usage: ${0##*/} PATH-TO-LAUNCHER}")
failures=0
# expect OK-TEXT FAIL-TEXT CONDITION: reports OK-TEXT when the CONDITION (shell code) holds.
expect() {
    if eval "$3"; then
        echo "ok:   $1"
    else
        echo "FAIL: $2" >&2
        failures=$((failures + 1))
    fi
}

scratch=$(mktemp -d "${TMPDIR:-/tmp}/knobwerk-launcher.XXXXXX")
trap 'rm -rf -- "$scratch"' EXIT
prefix="$scratch/prefix"
installed="$prefix/lib/knobwerk/Knobwerk"
mkdir -p -- "$prefix/bin" "$prefix/lib/knobwerk" "$scratch/home"
cp -- "$launcher" "$prefix/bin/knobwerk"
ln -s knobwerk "$prefix/bin/Knobwerk"

# install_program VERSION: the stand-in program of that version.
install_program() {
    printf '#!/bin/sh\n# version %s\necho "started $0"\n' "$1" >"$installed"
    chmod 755 -- "$installed"
}

# start NAME=value...: runs bin/Knobwerk without a display; sets OUT and ERR.
start() {
    OUT=$(env -i PATH=/usr/bin:/bin "$@" "$prefix/bin/Knobwerk" 2>"$scratch/stderr") ||
        expect "" "the launcher ended with status $?: $(cat "$scratch/stderr")" false
    ERR=$(cat "$scratch/stderr")
}

data="$scratch/data"
copy="$data/knobwerk/Knobwerk"

install_program 1
start HOME="$scratch/home" XDG_DATA_HOME="$data"
expect "first start copies the program to \$XDG_DATA_HOME/knobwerk and runs the copy" \
    "first start: output '$OUT', errors '$ERR', copy $(ls -l "$copy" 2>&1)" \
    '[ "$OUT" = "started $copy" ] && cmp -s "$installed" "$copy" && [ -x "$copy" ] && [ -z "$ERR" ]'

inode=$(stat -c %i "$copy")
start HOME="$scratch/home" XDG_DATA_HOME="$data"
check_inode=$(stat -c %i "$copy")
expect "a later start runs the up-to-date copy without rewriting it" \
    "second start: output '$OUT', copy inode $inode became $check_inode" \
    '[ "$OUT" = "started $copy" ] && [ "$inode" = "$check_inode" ]'

install_program 2
start HOME="$scratch/home" XDG_DATA_HOME="$data"
expect "after an upgrade the copy is refreshed before it runs" \
    "after an upgrade: output '$OUT', copy holds: $(sed -n 2p "$copy")" \
    '[ "$OUT" = "started $copy" ] && grep -q "version 2" "$copy"'

start HOME="$scratch/home"
expect "without XDG_DATA_HOME the copy lies in ~/.local/share/knobwerk" "without XDG_DATA_HOME: output '$OUT'" \
    '[ "$OUT" = "started $scratch/home/.local/share/knobwerk/Knobwerk" ]'

# A plain file where the folder should be: no one can make the folder, root included.
blocked="$scratch/blocked"
mkdir -p -- "$blocked"
: >"$blocked/knobwerk"
start HOME="$scratch/home" XDG_DATA_HOME="$blocked"
expect "a folder that cannot be made is reported and the installed program runs: $(head -n 1 <<<"$ERR")" \
    "blocked folder: output '$OUT', errors '$ERR'" \
    '[ "$OUT" = "started $installed" ] && [[ "$ERR" == *"$blocked/knobwerk"* ]] &&
        [[ "$ERR" == *"starts from $prefix/lib/knobwerk instead"* ]]'

# The copy is up to date but cannot be started (as on a home mounted noexec).
chmod 644 -- "$copy"
start HOME="$scratch/home" XDG_DATA_HOME="$data"
expect "a copy that cannot be started is reported and the installed program runs" \
    "copy not executable: output '$OUT', errors '$ERR'" \
    '[ "$OUT" = "started $installed" ] && [[ "$ERR" == *"cannot start its copy $copy"* ]]'

[ "$failures" -eq 0 ] || { echo "${0##*/}: $failures failure(s)" >&2; exit 1; }
echo "Launcher check passed"
