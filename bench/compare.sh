#!/usr/bin/env bash
# Compares two builds of tesmor-engine on the bench positions: runs them alternately, checks that
# every position gets the same answer and the same node count from both, and prints per level the
# median total time of each and the ratio old/new with its spread over the runs.
# Usage: bench/compare.sh OLD_BIN NEW_BIN [level:mode ...]   e.g. bench/compare.sh old new 5:fast
# RUNS (default 3) sets the number of runs per build.
set -euo pipefail
if [ $# -lt 2 ]; then
  echo "usage: $0 OLD_BIN NEW_BIN [level:mode ...]" >&2
  exit 2
fi
old="$1"
new="$2"
shift 2
runs="${RUNS:-3}"
settings=("$@")
[ ${#settings[@]} -gt 0 ] || settings=(1:fast 2:fast 3:fast 4:fast 5:fast 6:fast 7:fast 8:fast)

dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT

median() { sort -g | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
# The answer and node count of each position, without the times.
signature() { awk '/ nodes / { print $1, $2, $3, $5 } /^Nodes searched/ { print }' "$1"; }
total() { awk '/^Total time/ { print $NF }' "$1"; }

status=0
printf '%-10s %12s %10s %10s %8s %16s\n' level nodes "old ms" "new ms" ratio "ratio min..max"
for setting in "${settings[@]}"; do
  level="${setting%%:*}"
  mode="${setting##*:}"
  for run in $(seq "$runs"); do
    "$old" bench --level "$level" --mode "$mode" > "$dir/old.$run"
    "$new" bench --level "$level" --mode "$mode" > "$dir/new.$run"
  done
  for run in $(seq "$runs"); do
    for side in old new; do
      if ! diff <(signature "$dir/old.1") <(signature "$dir/$side.$run") > "$dir/diff"; then
        echo "$setting: $side run $run differs from the old build's answers or node counts:" >&2
        cat "$dir/diff" >&2
        status=1
      fi
    done
  done
  ratios=$(for run in $(seq "$runs"); do
    awk -v o="$(total "$dir/old.$run")" -v n="$(total "$dir/new.$run")" \
      'BEGIN { printf "%.2f\n", o / (n > 0 ? n : 1) }'
  done)
  printf '%-10s %12s %10s %10s %8s %16s\n' "$setting" \
    "$(awk '/^Nodes searched/ { print $3 }' "$dir/old.1")" \
    "$(for r in $(seq "$runs"); do total "$dir/old.$r"; done | median)" \
    "$(for r in $(seq "$runs"); do total "$dir/new.$r"; done | median)" \
    "$(printf '%s\n' $ratios | median)" \
    "$(printf '%s\n' $ratios | sort -g | head -1)..$(printf '%s\n' $ratios | sort -g | tail -1)"
done
exit "$status"
