#!/usr/bin/env bash
# Builds one libFuzzer target with clang (ASan + UBSan) and runs it for a given time.
#   bash fuzz/run.sh                      lists the targets
#   bash fuzz/run.sh <target> [seconds=60] [extra libFuzzer flags...]
# Every target is one source file fuzz/<area>/<target>.cpp built as the target of the same name,
# however its CMakeLists.txt defines it. Seeds come from fuzz/<area>/seeds/<target without
# "fuzz_">/ and from the same folder under build-fuzz/fuzz/<area>/ when the build writes them;
# a leak suppression file fuzz/<area>/*.supp is used when there is one. The growing corpus and
# any crash files stay in build-fuzz/.
set -euo pipefail
cd "$(dirname "$0")/.."

list_targets() {
    for source in fuzz/*/fuzz_*.cpp; do
        echo "  $(basename "$source" .cpp)    ($(dirname "$source"))"
    done
}

if [ $# -lt 1 ]; then
    echo "usage: $0 <target> [seconds] [libFuzzer flags...]" >&2
    echo "targets:" >&2
    list_targets >&2
    exit 2
fi
target=$1
seconds=${2:-60}
shift $(( $# >= 2 ? 2 : 1 ))

source_file=$(ls fuzz/*/"$target".cpp 2>/dev/null | head -n1 || true)
if [ -z "$source_file" ]; then
    echo "no fuzz target named $target under fuzz/; the targets are:" >&2
    list_targets >&2
    exit 2
fi
area=$(dirname "$source_file")

build=build-fuzz
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTALVENBAHN_FUZZ=ON \
    -DTALVENBAHN_TESTS=OFF -DTALVENBAHN_BENCH=OFF \
    -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_C_COMPILER=clang >/dev/null
cmake --build "$build" -j"$(nproc)" --target "$target"

corpus="$build/corpus/$target"
artifacts="$build/artifacts/$target/"
mkdir -p "$corpus" "$artifacts"
dirs=("$corpus")
for seeds in "$area/seeds/${target#fuzz_}" "$build/$area/seeds/${target#fuzz_}"; do
    [ -d "$seeds" ] && dirs+=("$seeds")
done

suppressions=$(ls "$area"/*.supp 2>/dev/null | head -n1 || true)
if [ -n "$suppressions" ] && [ -z "${LSAN_OPTIONS:-}" ]; then
    export LSAN_OPTIONS="suppressions=$PWD/$suppressions"
fi
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
export QT_QPA_PLATFORM=offscreen
exec "$build/bin/$target" -max_total_time="$seconds" -print_final_stats=1 \
    -artifact_prefix="$artifacts" "$@" "${dirs[@]}"
