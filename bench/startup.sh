#!/usr/bin/env bash
# Start-up time of the client on the demo database: from process start to the
# visible main window (reported by the client itself), and the whole run of the
# process until it has ended, each the median of 5 runs.
# Usage: bench/startup.sh [build-dir]   (after scripts/demo.sh has made the demo database)
set -euo pipefail
APP_DIR="$(cd "${1:-build}/app" && pwd)"
[ -f "$APP_DIR/demo.db" ] || { echo "run scripts/demo.sh first (it makes the demo database)" >&2; exit 1; }
shown=()
whole=()
for i in 1 2 3 4 5; do
    start=$(date +%s%N)
    line=$(KELO_QUIT_WHEN_SHOWN=1 xvfb-run -a -s "-screen 0 1280x800x24" "$APP_DIR/Kelo_S" DEMO KLUSER 20000001 김관리 2>/dev/null | grep 'main window shown')
    end=$(date +%s%N)
    shown+=("$(echo "$line" | grep -o '[0-9]\+ ms' | grep -o '[0-9]\+')")
    whole+=("$(( (end - start) / 1000000 ))")
done
median() { printf '%s\n' "$@" | sort -n | sed -n 3p; }
echo "main window shown after (ms): ${shown[*]} -> median $(median "${shown[@]}")"
echo "process with xvfb-run, start to end (ms): ${whole[*]} -> median $(median "${whole[@]}")"
