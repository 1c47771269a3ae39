#!/usr/bin/env bash
# Installs what the build needs, builds the programs and starts them on the demo database.
# Usage: scripts/demo.sh [--headless]
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR=build

bash scripts/install-deps.sh
cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$BUILD_DIR" -j2

APP_DIR="$BUILD_DIR/app"
if [ ! -x "$APP_DIR/Kelo_S" ]; then
    echo "demo: the build is complete (libraries, tests, benchmarks)."
    echo "demo: the client program Kelo_S and the demo database are not part of this build yet;"
    echo "demo: nothing can be started. Run scripts/test.sh to run the test suite."
    exit 0
fi
