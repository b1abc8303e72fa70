#!/usr/bin/env bash
# End-to-end runs of the three default scenarios (14 weekly spray dates from
# 1 June at 10:00, 182 days, 262,080 rows each) by verdanel-cli into a fresh
# store, five times each; prints the median wall time of each model.
# usage: bench/run_scenarios.sh [BUILD_DIR]
set -euo pipefail
BUILD="${1:-build}"
CLI="$(cd "$BUILD" && pwd)/app/bin/verdanel-cli"
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
WORK="$(mktemp -d)"
trap 'rm -rf "$WORK"' EXIT

. "$ROOT/bench/default_scenario.sh"
for model in stream ditch pond; do write_default_scenario "$WORK/$model.json" "$model" bench; done

for model in stream ditch pond; do
  times=()
  for i in 1 2 3 4 5; do
    rm -f "$WORK/store.mdb"
    "$CLI" init-store "$WORK/store.mdb" --chemicals "$ROOT/data/sample_chemicals.tsv"
    start=$(date +%s.%N)
    "$CLI" --store "$WORK/store.mdb" run "$WORK/$model.json" > /dev/null
    end=$(date +%s.%N)
    times+=("$(awk -v a="$start" -v b="$end" 'BEGIN { printf "%.3f", b - a }')")
  done
  median=$(printf '%s\n' "${times[@]}" | sort -n | sed -n 3p)
  rows=$(sqlite3 "$WORK/store.mdb" "select count(*) from model_output_$model" 2>/dev/null || echo "?")
  printf '%-6s median %.3f s over 5 runs (%s rows)\n' "$model" "$median" "$rows"
done
