#!/usr/bin/env bash
# Set up, build, and run every test: the unit and plug-in tests, the
# ThreadSanitizer run of the engine, and a short fuzzing run of the state readers.
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
ZP_WITH_TEST_HOSTS=1
source "$ROOT/scripts/setup.sh"

echo "== tests"
(cd "$BUILD" && ctest --output-on-failure -j "$JOBS" -LE tsan)

echo "== ThreadSanitizer"
TSAN_BUILD="$BUILD-tsan"
cmake -S "$ROOT" -B "$TSAN_BUILD" -DCMAKE_BUILD_TYPE=Debug -DZP_TSAN=ON -DZP_BUILD_PLUGIN=OFF -DZP_BUILD_BENCH=OFF > "$TSAN_BUILD.log" 2>&1
cmake --build "$TSAN_BUILD" -j "$JOBS" >> "$TSAN_BUILD.log" 2>&1 || { tail -40 "$TSAN_BUILD.log"; exit 1; }
# Some kernels map memory where TSan's shadow expects none; without address
# space randomisation it always fits.
(cd "$TSAN_BUILD" && setarch "$(uname -m)" -R ctest --output-on-failure -L tsan)

if [ -x "$ROOT/tests/fuzz/run-fuzzers.sh" ]; then
    echo "== fuzzing"
    ZP_FUZZ_BUILD_DIR="$BUILD-fuzz" ZP_FUZZ_JOBS="$JOBS" bash "$ROOT/tests/fuzz/run-fuzzers.sh" "${ZP_FUZZ_SECONDS:-60}"
fi

echo "== all tests passed"
