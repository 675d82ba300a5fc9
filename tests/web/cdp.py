"""Debian's Chromium, headless, driven through its DevTools protocol over a pipe (no port, no
extra packages): start it, send commands, wait for events."""

import errno
import json
import os
import shutil
import subprocess
import tempfile
import threading
import time

# What Chromium needs on a machine without outside network or a sandbox, and nothing it would
# fetch or sync by itself.
FLAGS = ["--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
         "--disable-background-networking", "--disable-component-update", "--disable-sync",
         "--force-color-profile=srgb", "--hide-scrollbars", "--mute-audio"]


class ProtocolError(Exception):
    pass


class Chromium:
    def __init__(self, width=800, height=600, executable=None):
        executable = executable or os.environ.get("KELP_CHROMIUM", "chromium")
        if not shutil.which(executable):  # the shell below would only exit 127
            raise FileNotFoundError(errno.ENOENT, "no such browser", executable)
        self.profile = tempfile.mkdtemp(prefix="kelp-chromium-")
        to_browser, self._out = os.pipe()
        self._in, from_browser = os.pipe()
        # The protocol's fds 3 (read by the browser) and 4 (written) arrive as stdin and stdout and
        # are moved by the shell the browser is exec'd from: no Python runs in the forked child,
        # which could deadlock on a lock another thread held (the site server runs alongside), and
        # close_fds leaves the browser nothing else of ours.
        command = ["/bin/sh", "-c", 'exec "$@" 3<&0 4>&1 0</dev/null 1>/dev/null', "sh",
                   executable, *FLAGS, f"--user-data-dir={self.profile}",
                   f"--window-size={width},{height}", "--remote-debugging-pipe", "about:blank"]
        try:
            self.process = subprocess.Popen(command, stdin=to_browser, stdout=from_browser,
                                            stderr=subprocess.DEVNULL, close_fds=True)
        finally:
            os.close(to_browser)
            os.close(from_browser)
        self._next = 0
        self._replies = {}
        self._events = []
        self._lock = threading.Condition()
        self._closed = False
        self._unreadable = None  # the last message that was not protocol, for the error text
        self._reader = threading.Thread(target=self._read, daemon=True)
        self._reader.start()

    def _read(self):
        buffer = b""
        try:
            while True:
                try:
                    chunk = os.read(self._in, 1 << 16)
                except OSError:
                    chunk = b""
                if not chunk:
                    break
                buffer += chunk
                *messages, buffer = buffer.split(b"\0")
                with self._lock:
                    for raw in messages:
                        self._take(raw)
                    self._lock.notify_all()
        finally:  # whatever ends the reading, calls waiting for answers fail now, not at their timeout
            with self._lock:
                self._closed = True
                self._lock.notify_all()

    def _take(self, raw):
        try:
            message = json.loads(raw)
        except ValueError:
            message = None
        if isinstance(message, dict) and "id" in message:
            self._replies[message["id"]] = message
        elif isinstance(message, dict) and "method" in message:
            message.setdefault("params", {})
            self._events.append(message)
        else:  # skipped: one garbled message must not cost the answers after it
            self._unreadable = raw[:200]

    def _failure(self, what):
        why = "the browser closed the pipe" if self._closed else "timed out"
        if self._unreadable is not None:
            why += f"; it also sent a message that is not protocol: {self._unreadable!r}"
        return ProtocolError(f"{what} ({why})")

    def send(self, method, params=None, session=None, timeout=60):
        return self.answer(self.post(method, params, session), method, timeout)

    def post(self, method, params=None, session=None):
        """Sends a command without waiting: its answer is taken later with answer()."""
        with self._lock:
            self._next += 1
            ident = self._next
        message = {"id": ident, "method": method, "params": params or {}}
        if session:
            message["sessionId"] = session
        os.write(self._out, json.dumps(message).encode() + b"\0")
        return ident

    def answered(self, ident):
        with self._lock:
            return ident in self._replies

    def answer(self, ident, method, timeout=60):
        deadline = time.monotonic() + timeout
        with self._lock:
            while ident not in self._replies:
                left = deadline - time.monotonic()
                if left <= 0 or self._closed:
                    raise self._failure(f"no answer to {method}")
                self._lock.wait(left)
            reply = self._replies.pop(ident)
        if "error" in reply:
            raise ProtocolError(f"{method}: {reply['error'].get('message')}")
        return reply.get("result", {})

    def events(self, method):
        with self._lock:
            return [e["params"] for e in self._events if e["method"] == method]

    def wait_event(self, method, timeout=60):
        """The first event of `method` not yet taken by an earlier wait."""
        deadline = time.monotonic() + timeout
        with self._lock:
            while True:
                for i, event in enumerate(self._events):
                    if event["method"] == method:
                        del self._events[i]
                        return event["params"]
                left = deadline - time.monotonic()
                if left <= 0 or self._closed:
                    raise self._failure(f"no {method} event")
                self._lock.wait(left)

    def page(self):
        """A session on the browser's page."""
        targets = self.send("Target.getTargets")["targetInfos"]
        target = next(t for t in targets if t["type"] == "page")
        return self.send("Target.attachToTarget", {"targetId": target["targetId"], "flatten": True})["sessionId"]

    def close(self):
        try:
            self.send("Browser.close", timeout=10)
        except (ProtocolError, OSError):
            pass
        try:
            self.process.wait(timeout=20)
        except subprocess.TimeoutExpired:
            self.process.kill()
            self.process.wait()
        self._reader.join(10)  # its fd is not closed under it, to be reused by another file
        for fd in (self._in, self._out):
            try:
                os.close(fd)
            except OSError:
                pass
        shutil.rmtree(self.profile, ignore_errors=True)
