#!/usr/bin/env bash
# Builds the two state fuzzers with clang (JUCE and the processor instrumented
# with libFuzzer coverage, AddressSanitizer and UndefinedBehaviorSanitizer)
# and runs each for the given number of seconds (default 60).
#
#   tests/fuzz/run-fuzzers.sh [seconds]
#
# Environment: ZP_FUZZ_BUILD_DIR (default /tmp/zp-fuzz), ZP_FUZZ_JOBS (default 2).
# Exits non-zero on any crash, sanitizer report, leak or timeout; the input
# that failed is left in the build folder as crash-*/leak-*/timeout-*.
set -euo pipefail

seconds="${1:-60}"
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
source_dir="$(cd "$here/../.." && pwd)"
build_dir="${ZP_FUZZ_BUILD_DIR:-/tmp/zp-fuzz}"
jobs="${ZP_FUZZ_JOBS:-2}"

flags="-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer -g"

cmake -S "$source_dir" -B "$build_dir" \
    -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_C_FLAGS="$flags" -DCMAKE_CXX_FLAGS="$flags" \
    -DZP_FUZZ=ON -DZP_BUILD_BENCH=OFF
cmake --build "$build_dir" -j"$jobs" --target zp_fuzz_state zp_fuzz_preset

export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1:symbolize=1}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"

status=0
run() {
    local name="$1" max_len="$2"
    local work="$build_dir/fuzz-corpus/$name"
    mkdir -p "$work"
    echo "== $name: ${seconds} s"
    # New inputs go to the work corpus; the seeds in the tree stay untouched.
    if (cd "$build_dir" && "./tests/fuzz/zp_fuzz_$name" \
            -max_total_time="$seconds" -max_len="$max_len" -timeout=10 -rss_limit_mb=2048 \
            -print_final_stats=1 "$work" "$here/corpus/$name") > "$build_dir/fuzz-$name.log" 2>&1; then
        echo "   ok"
    else
        echo "   FAILED (see $build_dir/fuzz-$name.log)"
        tail -n 40 "$build_dir/fuzz-$name.log"
        status=1
    fi
    grep -E "stat::number_of_executed_units|stat::peak_rss_mb" "$build_dir/fuzz-$name.log" | sed "s/^/   /" || true
}

# Chunks and preset files are a few hundred bytes; 128 kB leaves room for the
# deeply nested and enormous seeds.
run state 131072
run preset 131072
exit "$status"
