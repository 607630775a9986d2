"""A small client of the Chrome DevTools Protocol for the browser checks.

Headless Chromium is started with --remote-debugging-pipe: it reads commands
from its file descriptor 3 and writes replies and events to 4, each message a
JSON object ended by a NUL byte. Python standard library only.

    with Browser() as browser:
        page = browser.new_page()
        browser.navigate(page, "file:///tmp/index.html")
        links = browser.evaluate(page, "document.links.length")
"""
import fcntl
import json
import os
import select
import shutil
import subprocess
import tempfile
import time


class CdpError(Exception):
    """A command answered with an error, a timeout, or a browser that went away."""


def find_chromium():
    """The Chromium executable, or None when it is not installed."""
    for name in ("chromium", "chromium-browser", "google-chrome"):
        path = shutil.which(name)
        if path:
            return path
    return None


class Browser:
    """One headless Chromium process. Every call blocks until its answer comes
    or `timeout` seconds pass (CdpError). Events that arrive while waiting are
    kept until wait_event asks for them. Not thread-safe."""

    def __init__(self, executable=None, timeout=30.0):
        self.timeout = timeout
        self._executable = executable or find_chromium()
        if not self._executable:
            raise CdpError("Chromium is not installed (Debian package: chromium)")
        self._profile = tempfile.mkdtemp(prefix="dirscribe-chromium-")
        self._next_id = 0
        self._buffer = b""
        self._events = []
        self._start()
        try:
            self.send("Browser.getVersion")
        except CdpError:
            self.close()
            raise

    def _start(self):
        to_browser_read, self._to_browser = os.pipe()
        self._from_browser, from_browser_write = os.pipe()
        # In the child, before the exec: move its pipe ends to descriptors 3
        # and 4 through copies at 10 or above (closed by the exec), so neither
        # move overwrites the other end.
        def place_pipes():
            read_copy = fcntl.fcntl(to_browser_read, fcntl.F_DUPFD_CLOEXEC, 10)
            write_copy = fcntl.fcntl(from_browser_write, fcntl.F_DUPFD_CLOEXEC, 10)
            os.dup2(read_copy, 3)
            os.dup2(write_copy, 4)
        arguments = [self._executable, "--headless", "--no-sandbox", "--disable-gpu",
                     "--remote-debugging-pipe", "--user-data-dir=" + self._profile,
                     "--no-first-run", "--no-default-browser-check", "about:blank"]
        # pass_fds keeps 3 and 4 (and nothing else) open through the exec; both
        # are open here already, as the new pipes took the lowest free numbers.
        self._process = subprocess.Popen(arguments, stdin=subprocess.DEVNULL,
                                         stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                                         preexec_fn=place_pipes, pass_fds=(3, 4))
        os.close(to_browser_read)
        os.close(from_browser_write)

    # -- messages ---------------------------------------------------------

    def _read_message(self, deadline):
        """The next message as a dict; CdpError at the deadline or at end of pipe."""
        while b"\0" not in self._buffer:
            left = deadline - time.monotonic()
            if left <= 0:
                raise CdpError("Chromium did not answer in time")
            ready, _, _ = select.select([self._from_browser], [], [], left)
            if not ready:
                continue
            chunk = os.read(self._from_browser, 1 << 20)
            if not chunk:
                raise CdpError("Chromium closed the DevTools pipe")
            self._buffer += chunk
        message, self._buffer = self._buffer.split(b"\0", 1)
        return json.loads(message)

    def send(self, method, params=None, session=None):
        """Sends one command and returns its result; CdpError when it fails."""
        self._next_id += 1
        command = {"id": self._next_id, "method": method, "params": params or {}}
        if session:
            command["sessionId"] = session
        data = json.dumps(command).encode() + b"\0"
        try:
            while data:
                data = data[os.write(self._to_browser, data):]
        except OSError as error:
            raise CdpError("cannot write to Chromium: %s" % error) from error
        deadline = time.monotonic() + self.timeout
        while True:
            message = self._read_message(deadline)
            if message.get("id") == self._next_id:
                if "error" in message:
                    raise CdpError("%s: %s" % (method, message["error"].get("message")))
                return message.get("result", {})
            if "method" in message:
                self._events.append(message)

    def wait_event(self, method, session=None, match=None, timeout=None):
        """Params of the first event `method` (of `session`, for which `match`
        holds), taken from the kept events or waited for."""
        def wanted(event):
            return (event["method"] == method and event.get("sessionId") == session
                    and (match is None or match(event.get("params", {}))))
        deadline = time.monotonic() + (timeout or self.timeout)
        while True:
            for index, event in enumerate(self._events):
                if wanted(event):
                    del self._events[index]
                    return event.get("params", {})
            message = self._read_message(deadline)
            if "method" in message:
                self._events.append(message)

    def take_events(self, method, session=None):
        """Params of every kept event `method` of `session`, in arrival order,
        forgetting them. Only what has arrived so far: call it after a command
        (evaluate) that ran once the events of interest were sent."""
        taken, kept = [], []
        for event in self._events:
            wanted = event["method"] == method and event.get("sessionId") == session
            (taken if wanted else kept).append(event)
        self._events = kept
        return [event.get("params", {}) for event in taken]

    def drop_events(self, method, session=None):
        """Forgets kept events `method` of `session` (stale load events)."""
        self._events = [e for e in self._events
                        if not (e["method"] == method and e.get("sessionId") == session)]

    # -- pages ------------------------------------------------------------

    def new_page(self):
        """Opens a blank tab and returns its session (flat mode), with page
        events enabled."""
        target = self.send("Target.createTarget", {"url": "about:blank"})["targetId"]
        session = self.send("Target.attachToTarget",
                            {"targetId": target, "flatten": True})["sessionId"]
        self.send("Page.enable", session=session)
        self.send("Runtime.enable", session=session)
        return session

    def navigate(self, session, url):
        """Loads `url` in the tab and waits for its load event."""
        self.drop_events("Page.loadEventFired", session)
        result = self.send("Page.navigate", {"url": url}, session)
        if result.get("errorText"):
            raise CdpError("cannot load %s: %s" % (url, result["errorText"]))
        self.wait_event("Page.loadEventFired", session)

    def evaluate(self, session, expression):
        """The value of a script run in the page (JSON-like values; promises
        are awaited); CdpError when it throws."""
        result = self.send("Runtime.evaluate",
                           {"expression": expression, "returnByValue": True,
                            "awaitPromise": True}, session)
        if "exceptionDetails" in result:
            details = result["exceptionDetails"]
            text = details.get("exception", {}).get("description") or details.get("text")
            raise CdpError("script failed: %s" % text)
        return result["result"].get("value")

    # -- end --------------------------------------------------------------

    def close(self):
        """Asks Chromium to quit, kills it after a few seconds, removes the profile."""
        if self._process.poll() is None:
            try:
                self.send("Browser.close")
            except (CdpError, OSError):
                pass
            try:
                self._process.wait(timeout=10)
            except subprocess.TimeoutExpired:
                self._process.kill()
                self._process.wait()
        for descriptor in (self._to_browser, self._from_browser):
            try:
                os.close(descriptor)
            except OSError:
                pass
        shutil.rmtree(self._profile, ignore_errors=True)

    def __enter__(self):
        return self

    def __exit__(self, *exception):
        self.close()
