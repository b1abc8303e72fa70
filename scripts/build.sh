#!/usr/bin/env bash
# Configures and builds into build/ (the staged application is build/app).
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR="${BUILD_DIR:-build}"
EXTRA=()
if [ "${CI:-}" = "true" ]; then EXTRA+=(-DVERDANEL_WERROR=ON); fi
cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=Release "${EXTRA[@]}" "$@"
cmake --build "$BUILD_DIR" --parallel "$(nproc)"
