#!/usr/bin/env bash
# Takes docs/screenshot.png and docs/window-scale2.png: a few moves against the computer in the
# window under Xvfb, at the designed size and at twice the device pixel ratio.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh
cmake -S . -B build >/dev/null
cmake --build build -j"$(nproc)" --target tesmor-screenshot
mkdir -p docs
xvfb-run -a -s "-screen 0 1024x768x24" ./build/bin/tesmor-screenshot docs/screenshot.png
QT_SCALE_FACTOR=2 xvfb-run -a -s "-screen 0 1800x1400x24" ./build/bin/tesmor-screenshot \
  docs/window-scale2.png
