#!/bin/sh
# Installs the packages, builds, and runs every test headless.
set -eu
cd "$(dirname "$0")/.."
./scripts/install-deps.sh
./scripts/build.sh
ctest --test-dir "${VX_BUILD_DIR:-build}" --output-on-failure --parallel "$(nproc)"
