#!/usr/bin/env bash
# Checks a built Knobwerk Debian package and fails on the first thing wrong:
#
#   tests/packaging/check-package.sh knobwerk_1.0_amd64.deb
#
# - the control fields: name, maintainer, section, and dependencies that name Qt's
#   widgets library (dpkg-shlibdeps computed them);
# - the files: the program in usr/lib/knobwerk, its launcher usr/bin/knobwerk with the
#   link usr/bin/Knobwerk, the menu entry, the AppStream metainfo, the 48 and 256 px
#   icons, the README and the copyright file;
# - their content: executable ELF programs whose libraries all resolve on this machine,
#   a menu entry that starts the launcher with the knobwerk icon (and that
#   desktop-file-validate accepts), metainfo that appstreamcli accepts and whose
#   categories are the menu entry's, PNG icons of their sizes, a non-empty README, a
#   copyright file naming the program's licence and Qt's.
#
# Needs dpkg-deb (dpkg), ldd (libc-bin), desktop-file-validate (desktop-file-utils) and
# appstreamcli (appstream), which make package installs.
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

[ -n "$deb" ] || usage_fail "usage: $name PACKAGE.deb"
[ -f "$deb" ] || usage_fail "no package at '$deb'"

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

program=usr/lib/knobwerk/Knobwerk
launcher=usr/bin/knobwerk
link=usr/bin/Knobwerk
desktop=usr/share/applications/knobwerk.desktop
metainfo=usr/share/metainfo/example.knobwerk.Knobwerk.metainfo.xml
icon48=usr/share/icons/hicolor/48x48/apps/knobwerk.png
icon256=usr/share/icons/hicolor/256x256/apps/knobwerk.png
readme=usr/share/doc/knobwerk/README.md
copyright=usr/share/doc/knobwerk/copyright
for path in "$program" "$launcher" "$desktop" "$metainfo" "$icon48" "$icon256" "$readme" "$copyright"; do
    mode=$(mode_of "$path")
    if [ -z "$mode" ]; then
        bad "missing from the package: /$path"
    elif [ "${mode:0:1}" != - ]; then
        bad "/$path is not a plain file ($mode)"
    else
        good "/$path ($mode)"
    fi
done
for path in "$program" "$launcher"; do
    mode=$(mode_of "$path")
    [ -z "$mode" ] || [ "${mode:3:1}${mode:6:1}${mode:9:1}" = xxx ] || bad "/$path is not executable by all ($mode)"
done
link_line=$(awk -v p="./$link" '$6 == p' <<<"$listing")
links_to_launcher() { [ "${link_line:0:1}" = l ] && [[ "$link_line" == *" -> knobwerk" ]]; }
check "/$link -> knobwerk" "/$link is no link to the launcher: '$link_line'" links_to_launcher

# --- content ---------------------------------------------------------------------
scratch=$(mktemp -d "${TMPDIR:-/tmp}/knobwerk-check.XXXXXX")
trap 'rm -rf -- "$scratch"' EXIT
dpkg-deb -x "$deb" "$scratch"

for path in "$program" "$launcher"; do
    [ -f "$scratch/$path" ] || continue
    if [ "$(head -c 4 "$scratch/$path" | od -An -tx1 | tr -d ' \n')" = 7f454c46 ]; then
        good "/$path is an ELF program"
    else
        bad "/$path is no ELF program"
    fi
    if ! libraries=$(ldd "$scratch/$path" 2>&1); then
        bad "ldd cannot read /$path: $libraries"
    elif grep -q 'not found' <<<"$libraries"; then
        bad "unresolved libraries of /$path: $(grep 'not found' <<<"$libraries" | tr -s ' \t\n' ' ')"
    else
        good "all $(grep -c '=>' <<<"$libraries") shared libraries of /$path resolve"
    fi
done

if [ -f "$scratch/$desktop" ]; then
    entry() { sed -n "s/^$1=//p" "$scratch/$desktop" | head -n 1; }
    [ "$(entry Name)" = Knobwerk ] || bad "menu entry Name is '$(entry Name)', not Knobwerk"
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
    # The entry starts the launcher, by either of its names on the PATH.
    case "/usr/bin/$(entry Exec)" in
    "/$launcher" | "/$link") ;;
    *) bad "menu entry starts '$(entry Exec)', not the launcher /$launcher" ;;
    esac
    if validation=$(desktop-file-validate "$scratch/$desktop" 2>&1); then
        good "menu entry: Name=$(entry Name) Exec=$(entry Exec) Icon=$(entry Icon) Categories=$(entry Categories)"
        [ -z "$validation" ] || echo "      desktop-file-validate: $validation"
    else
        bad "desktop-file-validate rejects the menu entry: $validation"
    fi
fi

if [ -f "$scratch/$metainfo" ]; then
    # validate-tree also checks that the menu entry the metainfo names is there.
    if validation=$(appstreamcli validate-tree --no-net "$scratch" 2>&1); then
        good "appstreamcli validate-tree accepts the metainfo"
    else
        bad "appstreamcli validate-tree rejects the metainfo: $validation"
    fi
    # tag NAME: the text of every one-line element NAME, with or without attributes.
    tag() { sed -n "s|.*<$1\( [^>]*\)\{0,1\}>\(.*\)</$1>.*|\2|p" "$scratch/$metainfo"; }
    check "metainfo id $(tag id)" "metainfo id is '$(tag id)'" [ "$(tag id).metainfo.xml" = "${metainfo##*/}" ]
    check "metainfo licence $(tag project_license)" "project licence is '$(tag project_license)'" \
        [ "$(tag project_license)" = GPL-3.0-or-later ]
    check "metainfo launches ${desktop##*/}" "metainfo launches '$(tag launchable)'" [ "$(tag launchable)" = "${desktop##*/}" ]
    categories=$(tag category | tr '\n' ';')
    menu_categories=$(sed -n 's/^Categories=//p' "$scratch/$desktop" 2>/dev/null | head -n 1)
    check "metainfo categories $categories are the menu entry's" \
        "metainfo categories '$categories', menu entry's '$menu_categories'" [ "$categories" = "$menu_categories" ]
fi

for icon in "$icon48" "$icon256"; do
    [ -f "$scratch/$icon" ] || continue
    size=${icon#usr/share/icons/hicolor/}
    size=${size%%/*}
    # PNG signature, then the IHDR chunk with width and height as 4-byte big-endian numbers.
    header=$(head -c 24 "$scratch/$icon" | od -An -tx1 | tr -d ' \n')
    if [ "${header:0:16}" != 89504e470d0a1a0a ]; then
        bad "/$icon is no PNG image"
    else
        width=$((16#${header:32:8}))
        height=$((16#${header:40:8}))
        check "icon is a $size PNG" "/$icon is ${width}x${height}, not $size" [ "${width}x$height" = "$size" ]
    fi
done

if [ -f "$scratch/$copyright" ]; then
    names_both_licences() {
        grep -q '^License: GPL-3+' "$scratch/$copyright" && grep -q 'common-licenses/LGPL-3' "$scratch/$copyright"
    }
    check "copyright: the program under GPL-3+, Qt under LGPL-3" "the copyright file lacks GPL-3+ or Qt's LGPL-3" \
        names_both_licences
fi

if [ -f "$scratch/$readme" ]; then
    check "README has $(wc -l <"$scratch/$readme") lines" "README is empty" [ -s "$scratch/$readme" ]
fi

if [ "$failures" -gt 0 ]; then
    echo "$name: $failures problem(s) in $deb" >&2
    exit 1
fi
echo "Package check passed: $deb"
