#!/usr/bin/env bash
# Builds Knobwerk.exe (scripts/build-windows.sh) and packs the Windows release:
#
#   scripts/package-windows.sh        ("make package-windows")
#
# writes build/knobwerk-<version>-windows-x64.zip with Knobwerk.exe, README.txt,
# LICENSE.txt, SOURCE.txt and the licence texts of the Qt built into the program, and
# prints its path as the last line. Text files get Windows line ends.
set -euo pipefail
root=$(cd -- "$(dirname -- "${BASH_SOURCE[0]}")/.." && pwd)
cd -- "$root"

fail() {
    echo "package-windows: $*" >&2
    exit 1
}

scripts/ensure-packages.sh zip unzip
build=$(scripts/build-windows.sh Knobwerk | tail -n 1)
qt=$(scripts/build-qt-windows.sh | tail -n 1)
[ -f "$qt/licences/LGPL-3.0-only.txt" ] || fail "no licence texts in $qt/licences"

version=$(sed -n 's/^project(Knobwerk VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
qt_version=$(sed -n 's/^Qt \([0-9.]*\),.*/\1/p' "$qt/licences/SOURCE.txt")
[ -n "$version" ] || fail "no version in CMakeLists.txt"

stage=$(mktemp -d "${TMPDIR:-/tmp}/knobwerk-zip.XXXXXX")
trap 'rm -rf -- "$stage"' EXIT
name="knobwerk-$version-windows-x64"
dir="$stage/$name"
mkdir -p -- "$dir/licences"

crlf() { sed 's/\r*$/\r/' -- "$1" >"$2"; }
cp -- "$build/Knobwerk.exe" "$dir/Knobwerk.exe"
x86_64-w64-mingw32-strip "$dir/Knobwerk.exe"
sed -e "s/@VERSION@/$version/" -e "s/@QT_VERSION@/$qt_version/" packaging/windows/README.txt >"$stage/README.txt"
crlf "$stage/README.txt" "$dir/README.txt"
crlf LICENSE "$dir/LICENSE.txt"
commit=$(git rev-parse HEAD 2>/dev/null || echo unknown)
printf '%s\n' "Knobwerk $version, built from the Knobwerk source repository" \
    "(https://knobwerk.example/source), commit $commit." >"$stage/SOURCE.txt"
crlf "$stage/SOURCE.txt" "$dir/SOURCE.txt"
for text in "$qt"/licences/*.txt; do
    crlf "$text" "$dir/licences/${text##*/}"
done

mkdir -p -- build
zip_file="$root/build/$name.zip"
rm -f -- "$zip_file"
(cd -- "$stage" && zip -q -r -X "$zip_file" "$name")

# The archive must hold what a player needs, in one folder.
listing=$(unzip -Z1 "$zip_file")
for member in Knobwerk.exe README.txt LICENSE.txt SOURCE.txt licences/LGPL-3.0-only.txt; do
    grep -qx "$name/$member" <<<"$listing" || fail "$zip_file lacks $member"
done
echo "$zip_file"
