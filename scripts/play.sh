#!/usr/bin/env bash
# Builds Tesmor and starts it: the window, or terminal play where there is no display.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DTESMOR_WITH_UI=ON -DTESMOR_WITH_TESTS=OFF \
  -DTESMOR_WITH_BENCH=OFF >/dev/null
cmake --build build -j"$(nproc)"
exec ./build/bin/tesmor
