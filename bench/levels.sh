#!/usr/bin/env bash
# Runs `tesmor-engine bench` at the given levels and modes several times and prints, per level,
# the node count, nodes per second and the median and worst time per move (each position's time
# is the median over the runs).
# Usage: bench/levels.sh [runs] [level:mode ...]   e.g. bench/levels.sh 3 1:fast 9:exact
set -euo pipefail
engine="${TESMOR_ENGINE:-$(dirname "$0")/../build/bin/tesmor-engine}"
runs="${1:-3}"
shift || true
settings=("$@")
[ ${#settings[@]} -gt 0 ] || settings=(1:fast 2:fast 3:fast 4:fast 5:fast 6:fast 7:fast 8:fast 9:fast 9:exact)

median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

printf '%-9s %12s %10s %10s %10s\n' level nodes nodes/s "median ms" "worst ms"
for setting in "${settings[@]}"; do
  level="${setting%%:*}"
  mode="${setting##*:}"
  dir=$(mktemp -d)
  for run in $(seq "$runs"); do
    "$engine" bench --level "$level" --mode "$mode" > "$dir/$run"
  done
  positions=$(grep -c ' nodes ' "$dir/1")
  perPosition=$(for p in $(seq "$positions"); do
    awk -v p="$p" '$1 == p && / nodes / { print $(NF-1) }' "$dir"/* | median
  done)
  nodes=$(awk '/^Nodes searched/ { print $3; exit }' "$dir/1")
  totalMs=$(awk '/^Total time/ { t += $4 } END { print t }' "$dir"/*)
  printf '%-9s %12s %10s %10s %10s\n' "$level:$mode" "$nodes" \
    "$(( totalMs > 0 ? nodes * runs * 1000 / totalMs : 0 ))" \
    "$(printf '%s\n' $perPosition | median)" "$(printf '%s\n' $perPosition | sort -n | tail -1)"
  rm -rf "$dir"
done
