#!/usr/bin/env bash
# The budget of writing a run with its mass balance: the default Stream
# scenario (14 weekly sprays from 1 June, 182 days, 262,080 output rows and
# 4,368 mass-balance rows) run end to end by verdanel-cli into a fresh store,
# against the bare insert of the same 262,080 output rows into a fresh store
# of the same schema (bench/bare_insert_bench.cpp: 64-row statements, 16 KiB
# pages, one transaction). The two alternate, five times each, in one run of
# this script; it prints both medians and their ratio (budget: at most 1.15).
# usage: bench/balance_budget.sh [BUILD_DIR] [REPEATS]
# On a machine shared with other work, BUDGET_NICE=-15 (as root) runs both
# sides at that priority, so that the other work disturbs them less and alike.
set -euo pipefail
PRIORITY=()
if [ -n "${BUDGET_NICE:-}" ]; then PRIORITY=(nice -n "$BUDGET_NICE"); fi
BUILD="$(cd "${1:-build}" && pwd)"
REPEATS="${2:-5}"
CLI="$BUILD/app/bin/verdanel-cli"
BARE="$BUILD/bench/bare_insert_bench"
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
WORK="$(mktemp -d)"
trap 'rm -rf "$WORK"' EXIT

. "$ROOT/bench/default_scenario.sh"
write_default_scenario "$WORK/stream.json" stream bench

runs=(); bares=(); runCpu=(); bareCpu=()
for i in $(seq 1 "$REPEATS"); do
  rm -f "$WORK/store.mdb"
  "$CLI" init-store "$WORK/store.mdb" --chemicals "$ROOT/data/sample_chemicals.tsv"
  sync
  start=$(date +%s.%N)
  "${PRIORITY[@]}" /usr/bin/time -f "%U %S" -o "$WORK/cpu" "$CLI" --store "$WORK/store.mdb" run "$WORK/stream.json" > /dev/null
  end=$(date +%s.%N)
  runs+=("$(awk -v a="$start" -v b="$end" 'BEGIN { printf "%.3f", b - a }')")
  runCpu+=("$(awk '{ printf "%.2f", $1 + $2 }' "$WORK/cpu")")
  sync
  bare=$("${PRIORITY[@]}" "$BARE" "$WORK/store.mdb" stream bench "$WORK/bare.mdb")
  bares+=("$(echo "$bare" | awk '{ print $1 }')")
  bareCpu+=("$(echo "$bare" | awk '{ printf "%.2f", $5 }')")
done
median() { printf '%s\n' "$@" | sort -n | sed -n "$(( ($# + 1) / 2 ))p"; }
run=$(median "${runs[@]}")
bare=$(median "${bares[@]}")
outputs=$(sqlite3 "$WORK/store.mdb" "select count(*) from model_output_stream" 2>/dev/null || echo "?")
balances=$(sqlite3 "$WORK/store.mdb" "select count(*) from mass_balance_stream" 2>/dev/null || echo "?")
echo "run with mass balance (verdanel-cli run, end to end): median $run s of ${runs[*]} ($outputs output rows, $balances balance rows)"
echo "bare insert of the output rows (bare_insert_bench):     median $bare s of ${bares[*]}"
echo "processor time, run (whole process, both threads): $(median "${runCpu[@]}") s; bare insert: $(median "${bareCpu[@]}") s; load average $(cut -d' ' -f1-3 /proc/loadavg)${BUDGET_NICE:+, both at nice $BUDGET_NICE}"
awk -v r="$run" -v b="$bare" 'BEGIN { printf "ratio %.3f (budget 1.15)\n", r / b }'
