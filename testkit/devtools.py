"""Headless Chromium driven over its DevTools pipe (file descriptors 3 and 4),
with nothing but the standard library, for the checks and benchmarks that
look at a page as a reader's browser shows it.

    with Browser(profile_dir) as browser:
        tab = browser.open("file:///.../page.html")   # waits for the load event
        browser.evaluate(tab, "document.title")
"""
import json
import os
import subprocess
import time


class Browser:
    def __init__(self, profile, width=1400, height=1800, network=False):
        self.width, self.height = width, height
        to_browser_r, self._to_browser = os.pipe()
        self._from_browser, from_browser_w = os.pipe()

        def child_fds():
            # The pipe's ends may themselves be 3 or 4: move them out of the way first.
            read_end, write_end = os.dup(to_browser_r), os.dup(from_browser_w)
            os.dup2(read_end, 3)
            os.dup2(write_end, 4)

        arguments = ["chromium", "--headless", "--no-sandbox", "--disable-gpu", "--no-first-run",
                     "--disable-background-networking", "--disable-component-update", "--disable-sync",
                     "--remote-debugging-pipe", "--user-data-dir=" + profile,
                     "--window-size=%d,%d" % (width, height), "about:blank"]
        self._process = subprocess.Popen(arguments, pass_fds=(3, 4), preexec_fn=child_fds,
                                         stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(to_browser_r)
        os.close(from_browser_w)
        self._pending, self._next_id, self.events = b"", 0, []

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        try:
            self.call("Browser.close")
        except Exception:
            pass
        try:
            self._process.wait(timeout=30)
        except subprocess.TimeoutExpired:
            self._process.kill()
        return False

    def _read_message(self, deadline):
        while b"\0" not in self._pending:
            if time.time() > deadline:
                raise TimeoutError("no answer from the browser")
            chunk = os.read(self._from_browser, 1 << 20)
            if not chunk:
                raise EOFError("the browser closed its pipe")
            self._pending += chunk
        message, self._pending = self._pending.split(b"\0", 1)
        return json.loads(message)

    def call(self, method, session=None, timeout=120, **params):
        self._next_id += 1
        message = {"id": self._next_id, "method": method, "params": params}
        if session:
            message["sessionId"] = session
        os.write(self._to_browser, json.dumps(message).encode() + b"\0")
        deadline = time.time() + timeout
        while True:
            answer = self._read_message(deadline)
            if answer.get("id") == self._next_id:
                if "error" in answer:
                    raise RuntimeError(method + ": " + json.dumps(answer["error"]))
                return answer["result"]
            self.events.append(answer)

    def wait_event(self, name, session=None, timeout=120):
        deadline = time.time() + timeout
        while True:
            for i, event in enumerate(self.events):
                if event.get("method") == name and (session is None or event.get("sessionId") == session):
                    return self.events.pop(i)
            self.events.append(self._read_message(deadline))

    def open(self, url, before_load=None):
        """A new tab at `url`, once its load event has fired; its session.
        `before_load(session)` runs after the tab is made and before it
        navigates (to enable more domains)."""
        target = self.call("Target.createTarget", url="about:blank")["targetId"]
        session = self.call("Target.attachToTarget", targetId=target, flatten=True)["sessionId"]
        self.call("Page.enable", session)
        self.call("Emulation.setDeviceMetricsOverride", session, width=self.width, height=self.height,
                  deviceScaleFactor=1, mobile=False)
        if before_load:
            before_load(session)
        self.call("Page.navigate", session, url=url)
        self.wait_event("Page.loadEventFired", session)
        self._targets = getattr(self, "_targets", {})
        self._targets[session] = target
        return session

    def close_tab(self, session):
        target = getattr(self, "_targets", {}).pop(session, None)
        if target:
            self.call("Target.closeTarget", targetId=target)

    def evaluate(self, session, expression, awaited=False):
        result = self.call("Runtime.evaluate", session, expression=expression, returnByValue=True,
                           awaitPromise=awaited)
        if "exceptionDetails" in result:
            raise RuntimeError("page script failed: " + json.dumps(result["exceptionDetails"])[:400])
        return result["result"].get("value")

    def mouse(self, session, kind, x, y, **more):
        self.call("Input.dispatchMouseEvent", session, type=kind, x=x, y=y, **more)
