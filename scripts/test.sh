#!/usr/bin/env bash
# Installs what the build needs, builds everything, runs the whole test suite and tests the
# Debian packages.
# Usage: scripts/test.sh [build-dir]
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR=${1:-build}

bash scripts/install-deps.sh

export QT_QPA_PLATFORM=offscreen

# What this script starts it stops on exit: the PostgreSQL cluster, and the CUPS scheduler
# of the print queue when it was not running before.
source scripts/pg-cluster.sh
cleanup() {
  kelo_pg_stop || true
  bash scripts/print-queue.sh stop test.sh || true
}
trap cleanup EXIT

# A CUPS queue with the cups-pdf backend as the default printer, for the print test.
bash scripts/print-queue.sh start test.sh

# The number conversions, the spreadsheet reader and the database layer under ASan and UBSan.
cmake -S . -B "$BUILD_DIR-sanitize" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DKELO_SANITIZE=ON
cmake --build "$BUILD_DIR-sanitize" -j2 --target test_common test_spreadsheet test_db
ASAN_OPTIONS=detect_leaks=0:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1 \
    ctest --test-dir "$BUILD_DIR-sanitize" -j2 --output-on-failure --timeout 300

# Everything, as it ships.
cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$BUILD_DIR" -j2

# The suite on PostgreSQL, on a throwaway cluster of its own.
kelo_pg_start "$(mktemp -d /tmp/kelo-pg.XXXXXX)"
KELO_TEST_ENGINE=postgres ctest --test-dir "$BUILD_DIR" -j2 --output-on-failure --timeout 300

# The suite on SQLite, the embedded default.
ctest --test-dir "$BUILD_DIR" -j2 --output-on-failure --timeout 300

# The Debian packages: built, installed, run and purged again (as root: it installs them).
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
$SUDO bash scripts/package-test.sh "$BUILD_DIR"
