#!/usr/bin/env bash
# Sets up, builds and starts Talvenbahn. The program runs in the folder you start this script
# from, so its exported results land there.
set -euo pipefail
here=$PWD
repo=$(cd "$(dirname "$0")/.." && pwd)
cd "$repo"
bash scripts/setup.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTALVENBAHN_TESTS=OFF -DTALVENBAHN_BENCH=OFF >/dev/null
cmake --build build -j"$(nproc)" --target Talvenbahn
cd "$here"
exec "$repo/build/bin/Talvenbahn" "$@"
