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
DEMO_DB="$APP_DIR/demo.db"
if [ ! -f "$DEMO_DB" ]; then
    echo "demo: generating the demo database (two years of data) ..."
    "$APP_DIR/kelo-db" demo "$DEMO_DB" --years 2 --scale 1 --seed 1
fi
if [ ! -f "$APP_DIR/Databases.ini" ]; then
    cat > "$APP_DIR/Databases.ini" <<'INI'
; Database aliases: [ALIAS] Driver=SQLITE, Database=path (relative to this folder)
[DEMO]
Driver=SQLITE
Database=demo.db
INI
fi
echo "demo: database alias DEMO -> $DEMO_DB"
echo "demo: try: $APP_DIR/kelo-db query DEMO \"SELECT UPJANG_CODE, UPJANG_NAME FROM JA010MS ORDER BY 1\""

if [ ! -x "$APP_DIR/Kelo_S" ]; then
    echo "demo: the client program Kelo_S and its launcher are not part of this build yet;"
    echo "demo: nothing can be started. Run scripts/test.sh to run the test suite."
    exit 0
fi
