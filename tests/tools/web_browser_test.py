#!/usr/bin/env python3
"""The report server's web pages in a real browser.

Headless Chromium, driven through its WebDriver (chromedriver, plain HTTP and JSON), signs in
to kelo-report-server on a small demo database, opens the daily sales report from the list,
asks it for another day through the prompt, downloads the PDF and checks it with qpdf, at a
phone's width and at a desktop's. With KELO_DOCS_SHOTS=DIR the screenshots are kept there.

usage: web_browser_test.py KELO_DB KELO_REPORT_SERVER REPORTS_DIR
"""

import base64
import datetime
import json
import os
import shutil
import socket
import subprocess
import sys
import tempfile
import time
import urllib.error
import urllib.request

EMPLOYEE = "20000001"
PASSWORD = "browser-test-7"
DAILY_REPORT = "Daily Sales Report"
ELEMENT = "element-6066-11e4-a52e-4f735466cecf"


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def fail(message):
    print("FAILED: " + message, file=sys.stderr)
    sys.exit(1)


def check(condition, message):
    if not condition:
        fail(message)


class DriverError(Exception):
    """A WebDriver command the browser refused (a stale element while a page loads)."""


class Driver:
    """The few WebDriver commands the test needs."""

    def __init__(self, port):
        self.base = "http://127.0.0.1:%d" % port
        self.session = None

    def call(self, method, path, body=None):
        data = None if body is None else json.dumps(body).encode()
        request = urllib.request.Request(self.base + path, data=data, method=method,
                                         headers={"Content-Type": "application/json"})
        try:
            with urllib.request.urlopen(request, timeout=60) as answer:
                return json.loads(answer.read() or b"{}").get("value")
        except urllib.error.HTTPError as e:
            raise DriverError("%s %s: %s" % (method, path,
                                             e.read()[:400].decode(errors="replace")))

    def start(self, downloads, width, height):
        options = {
            "binary": shutil.which("chromium") or "/usr/bin/chromium",
            "args": ["--headless=new", "--no-sandbox", "--disable-gpu",
                     "--disable-dev-shm-usage", "--window-size=%d,%d" % (width, height),
                     "--lang=ko-KR"],
            "prefs": {"download.default_directory": downloads,
                      "download.prompt_for_download": False},
        }
        value = self.call("POST", "/session", {"capabilities": {"alwaysMatch": {
            "browserName": "chrome", "goog:chromeOptions": options}}})
        self.session = value["sessionId"]
        self.cdp("Page.setDownloadBehavior", {"behavior": "allow", "downloadPath": downloads})

    def cdp(self, command, params):
        return self.call("POST", "/session/%s/goog/cdp/execute" % self.session,
                         {"cmd": command, "params": params})

    def s(self, path):
        return "/session/%s%s" % (self.session, path)

    def go(self, url):
        self.call("POST", self.s("/url"), {"url": url})

    def url(self):
        return self.call("GET", self.s("/url"))

    def find(self, css):
        return self.call("POST", self.s("/element"), {"using": "css selector", "value": css})[ELEMENT]

    def find_all(self, css):
        return [e[ELEMENT] for e in
                self.call("POST", self.s("/elements"), {"using": "css selector", "value": css})]

    def link(self, text):
        return self.call("POST", self.s("/element"), {"using": "link text", "value": text})[ELEMENT]

    def click(self, element):
        self.call("POST", self.s("/element/%s/click" % element), {})

    def type(self, element, text):
        self.call("POST", self.s("/element/%s/value" % element), {"text": text})

    def text(self, element):
        return self.call("GET", self.s("/element/%s/text" % element))

    def prop(self, element, name):
        return self.call("GET", self.s("/element/%s/property/%s" % (element, name)))

    def run(self, script, *args):
        return self.call("POST", self.s("/execute/sync"), {"script": script, "args": list(args)})

    def resize(self, width, height):
        self.call("POST", self.s("/window/rect"), {"width": width, "height": height})

    def screenshot(self, path):
        with open(path, "wb") as out:
            out.write(base64.b64decode(self.call("GET", self.s("/screenshot"))))

    def quit(self):
        if self.session:
            self.call("DELETE", "/session/%s" % self.session)


def wait_for(what, condition, seconds=30):
    """Polls the browser until condition holds; a page still loading (its elements gone
    stale, none found yet) is polled again."""
    end = time.time() + seconds
    while time.time() < end:
        try:
            value = condition()
        except DriverError:
            value = None
        if value:
            return value
        time.sleep(0.2)
    fail("waited %d s for %s" % (seconds, what))


