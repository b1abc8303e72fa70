#!/usr/bin/env bash
# Sweeps of the default Stream scenario (14 weekly spray dates from 1 June at
# 10:00, 182 days, 262,080 rows a variant) against one stored run of it, all
# by verdanel-cli in this one benchmark run, five times each (median):
#   run      the scenario run end to end into a fresh store (`verdanel-cli run`)
#   sweep16  a 16-value bank-width sweep (8:38:2 m) with the default jobs (the core count)
#   jobs1    the same with --jobs 1
#   jobs2    the same with --jobs 2
#   shift91  a 91-day shift sweep (-30:60:1) with the default jobs
# Prints the medians and the best times, the budgets' ratios (of medians and
# of best times: on a machine shared with other work the best time is the
# one least disturbed) and the load average before and after.
# usage: bench/run_sweeps.sh [BUILD_DIR] [REPEATS]
set -euo pipefail
BUILD="${1:-build}"
REPEATS="${2:-5}"
CLI="$(cd "$BUILD" && pwd)/app/bin/verdanel-cli"
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
WORK="$(mktemp -d)"
trap 'rm -rf "$WORK"' EXIT

. "$ROOT/bench/default_scenario.sh"
write_default_scenario "$WORK/stream.json" stream bench
"$CLI" init-store "$WORK/chemicals.mdb" --chemicals "$ROOT/data/sample_chemicals.tsv"

seconds() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.3f", b - a }'; }
median() { printf '%s\n' "$@" | sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
best() { printf '%s\n' "$@" | sort -n | head -1; }

echo "load before: $(cut -d' ' -f1-3 /proc/loadavg), $(nproc) cores"
declare -A result
for i in $(seq 1 "$REPEATS"); do
  rm -f "$WORK/store.mdb"
  "$CLI" init-store "$WORK/store.mdb" --chemicals "$ROOT/data/sample_chemicals.tsv"
  start=$(date +%s.%N); "$CLI" --store "$WORK/store.mdb" run "$WORK/stream.json" > /dev/null; end=$(date +%s.%N)
  result[run]+=" $(seconds "$start" "$end")"
  for kind in sweep16 jobs1 jobs2 shift91; do
    case $kind in
      sweep16) args=(--vary bank_width=8:38:2) ;;
      jobs1) args=(--vary bank_width=8:38:2 --jobs 1) ;;
      jobs2) args=(--vary bank_width=8:38:2 --jobs 2) ;;
      shift91) args=(--shift-days -30:60:1) ;;
    esac
    start=$(date +%s.%N)
    "$CLI" --store "$WORK/chemicals.mdb" sweep "$WORK/stream.json" "${args[@]}" > "$WORK/$kind.txt"
    end=$(date +%s.%N)
    result[$kind]+=" $(seconds "$start" "$end")"
  done
done
for kind in run sweep16 jobs1 jobs2 shift91; do
  # shellcheck disable=SC2086
  printf '%-8s median %.3f s, best %.3f s over %d (%s)\n' "$kind" "$(median ${result[$kind]})" \
         "$(best ${result[$kind]})" "$REPEATS" "${result[$kind]# }"
done
for of in median best; do
  # shellcheck disable=SC2086
  awk -v of="$of" -v run="$($of ${result[run]})" -v s16="$($of ${result[sweep16]})" -v j1="$($of ${result[jobs1]})" \
      -v j2="$($of ${result[jobs2]})" -v s91="$($of ${result[shift91]})" 'BEGIN {
    printf "%-6s sweep16 / run %.2f (budget at most 1), jobs1 / jobs2 %.2f (at least 1.7), shift91 / run %.2f (at most 6)\n",
           of, s16 / run, j1 / j2, s91 / run }'
done
echo "load after: $(cut -d' ' -f1-3 /proc/loadavg)"
head -1 "$WORK/sweep16.txt"
