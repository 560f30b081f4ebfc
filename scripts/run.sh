#!/usr/bin/env bash
# Sets up, builds and starts Talvenbahn.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTALVENBAHN_TESTS=OFF -DTALVENBAHN_BENCH=OFF >/dev/null
cmake --build build -j"$(nproc)" --target Talvenbahn
exec ./build/bin/Talvenbahn "$@"
