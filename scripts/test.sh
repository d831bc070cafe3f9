#!/usr/bin/env bash
# Builds Tesmor and runs every test: once in an optimised build, once more under the address and
# undefined-behaviour sanitizers, and the window's worker tests and the Gomocup brain's tests a
# third time under the thread sanitizer (their worker threads hand results to another thread).
# Then clang builds everything once, so that both compilers stay free of warnings, and each fuzz
# target runs for FUZZ_SECONDS (default 30). Warnings are errors in all of these builds.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh
jobs="$(nproc)"

# The tests build apart from build/, which scripts/play.sh configures for playing.
cmake -S . -B build-test -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTESMOR_WERROR=ON >/dev/null
cmake --build build-test -j"$jobs"
ctest --test-dir build-test --output-on-failure -j"$jobs"

cmake -S . -B build-sanitize -DCMAKE_BUILD_TYPE=Debug -DTESMOR_SANITIZE=address,undefined \
  -DTESMOR_WITH_UI=OFF -DTESMOR_WITH_BENCH=OFF -DTESMOR_WERROR=ON >/dev/null
cmake --build build-sanitize -j"$jobs"
ctest --test-dir build-sanitize --output-on-failure -j"$jobs"

cmake -S . -B build-thread -DCMAKE_BUILD_TYPE=Debug -DTESMOR_SANITIZE=thread \
  -DTESMOR_WERROR=ON >/dev/null
cmake --build build-thread -j"$jobs" --target tesmor_ui_thread_tests tesmor_cli_tests tesmor_search_tests \
  tesmor_stop_latency
ctest --test-dir build-thread --output-on-failure -j"$jobs" -L thread
# Every kind of computation stopped while it runs on a worker: the figures are only printed, and
# the thread checker ends the run on a race.
TSAN_OPTIONS=halt_on_error=1 build-thread/bin/tesmor_stop_latency 1

# clang: every target compiles without a warning; the corpus replays run as a smoke test.
CXX=clang++ cmake -S . -B build-clang -DCMAKE_BUILD_TYPE=Release -DTESMOR_WITH_BENCH=OFF \
  -DTESMOR_WERROR=ON >/dev/null
cmake --build build-clang -j"$jobs"
ctest --test-dir build-clang --output-on-failure -j"$jobs" -R '^fuzz\.'

./scripts/fuzz.sh "${FUZZ_SECONDS:-30}"
