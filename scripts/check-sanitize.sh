#!/usr/bin/env bash
# Builds the program and all tests with AddressSanitizer (leaks included) and
# UndefinedBehaviorSanitizer, then runs the whole test suite. Any report fails the run.
#   SANITIZE_BUILD  build folder (default build-sanitize)
#   JOBS            parallel compile jobs (default 2)
set -euo pipefail

cd "$(dirname "$0")/.."
BUILD=${SANITIZE_BUILD:-build-sanitize}
JOBS=${JOBS:-2}
root=$(pwd)

# The same options for the test discovery that runs during the build and for ctest.
export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=0:strict_string_checks=1:detect_stack_use_after_return=1:check_initialization_order=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
# The suite leaks nothing today, Qt included. Should a system library's own leak ever need
# silencing, list it by that library's function names in scripts/lsan.supp (never project
# code, and never a library name alone: that would match any leak whose stack passes
# through Qt's event loop).
if [ -f "$root/scripts/lsan.supp" ]; then
    export LSAN_OPTIONS="suppressions=$root/scripts/lsan.supp:print_suppressions=0"
fi

cmake -S . -B "$BUILD" -DCMAKE_BUILD_TYPE=Debug \
    -DCMAKE_CXX_FLAGS="-O1 -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined" \
    >/dev/null
cmake --build "$BUILD" -j "$JOBS"
cd "$BUILD"
ctest --output-on-failure -j "$JOBS"
