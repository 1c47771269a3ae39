#!/usr/bin/env bash
# Installs what the build needs, builds everything and runs the whole test suite.
# Usage: scripts/test.sh [build-dir]
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR=${1:-build}

bash scripts/install-deps.sh

cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$BUILD_DIR" -j2

export QT_QPA_PLATFORM=offscreen
cd "$BUILD_DIR"
ctest -j2 --output-on-failure --timeout 300
