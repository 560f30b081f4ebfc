#!/usr/bin/env bash
# Builds one libFuzzer target with clang (ASan + UBSan) and runs it for a given time.
#   bash fuzz/run.sh <target> [seconds=60] [extra libFuzzer flags...]
# Seeds come from fuzz/<area>/seeds/<target without "fuzz_">/ when that folder exists; the
# growing corpus and any crash files stay in build-fuzz/.
set -euo pipefail
cd "$(dirname "$0")/.."

if [ $# -lt 1 ]; then
    echo "usage: $0 <target> [seconds] [libFuzzer flags...]" >&2
    echo "targets:" >&2
    grep -ho 'add_executable(fuzz_[A-Za-z0-9_]*' fuzz/*/CMakeLists.txt | sed 's/add_executable(/  /' >&2
    exit 2
fi
target=$1
seconds=${2:-60}
shift $(( $# >= 2 ? 2 : 1 ))

area=$(grep -l "add_executable(${target}[ )]" fuzz/*/CMakeLists.txt | head -n1 | xargs -r dirname)
if [ -z "$area" ]; then
    echo "no fuzz target named $target under fuzz/" >&2
    exit 2
fi

build=build-fuzz
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTALVENBAHN_FUZZ=ON \
    -DTALVENBAHN_TESTS=OFF -DTALVENBAHN_BENCH=OFF \
    -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_C_COMPILER=clang >/dev/null
cmake --build "$build" -j"$(nproc)" --target "$target"

corpus="$build/corpus/$target"
artifacts="$build/artifacts/$target/"
mkdir -p "$corpus" "$artifacts"
seeds="$area/seeds/${target#fuzz_}"
dirs=("$corpus")
[ -d "$seeds" ] && dirs+=("$seeds")

export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
export QT_QPA_PLATFORM=offscreen
exec "$build/bin/$target" -max_total_time="$seconds" -print_final_stats=1 \
    -artifact_prefix="$artifacts" "$@" "${dirs[@]}"
