#!/usr/bin/env bash
# Builds the libFuzzer targets with clang 14 (AddressSanitizer and
# UndefinedBehaviorSanitizer) into build-fuzz/, straight from the core
# sources they need; the project's CMake build is not involved.
#
#   tests/fuzz/build.sh            build every target
#   tests/fuzz/build.sh weather    build only fuzz_weather (several names allowed)
#
# CXX, BUILD_DIR and JOBS may be set in the environment.
set -euo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
CXX="${CXX:-clang++-14}"
BUILD_DIR="${BUILD_DIR:-$ROOT/build-fuzz}"
JOBS="${JOBS:-2}"

if ! command -v "$CXX" >/dev/null 2>&1; then
    echo "build.sh: $CXX not found (apt-get install -y clang-14 libclang-rt-14-dev llvm-14)" >&2
    exit 1
fi

CXXFLAGS=(-std=c++20 -O1 -g -fno-omit-frame-pointer
          -fsanitize=address,undefined -fno-sanitize-recover=undefined
          -Wall -Wextra -I "$ROOT/src" -I "$ROOT/tests/fuzz")
LIBS=(-lsqlite3)

# Core sources each target needs.
declare -A SOURCES=(
    [weather]="core/weather/weather_reader.cpp core/common/number_text.cpp core/common/text_format.cpp"
    [connection]="core/app/connection_settings.cpp core/store/store_connection.cpp"
    [numbers]="core/chemicals/chemical_rules.cpp core/common/number_text.cpp"
    [scenario_json]="core/engines/scenario_file.cpp core/engines/scenario.cpp core/common/civil_time.cpp core/common/number_text.cpp"
)
ALL_TARGETS=(weather connection numbers scenario_json)

targets=("$@")
[ ${#targets[@]} -eq 0 ] && targets=("${ALL_TARGETS[@]}")
for t in "${targets[@]}"; do
    [ -n "${SOURCES[$t]+x}" ] || { echo "build.sh: unknown target '$t' (${ALL_TARGETS[*]})" >&2; exit 2; }
done

mkdir -p "$BUILD_DIR/obj"

# One object per source, rebuilt when it or anything it includes changed
# (the compiler's dependency file lists the includes).
compile() {
    local src="$1" obj="$2" extra="$3"
    local dep="${obj%.o}.d"
    if [ -f "$obj" ] && [ -f "$dep" ]; then
        local stale=0 f
        for f in $(sed -e 's/^[^:]*://' -e 's/\\$//' "$dep"); do
            if [ "$f" -nt "$obj" ]; then stale=1; break; fi
        done
        [ $stale -eq 0 ] && return 0
    fi
    echo "  CXX $src"
    "$CXX" "${CXXFLAGS[@]}" $extra -MMD -MF "$dep" -c "$src" -o "$obj"
}

objects_of() {
    local t="$1" s
    for s in ${SOURCES[$t]}; do echo "$BUILD_DIR/obj/$(echo "$s" | tr '/' '_' | sed 's/\.cpp$/.o/')"; done
    echo "$BUILD_DIR/obj/fuzz_$t.o"
}

# Compile every object the chosen targets need, JOBS at a time.
declare -A seen=()
pids=()
for t in "${targets[@]}"; do
    for s in ${SOURCES[$t]}; do
        obj="$BUILD_DIR/obj/$(echo "$s" | tr '/' '_' | sed 's/\.cpp$/.o/')"
        [ -n "${seen[$obj]+x}" ] && continue
        seen[$obj]=1
        compile "$ROOT/src/$s" "$obj" "-fsanitize=fuzzer-no-link" &
        pids+=($!)
        while [ "$(jobs -rp | wc -l)" -ge "$JOBS" ]; do wait -n || true; done
    done
    # The harness itself (its reference readings) is not coverage-instrumented:
    # only the core code should steer the fuzzer, and this keeps it fast.
    compile "$ROOT/tests/fuzz/fuzz_$t.cpp" "$BUILD_DIR/obj/fuzz_$t.o" "" &
    pids+=($!)
    while [ "$(jobs -rp | wc -l)" -ge "$JOBS" ]; do wait -n || true; done
done
failed=0
for p in "${pids[@]}"; do wait "$p" || failed=1; done
[ $failed -eq 0 ] || { echo "build.sh: compilation failed" >&2; exit 1; }

for t in "${targets[@]}"; do
    # shellcheck disable=SC2046
    "$CXX" -fsanitize=fuzzer,address,undefined $(objects_of "$t") "${LIBS[@]}" -o "$BUILD_DIR/fuzz_$t"
    echo "  built $BUILD_DIR/fuzz_$t"
done
