#!/usr/bin/env bash
# Builds, once per machine, a static Qt for 64-bit Windows from the source of the
# distribution's own qt6-base package (the version the Linux build uses), cross-compiled
# with Debian's MinGW-w64 POSIX compilers, into KNOBWERK_QT_WINDOWS (default
# ~/.cache/knobwerk/qt6-windows-<version>), and prints that folder as its last line.
# A second run finds the finished Qt and does nothing. The first takes about 40 minutes
# on 2 cores (JOBS jobs, default all cores) and 3 GB of disk; about 150 MB stay.
# The source comes through apt with a temporary deb-src list and state folder, so the
# machine's apt configuration is never changed.
set -euo pipefail

root=$(cd -- "$(dirname -- "${BASH_SOURCE[0]}")/.." && pwd)

fail() {
    echo "build-qt-windows: $*" >&2
    exit 1
}

# The host Qt's tools (moc, rcc, uic) generate code for the Windows build too, so the
# Windows Qt must be the very same version.
source_package=$(dpkg-query -W -f='${source:Package}' qt6-base-dev)
source_version=$(dpkg-query -W -f='${source:Version}' qt6-base-dev)
qt_version=${source_version%%+*}
qt_version=${qt_version#*:}
prefix=${KNOBWERK_QT_WINDOWS:-$HOME/.cache/knobwerk/qt6-windows-$qt_version}
stamp="$prefix/knobwerk-qt.stamp"

# Only what the program and its tests use: Core, Gui, Widgets, Test, the windows and
# offscreen platform plugins. Third-party libraries come from Qt's own copies, so the
# result needs nothing but Windows' own DLLs. The windows platform plugin needs OpenGL
# (desktop GL through opengl32.dll) and Direct2D, without which its DirectWrite font
# database is left out of Gui; the offscreen one needs FreeType; the distribution's
# source has no tablet header.
host_cmake=/usr/lib/x86_64-linux-gnu/cmake
qt_options=(
    -DCMAKE_BUILD_TYPE=Release
    -DCMAKE_INSTALL_PREFIX="$prefix"
    -DQT_HOST_PATH=/usr
    -DQT_HOST_PATH_CMAKE_DIR="$host_cmake"
    -DQt6HostInfo_DIR="$host_cmake/Qt6HostInfo"
    -DBUILD_SHARED_LIBS=OFF
    -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DQT_BUILD_BENCHMARKS=OFF
    -DFEATURE_sql=OFF -DFEATURE_network=OFF -DFEATURE_dbus=OFF
    -DFEATURE_printsupport=OFF -DFEATURE_concurrent=OFF -DFEATURE_xml=OFF
    -DFEATURE_system_zlib=OFF -DFEATURE_system_png=OFF -DFEATURE_system_jpeg=OFF
    -DFEATURE_system_harfbuzz=OFF -DFEATURE_system_pcre2=OFF
    -DFEATURE_freetype=ON -DFEATURE_system_freetype=OFF -DFEATURE_fontconfig=OFF
    -DFEATURE_tabletevent=OFF
    -DFEATURE_vulkan=OFF
    -DFEATURE_textmarkdownreader=OFF -DFEATURE_textmarkdownwriter=OFF
    -DFEATURE_opengl=ON -DINPUT_opengl=desktop
)
# The stamp names the source and the options, so a changed choice builds Qt anew.
fingerprint="$source_package $source_version $(printf '%s\n' "${qt_options[@]}" | sha256sum | cut -c1-16)"

licences="$prefix/licences"
work="$prefix.build"

# fetch_source: unpacks the distribution's Qt source below $work and sets source_dir.
fetch_source() {
    rm -rf -- "$work"
    mkdir -p -- "$work"
    local apt_dir="$work/apt"
    mkdir -p "$apt_dir/sources.list.d" "$apt_dir/lists/partial" "$apt_dir/cache/archives/partial"
    : >"$apt_dir/sources.list"
    shopt -s nullglob
    for list in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
        [ -f "$list" ] && sed -n 's/^[[:space:]]*deb[[:space:]]/deb-src /p' "$list" >>"$apt_dir/sources.list"
    done
    for sources in /etc/apt/sources.list.d/*.sources; do
        sed 's/^Types:.*$/Types: deb-src/' "$sources" >"$apt_dir/sources.list.d/${sources##*/}"
    done
    shopt -u nullglob
    apt_options=(
        -o "Dir::Etc::SourceList=$apt_dir/sources.list"
        -o "Dir::Etc::SourceParts=$apt_dir/sources.list.d"
        -o "Dir::State::Lists=$apt_dir/lists"
        -o "Dir::Cache=$apt_dir/cache"
        -o "APT::Sandbox::User=root"
    )
    apt-get "${apt_options[@]}" update -qq >&2 || fail "apt could not read the source lists made from /etc/apt"
    (cd -- "$work" && apt-get "${apt_options[@]}" source -qq "$source_package=$source_version" >&2) ||
        fail "apt could not fetch the source of $source_package $source_version"
    source_dir=$(find "$work" -mindepth 1 -maxdepth 1 -type d -name "${source_package}-*" | head -n 1)
    [ -n "$source_dir" ] && [ -f "$source_dir/CMakeLists.txt" ] || fail "no unpacked Qt source in $work"
}

if [ -f "$stamp" ] && [ "$(cat -- "$stamp")" = "$fingerprint" ]; then
    echo "$prefix"
    exit 0
fi

jobs=${JOBS:-$(nproc)}
echo "Building Qt $qt_version for Windows into $prefix (once; about 40 minutes on 2 cores)" >&2
rm -rf -- "$prefix"
fetch_source

cmake -S "$source_dir" -B "$work/build" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake" "${qt_options[@]}" \
    >"$work/configure.log" 2>&1 || {
    tail -n 40 "$work/configure.log" >&2
    fail "configuring Qt failed; see $work/configure.log"
}
cmake --build "$work/build" -j "$jobs" >"$work/build.log" 2>&1 || {
    grep -m 20 -B 2 -A 8 "error:" "$work/build.log" >&2 || tail -n 40 "$work/build.log" >&2
    fail "building Qt failed; see $work/build.log"
}
cmake --install "$work/build" >"$work/install.log" 2>&1 || fail "installing Qt failed; see $work/install.log"
# The licence texts of Qt and of the libraries bundled into it, which every release that
# carries this Qt passes on, and where its source comes from.
mkdir -p -- "$licences"
cp -- "$source_dir"/LICENSES/*.txt "$licences/"
cp -- "$source_dir/debian/copyright" "$licences/debian-copyright.txt"
printf '%s\n' "Qt $qt_version, built from the Debian source package $source_package $source_version" \
    "(apt-get source $source_package=$source_version)." >"$licences/SOURCE.txt"

# Written last: a folder without it is an unfinished build and is made anew.
echo "$fingerprint" >"$stamp"
rm -rf -- "$work"
echo "Qt for Windows is ready in $prefix" >&2
echo "$prefix"
