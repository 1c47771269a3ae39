#!/usr/bin/env bash
# Installs what the build needs, builds everything and runs the whole test suite.
# Usage: scripts/test.sh [build-dir]
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR=${1:-build}

bash scripts/install-deps.sh

export QT_QPA_PLATFORM=offscreen

# A CUPS queue with the cups-pdf backend as the default printer, for the print test; the
# scheduler is stopped on exit when this script started it.
start_print_queue() {
  bash scripts/print-queue.sh start test.sh
  trap 'bash scripts/print-queue.sh stop test.sh' EXIT
}
start_print_queue

# The number conversions and the database layer under ASan and UBSan.
cmake -S . -B "$BUILD_DIR-sanitize" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DKELO_SANITIZE=ON
cmake --build "$BUILD_DIR-sanitize" -j2 --target test_common test_db
ASAN_OPTIONS=detect_leaks=0:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1 \
    ctest --test-dir "$BUILD_DIR-sanitize" -j2 --output-on-failure --timeout 300

# Everything, as it ships.
cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$BUILD_DIR" -j2
ctest --test-dir "$BUILD_DIR" -j2 --output-on-failure --timeout 300
