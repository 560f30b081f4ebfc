#!/usr/bin/env bash
# Sets up, builds and runs every test, headless. With TALVENBAHN_SANITIZE=1 the tests are
# built and run once more with AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh

build=build
flags=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DTALVENBAHN_WERROR=ON -DTALVENBAHN_TESTS=ON -DTALVENBAHN_BENCH=ON)
if [ "${TALVENBAHN_SANITIZE:-0}" = 1 ]; then
    build=build-asan
    flags=(-DCMAKE_BUILD_TYPE=Debug -DTALVENBAHN_WERROR=ON -DTALVENBAHN_SANITIZE=ON -DTALVENBAHN_TESTS=ON -DTALVENBAHN_BENCH=OFF)
    export ASAN_OPTIONS=detect_leaks=0:abort_on_error=1
    export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
fi
cmake -S . -B "$build" "${flags[@]}" >/dev/null
cmake --build "$build" -j"$(nproc)"
export QT_QPA_PLATFORM=offscreen
ctest --test-dir "$build" --output-on-failure -j"$(nproc)"
