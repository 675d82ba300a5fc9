"""The DevTools pipe, against a stand-in browser that answers on fds 3 and 4 as a test needs it to."""

import os
import shutil
import sys
import tempfile
import time
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
sys.dont_write_bytecode = True

from cdp import Chromium, ProtocolError  # noqa: E402

# Answers every command with its method; Test.garble first writes messages that are not
# protocol, and Browser.close ends it without an answer.
STAND_IN = f"""#!{sys.executable}
import json, os
buffer = b""
while chunk := os.read(3, 65536):
    *messages, buffer = (buffer + chunk).split(b"\\0")
    for message in map(json.loads, messages):
        if message["method"] == "Browser.close":
            raise SystemExit
        if message["method"] == "Test.garble":
            os.write(4, b'{{"id": \\0' + b'7\\0' + b'\\xff\\0')
        os.write(4, json.dumps({{"id": message["id"], "result": {{"echo": message["method"]}}}}).encode() + b"\\0")
"""

# Forks whose parent runs Python code on the way (only a preexec_fn makes the spawn do that).
forks = []
os.register_at_fork(before=lambda: forks.append(1))


class StandIn(unittest.TestCase):
    def setUp(self):
        folder = tempfile.mkdtemp(prefix="kelp-cdp-")
        self.addCleanup(shutil.rmtree, folder, True)
        program = os.path.join(folder, "browser")
        with open(program, "w") as f:
            f.write(STAND_IN)
        os.chmod(program, 0o700)
        del forks[:]
        self.browser = Chromium(executable=program)
        self.addCleanup(self.browser.close)

    def test_spawn_runs_no_python_between_fork_and_exec(self):
        self.assertEqual(self.browser.send("Test.ping", timeout=10), {"echo": "Test.ping"})
        self.assertEqual(forks, [])

    def test_the_browser_holds_only_stdio_and_the_protocol_pipes(self):
        self.browser.send("Test.ping", timeout=10)  # past its start-up: only what it was given
        fds = f"/proc/{self.browser.process.pid}/fd"
        self.assertEqual(sorted(map(int, os.listdir(fds))), [0, 1, 2, 3, 4])
        self.assertEqual([os.readlink(f"{fds}/{fd}")[:5] for fd in (3, 4)], ["pipe:"] * 2)

    def test_messages_that_are_not_protocol_are_skipped(self):
        start = time.monotonic()
        self.assertEqual(self.browser.send("Test.garble", timeout=5), {"echo": "Test.garble"})
        self.assertEqual(self.browser.send("Test.ping", timeout=5), {"echo": "Test.ping"})
        # A browser gone fails the call waiting on it at once.
        with self.assertRaisesRegex(ProtocolError, r"Browser.close .*closed the pipe.*not protocol: b.\\xff"):
            self.browser.send("Browser.close")
        self.assertLess(time.monotonic() - start, 5)


if __name__ == "__main__":
    unittest.main()
