#!/usr/bin/env bash
# Builds everything and runs every test. With CI=true (or --all) it also
# treats warnings as errors, checks the formatting, and runs the whole suite
# a second time under AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh

full=false
[ "${CI:-}" = "true" ] && full=true
[ "${1:-}" = "--all" ] && full=true

jobs=$(nproc)
build() {  # build <dir> <extra cmake args...>
    local dir=$1; shift
    cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
    cmake --build "$dir" -j "$jobs"
}

if $full; then
    echo "== Formatting"
    git ls-files -- '*.cpp' '*.h' | xargs clang-format --dry-run --Werror
fi

echo "== Build and test"
if $full; then
    build build -DNEMIROU_WERROR=ON
else
    build build
fi
ctest --test-dir build --output-on-failure -j "$jobs"

if $full; then
    bash scripts/package-test.sh build
fi

if $full; then
    echo "== Build and test under AddressSanitizer and UndefinedBehaviorSanitizer"
    build build-asan -DNEMIROU_WERROR=ON -DNEMIROU_SANITIZE=ON -DNEMIROU_BUILD_BENCH=OFF \
        -DCMAKE_BUILD_TYPE=Debug
    ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
        ctest --test-dir build-asan --output-on-failure -j "$jobs"
fi

if $full; then
    echo "== Fuzzing, 20 seconds per target"
    bash scripts/fuzz.sh 20
fi
