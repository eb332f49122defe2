#!/usr/bin/env bash
# Cross-compiles the Qt-free core and its tests for 64-bit Windows with MinGW-w64 and runs
# the tests under Wine. GoogleTest is built from its sources for Windows too, and every
# program is linked statically, so nothing but the .exe is needed. Installs what it needs
# first, once. Exits non-zero when the build or any test fails.
#
#   BUILD_WINDOWS  build folder (default build-windows); the Wine prefix lives inside it
#   JOBS           parallel build jobs (default 2)
#   GTEST_FILTER   passed on to the test program to run a part of the tests
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(cmake make googletest g++-mingw-w64-x86-64-posix wine wine64)
scripts/ensure-packages.sh "${packages[@]}"

build="${BUILD_WINDOWS:-build-windows}"
jobs="${JOBS:-2}"

cmake -S . -B "$build" \
    -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/mingw-w64.cmake" \
    -DCMAKE_BUILD_TYPE=Release \
    -DKNOBWERK_GUI=OFF \
    -DKNOBWERK_GTEST_SOURCE=/usr/src/googletest >/dev/null
cmake --build "$build" --target knobwerk_core_tests -j "$jobs"

program="$build/tests/knobwerk_core_tests.exe"
# A static link leaves no DLL to carry along; only Windows' own libraries may be named.
if x86_64-w64-mingw32-objdump -p "$program" | grep -iE "DLL Name: *(libstdc|libgcc|libwinpthread)"; then
    echo "check-windows: $program depends on MinGW's DLLs" >&2
    exit 1
fi

# A private Wine prefix, made once; no window, no Mono or Gecko download prompt, and
# no debug chatter.
export WINEPREFIX="$PWD/$build/wineprefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
export WINEARCH=win64
unset DISPLAY WAYLAND_DISPLAY
if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "Preparing the Wine prefix $WINEPREFIX"
    mkdir -p "$WINEPREFIX"
    wineboot --init >/dev/null 2>&1 || true
    wineserver -w
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        echo "check-windows: wineboot could not prepare $WINEPREFIX" >&2
        exit 1
    fi
fi

log="$build/core-tests.log"
args=(--gtest_color=no)
[ -n "${GTEST_FILTER:-}" ] && args+=("--gtest_filter=$GTEST_FILTER")
set +e
wine "$program" "${args[@]}" 2>&1 | tr -d '\r' | tee "$log"
status=${PIPESTATUS[0]}
set -e
wineserver -w

# The counts from Google Test's closing lines, as one plain line.
count() { sed -nE "s/^\[ *$1 *\] ([0-9]+) tests?.*/\1/p" "$log" | head -n 1; }
passed=$(count PASSED)
failed=$(count FAILED)
skipped=$(count SKIPPED)
if [ -z "$passed" ] && [ -z "$failed" ]; then
    echo "check-windows: the test program ended without a result (exit code $status)" >&2
    exit 1
fi
echo "windows: ${passed:-0} passed, ${failed:-0} failed, ${skipped:-0} skipped"
if [ "$status" -ne 0 ] || [ "${failed:-0}" -ne 0 ]; then
    echo "check-windows: tests failed under Wine (exit code $status)" >&2
    exit 1
fi
