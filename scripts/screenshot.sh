#!/usr/bin/env bash
# Takes docs/screenshot.png: a few moves against the computer in the window, under Xvfb.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh
cmake -S . -B build >/dev/null
cmake --build build -j"$(nproc)" --target tesmor-screenshot
mkdir -p docs
xvfb-run -a -s "-screen 0 1024x768x24" ./build/bin/tesmor-screenshot docs/screenshot.png
