#!/usr/bin/env bash
# Checks a built Knobwerk Debian package and reports every thing wrong ("make package"):
#
#   tests/packaging/check-package.sh knobwerk_1.0_amd64.deb
#
# - the control fields: name, maintainer, section, a description, and dependencies that
#   name Qt's widgets library (dpkg-shlibdeps computed them);
# - the files: the program in usr/lib/knobwerk, its launcher usr/bin/knobwerk with the
#   link usr/bin/Knobwerk, the menu entry, the AppStream metainfo, the 48 and 256 px
#   icons, the README and the copyright file;
# - their content: executable ELF programs whose libraries all resolve on this machine,
#   a menu entry that starts the launcher with the knobwerk icon (and that
#   desktop-file-validate accepts), metainfo that appstreamcli accepts and whose
#   categories are the menu entry's, PNG icons of their sizes, a non-empty README, a
#   copyright file naming the program's licence, Qt's and that of the face it carries.
set -euo pipefail
deb=${1:?usage: ${0##*/} PACKAGE.deb}
[ -f "$deb" ] || { echo "${0##*/}: no package at '$deb'" >&2; exit 2; }
failures=0
bad() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}
good() { echo "ok:   $*"; }
# check OK-TEXT FAIL-TEXT COMMAND...: reports OK-TEXT when COMMAND succeeds, else FAIL-TEXT.
check() {
    if "${@:3}"; then good "$1"; else bad "$2"; fi
}
echo "Checking $deb"
scratch=$(mktemp -d "${TMPDIR:-/tmp}/knobwerk-check.XXXXXX")
trap 'rm -rf -- "$scratch"' EXIT
dpkg-deb -x "$deb" "$scratch"

# --- control fields --------------------------------------------------------------
field() { dpkg-deb --field "$deb" "$1"; }
for expected in "Package=knobwerk" "Maintainer=Knobwerk developers <dev@knobwerk.example>" "Section=games"; do
    key=${expected%%=*} value=${expected#*=}
    check "$key: $value" "$key is '$(field "$key")', not '$value'" [ "$(field "$key")" = "$value" ]
done
check "Depends: $(field Depends)" "Depends lacks libqt6widgets6 (shlibdeps not run?): '$(field Depends)'" \
    grep -qE '(^|[ ,])libqt6widgets6([ ,(]|$)' <<<"$(field Depends)"
check "Description present" "no Description" [ -n "$(field Description)" ]

# --- files -----------------------------------------------------------------------
program=usr/lib/knobwerk/Knobwerk
launcher=usr/bin/knobwerk
link=usr/bin/Knobwerk
desktop=usr/share/applications/knobwerk.desktop
metainfo=usr/share/metainfo/example.knobwerk.Knobwerk.metainfo.xml
icons=(usr/share/icons/hicolor/48x48/apps/knobwerk.png usr/share/icons/hicolor/256x256/apps/knobwerk.png)
readme=usr/share/doc/knobwerk/README.md
copyright=usr/share/doc/knobwerk/copyright
for path in "$program" "$launcher" "$desktop" "$metainfo" "${icons[@]}" "$readme" "$copyright"; do
    if [ -L "$scratch/$path" ] || [ ! -f "$scratch/$path" ]; then
        bad "no plain file /$path in the package"
    else
        good "/$path ($(stat -c %A "$scratch/$path"))"
    fi
done
check "/$link -> knobwerk" "/$link is no link to the launcher" [ "$(readlink "$scratch/$link")" = knobwerk ]

for path in "$program" "$launcher"; do
    [ -f "$scratch/$path" ] || continue
    mode=$(stat -c %A "$scratch/$path")
    [ "${mode:3:1}${mode:6:1}${mode:9:1}" = xxx ] || bad "/$path is not executable by all ($mode)"
    check "/$path is an ELF program" "/$path is no ELF program" \
        [ "$(head -c 4 "$scratch/$path" | od -An -tx1 | tr -d ' \n')" = 7f454c46 ]
    if ! libraries=$(ldd "$scratch/$path" 2>&1); then
        bad "ldd cannot read /$path: $libraries"
    elif grep -q 'not found' <<<"$libraries"; then
        bad "unresolved libraries of /$path: $(grep 'not found' <<<"$libraries" | tr -s ' \t\n' ' ')"
    else
        good "all $(grep -c '=>' <<<"$libraries") shared libraries of /$path resolve"
    fi
done

entry() { sed -n "s/^$1=//p" "$scratch/$desktop" 2>/dev/null | head -n 1; }
if [ -f "$scratch/$desktop" ]; then
    for expected in Name=Knobwerk Icon=knobwerk Type=Application; do
        key=${expected%%=*}
        [ "$(entry "$key")" = "${expected#*=}" ] || bad "menu entry $key is '$(entry "$key")', not ${expected#*=}"
    done
    for category in Game Settings; do
        [[ ";$(entry Categories)" == *";$category;"* ]] || bad "menu entry Categories lack $category: '$(entry Categories)'"
    done
    # The entry starts the launcher, by either of its names on the PATH.
    [[ "/usr/bin/$(entry Exec)" == "/$launcher" || "/usr/bin/$(entry Exec)" == "/$link" ]] ||
        bad "menu entry starts '$(entry Exec)', not the launcher /$launcher"
    if validation=$(desktop-file-validate "$scratch/$desktop" 2>&1); then
        good "menu entry: Name=$(entry Name) Exec=$(entry Exec) Icon=$(entry Icon) Categories=$(entry Categories)"
        [ -z "$validation" ] || echo "      desktop-file-validate: $validation"
    else
        bad "desktop-file-validate rejects the menu entry: $validation"
    fi
fi

if [ -f "$scratch/$metainfo" ]; then
    # validate-tree also checks that the menu entry the metainfo names is there.
    validation=$(appstreamcli validate-tree --no-net "$scratch" 2>&1) && good "appstreamcli validate-tree accepts the metainfo" ||
        bad "appstreamcli validate-tree rejects the metainfo: $validation"
    # tag NAME: the text of every one-line element NAME, with or without attributes.
    tag() { sed -n "s|.*<$1\( [^>]*\)\{0,1\}>\(.*\)</$1>.*|\2|p" "$scratch/$metainfo"; }
    check "metainfo id $(tag id)" "metainfo id is '$(tag id)'" [ "$(tag id).metainfo.xml" = "${metainfo##*/}" ]
    check "metainfo licence $(tag project_license)" "project licence is '$(tag project_license)'" \
        [ "$(tag project_license)" = GPL-3.0-or-later ]
    check "metainfo launches ${desktop##*/}" "metainfo launches '$(tag launchable)'" [ "$(tag launchable)" = "${desktop##*/}" ]
    categories=$(tag category | tr '\n' ';')
    check "metainfo categories $categories are the menu entry's" \
        "metainfo categories '$categories', menu entry's '$(entry Categories)'" [ "$categories" = "$(entry Categories)" ]
fi

for icon in "${icons[@]}"; do
    [ -f "$scratch/$icon" ] || continue
    size=${icon#usr/share/icons/hicolor/}
    size=${size%%/*}
    # PNG signature, then the IHDR chunk with width and height as 4-byte big-endian numbers.
    header=$(head -c 24 "$scratch/$icon" | od -An -tx1 | tr -d ' \n')
    check "icon is a $size PNG" "/$icon is no $size PNG (header $header)" \
        eval '[ "${header:0:16}" = 89504e470d0a1a0a ] && [ "$((16#${header:32:8}))x$((16#${header:40:8}))" = "$size" ]'
done

[ ! -f "$scratch/$copyright" ] || check "copyright: the program under GPL-3+, Qt under LGPL-3, the face under the OFL" \
    "the copyright file lacks GPL-3+, Qt's LGPL-3 or the carried face's licence" \
    eval 'grep -q "^License: GPL-3+" "$scratch/$copyright" && grep -q "common-licenses/LGPL-3" "$scratch/$copyright" &&
          grep -q "SIL OPEN FONT LICENSE Version 1.1" "$scratch/$copyright"'
[ ! -f "$scratch/$readme" ] || check "README has $(wc -l <"$scratch/$readme") lines" "README is empty" [ -s "$scratch/$readme" ]

[ "$failures" -eq 0 ] || { echo "${0##*/}: $failures problem(s) in $deb" >&2; exit 1; }
echo "Package check passed: $deb"
