#!/usr/bin/env bash
# Installs what the build needs, builds the programs and starts them on the demo database.
# Usage: scripts/demo.sh [--headless]
#   --headless  no display needed: runs the launcher and the client under xvfb-run, signs in
#               as the demo manager and writes a screenshot of the client's main window.
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR=build
HEADLESS=0
[ "${1:-}" = "--headless" ] && HEADLESS=1

bash scripts/install-deps.sh
cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$BUILD_DIR" -j2

APP_DIR="$(cd "$BUILD_DIR/app" && pwd)"
DEMO_DB="$APP_DIR/demo.db"
if [ ! -f "$DEMO_DB" ]; then
    echo "demo: generating the demo database (two years of data) ..."
    "$APP_DIR/kelo-db" demo "$DEMO_DB" --years 2 --scale 1 --seed 1
fi
# Settings files next to the executables (kept when they exist).
[ -f "$APP_DIR/Databases.ini" ] || cat > "$APP_DIR/Databases.ini" <<'INI'
; Database aliases: [ALIAS] Driver=SQLITE, Database=path (relative to this folder), User=database user
[DEMO]
Driver=SQLITE
Database=demo.db
User=KLUSER
INI
[ -f "$APP_DIR/Main.ini" ] || printf '[MAIN]\nPROGRAM_COUNT=10\n' > "$APP_DIR/Main.ini"
[ -f "$APP_DIR/Kelo_S.ini" ] || printf '[RF15693]\nPORT=0\n\n[Role]\nType=1\nCode=1000\nName=켈로리조트\n' > "$APP_DIR/Kelo_S.ini"
[ -f "$APP_DIR/SBUpdate.ini" ] || printf '[PROGRAM]\nPASS=%s\n' "$("$APP_DIR/kelo-db" encode-password KLUSER 2>/dev/null)" > "$APP_DIR/SBUpdate.ini"
echo "demo: database alias DEMO -> $DEMO_DB"
echo "demo: sign in with 20000001 (all programs), 20000002 (inquiries) or 20000003 (input)"

if [ "$HEADLESS" = 1 ]; then
    SHOT="$APP_DIR/demo-main-window.png"
    rm -f "$SHOT"
    # Messages go to standard error instead of boxes that nobody could close.
    LOG="$APP_DIR/demo-headless.log"
    status=0
    KELO_DIALOGS=stderr KELO_SCREENSHOT="$SHOT" timeout 120 xvfb-run -a -s "-screen 0 1280x800x24" \
        "$APP_DIR/Kelo" --emp 20000001 --sign-in --exit-after-client >"$LOG" 2>&1 || status=$?
    if [ -f "$SHOT" ]; then
        echo "demo: screenshot of the client's main window: $SHOT"
        exit 0
    fi
    grep -v -e '^QStandardPaths' -e '^qt\.qpa' "$LOG" >&2 || true
    [ "$status" = 124 ] && echo "demo: no screenshot after 120 s" >&2
    echo "demo: the client did not start; the messages are above (and in $LOG)" >&2
    exit 1
fi

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "demo: this machine has no display. Run 'scripts/demo.sh --headless' for a screenshot,"
    echo "demo: or start $APP_DIR/Kelo on a desktop."
    exit 0
fi
exec "$APP_DIR/Kelo" --emp 20000001
