#!/usr/bin/env bash
# Installs what the build needs, builds the programs and starts them on the demo database.
# Usage: scripts/demo.sh [--headless] [--postgres]
#   --headless  no display needed: runs the launcher and the client under xvfb-run, signs in
#               as the demo manager and writes a screenshot of the client's main window.
#   --postgres  the demo database on PostgreSQL under the alias PGDEMO: a local cluster in
#               build/pgdemo (kept between runs, stopped when the demo ends), or the server of
#               KELO_PG_HOST, KELO_PG_PORT, KELO_PG_USER, KELO_PG_PASSWORD when they are set
#               (a user that may create roles and databases).
# Every form starts the report server of the viewer screens (kelo-report-server, the
# repository's reports/) on a free port of 127.0.0.1, points [ReportServer] of Kelo_S.ini at
# it, and stops it when the demo ends. The same server serves the reports as web pages at
# /web/ on the demo database; the demo employees' web password is kelo-demo.
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR=build
HEADLESS=0
POSTGRES=0
for arg in "$@"; do
    case "$arg" in
        --headless) HEADLESS=1 ;;
        --postgres) POSTGRES=1 ;;
        *) echo "usage: scripts/demo.sh [--headless] [--postgres]" >&2; exit 2 ;;
    esac
done

# What the demo starts it stops when it ends.
REPORT_SERVER_PID=
PG_STARTED=0
cleanup() {
    if [ -n "$REPORT_SERVER_PID" ]; then
        kill "$REPORT_SERVER_PID" 2>/dev/null || true
        wait "$REPORT_SERVER_PID" 2>/dev/null || true
    fi
    if [ "$PG_STARTED" = 1 ]; then kelo_pg_stop --keep; fi
}
trap cleanup EXIT

bash scripts/install-deps.sh
cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
# The programs only: the tests and benchmarks are built by scripts/test.sh.
cmake --build "$BUILD_DIR" -j2 --target programs

APP_DIR="$(cd "$BUILD_DIR/app" && pwd)"
DEMO_DB="$APP_DIR/demo.db"
if [ "$POSTGRES" = 0 ] && [ ! -f "$DEMO_DB" ]; then
    echo "demo: generating the demo database (two years of data) ..."
    "$APP_DIR/kelo-db" demo "$DEMO_DB" --years 2 --scale 1 --seed 1
fi
# Settings files next to the executables (kept when they exist).
[ -f "$APP_DIR/Databases.ini" ] || cat > "$APP_DIR/Databases.ini" <<'INI'
; Database aliases: [ALIAS] Driver=SQLITE, Database=path (relative to this folder), User=database user
;                   [ALIAS] Driver=POSTGRES, Host, Port, Database (on the server), User
[DEMO]
Driver=SQLITE
Database=demo.db
User=KLUSER

INI
[ -f "$APP_DIR/Main.ini" ] || printf '[MAIN]\nPROGRAM_COUNT=10\n' > "$APP_DIR/Main.ini"
[ -f "$APP_DIR/Kelo_S.ini" ] || printf '[RF15693]\nPORT=0\n\n[Role]\nType=1\nCode=1000\nName=켈로리조트\n' > "$APP_DIR/Kelo_S.ini"
[ -f "$APP_DIR/SBUpdate.ini" ] || printf '[PROGRAM]\nPASS=%s\n' "$("$APP_DIR/kelo-db" encode-password KLUSER 2>/dev/null)" > "$APP_DIR/SBUpdate.ini"

ALIAS=DEMO
WHERE="$DEMO_DB"
if [ "$POSTGRES" = 1 ]; then
    source scripts/pg-cluster.sh
    if [ -z "${KELO_PG_HOST:-}" ]; then
        kelo_pg_start "$(pwd)/$BUILD_DIR/pgdemo" --keep
        PG_STARTED=1
    fi
    # The client's database user, its password the one SBUpdate.ini holds (KLUSER), and
    # the demo database owned by it.
    PGPASSWORD="$KELO_PG_PASSWORD" psql -q -h "$KELO_PG_HOST" -p "$KELO_PG_PORT" \
        -U "$KELO_PG_USER" -d postgres -v ON_ERROR_STOP=1 <<'SQL'
