#!/usr/bin/env python3
"""Load on the report server's web pages, from 127.0.0.1.

Starts kelo-report-server --database DB (a SQLite file or an alias), sets a web password for
the employee with kelo-db set-password, then

1. times one manager's way to the daily report: the sign-in (the password hash included), the
   report page (the statements and the layout) and its first page picture, five times; then the
   daily report set, made and made again within the minute;
2. opens SESSIONS sessions at once, each signing in and opening the report, its first page
   picture and its PDF, every request on a connection of its own, and counts the answers that
   are not what they should be;
3. runs ab with SESSIONS at once on one session's first page picture and report page;
4. reports the server's memory (resident now and at its highest, from /proc).

usage: web_load.py KELO_DB KELO_REPORT_SERVER REPORTS_DIR DB [SESSIONS] [WORKERS]
"""

import http.client
import shutil
import statistics
import subprocess
import sys
import threading
import time
import urllib.parse

EMPLOYEE = "20000001"
PASSWORD = "load-test-pass-1"
REPORT = "M_Daily_Sale_REPORT.mrd"


class Client:
    def __init__(self, port):
        self.port = port
        self.cookie = None

    def ask(self, method, path, body=None):
        c = http.client.HTTPConnection("127.0.0.1", self.port, timeout=300)
        headers = {}
        if self.cookie:
            headers["Cookie"] = "kelo_session=" + self.cookie
        if body is not None:
            headers["Content-Type"] = "application/x-www-form-urlencoded"
        c.request(method, path, body=body, headers=headers)
        r = c.getresponse()
        data = r.read()
        c.close()
        return r.status, dict(r.getheaders()), data

    def sign_in(self):
        status, headers, _ = self.ask("POST", "/web/signin", urllib.parse.urlencode(
            {"emp": EMPLOYEE, "password": PASSWORD}))
        cookie = headers.get("Set-Cookie", "")
        if status != 303 or not cookie.startswith("kelo_session="):
            raise RuntimeError("sign-in answered %d" % status)
        self.cookie = cookie.split(";")[0].split("=", 1)[1]

    def report(self):
        status, _, body = self.ask("GET", "/web/report?report=" + urllib.parse.quote(REPORT))
        text = body.decode()
        if status != 200 or "/web/pdf?doc=" not in text:
            raise RuntimeError("report answered %d" % status)
        return text.split("/web/pdf?doc=")[1].split('"')[0]

    def page(self, doc):
        status, headers, body = self.ask("GET", "/web/page?doc=%s&n=1" % doc)
        if status != 200 or not body.startswith(b"\x89PNG"):
            raise RuntimeError("page answered %d" % status)

    def pdf(self, doc):
        status, _, body = self.ask("GET", "/web/pdf?doc=" + doc)
        if status != 200 or not body.startswith(b"%PDF-"):
            raise RuntimeError("pdf answered %d" % status)


def memory(pid):
    values = {}
    with open("/proc/%d/status" % pid) as f:
        for line in f:
            if line.startswith(("VmRSS", "VmHWM")):
                name, value = line.split(":")
                values[name] = int(value.split()[0]) // 1024
    return values


def main():
    if len(sys.argv) < 5:
        sys.exit(__doc__)
    kelo_db, program, reports, database = sys.argv[1:5]
    sessions = int(sys.argv[5]) if len(sys.argv) > 5 else 50
    workers = sys.argv[6] if len(sys.argv) > 6 else "2"
    subprocess.run([kelo_db, "set-password", database, EMPLOYEE], check=True,
                   input=(PASSWORD + "\n").encode(), stdout=subprocess.DEVNULL)
    server = subprocess.Popen([program, "--root", reports, "--port", "0", "--database", database,
                               "--workers", workers],
                              stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
    try:
        first = server.stdout.readline().decode().strip()
        port = int(first.rsplit(":", 1)[1])
        print("server: %s, %s workers, memory at start %s MB" % (
            first, workers, memory(server.pid)["VmRSS"]))

        # 1. Sign-in to the first page, one manager.
        runs = []
        for _ in range(5):
            c = Client(port)
            t0 = time.perf_counter()
            c.sign_in()
            t1 = time.perf_counter()
            doc = c.report()
            t2 = time.perf_counter()
            c.page(doc)
            t3 = time.perf_counter()
            runs.append((t1 - t0, t2 - t1, t3 - t2, t3 - t0))
        for name, i in (("sign-in", 0), ("report page", 1), ("first page picture", 2),
                        ("sign-in to first page", 3)):
            values = [r[i] * 1000 for r in runs]
            print("%-24s median %7.1f ms  max %7.1f ms" % (name, statistics.median(values),
                                                            max(values)))

        # The daily report set: made, then shown again within the minute.
        c = Client(port)
        c.sign_in()
        for what in ("daily report set, made", "daily report set, made within the minute"):
            t0 = time.perf_counter()
            status, _, body = c.ask("GET", "/web/daily")
            pages = body.decode().split('id="pagecount">')[1].split("<")[0] if status == 200 else "-"
            print("%-40s %7.1f ms (%s, %s)" % (what, (time.perf_counter() - t0) * 1000, status, pages))

        # 2. Sessions at once.
        errors, times = [], []
        lock = threading.Lock()
        start = threading.Barrier(sessions)

        def one():
            c = Client(port)
            try:
                start.wait()
                t0 = time.perf_counter()
                c.sign_in()
                doc = c.report()
                c.page(doc)
                c.pdf(doc)
                with lock:
                    times.append(time.perf_counter() - t0)
            except Exception as e:  # noqa: BLE001 - every failure is counted
                with lock:
                    errors.append(str(e))

        threads = [threading.Thread(target=one) for _ in range(sessions)]
        t0 = time.perf_counter()
        for t in threads:
            t.start()
        for t in threads:
            t.join()
        wall = time.perf_counter() - t0
        m = memory(server.pid)
        print("%d sessions at once (sign-in, report, page, PDF): %d answered whole, %d errors, "
              "%.1f s in all; per session median %.1f s, slowest %.1f s" % (
                  sessions, len(times), len(errors), wall,
                  statistics.median(times) if times else 0, max(times) if times else 0))
        for e in sorted(set(errors))[:5]:
            print("  error: " + e)
        # 3. ab: 50 at once on one session's first page picture and on the report page.
        if shutil.which("ab"):
            c = Client(port)
            c.sign_in()
            doc = c.report()
            for what, path in (("page picture", "/web/page?doc=%s&n=1" % doc),
                               ("report page (statements and layout)",
                                "/web/report?report=" + urllib.parse.quote(REPORT))):
                out = subprocess.run(["ab", "-n", "1000", "-c", str(sessions), "-C",
                                      "kelo_session=" + c.cookie,
                                      "http://127.0.0.1:%d%s" % (port, path)],
                                     capture_output=True, text=True).stdout
                figures = {line.split(":")[0].strip(): line.split(":", 1)[1].strip()
                           for line in out.splitlines() if ":" in line}
                print("ab -n 1000 -c %d, %s: %s failed, non-2xx %s, %s, 99%% within %s ms" % (
                    sessions, what, figures.get("Failed requests", "?"),
                    figures.get("Non-2xx responses", "0"),
                    figures.get("Requests per second", "?"),
                    next((l.split()[1] for l in out.splitlines()
                          if l.strip().startswith("99%")), "?")))
        m = memory(server.pid)
        print("server memory: %d MB resident, %d MB at most" % (m["VmRSS"], m["VmHWM"]))
        return 1 if errors else 0
    finally:
        server.kill()
        server.wait()


if __name__ == "__main__":
    sys.exit(main())
