#!/usr/bin/env bash
# Finishes the folder of the portable release once cpack has installed the program, Qt's
# plugins and the libraries they load into it (packaging/Portable.cmake):
#
#   scripts/bundle-qt.sh FOLDER VERSION [CARRIED-FILE...]
#
# sets the run paths ($ORIGIN/lib) and qt.conf so that they find each other there, and
# adds the licences and the NOTICE (packaging/portable-NOTICE.txt), which names the
# libraries left to the desktop. CARRIED-FILEs are files of Debian packages built into the
# program (its window's face); their packages' licences go with the others.
set -euo pipefail

root=$(cd -- "$(dirname -- "${BASH_SOURCE[0]}")/.." && pwd)
out=${1:?usage: ${0##*/} FOLDER VERSION}
version=${2:?usage: ${0##*/} FOLDER VERSION [CARRIED-FILE...]}
carried=("${@:3}")

fail() {
    echo "${0##*/}: $*" >&2
    exit 1
}

[ -x "$out/Knobwerk" ] && [ -d "$out/lib" ] || fail "no program and libraries in $out"
mkdir -p -- "$out/licences"

# The program finds lib/ beside itself, the libraries each other, the plugins ../../lib.
patchelf --set-rpath '$ORIGIN/lib' "$out/Knobwerk"
for library in "$out"/lib/*; do patchelf --set-rpath '$ORIGIN' "$library"; done
for plugin in "$out"/plugins/*/*.so; do patchelf --set-rpath '$ORIGIN/../../lib' "$plugin"; done
printf '[Paths]\nPrefix = .\nLibraries = lib\nPlugins = plugins\n' >"$out/qt.conf"

# Licences: the program's, and the Debian copyright file of every bundled library's
# package together with the licence texts those files point to.
# package_of PATTERN: the Debian package that holds the file dpkg knows by that path.
package_of() {
    dpkg -S "$1" 2>/dev/null | head -n 1 | sed 's/: .*//; s/,.*//; s/:amd64$//' | grep . ||
        fail "dpkg does not know the package of $1"
}
packages=$(cd -- "$out" && {
    for file in lib/*; do package_of "*/x86_64-linux-gnu/${file#lib/}"; done
    for file in plugins/*/*.so; do package_of "*/qt6/$file"; done
    for file in "${carried[@]}"; do package_of "$file"; done
} | sort -u)
source_list=""
for package in $packages; do
    copyright="/usr/share/doc/$package/copyright"
    [ -f "$copyright" ] || fail "no copyright file $copyright"
    cp -- "$copyright" "$out/licences/$package.copyright"
    source_list+=$(dpkg-query -W -f='  ${source:Package} ${source:Version} (for ${Package})\n' "$package")$'\n'
done
for text in $(grep -ho '/usr/share/common-licenses/[A-Za-z0-9.+-]*[A-Za-z0-9+]' "$out"/licences/* | sort -u); do
    [ -f "$text" ] && cp -- "$text" "$out/licences/${text##*/}"
done

commit=$(git -C "$root" describe --always --dirty --abbrev=40 2>/dev/null || echo unknown)
system_list=$(ldd "$out/Knobwerk" "$out"/plugins/*/*.so | awk '$2 == "=>" { print "  " $1 }' |
    grep -vxF -f <(ls "$out/lib" | sed 's/^/  /') | sort -u)
# The NOTICE of packaging/portable-NOTICE.txt, filled in.
notice=$(<"$root/packaging/portable-NOTICE.txt")
notice=${notice//@VERSION@/$version}
notice=${notice//@COMMIT@/$commit}
notice=${notice//@SOURCES@/$source_list}
printf '%s\n' "${notice//@SYSTEM@/$system_list}" >"$out/NOTICE"
