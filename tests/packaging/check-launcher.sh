#!/usr/bin/env bash
# Checks the launcher in an installed layout of its own (a scratch prefix with bin/knobwerk,
# the link bin/Knobwerk and lib/knobwerk/Knobwerk), with a stand-in program that prints the
# path it was started as:
#
#   tests/packaging/check-launcher.sh BUILD/launcher/knobwerk      (ctest runs it)
#
# - the first start copies the program into $XDG_DATA_HOME/knobwerk and runs the copy;
# - a later start leaves an up-to-date copy alone; after an upgrade it refreshes it;
# - without XDG_DATA_HOME the copy lies in ~/.local/share/knobwerk;
# - when the folder cannot be made, or the copy cannot be started, it says why and runs
#   the installed program.
set -euo pipefail

launcher=$(realpath -- "${1:?usage: ${0##*/} PATH-TO-LAUNCHER}")
failures=0
bad() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}
good() { echo "ok:   $*"; }

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
        bad "the launcher ended with status $?: $(cat "$scratch/stderr")"
    ERR=$(cat "$scratch/stderr")
}

data="$scratch/data"
copy="$data/knobwerk/Knobwerk"

install_program 1
start HOME="$scratch/home" XDG_DATA_HOME="$data"
if [ "$OUT" = "started $copy" ] && cmp -s "$installed" "$copy" && [ -x "$copy" ] && [ -z "$ERR" ]; then
    good "first start copies the program to \$XDG_DATA_HOME/knobwerk and runs the copy"
else
    bad "first start: output '$OUT', errors '$ERR', copy $(ls -l "$copy" 2>&1)"
fi

inode=$(stat -c %i "$copy")
start HOME="$scratch/home" XDG_DATA_HOME="$data"
check_inode=$(stat -c %i "$copy")
if [ "$OUT" = "started $copy" ] && [ "$inode" = "$check_inode" ]; then
    good "a later start runs the up-to-date copy without rewriting it"
else
    bad "second start: output '$OUT', copy inode $inode became $check_inode"
fi

install_program 2
start HOME="$scratch/home" XDG_DATA_HOME="$data"
if [ "$OUT" = "started $copy" ] && grep -q 'version 2' "$copy"; then
    good "after an upgrade the copy is refreshed before it runs"
else
    bad "after an upgrade: output '$OUT', copy holds: $(sed -n 2p "$copy")"
fi

start HOME="$scratch/home"
if [ "$OUT" = "started $scratch/home/.local/share/knobwerk/Knobwerk" ]; then
    good "without XDG_DATA_HOME the copy lies in ~/.local/share/knobwerk"
else
    bad "without XDG_DATA_HOME: output '$OUT'"
fi

# A plain file where the folder should be: no one can make the folder, root included.
blocked="$scratch/blocked"
mkdir -p -- "$blocked"
: >"$blocked/knobwerk"
start HOME="$scratch/home" XDG_DATA_HOME="$blocked"
if [ "$OUT" = "started $installed" ] && [[ "$ERR" == *"$blocked/knobwerk"* ]] &&
    [[ "$ERR" == *"starts from $prefix/lib/knobwerk instead"* ]]; then
    good "a folder that cannot be made is reported and the installed program runs: $(head -n 1 <<<"$ERR")"
else
    bad "blocked folder: output '$OUT', errors '$ERR'"
fi

# The copy is up to date but cannot be started (as on a home mounted noexec).
chmod 644 -- "$copy"
start HOME="$scratch/home" XDG_DATA_HOME="$data"
if [ "$OUT" = "started $installed" ] && [[ "$ERR" == *"cannot start its copy $copy"* ]]; then
    good "a copy that cannot be started is reported and the installed program runs"
else
    bad "copy not executable: output '$OUT', errors '$ERR'"
fi

[ "$failures" -eq 0 ] || { echo "${0##*/}: $failures failure(s)" >&2; exit 1; }
echo "Launcher check passed"
