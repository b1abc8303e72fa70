#!/usr/bin/env bash
# Sets up, builds and runs every test but the package test, which installs
# the package and adds a user (root only; CI runs it: .ci/run).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
bash scripts/build.sh
cd build
ctest --output-on-failure --parallel "$(nproc)" -LE package
