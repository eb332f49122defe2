#!/usr/bin/env bash
# Builds the libFuzzer target over the INI engine with clang and runs it.
#   FUZZ_SECONDS  how long to fuzz (default 600)
#   FUZZ_JOBS     parallel fuzzing processes (default 1)
# The seeds in fuzz/corpus are copied to build-fuzz/corpus, which grows as the fuzzer
# finds new inputs; crashes land in build-fuzz/crashes.
set -euo pipefail

cd "$(dirname "$0")/.."
BUILD=${FUZZ_BUILD:-build-fuzz}
FUZZ_SECONDS=${FUZZ_SECONDS:-600}
FUZZ_JOBS=${FUZZ_JOBS:-1}

# clang with its sanitizer and libFuzzer runtimes.
scripts/ensure-packages.sh clang libclang-rt-dev

CC=clang CXX=clang++ cmake -S . -B "$BUILD" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DKNOBWERK_FUZZ=ON -DKNOBWERK_GUI=OFF -DKNOBWERK_TESTS=OFF >/dev/null
cmake --build "$BUILD" --target knobwerk_fuzz_initext -j "${FUZZ_BUILD_JOBS:-2}"

mkdir -p "$BUILD/corpus" "$BUILD/crashes"
for seed in fuzz/corpus/*; do
    [ -e "$BUILD/corpus/$(basename "$seed")" ] || cp "$seed" "$BUILD/corpus/"
done
log="$BUILD/fuzz.log"
echo "Fuzzing for ${FUZZ_SECONDS}s with ${FUZZ_JOBS} job(s); log in $log"

rm -f "$BUILD"/fuzz-*.log
parallel=()
[ "$FUZZ_JOBS" -gt 1 ] && parallel=(-jobs="$FUZZ_JOBS" -workers="$FUZZ_JOBS")
status=0
(
    cd "$BUILD"
    # Inputs up to 8 KiB, so values longer than the 2047-character limit are tried.
    ./fuzz/knobwerk_fuzz_initext corpus \
        -max_total_time="$FUZZ_SECONDS" -max_len=8192 -timeout=10 -rss_limit_mb=2048 \
        -print_final_stats=1 -artifact_prefix=crashes/ "${parallel[@]}"
) >"$log" 2>&1 || status=$?

# Parallel workers log to fuzz-N.log in the build folder.
logs=("$log")
if [ "$FUZZ_JOBS" -gt 1 ]; then
    logs=()
    for f in "$BUILD"/fuzz-*.log; do
        [ -e "$f" ] && logs+=("$f")
    done
    [ ${#logs[@]} -gt 0 ] || logs=("$log")
fi

echo "--- last status lines"
grep -h -E '^#[0-9]+' "${logs[@]}" | tail -n 3 || true
echo "--- final statistics"
grep -h -E '^stat::' "${logs[@]}" || true
echo "--- corpus: $(find "$BUILD/corpus" -type f | wc -l) inputs"
crashes=$(find "$BUILD/crashes" -type f | wc -l)
echo "--- crashes: $crashes (in $BUILD/crashes)"
if [ "$crashes" -gt 0 ] || [ "$status" -ne 0 ]; then
    grep -h -E -A5 'IniTextFuzz:|ERROR: AddressSanitizer|runtime error|deadly signal' "${logs[@]}" | head -n 40 || true
    exit 1
fi