def main():
    if len(sys.argv) != 4:
        fail(__doc__)
    kelo_db, server_program, reports = sys.argv[1:]
    for program in ("chromium", "chromedriver", "qpdf"):
        check(shutil.which(program), program + " is not installed (scripts/install-deps.sh)")
    work = tempfile.mkdtemp(prefix="kelo-web-browser-")
    shots = os.environ.get("KELO_DOCS_SHOTS") or work
    processes = []
    driver = None
    try:
        database = os.path.join(work, "demo.db")
        end = (datetime.date.today() - datetime.timedelta(days=1)).strftime("%Y%m%d")
        subprocess.run([kelo_db, "demo", database, "--days", "3", "--end", end], check=True,
                       stdout=subprocess.DEVNULL)
        subprocess.run([kelo_db, "set-password", database, EMPLOYEE], check=True,
                       input=(PASSWORD + "\n").encode(), stdout=subprocess.DEVNULL)

        server = subprocess.Popen([server_program, "--root", reports, "--port", "0",
                                   "--database", database],
                                  stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
        processes.append(server)
        first = server.stdout.readline().decode().strip()
        check(first.startswith("listening on http://127.0.0.1:"), "the server: " + first)
        base = first[len("listening on "):]

        driver_port = free_port()
        processes.append(subprocess.Popen(["chromedriver", "--port=%d" % driver_port],
                                          stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL))
        wait_for("chromedriver", lambda: socket.socket().connect_ex(
            ("127.0.0.1", driver_port)) == 0, 20)

        downloads = os.path.join(work, "downloads")
        os.makedirs(downloads)
        driver = Driver(driver_port)
        driver.start(downloads, 390, 844)

        # Without a session every page leads to the sign-in.
        driver.go(base + "/web/reports")
        check(driver.url().endswith("/web/signin"), "no session, yet " + driver.url())

        # A wrong password is refused in words, and nothing is opened.
        driver.type(driver.find("#emp"), EMPLOYEE)
        driver.type(driver.find("#password"), "not-the-password")
        driver.click(driver.find("#signin"))
        wait_for("the refusal of a wrong password",
                 lambda: "맞지 않습니다" in driver.text(driver.find("#message")))

        driver.screenshot(os.path.join(shots, "web-signin-phone.png"))
        check(driver.run("return document.activeElement.id") == "password",
              "after a refusal the password is asked again")
        driver.type(driver.find("#password"), PASSWORD)
        driver.click(driver.find("#signin"))
        wait_for("the list", lambda: driver.url().endswith("/web/reports"))
        wait_for("who is signed in", lambda: EMPLOYEE in driver.text(driver.find("header .who")))
        check(driver.run("return document.cookie") == "", "the session cookie is readable by script")
        driver.screenshot(os.path.join(shots, "web-list-phone.png"))

        # The daily report set is one page from the sign-in.
        driver.click(driver.find("#daily"))
        wait_for("the daily set", lambda: driver.find_all("figure.page"))
        check(int(driver.text(driver.find("#pagecount")).rstrip("쪽")) > 10, "the set's pages")
        driver.screenshot(os.path.join(shots, "web-daily-phone.png"))
        driver.click(driver.find("header a.home"))
        wait_for("the list again", lambda: driver.url().endswith("/web/reports"))
        daily_report = wait_for("the daily report's link", lambda: driver.link(DAILY_REPORT))

        # The daily report is one page from the sign-in: its link opens it with its defaults.
        driver.click(daily_report)
        wait_for("the report's pages", lambda: driver.find_all("figure.page"))
        check(driver.text(driver.find("h1")) == DAILY_REPORT, "the report's title")
        yesterday = (datetime.date.today() - datetime.timedelta(days=1)).isoformat()
        date_input = driver.find("#p_ASALE_DATE")
        check(driver.prop(date_input, "value") == yesterday, "the prompt starts on yesterday")
        svg_text = driver.run("return document.querySelector('figure.page svg').textContent")
        check(yesterday in svg_text, "the page's text holds the business date")
        # The picture of the first page is served and drawn.
        check(driver.run("const i = document.querySelector('figure.page image');"
                         "return i.getBBox().width > 0"), "the page picture")
        driver.screenshot(os.path.join(shots, "web-report-phone.png"))

        # The prompt: another day.
        other = (datetime.date.today() - datetime.timedelta(days=2)).isoformat()
        driver.run("arguments[0].value = arguments[1]", {ELEMENT: date_input}, other)
        driver.click(driver.find("#run"))
        wait_for("the other day", lambda: driver.prop(driver.find("#p_ASALE_DATE"), "value") == other)
        wait_for("the pages of the day asked for", lambda: other in driver.run(
            "const s = document.querySelector('figure.page svg'); return s ? s.textContent : ''"))

        # The PDF download.
        driver.click(driver.find("#pdf"))
        pdf = wait_for("the PDF", lambda: [f for f in os.listdir(downloads)
                                           if f.endswith(".pdf")])
        path = os.path.join(downloads, pdf[0])
        with open(path, "rb") as f:
            check(f.read(5) == b"%PDF-", "the download is a PDF")
        checked = subprocess.run(["qpdf", "--check", path], capture_output=True, text=True)
        check(checked.returncode == 0, "qpdf --check: " + checked.stdout[-300:])
        text = subprocess.run(["pdftotext", path, "-"], capture_output=True, text=True).stdout
        check(other in text, "the PDF holds the day asked for")

        # At a desktop's width.
        driver.resize(1280, 900)
        driver.go(driver.url())
        wait_for("the pages", lambda: driver.find_all("figure.page"))
        driver.screenshot(os.path.join(shots, "web-report-desktop.png"))

        # Signing out ends the session.
        driver.click(driver.find("#signout"))
        wait_for("the sign-in page", lambda: driver.url().endswith("/web/"))
        driver.go(base + "/web/reports")
        check(driver.url().endswith("/web/signin"), "signed out, yet " + driver.url())
        print("web pages in the browser: passed")
    finally:
        if driver:
            try:
                driver.quit()
            except (SystemExit, DriverError):
                pass
        for p in processes:
            p.kill()
            p.wait()
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    try:
        main()
    except DriverError as e:
        fail(str(e))
