#!/usr/bin/env bash
# Builds the Debian packages, installs them as an administrator does (apt-get install ./….deb,
# which also resolves their declared dependencies), runs the installed programs and purges
# the packages again (also when a step fails).
# Usage (as root): scripts/package-test.sh [build-dir]
#   KELO_PACKAGE_TEST_KEEP=DIR keeps the picture of the client's window and the PDF there.
#   The build folder is configured and built first (a no-op after scripts/test.sh). The
#   machine must not have the packages installed, nor a /etc/kelo/Databases.ini of its own.
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR=${1:-build}
PACKAGES=(kelo-client kelo-tools kelo-report-server)

say() { echo "package-test: $*"; }
fail() { echo "package-test: FAILED: $*" >&2; exit 1; }

if [ "$(id -u)" != 0 ]; then
    echo "package-test: run it as root: it installs and removes packages" >&2
    exit 2
fi
for p in "${PACKAGES[@]}"; do
    if dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'ok installed'; then
        echo "package-test: $p is installed on this machine already; purge it first" >&2
        exit 2
    fi
done
if [ -e /etc/kelo/Databases.ini ]; then
    echo "package-test: /etc/kelo/Databases.ini exists; this test writes its own there" >&2
    exit 2
fi

WORK=$(mktemp -d /tmp/kelo-package-test.XXXXXX)
chmod 755 "$WORK" # the installer's user (_apt) and the service's user (kelo) look in here
SERVER_PID=
XVFB_LOG="$WORK/xvfb.log"
cleanup() {
    local status=$?
    if [ -n "$SERVER_PID" ]; then
        kill "$SERVER_PID" 2>/dev/null || true
        wait "$SERVER_PID" 2>/dev/null || true
    fi
    rm -f /etc/kelo/Databases.ini
    local left=()
    for p in "${PACKAGES[@]}"; do
        dpkg-query -W "$p" > /dev/null 2>&1 && left+=("$p")
    done
    if [ "${#left[@]}" -gt 0 ]; then
        DEBIAN_FRONTEND=noninteractive apt-get purge -y -q "${left[@]}" > "$WORK/purge.log" 2>&1 ||
            cat "$WORK/purge.log" >&2
    fi
    rmdir /etc/kelo 2>/dev/null || true
    if [ -n "${KELO_PACKAGE_TEST_KEEP:-}" ]; then
        mkdir -p "$KELO_PACKAGE_TEST_KEEP"
        cp "$WORK"/*.png "$WORK"/*.pdf "$KELO_PACKAGE_TEST_KEEP"/ 2>/dev/null || true
    fi
    rm -rf "$WORK"
    [ "$status" = 0 ] && say "passed" || say "failed ($status)"
    exit "$status"
}
trap cleanup EXIT

# The programs run as from a login shell without a desktop: no runtime folder, a home of
# their own (no settings of the machine's users).
export HOME="$WORK/home"
mkdir -p "$HOME"
unset XDG_RUNTIME_DIR XDG_CONFIG_HOME KELO_APP_DIR QT_QPA_PLATFORM DISPLAY
ERRORS="$WORK/stderr"
mkdir -p "$ERRORS"
# Runs a command with its standard error kept (and shown when it fails).
run() {
    local name=$1
    shift
    if ! "$@" 2> "$ERRORS/$name"; then
        cat "$ERRORS/$name" >&2
        fail "$name: $*"
    fi
}

say "building the packages"
cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo > /dev/null
cmake --build "$BUILD_DIR" -j2
rm -rf "$BUILD_DIR/packages"
(cd "$BUILD_DIR" && cpack -G DEB > "$WORK/cpack.log") || { cat "$WORK/cpack.log" >&2; fail cpack; }
DEBS=()
for p in "${PACKAGES[@]}"; do
    deb=$(ls "$BUILD_DIR"/packages/"${p}"_*.deb)
    cp "$deb" "$WORK/"
    DEBS+=("$WORK/$(basename "$deb")")
done
for deb in "${DEBS[@]}"; do
    say "$(dpkg-deb -f "$deb" Package Version Depends | tr '\n' ' ')"
done

say "installing ${PACKAGES[*]}"
DEBIAN_FRONTEND=noninteractive apt-get install -y -q "${DEBS[@]}" > "$WORK/install.log" 2>&1 ||
    { cat "$WORK/install.log" >&2; fail "apt-get install"; }

# What the packages put on the machine.
for program in Kelo Kelo_S kelo-db kelo-reports kelo-report-server; do
    [ "$(command -v "$program")" = "/usr/bin/$program" ] || fail "$program is not /usr/bin/$program"
    run "help-$program" "$program" --help > /dev/null
    dpkg -S "/usr/share/man/man1/$program.1.gz" > /dev/null || fail "no manual page of $program"
done
for file in /usr/share/applications/kelo.desktop /usr/share/icons/hicolor/48x48/apps/kelo.png \
    /usr/share/kelo/MainImg.kimg /etc/kelo/Kelo_S.ini /etc/default/kelo-morning-reports \
    /usr/lib/kelo/kelo-morning-reports /usr/share/kelo/reports/객실판매총괄.mrd; do
    [ -e "$file" ] || fail "$file is missing"
done
run desktop-entry desktop-file-validate /usr/share/applications/kelo.desktop
getent passwd kelo > /dev/null || fail "the user kelo was not made"
# The report server is enabled (started at boot); the morning pack's timer is not.
[ -L /etc/systemd/system/multi-user.target.wants/kelo-report-server.service ] ||
    fail "kelo-report-server.service is not enabled"
[ ! -e /etc/systemd/system/timers.target.wants/kelo-morning-reports.timer ] ||
    fail "the morning report timer is enabled"

say "a demo database, and its alias in /etc/kelo"
YESTERDAY=$(date -d yesterday +%Y%m%d)
mkdir -p "$WORK/data"
run demo kelo-db demo "$WORK/data/demo.db" --days 3 --end "$YESTERDAY"
printf '[DEMO]\nDriver=SQLITE\nDatabase=%s\nUser=KLUSER\n' "$WORK/data/demo.db" \
    > /etc/kelo/Databases.ini
# The user's own settings come before the machine's.
mkdir -p "$HOME/.config/kelo"
printf '[DEMO]\nDriver=SQLITE\nDatabase=mine.db\n' > "$HOME/.config/kelo/Databases.ini"
if kelo-db query DEMO "SELECT 1 AS N FROM DUAL" 2> "$ERRORS/user-settings"; then
    fail "the user's Databases.ini was not read first"
fi
grep -q "$HOME/.config/kelo/mine.db does not exist" "$ERRORS/user-settings" ||
    { cat "$ERRORS/user-settings" >&2; fail "the user's Databases.ini was not read first"; }
rm -r "$HOME/.config/kelo"
EMPLOYEES=$(kelo-db query DEMO "SELECT COUNT(*) AS N FROM QA010MS" 2> "$ERRORS/query" | tail -n 1)
[ "$EMPLOYEES" -gt 0 ] || fail "no employees in the demo database"

say "kelo-reports --pdf"
run reports kelo-reports DEMO --date "$YESTERDAY" --pdf "$WORK/set.pdf"
[ "$(head -c 5 "$WORK/set.pdf")" = "%PDF-" ] || fail "kelo-reports wrote no PDF"

say "a backup and its restore"
run backup kelo-db backup DEMO "$WORK/backup.db"
run restore kelo-db restore "$WORK/restored.db" "$WORK/backup.db"
[ "$(kelo-db query "$WORK/restored.db" "SELECT COUNT(*) AS N FROM SA030MS")" = \
  "$(kelo-db query DEMO "SELECT COUNT(*) AS N FROM SA030MS")" ] || fail "the restored copy differs"

say "the report server as its service starts it (on a free port, as an unprivileged user)"
UNIT=/usr/lib/systemd/system/kelo-report-server.service
SERVER_COMMAND=$(sed -n 's/^ExecStart=//p' "$UNIT")
[ -n "$SERVER_COMMAND" ] || fail "$UNIT has no ExecStart"
# shellcheck disable=SC2086 # the unit's command line, split as systemd splits it
exec 3< <(exec runuser -u nobody -- ${SERVER_COMMAND/--port 8080/--port 0} 2> "$ERRORS/server")
SERVER_PID=$!
read -r -t 10 line <&3 || fail "the report server did not start: $(cat "$ERRORS/server")"
BASE=${line#listening on }
python3 - "$BASE" <<'PY' || fail "the report server did not answer"
import sys, urllib.parse, urllib.request
url = sys.argv[1] + urllib.parse.quote("/REPORT/경영정보관리/객실판매총괄.mrd")
with urllib.request.urlopen(url, timeout=10) as reply:
    body = reply.read()
    assert reply.status == 200 and body.startswith(b"<?xml"), (reply.status, body[:40])
PY
kill "$SERVER_PID"
wait "$SERVER_PID" 2>/dev/null || true
SERVER_PID=

say "the web pages of the installed report server: sign-in, the daily report, its PDF"
run set-password kelo-db set-password DEMO 20000001 <<< 'web-pass-123'
exec 4< <(exec kelo-report-server --port 0 --database DEMO 2> "$ERRORS/web-server")
WEB_PID=$!
read -r -t 20 line <&4 || fail "the web pages did not start: $(cat "$ERRORS/web-server")"
python3 - "${line#listening on }" <<'PY' || fail "the web pages did not serve the daily report"
import http.cookiejar, sys, urllib.parse, urllib.request
base = sys.argv[1]
opener = urllib.request.build_opener(
    urllib.request.HTTPCookieProcessor(http.cookiejar.CookieJar()))
form = urllib.parse.urlencode({"emp": "20000001", "password": "web-pass-123"}).encode()
with opener.open(base + "/web/signin", data=form, timeout=60) as reply:
    assert reply.url.endswith("/web/reports"), reply.url
with opener.open(base + "/web/report?report=M_Daily_Sale_REPORT.mrd", timeout=60) as reply:
    page = reply.read().decode()
doc = page.split("/web/pdf?doc=")[1].split('"')[0]
with opener.open(base + "/web/pdf?doc=" + doc, timeout=60) as reply:
    assert reply.read(5) == b"%PDF-"
PY
kill "$WEB_PID"
wait "$WEB_PID" 2>/dev/null || true

SHOT="$WORK/main-window.png"
KELO_DIALOGS=stderr KELO_SCREENSHOT="$SHOT" timeout 120 \
    xvfb-run -a -s "-screen 0 1280x800x24" Kelo --alias DEMO --emp 20000001 --sign-in \
    --exit-after-client > "$WORK/client.log" 2> "$ERRORS/client" ||
    { cat "$ERRORS/client" >&2; fail "the client did not start"; }
python3 - "$SHOT" <<'PY' || fail "no picture of the main window"
import struct, sys
data = open(sys.argv[1], "rb").read(24)
assert data[:8] == b"\x89PNG\r\n\x1a\n", "not a PNG"
assert struct.unpack(">II", data[16:24]) == (1280, 800), struct.unpack(">II", data[16:24])
PY

say "the morning report pack as its service runs it (as kelo, keeping 2)"
SERVICE=/usr/lib/systemd/system/kelo-morning-reports.service
PACK_COMMAND=$(sed -n 's/^ExecStart=//p' "$SERVICE")
[ "$(sed -n 's/^User=//p' "$SERVICE")" = kelo ] || fail "the pack does not run as kelo"
# The shipped settings parse; the test's own replace them.
(set -a && . /etc/default/kelo-morning-reports) || fail "/etc/default/kelo-morning-reports"
chown -R kelo: "$WORK/data"
PACK="$WORK/pack"
mkdir -p "$PACK"
for day in 20200101 20200102 20200103; do echo old > "$PACK/daily-reports-$day.pdf"; done
chown -R kelo: "$PACK"
# shellcheck disable=SC2086
run pack runuser -u kelo -- env KELO_MORNING_DATABASE=DEMO KELO_MORNING_FOLDER="$PACK" \
    KELO_MORNING_KEEP=2 KELO_MORNING_REPORTS=1,8 $PACK_COMMAND
[ "$(ls "$PACK")" = "$(printf 'daily-reports-20200103.pdf\ndaily-reports-%s.pdf' "$YESTERDAY")" ] ||
    fail "the pack folder holds $(ls "$PACK" | tr '\n' ' ')"
[ "$(head -c 5 "$PACK/daily-reports-$YESTERDAY.pdf")" = "%PDF-" ] || fail "the pack is no PDF"

# No program spoke of Qt's runtime folder.
if grep -l XDG_RUNTIME_DIR "$ERRORS"/*; then
    fail "a program warned about XDG_RUNTIME_DIR"
fi

say "removing the packages"
rm -f /etc/kelo/Databases.ini
DEBIAN_FRONTEND=noninteractive apt-get purge -y -q "${PACKAGES[@]}" > "$WORK/purge.log" 2>&1 ||
    { cat "$WORK/purge.log" >&2; fail "apt-get purge"; }
for gone in /usr/bin/Kelo_S /usr/bin/kelo-db /usr/bin/kelo-report-server /etc/kelo \
    /etc/default/kelo-morning-reports /usr/share/kelo \
    /etc/systemd/system/multi-user.target.wants/kelo-report-server.service; do
    [ ! -e "$gone" ] || fail "$gone is left after the purge"
done
