#!/usr/bin/env bash
# The grid benchmark in both modes, each in a process of its own (for the memory figure).
set -euo pipefail
BUILD="${1:-build}"
export QT_QPA_PLATFORM=offscreen
"$BUILD/bench/bench_grid" grid "$BUILD/bench-data" 2>/dev/null
"$BUILD/bench/bench_grid" plain "$BUILD/bench-data" 2>/dev/null
