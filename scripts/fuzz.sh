#!/usr/bin/env bash
# Builds the fuzz targets with clang (libFuzzer, address and undefined-behaviour sanitizers) and
# runs each in turn for SECONDS (default 30), starting from its corpus in tests/fuzz/<target>/.
# New inputs go to build-fuzz/corpus/<target>/, crashes to build-fuzz/findings/; the committed
# corpus changes only by hand. Names after SECONDS choose the targets to run.
#   scripts/fuzz.sh [SECONDS] [TARGET...]
set -euo pipefail
cd "$(dirname "$0")/.."
root="$PWD"
seconds="${1:-30}"
shift || true
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(position_file move_text book_loader book_text brain)
build="$root/build-fuzz"

CXX=clang++ cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTESMOR_FUZZ=ON \
  -DTESMOR_WERROR=ON >/dev/null
cmake --build "$build" -j"$(nproc)" --target tesmor_book_data \
  "${targets[@]/#/tesmor_fuzz_}" >/dev/null

status=0
for target in "${targets[@]}"; do
  mkdir -p "$build/corpus/$target" "$build/findings" "$build/logs"
  echo "fuzz: $target for $seconds s"
  # From the programs' folder, where the brain finds the opening book beside it.
  if ! (cd "$build/bin" && "./tesmor_fuzz_$target" -max_total_time="$seconds" -timeout=10 \
      -print_final_stats=1 -artifact_prefix="$build/findings/$target-" \
      "$build/corpus/$target" "$root/tests/fuzz/$target") >"$build/logs/$target.log" 2>&1; then
    echo "fuzz: $target found a fault; see $build/logs/$target.log" >&2
    status=1
  fi
  grep -E "^#[0-9]+ +DONE|stat::average_exec_per_sec|stat::number_of_executed_units" \
    "$build/logs/$target.log" | sed "s/^/  /" || true
done
exit "$status"
