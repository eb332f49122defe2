#!/usr/bin/env bash
# Cross-compiles the program and the whole test suite (the Qt-free core tests and the
# window tests) for 64-bit Windows and runs the tests under Wine, the window tests on
# Qt's offscreen platform. Builds the Qt for Windows first when this machine has none
# (scripts/build-qt-windows.sh, once, about 40 minutes). Exits non-zero when the build or
# any test fails; its last line counts the tests.
#
#   BUILD_WINDOWS  build folder (default build-windows); the Wine prefix lives inside it
#   JOBS           parallel build jobs (default: all cores)
#   GTEST_FILTER   passed on to the test programs to run a part of the tests
set -euo pipefail
cd "$(dirname "$0")/.."
# shellcheck source=wine-prefix.sh
. scripts/wine-prefix.sh

scripts/ensure-packages.sh wine wine64 fonts-wine fonts-liberation2

build=$(scripts/build-windows.sh Knobwerk knobwerk_core_tests knobwerk_gui_tests | tail -n 1)
use_wine_prefix "$build/wineprefix"
# The offscreen platform draws with FreeType from one font folder: the same Liberation
# fonts the Linux tests use. (Wine passes no QT_* variable on; tests/gui/main.cpp
# hands this one to Qt.)
KNOBWERK_TEST_FONTDIR=$(winepath -w /usr/share/fonts/truetype/liberation2)
export KNOBWERK_TEST_FONTDIR

# run_suite NAME: runs tests/NAME.exe under Wine and adds its counts to the totals.
passed=0
failed=0
skipped=0
status=0
run_suite() {
    local program="$build/tests/$1.exe" log="$build/$1.log" code
    local args=(--gtest_color=no)
    [ -n "${GTEST_FILTER:-}" ] && args+=("--gtest_filter=$GTEST_FILTER")
    set +e
    env -u DISPLAY -u WAYLAND_DISPLAY wine "$program" "${args[@]}" 2>&1 | tr -d '\r' | tee "$log"
    code=${PIPESTATUS[0]}
    set -e
    wineserver -w
    count() { sed -nE "s/^\[ *$1 *\] ([0-9]+) tests?.*/\1/p" "$log" | head -n 1; }
    local p f s
    p=$(count PASSED)
    f=$(count FAILED)
    s=$(count SKIPPED)
    if [ -z "$p" ] && [ -z "$f" ]; then
        echo "check-windows: $1 ended without a result (exit code $code)" >&2
        status=1
    fi
    [ "$code" -ne 0 ] && status=1
    passed=$((passed + ${p:-0}))
    failed=$((failed + ${f:-0}))
    skipped=$((skipped + ${s:-0}))
}

run_suite knobwerk_core_tests
run_suite knobwerk_gui_tests

echo "windows: ${passed} passed, ${failed} failed, ${skipped} skipped"
if [ "$status" -ne 0 ] || [ "$failed" -ne 0 ]; then
    echo "check-windows: tests failed under Wine" >&2
    exit 1
fi
