#!/bin/sh
# Installs the packages, builds, and starts the program on the bundled
# sample flight.
set -eu
cd "$(dirname "$0")/.."
./scripts/install-deps.sh
./scripts/build.sh
BUILD_DIR="${VX_BUILD_DIR:-build}"
SAMPLE="$PWD/$BUILD_DIR/samples/flight"
if [ -d "$SAMPLE" ]; then
    exec "$BUILD_DIR/bin/volantix" --input="$SAMPLE"
fi
exec "$BUILD_DIR/bin/volantix"
