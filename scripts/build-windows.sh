#!/usr/bin/env bash
# Cross-compiles Knobwerk for 64-bit Windows with Debian's MinGW-w64 against the static
# Qt of scripts/build-qt-windows.sh (built first when it is not there yet):
#
#   scripts/build-windows.sh [TARGET...]     (default: Knobwerk; "make windows" runs it)
#
# Every executable built is checked: it may import only DLLs that every Windows has, so
# Knobwerk.exe runs as a single file. Prints the build folder as its last line.
#
#   BUILD_WINDOWS  build folder (default build-windows)
#   JOBS           parallel build jobs (default: all cores)
set -euo pipefail
cd "$(dirname "$0")/.."

fail() {
    echo "build-windows: $*" >&2
    exit 1
}

scripts/ensure-packages.sh cmake make googletest g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 \
    qt6-base-dev qt6-base-dev-tools

qt=$(scripts/build-qt-windows.sh | tail -n 1) || fail "no Qt for Windows (scripts/build-qt-windows.sh failed; see above)"
[ -f "$qt/lib/cmake/Qt6/Qt6Config.cmake" ] || fail "no Qt for Windows in '$qt'"

build="${BUILD_WINDOWS:-build-windows}"
jobs="${JOBS:-$(nproc)}"
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(Knobwerk)

# The host's Qt tools (moc, rcc) generate code for the Windows build.
host_cmake=/usr/lib/x86_64-linux-gnu/cmake
cmake -S . -B "$build" \
    -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/mingw-w64.cmake" \
    -DCMAKE_BUILD_TYPE=Release \
    -DKNOBWERK_GUI=ON \
    -DKNOBWERK_GTEST_SOURCE=/usr/src/googletest \
    -DKNOBWERK_QT_WINDOWS="$qt" \
    -DCMAKE_PREFIX_PATH="$qt" \
    -DQT_HOST_PATH=/usr \
    -DQT_HOST_PATH_CMAKE_DIR="$host_cmake" \
    -DQt6HostInfo_DIR="$host_cmake/Qt6HostInfo" >"$build.configure.log" 2>&1 || {
    cat -- "$build.configure.log" >&2
    fail "configuring the Windows build failed"
}
rm -f -- "$build.configure.log"

# A failed build removes what it was building, so no half-built program is left behind.
for target in "${targets[@]}"; do
    if ! cmake --build "$build" --target "$target" -j "$jobs"; then
        find "$build" -name "$target.exe" -delete
        fail "building $target for Windows failed"
    fi
done

# Windows' own DLLs, present on every Windows that Qt 6 runs on (10 and later): the
# classic system libraries, the API sets and the shell's scaling library.
system_dlls='^(advapi32|authz|bcrypt|comctl32|comdlg32|crypt32|d2d1|d3d11|d3d9|dwmapi|dwrite|dxgi|gdi32|imm32|kernel32|mpr|msvcrt|netapi32|ntdll|ole32|oleaut32|opengl32|rpcrt4|secur32|setupapi|shcore|shell32|shlwapi|user32|userenv|uxtheme|version|winmm|winspool\.drv|ws2_32|wtsapi32|api-ms-win-[a-z0-9-]+)(\.dll)?$'
for target in "${targets[@]}"; do
    exe=$(find "$build" -name "$target.exe" -print -quit)
    [ -n "$exe" ] || continue
    foreign=$(x86_64-w64-mingw32-objdump -p "$exe" | sed -n 's/^\s*DLL Name: *//p' |
        tr 'A-Z' 'a-z' | grep -vE "$system_dlls" || true)
    if [ -n "$foreign" ]; then
        rm -f -- "$exe"
        fail "$exe would need DLLs that Windows does not have: $(echo $foreign)"
    fi
done
echo "$build"
