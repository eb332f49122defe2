#!/usr/bin/env bash
# Checks a built Knobwerk Debian package and fails on the first thing wrong:
#
#   tests/packaging/check-package.sh knobwerk_1.0_amd64.deb
#
# - the control fields: name, maintainer, section, and dependencies that name Qt's
#   widgets library (dpkg-shlibdeps computed them);
# - the files: the program in usr/bin, the menu entry, the 48x48 icon and the README;
# - their content: an executable ELF program whose libraries all resolve on this
#   machine, a menu entry that starts Knobwerk with the knobwerk icon (and that
#   desktop-file-validate accepts), a 48x48 PNG, a non-empty README.
#
# Needs dpkg-deb (dpkg), ldd (libc-bin) and desktop-file-validate (desktop-file-utils,
# installed when missing).
set -euo pipefail

deb=${1:-}
name=${0##*/}
failures=0

usage_fail() {
    echo "$name: $*" >&2
    exit 2
}
bad() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}
good() {
    echo "ok:   $*"
}
# check OK-TEXT FAIL-TEXT COMMAND...: reports OK-TEXT when COMMAND succeeds, else FAIL-TEXT.
check() {
    local ok=$1 failure=$2
    shift 2
    if "$@"; then good "$ok"; else bad "$failure"; fi
}

need_packages() {
    "$(dirname -- "${BASH_SOURCE[0]}")/../../scripts/ensure-packages.sh" "$@"
}

[ -n "$deb" ] || usage_fail "usage: $name PACKAGE.deb"
[ -f "$deb" ] || usage_fail "no package at '$deb'"
need_packages desktop-file-utils

echo "Checking $deb"

# --- control fields --------------------------------------------------------------
field() { dpkg-deb --field "$deb" "$1"; }
check "Package: knobwerk" "Package is '$(field Package)', not knobwerk" [ "$(field Package)" = knobwerk ]
maintainer="Knobwerk developers <dev@knobwerk.example>"
check "Maintainer: $maintainer" "Maintainer is '$(field Maintainer)'" [ "$(field Maintainer)" = "$maintainer" ]
check "Section: games" "Section is '$(field Section)', not games" [ "$(field Section)" = games ]
depends=$(field Depends)
widgets_dependency='(^|[ ,])libqt6widgets6([ ,(]|$)'
if [[ "$depends" =~ $widgets_dependency ]]; then
    good "Depends: $depends"
else
    bad "Depends lacks libqt6widgets6 (shlibdeps not run?): '$depends'"
fi
check "Description present" "no Description" [ -n "$(field Description)" ]

# --- file list -------------------------------------------------------------------
listing=$(dpkg-deb --contents "$deb")
# Prints the mode column of the listed path (./usr/...), or nothing.
mode_of() { awk -v p="./$1" '$NF == p { print $1 }' <<<"$listing"; }

program=usr/bin/Knobwerk
desktop=usr/share/applications/knobwerk.desktop
icon=usr/share/icons/hicolor/48x48/apps/knobwerk.png
readme=usr/share/doc/knobwerk/README.md
for path in "$program" "$desktop" "$icon" "$readme"; do
    mode=$(mode_of "$path")
    if [ -z "$mode" ]; then
        bad "missing from the package: /$path"
    elif [ "${mode:0:1}" != - ]; then
        bad "/$path is not a plain file ($mode)"
    else
        good "/$path ($mode)"
    fi
done
mode=$(mode_of "$program")
[ -z "$mode" ] || [ "${mode:3:1}${mode:6:1}${mode:9:1}" = xxx ] || bad "/$program is not executable by all ($mode)"

# --- content ---------------------------------------------------------------------
scratch=$(mktemp -d "${TMPDIR:-/tmp}/knobwerk-check.XXXXXX")
trap 'rm -rf -- "$scratch"' EXIT
dpkg-deb -x "$deb" "$scratch"

if [ -f "$scratch/$program" ]; then
    if [ "$(head -c 4 "$scratch/$program" | od -An -tx1 | tr -d ' \n')" = 7f454c46 ]; then
        good "/$program is an ELF program"
    else
        bad "/$program is no ELF program"
    fi
    if ! libraries=$(ldd "$scratch/$program" 2>&1); then
        bad "ldd cannot read /$program: $libraries"
    elif grep -q 'not found' <<<"$libraries"; then
        bad "unresolved libraries of /$program: $(grep 'not found' <<<"$libraries" | tr -s ' \t\n' ' ')"
    else
        good "all $(grep -c '=>' <<<"$libraries") shared libraries of /$program resolve"
    fi
fi

if [ -f "$scratch/$desktop" ]; then
    entry() { sed -n "s/^$1=//p" "$scratch/$desktop" | head -n 1; }
    [ "$(entry Name)" = Knobwerk ] || bad "menu entry Name is '$(entry Name)', not Knobwerk"
    [ "$(entry Exec)" = Knobwerk ] || bad "menu entry Exec is '$(entry Exec)', not Knobwerk"
    [ "$(entry Icon)" = knobwerk ] || bad "menu entry Icon is '$(entry Icon)', not knobwerk"
    [ "$(entry Type)" = Application ] || bad "menu entry Type is '$(entry Type)', not Application"
    case ";$(entry Categories)" in
    *";Game;"*) ;;
    *) bad "menu entry Categories lack Game: '$(entry Categories)'" ;;
    esac
    case ";$(entry Categories)" in
    *";Settings;"*) ;;
    *) bad "menu entry Categories lack Settings: '$(entry Categories)'" ;;
    esac
    # The program the entry starts must be the one the package puts on the PATH.
    [ "/usr/bin/$(entry Exec)" = "/$program" ] || bad "menu entry starts '$(entry Exec)', not the packaged program"
    if validation=$(desktop-file-validate "$scratch/$desktop" 2>&1); then
        good "menu entry: Name=$(entry Name) Exec=$(entry Exec) Icon=$(entry Icon) Categories=$(entry Categories)"
        [ -z "$validation" ] || echo "      desktop-file-validate: $validation"
    else
        bad "desktop-file-validate rejects the menu entry: $validation"
    fi
fi

if [ -f "$scratch/$icon" ]; then
    # PNG signature, then the IHDR chunk with width and height as 4-byte big-endian numbers.
    header=$(head -c 24 "$scratch/$icon" | od -An -tx1 | tr -d ' \n')
    if [ "${header:0:16}" != 89504e470d0a1a0a ]; then
        bad "/$icon is no PNG image"
    else
        width=$((16#${header:32:8}))
        height=$((16#${header:40:8}))
        check "icon is a 48x48 PNG" "icon is ${width}x${height}, not 48x48" [ "${width}x$height" = 48x48 ]
    fi
fi

if [ -f "$scratch/$readme" ]; then
    check "README has $(wc -l <"$scratch/$readme") lines" "README is empty" [ -s "$scratch/$readme" ]
fi

if [ "$failures" -gt 0 ]; then
    echo "$name: $failures problem(s) in $deb" >&2
    exit 1
fi
echo "Package check passed: $deb"
