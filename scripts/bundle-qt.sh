#!/usr/bin/env bash
# Makes the folder of the portable release self-contained; cpack runs it when it installs
# the component "portable" (packaging/Packaging.cmake):
#
#   scripts/bundle-qt.sh FOLDER VERSION       (FOLDER holds Knobwerk, LICENSE, README.md)
#
# The Qt libraries of this machine, the xcb and wayland platform plugins and every library
# they need come along in lib/ and plugins/, found through the run paths set here
# ($ORIGIN/lib) and qt.conf. Not bundled, since every desktop has them and they must match
# its drivers and display server: the C library, the C++ runtime, OpenGL/EGL, the X11 and
# Wayland client libraries, fontconfig and freetype. The NOTICE written here names them.
set -euo pipefail

root=$(cd -- "$(dirname -- "${BASH_SOURCE[0]}")/.." && pwd)
out=${1:?usage: ${0##*/} FOLDER VERSION}
version=${2:?usage: ${0##*/} FOLDER VERSION}

fail() {
    echo "${0##*/}: $*" >&2
    exit 1
}

[ -x "$out/Knobwerk" ] || fail "no program in $out"
mkdir -p -- "$out/lib" "$out/plugins" "$out/licences"
qt_plugins=$(qtpaths6 --query QT_INSTALL_PLUGINS 2>/dev/null || echo /usr/lib/x86_64-linux-gnu/qt6/plugins)
plugins=(
    platforms/libqxcb.so
    platforms/libqwayland-generic.so
    platforms/libqwayland-egl.so
    xcbglintegrations/libqxcb-glx-integration.so
    xcbglintegrations/libqxcb-egl-integration.so
    wayland-shell-integration/libxdg-shell.so
    wayland-decoration-client/libbradient.so
    wayland-graphics-integration-client/libqt-plugin-wayland-egl.so
    platforminputcontexts/libcomposeplatforminputcontextplugin.so
)

# Libraries left to the desktop, as sonames (extended regular expression).
system_libraries='^(ld-linux-x86-64\.so\.2|lib(c|m|pthread|dl|rt|resolv)\.so\.[0-9]+|libstdc\+\+\.so\.6|libgcc_s\.so\.1'
system_libraries+='|lib(GL|EGL|GLX|GLdispatch|OpenGL|gbm|drm)\.so\.[0-9]+'
system_libraries+='|lib(X11|X11-xcb|Xau|Xdmcp|SM|ICE|uuid|bsd|md)\.so\.[0-9]+'
system_libraries+='|libxcb(-(randr|render|shape|shm|sync|xfixes|xkb|xinput|glx|present|dri2|dri3))?\.so\.[0-9]+'
system_libraries+='|libwayland-(client|cursor|egl)\.so\.[0-9]+'
system_libraries+='|lib(fontconfig|freetype|expat|z|png16|brotlicommon|brotlidec)\.so\.[0-9]+)$'

for plugin in "${plugins[@]}"; do
    [ -f "$qt_plugins/$plugin" ] || fail "Qt plugin $qt_plugins/$plugin is missing"
    install -D -m 644 "$qt_plugins/$plugin" "$out/plugins/$plugin"
done

# Every library that the program and the plugins load, but for the desktop's own.
bundled=()
while read -r soname path; do
    [[ "$soname" =~ $system_libraries ]] && continue
    [ -f "$path" ] || fail "library $soname not found on this machine"
    install -m 644 "$(realpath -- "$path")" "$out/lib/$soname"
    bundled+=("$path")
done < <(ldd "$out/Knobwerk" "$out"/plugins/*/*.so | awk '$2 == "=>" && $3 ~ /^\// { print $1, $3 }' | sort -u)
if ldd "$out/Knobwerk" "$out"/plugins/*/*.so | grep -q 'not found'; then
    fail "unresolved libraries: $(ldd "$out/Knobwerk" "$out"/plugins/*/*.so | grep 'not found' | sort -u | tr -s ' \t\n' ' ')"
fi

# The program finds lib/ beside itself, the libraries each other, the plugins ../../lib.
patchelf --set-rpath '$ORIGIN/lib' "$out/Knobwerk"
for library in "$out"/lib/*; do patchelf --set-rpath '$ORIGIN' "$library"; done
for plugin in "$out"/plugins/*/*.so; do patchelf --set-rpath '$ORIGIN/../../lib' "$plugin"; done
printf '[Paths]\nPrefix = .\nLibraries = lib\nPlugins = plugins\n' >"$out/qt.conf"

# Licences: the program's, and the Debian copyright file of every bundled library's
# package together with the licence texts those files point to.
# package_of FILE: the Debian package that holds the file; dpkg knows some libraries
# by their /lib and some by their /usr/lib path.
package_of() {
    local real found
    real=$(realpath -- "$1")
    found=$(dpkg -S "$real" 2>/dev/null || dpkg -S "*/x86_64-linux-gnu/${real##*/}" 2>/dev/null) ||
        fail "dpkg does not know the package of $1"
    head -n 1 <<<"$found" | sed 's/: .*//; s/,.*//; s/:amd64$//'
}
packages=$(for file in "${bundled[@]}" "${plugins[@]/#/$qt_plugins/}"; do package_of "$file"; done | sort -u)
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
