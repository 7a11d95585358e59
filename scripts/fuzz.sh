#!/usr/bin/env bash
# Runs every fuzz target for a bounded time under AddressSanitizer and
# UndefinedBehaviorSanitizer, starting from its checked-in corpus.
# Usage: scripts/fuzz.sh [seconds-per-target]   (default 20)
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-20}
dir=build-fuzz
CC=clang-14 CXX=clang++-14 cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DNEMIROU_FUZZ=ON -DNEMIROU_SANITIZE=ON -DNEMIROU_BUILD_BENCH=OFF >/dev/null
targets=$(cd tests/fuzz && ls fuzz_*.cpp | sed 's/\.cpp$//')
# shellcheck disable=SC2086
cmake --build "$dir" -j "$(nproc)" --target $targets

export QT_QPA_PLATFORM=offscreen LC_ALL=C.UTF-8 TZ=Asia/Tokyo
export ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
status=0
for t in $targets; do
    work=$(mktemp -d)   # new inputs stay out of the checked-in corpus
    echo "== $t (${seconds}s)"
    if ! "$dir/tests/fuzz/$t" -max_total_time="$seconds" -print_final_stats=1 \
            -artifact_prefix="$dir/$t-" "$work" "tests/fuzz/corpus/$t" 2>"$dir/$t.log"; then
        status=1
        tail -40 "$dir/$t.log"
        echo "$t: FAILED (the crashing input is $dir/$t-*)"
    fi
    grep -E '^stat::number_of_executed_units' "$dir/$t.log" | sed "s/^/$t: /" || true
    rm -rf "$work"
done
exit $status
