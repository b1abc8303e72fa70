#!/usr/bin/env bash
# Builds the fuzz targets and runs each for SECONDS (default 60), at most
# two at a time, starting from the seed corpora in tests/fuzz/corpus/.
#
#   tests/fuzz/run_fuzzers.sh [SECONDS] [TARGET...]
#
# Grown corpora, logs and crash inputs go to build-fuzz/run/<target>/, never
# into the source tree. Per target it prints executions, crashes and exec/s;
# the exit status is 1 when any target found a crash.
set -uo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
BUILD_DIR="${BUILD_DIR:-$ROOT/build-fuzz}"
SECONDS_PER_TARGET="${1:-60}"
shift || true
PARALLEL="${PARALLEL:-2}"

ALL_TARGETS=(weather connection numbers scenario_json)
targets=("$@")
[ ${#targets[@]} -eq 0 ] && targets=("${ALL_TARGETS[@]}")

# Longest input per target: weather files are a few KiB (the reader's long-line
# case pads its own input past 64 KiB); connection prefixes and number texts
# are short; scenario files are JSON documents, long enough for deep nesting.
declare -A MAX_LEN=([weather]=8192 [connection]=1024 [numbers]=256 [scenario_json]=32768)

"$ROOT/tests/fuzz/build.sh" "${targets[@]}" || exit 1

# Every seed first, whole (a seed longer than -max_len would be cut while
# fuzzing): the seeds include the inputs of faults found earlier.
replay_failed=0
for t in "${targets[@]}"; do
    mkdir -p "$BUILD_DIR/run/$t"
    if ! "$BUILD_DIR/fuzz_$t" -rss_limit_mb=2048 -timeout=10 "$ROOT/tests/fuzz/corpus/$t"/* \
            >"$BUILD_DIR/run/$t/replay.txt" 2>&1; then
        echo "fuzz_$t fails on a seed: see $BUILD_DIR/run/$t/replay.txt"
        replay_failed=1
    fi
done

run_one() {
    local t="$1"
    local dir="$BUILD_DIR/run/$t"
    mkdir -p "$dir/corpus" "$dir/crashes" "$dir/crashes.old"
    # Findings of an earlier run are kept aside, so the count below is this run's.
    find "$dir/crashes" -type f -exec mv -t "$dir/crashes.old" {} +
    # The grown corpus is kept between runs; the seeds are read alongside it.
    "$BUILD_DIR/fuzz_$t" "$dir/corpus" "$ROOT/tests/fuzz/corpus/$t" \
        -max_total_time="$SECONDS_PER_TARGET" -max_len="${MAX_LEN[$t]}" -rss_limit_mb=2048 -timeout=10 \
        -artifact_prefix="$dir/crashes/" -print_final_stats=1 >"$dir/log.txt" 2>&1
    echo $? >"$dir/status"
}

for t in "${targets[@]}"; do
    echo "running fuzz_$t for ${SECONDS_PER_TARGET}s"
    run_one "$t" &
    while [ "$(jobs -rp | wc -l)" -ge "$PARALLEL" ]; do wait -n; done
done
wait

failed=0
printf '\n%-15s %14s %8s %10s %8s %s\n' target executions crashes exec/s seconds log
for t in "${targets[@]}"; do
    dir="$BUILD_DIR/run/$t"
    execs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$dir/log.txt" | grep -o '[0-9]*$' | tail -1)
    rate=$(grep -o 'stat::average_exec_per_sec: *[0-9]*' "$dir/log.txt" | grep -o '[0-9]*$' | tail -1)
    crashes=$(find "$dir/crashes" -type f | wc -l)
    secs=$(grep -o 'Done [0-9]* runs in [0-9]* second' "$dir/log.txt" | grep -o 'in [0-9]*' | grep -o '[0-9]*' | tail -1)
    status=$(cat "$dir/status" 2>/dev/null || echo '?')
    [ "$status" = 0 ] || failed=1
    [ "$crashes" -eq 0 ] || failed=1
    printf '%-15s %14s %8s %10s %8s %s\n' "$t" "${execs:-?}" "$crashes" "${rate:-?}" "${secs:-?}" "$dir/log.txt (exit $status)"
    find "$dir/crashes" -type f -printf '    finding: %p\n'
done
[ $replay_failed -eq 0 ] || failed=1
exit $failed
