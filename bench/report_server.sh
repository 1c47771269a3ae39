#!/usr/bin/env bash
# The report server under load and under oversized requests, measured with programs it did not
# write: Apache's ab (-n 5000 -c 50, with and without keep-alive) fetching the largest shipped
# definition, then curl sending a 200 MB body and a 100 MB header field streamed over a socket. Prints ab's figures,
# whether every answer was right, and the server's peak memory (VmHWM) after each step.
# Usage: bench/report_server.sh [build-dir]   (needs ab from apache2-utils and curl)
set -euo pipefail
BUILD="$(cd "${1:-build}" && pwd)"
SERVER="$BUILD/app/kelo-report-server"
ROOT="$(cd "$(dirname "$0")/../reports" && pwd)"
WORK="$(mktemp -d)"
trap 'kill "$PID" 2>/dev/null || true; rm -rf "$WORK"' EXIT

"$SERVER" --root "$ROOT" --port 0 >"$WORK/out" 2>"$WORK/log" &
PID=$!
for _ in $(seq 100); do grep -q listening "$WORK/out" && break; sleep 0.05; done
BASE="$(sed -n 's/^listening on //p' "$WORK/out")"
peak() { sed -n 's/^VmHWM:[[:space:]]*//p' "/proc/$PID/status"; }
echo "server started, peak memory $(peak)"

NAME="$(cd "$ROOT" && ls -S -- *.mrd | head -1)"
SIZE="$(stat -c %s "$ROOT/$NAME")"
URL="$BASE/REPORT/$(python3 -c 'import sys, urllib.parse; print(urllib.parse.quote(sys.argv[1]))' "경영정보관리/$NAME")"
echo "definition: $NAME ($SIZE bytes)"

ok=1
for mode in "" "-k"; do
    ab $mode -n 5000 -c 50 -s 30 "$URL" >"$WORK/ab" 2>&1 || { cat "$WORK/ab"; ok=0; }
    echo "ab ${mode:-(no keep-alive)} -n 5000 -c 50:"
    grep -E '^(Document Length|Complete requests|Failed requests|Non-2xx|Keep-Alive requests|Requests per second|Time per request|Transfer rate)' "$WORK/ab" | sed 's/^/  /'
    grep -Eq "^Complete requests: +5000$" "$WORK/ab" && grep -Eq "^Failed requests: +0$" "$WORK/ab" &&
        grep -Eq "^Document Length: +$SIZE bytes$" "$WORK/ab" && ! grep -q Non-2xx "$WORK/ab" || ok=0
    echo "  peak memory of the server: $(peak)"
done

truncate -s 200M "$WORK/body"
status="$(curl -s -o /dev/null -w '%{http_code}' -X POST -T "$WORK/body" "$URL" || true)"
echo "200 MB body: answered $status (413 expected), peak memory $(peak)"
[ "$status" = 413 ] || ok=0
# curl holds a header field in memory and gives up long before 100 MB: stream this one.
status="$(python3 - "$BASE" <<'PY'
import socket, sys, urllib.parse
u = urllib.parse.urlsplit(sys.argv[1])
s = socket.create_connection((u.hostname, u.port))
s.sendall(b"GET /REPORT/x.mrd HTTP/1.1\r\nHost: x\r\nX-Padding: ")
piece = b"a" * (1 << 20)
try:
    for _ in range(100):
        s.sendall(piece)
except OSError:
    pass
print(s.recv(64).split(b" ")[1].decode())
PY
)" || true
echo "100 MB header field: answered $status (431 expected), peak memory $(peak)"
[ "$status" = 431 ] || ok=0

requests=$(grep -c " 200 $SIZE\$" "$WORK/log" || true)
echo "log: $requests answers of 200 with $SIZE bytes (10000 expected)"
[ "$requests" = 10000 ] || ok=0
[ "$ok" = 1 ] && echo "every answer correct" || { echo "SOME ANSWERS WRONG"; exit 1; }
