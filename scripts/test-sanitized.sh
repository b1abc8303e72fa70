#!/usr/bin/env bash
# Builds the tests with AddressSanitizer and UndefinedBehaviorSanitizer into
# build-sanitized/ and runs them all. Leak checks cover the core; the window
# tests run without them, since the windowing libraries keep caches alive
# until the process ends.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake -S . -B build-sanitized -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
      -DVERDANEL_SANITIZE=ON -DVERDANEL_BUILD_BENCH=OFF
cmake --build build-sanitized --parallel "$(nproc)"
cd build-sanitized
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 ctest --output-on-failure --parallel "$(nproc)" -L core
ASAN_OPTIONS=detect_leaks=0:abort_on_error=1 ctest --output-on-failure --parallel "$(nproc)" -L gui
