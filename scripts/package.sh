#!/usr/bin/env bash
# Sets up, builds with optimisation into build-package/ and makes the Debian package
# build-package/talvenbahn_<version>_<arch>.deb, checked by lintian; install it with
# sudo apt install ./build-package/talvenbahn_*.deb
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake -S . -B build-package -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
    -DTALVENBAHN_TESTS=OFF -DTALVENBAHN_BENCH=OFF >/dev/null
cmake --build build-package -j"$(nproc)"
(cd build-package && cpack -G DEB)
# The package must pass Debian's own checks without an error or a warning.
lintian --fail-on error,warning build-package/talvenbahn_*.deb
ls build-package/talvenbahn_*.deb
