#!/usr/bin/env python3
"""report.html in headless Chromium: a short run with an animation, its page opened from the
folder through the DevTools protocol (over a pipe, no network), no console error, no broken
picture, the game-state table and the first shot on the first screen. The screenshot is left
at OUT/report-screenshot.png for a person to look at.

usage: report_in_browser.py CHROMIUM QXHOST DATA OUT
"""
import base64
import json
import os
import select
import shutil
import subprocess
import sys
import tempfile
import time

SCRIPT = "wait 1800\nshot opening\nclick 580 230\nwait 600\nshot round-2\n"
WIDTH, HEIGHT = 1400, 1100
TIMEOUT = 60


def fail(message):
    print("FAIL: " + message)
    sys.exit(1)


class Browser:
    """Chromium with --remote-debugging-pipe: it reads commands on fd 3 and answers on fd 4,
    each message JSON ended by a zero byte."""

    def __init__(self, chromium, profile):
        to_browser = os.pipe()
        from_browser = os.pipe()
        # Out of the way of 3 and 4, which the child's copies must become.
        ends = [os.dup(fd) for fd in (to_browser[0], from_browser[1])]
        for fd in (*to_browser[:1], *from_browser[1:]):
            os.close(fd)

        def child():
            os.dup2(ends[0], 3)
            os.dup2(ends[1], 4)

        self.process = subprocess.Popen(
            [chromium, "--headless", "--no-sandbox", "--disable-gpu", "--disable-quic",
             "--no-first-run", "--disable-background-networking", "--disable-component-update",
             "--disable-sync", "--user-data-dir=" + profile, "--remote-debugging-pipe",
             "--hide-scrollbars", f"--window-size={WIDTH},{HEIGHT}", "about:blank"],
            preexec_fn=child, pass_fds=(3, 4), stdout=subprocess.DEVNULL,
            stderr=subprocess.DEVNULL)
        for fd in ends:
            os.close(fd)
        self.out = to_browser[1]
        self.inp = from_browser[0]
        self.buffer = b""
        self.next_id = 0
        self.events = []
        self.deadline = time.monotonic() + TIMEOUT

    def send(self, method, params=None, session=None):
        self.next_id += 1
        message = {"id": self.next_id, "method": method, "params": params or {}}
        if session:
            message["sessionId"] = session
        os.write(self.out, json.dumps(message).encode() + b"\0")
        return self.next_id

    def receive(self):
        while b"\0" not in self.buffer:
            left = self.deadline - time.monotonic()
            if left <= 0 or not select.select([self.inp], [], [], left)[0]:
                fail(f"Chromium did not answer within {TIMEOUT} s")
            chunk = os.read(self.inp, 1 << 16)
            if not chunk:
                fail("Chromium closed its pipe")
            self.buffer += chunk
        message, self.buffer = self.buffer.split(b"\0", 1)
        return json.loads(message)

    def until(self, predicate):
        while True:
            message = self.receive()
            self.events.append(message)
            if predicate(message):
                return message

    def call(self, method, params=None, session=None):
        number = self.send(method, params, session)
        answer = self.until(lambda m: m.get("id") == number)
        if "error" in answer:
            fail(f"{method}: {answer['error']}")
        return answer["result"]

    def close(self):
        try:
            self.send("Browser.close")
            self.process.wait(timeout=10)
        except Exception:
            self.process.kill()


def main():
    chromium, qxhost, data, out = sys.argv[1:5]
    if shutil.which(chromium) is None:
        fail(f"{chromium} not found: install Debian's chromium (scripts/packages.txt)")
    shutil.rmtree(out, ignore_errors=True)
    os.makedirs(out)
    script = os.path.join(out, "session.txt")
    with open(script, "w") as file:
        file.write(SCRIPT)
    run = subprocess.run([qxhost, "run", data, "--script", script, "--out", out,
                          "--animation", os.path.join(out, "session.webp")],
                         capture_output=True, text=True)
    if run.returncode != 0:
        fail("qxhost run: " + run.stderr)

    profile = tempfile.mkdtemp(prefix="qxtest-chromium-")
    browser = Browser(chromium, profile)
    try:
        target = browser.call("Target.createTarget", {"url": "about:blank"})["targetId"]
        session = browser.call("Target.attachToTarget",
                               {"targetId": target, "flatten": True})["sessionId"]
        for domain in ("Page", "Runtime", "Log"):
            browser.call(domain + ".enable", session=session)
        page = "file://" + os.path.abspath(os.path.join(out, "report.html"))
        browser.call("Page.navigate", {"url": page}, session)
        browser.until(lambda m: m.get("method") == "Page.loadEventFired")
        found = browser.call("Runtime.evaluate", {"returnByValue": True, "expression": """
            JSON.stringify({
              broken: [...document.images].filter(i => !i.complete || i.naturalWidth == 0)
                                          .map(i => i.getAttribute('src')),
              images: document.images.length,
              rows: document.querySelectorAll('table tr').length,
              table: document.querySelector('table').getBoundingClientRect().bottom,
              shot: document.querySelector('figure').getBoundingClientRect().bottom,
              caption: document.querySelector('figcaption').textContent,
              height: window.innerHeight })"""}, session)
        facts = json.loads(found["result"]["value"])
        picture = browser.call("Page.captureScreenshot", {"format": "png"}, session)
        with open(os.path.join(out, "report-screenshot.png"), "wb") as file:
            file.write(base64.b64decode(picture["data"]))
    finally:
        browser.close()
        shutil.rmtree(profile, ignore_errors=True)

    problems = []
    for message in browser.events:
        method, params = message.get("method"), message.get("params", {})
        if method == "Runtime.consoleAPICalled" and params.get("type") in ("error", "assert"):
            problems.append("console: " + json.dumps(params.get("args")))
        elif method == "Runtime.exceptionThrown":
            problems.append("exception: " + json.dumps(params.get("exceptionDetails")))
        elif method == "Log.entryAdded" and params["entry"]["level"] == "error":
            entry = params["entry"]
            problems.append(f"log: {entry['text']} {entry.get('url', '')}")
    if facts["broken"]:
        problems.append("pictures that did not load: " + ", ".join(facts["broken"]))
    if facts["images"] != 3:
        problems.append(f"{facts['images']} pictures, expected the animation and two shots")
    if facts["rows"] != 10:
        problems.append(f"{facts['rows']} table rows, expected a heading and nine doors")
    if not facts["caption"].startswith("opening"):
        problems.append(f"the first shot is captioned {facts['caption']!r}")
    if max(facts["table"], facts["shot"]) > facts["height"]:
        problems.append(f"the table (bottom at {facts['table']}) and the first shot (at "
                        f"{facts['shot']}) are not both on the first screen ({facts['height']})")
    for problem in problems:
        print("FAIL: " + problem)
    if problems:
        sys.exit(1)
    print("report.html loaded without errors; screenshot in " +
          os.path.join(out, "report-screenshot.png"))


if __name__ == "__main__":
    main()
