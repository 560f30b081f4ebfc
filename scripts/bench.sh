#!/usr/bin/env bash
# Sets up, builds with optimisation and runs every benchmark under bench/; each prints its figures.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release -DTALVENBAHN_TESTS=OFF -DTALVENBAHN_BENCH=ON >/dev/null
cmake --build build-bench -j"$(nproc)"
export QT_QPA_PLATFORM=offscreen
for b in build-bench/bin/bench_*; do
    [ -x "$b" ] || continue
    echo "== $(basename "$b")"
    (cd build-bench && "../$b")
done
echo "== bench_window --club-server"
(cd build-bench && ../build-bench/bin/bench_window --club-server)