SELECT format('CREATE ROLE %I LOGIN PASSWORD %L', 'KLUSER', 'KLUSER')
WHERE NOT EXISTS (SELECT 1 FROM pg_roles WHERE rolname = 'KLUSER') \gexec
SELECT format('CREATE DATABASE kelo_demo OWNER %I', 'KLUSER')
WHERE NOT EXISTS (SELECT 1 FROM pg_database WHERE datname = 'kelo_demo') \gexec
SQL
    # The alias follows the server's port, which a local cluster picks anew each run.
    INI="$APP_DIR/Databases.ini"
    sed -i '/^\[PGDEMO\]/,/^$/d' "$INI"
    printf '[PGDEMO]\nDriver=POSTGRES\nHost=%s\nPort=%s\nDatabase=kelo_demo\nUser=KLUSER\n\n' \
        "$KELO_PG_HOST" "$KELO_PG_PORT" >> "$INI"
    if ! "$APP_DIR/kelo-db" query PGDEMO "SELECT COUNT(*) AS N FROM KF060MS" > /dev/null 2>&1; then
        echo "demo: loading the demo data into PostgreSQL (two years of data, about 25 s) ..."
        "$APP_DIR/kelo-db" demo PGDEMO --years 2 --scale 1 --seed 1 --force
    fi
    ALIAS=PGDEMO
    WHERE="PostgreSQL $KELO_PG_HOST:$KELO_PG_PORT, database kelo_demo"
fi
echo "demo: database alias $ALIAS -> $WHERE"

# A demo database of an earlier release is brought up to this one's schema (the web pages
# need it), and the demo employees get their web password.
"$APP_DIR/kelo-db" upgrade "$ALIAS" > /dev/null
for emp in 20000001 20000002 20000003; do
    "$APP_DIR/kelo-db" set-password "$ALIAS" "$emp" <<< 'kelo-demo' > /dev/null
done

# The report server; its first line names the address it listens on.
REPORT_LOG="$APP_DIR/report-server.log"
exec 3< <(exec "$APP_DIR/kelo-report-server" --root "$(pwd)/reports" --bind 127.0.0.1 --port 0 \
    --database "$ALIAS" --app-dir "$APP_DIR" 2>"$REPORT_LOG")
REPORT_SERVER_PID=$!
REPORT_BASE=
if read -r -t 10 line <&3 && [[ "$line" == "listening on http://"* ]]; then
    REPORT_BASE=${line#listening on }
fi
if [ -z "$REPORT_BASE" ]; then
    cat "$REPORT_LOG" >&2
    echo "demo: the report server did not start" >&2
    exit 1
fi
# All three report servers are this one; the local reports are the repository's
# reports/local. The other settings of the file stay as they are.
INI="$APP_DIR/Kelo_S.ini"
awk '/^\[/ { skip = ($0 == "[ReportServer]") }
     skip { next }
     /^[[:space:]]*$/ { blank++; next }
     { while (blank > 0) { print ""; blank-- } print }' "$INI" > "$INI.new"
printf '\n[ReportServer]\nMain=%s\nSecond=%s\nThird=%s\nLocalFolder=%s\n' \
    "$REPORT_BASE" "$REPORT_BASE" "$REPORT_BASE" "$(pwd)/reports/local" >> "$INI.new"
mv "$INI.new" "$INI"
echo "demo: report server $REPORT_BASE serving $(pwd)/reports (log: $REPORT_LOG)"
echo "demo: sign in with 20000001 (all programs), 20000002 (inquiries) or 20000003 (input)"
echo "demo: the reports in a browser: $REPORT_BASE/web/ (the same employees, password kelo-demo)"

if [ "$HEADLESS" = 1 ]; then
    SHOT="$APP_DIR/demo-main-window.png"
    rm -f "$SHOT"
    # Messages go to standard error instead of boxes that nobody could close.
    LOG="$APP_DIR/demo-headless.log"
    status=0
    KELO_DIALOGS=stderr KELO_SCREENSHOT="$SHOT" timeout 120 xvfb-run -a -s "-screen 0 1280x800x24" \
        "$APP_DIR/Kelo" --alias "$ALIAS" --emp 20000001 --sign-in --exit-after-client \
        >"$LOG" 2>&1 || status=$?
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
"$APP_DIR/Kelo" --alias "$ALIAS" --emp 20000001
