#!/usr/bin/env bash
# Sets up, builds and makes the Debian package build/verdanel_<version>-1_<arch>.deb.
# Install it with: sudo apt-get install ./build/verdanel_*.deb
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
bash scripts/build.sh
cmake --build build --target package
ls -1 build/verdanel_*.deb
