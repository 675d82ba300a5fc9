"""Runs the real program the way a person does: under its own Xvfb, with keys typed through
xdotool and the screen read back with xwd and ImageMagick. Every wait is for a condition,
with a generous deadline, so the tests hold on a loaded machine."""

import mmap
import os
import shutil
import signal
import struct
import subprocess
import sys
import tempfile
import time
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(os.path.dirname(HERE))
PROGRAM = os.environ.get("KELP_PROGRAM", os.path.join(ROOT, "build", "driver", "kelp2207"))
PROGRAM_FS = os.environ.get("KELP_PROGRAM_FS", os.path.join(ROOT, "build", "driver", "kelp2207fs"))
XCLOSE = os.environ.get("KELP_XCLOSE", os.path.join(ROOT, "build", "tests", "e2e", "xclose"))

TIMEOUT = float(os.environ.get("KELP_E2E_TIMEOUT", "60"))


def wait_for(condition, what, timeout=TIMEOUT, interval=0.05):
    """Polls until condition() is truthy and returns its value; fails the test after timeout."""
    deadline = time.monotonic() + timeout
    while True:
        value = condition()
        if value:
            return value
        if time.monotonic() > deadline:
            raise AssertionError("timed out waiting for " + what)
        time.sleep(interval)


class Picture:
    """A screenshot: width x height RGB triples."""

    def __init__(self, width, height, rgb):
        self.width, self.height, self.rgb = width, height, rgb

    def pixel(self, x, y):
        i = (y * self.width + x) * 3
        r, g, b = self.rgb[i : i + 3]
        return (r << 16) | (g << 8) | b

    def crop(self, x, y, w, h):
        rows = [self.rgb[((y + r) * self.width + x) * 3 : ((y + r) * self.width + x + w) * 3] for r in range(h)]
        return Picture(w, h, b"".join(rows))

    def brightness(self):
        return sum(self.rgb) / max(1, len(self.rgb))

    def distinct(self):
        return len({self.rgb[i : i + 3] for i in range(0, len(self.rgb), 3)})


def read_ppm(data):
    """Parses a binary P6 (as ImageMagick writes it) into a Picture."""
    fields, pos = [], 0
    while len(fields) < 4:
        while data[pos : pos + 1].isspace():
            pos += 1
        if data[pos : pos + 1] == b"#":
            pos = data.index(b"\n", pos) + 1
            continue
        start = pos
        while not data[pos : pos + 1].isspace():
            pos += 1
        fields.append(data[start:pos])
    assert fields[0] == b"P6", fields[0]
    width, height = int(fields[1]), int(fields[2])
    pos += 1
    return Picture(width, height, bytes(data[pos : pos + width * height * 3]))


def read_netpbm_file(path):
    with open(path, "rb") as f:
        return read_ppm(f.read())


class Framebuffer:
    """Xvfb's screen as the XWD file it keeps in -fbdir: read straight from memory, fast enough
    to follow a fade-out that runs as fast as the program can present."""

    def __init__(self, path):
        self.file = open(path, "rb")
        self.map = mmap.mmap(self.file.fileno(), 0, access=mmap.ACCESS_READ)
        header = struct.unpack(">25I", self.map[:100])
        self.header_size, self.bpp, self.stride, self.ncolors = header[0], header[11], header[12], header[19]
        self.byte_order = header[7]
        self.base = self.header_size + self.ncolors * 12
        assert self.bpp == 32, "the framebuffer reader expects a 24-bit screen"

    def pixel(self, x, y):
        at = self.base + y * self.stride + x * 4
        word = self.map[at : at + 4]
        value = int.from_bytes(word, "little" if self.byte_order == 0 else "big")
        return value & 0xFFFFFF

    def close(self):
        self.map.close()
        self.file.close()


class Session:
    """One Xvfb on a free display with one run of the program on it."""

    def __init__(self, program=PROGRAM, depth=24, env=None, screen="640x480", xvfb_args=()):
        self.tmp = tempfile.mkdtemp(prefix="kelp-e2e-")
        self.xvfb = None
        self.proc = None
        self.window = None
        self._start_xvfb(depth, screen, list(xvfb_args))
        environment = dict(os.environ)
        # x11 only: should the server be unreachable, SDL must fail, not fall back to a
        # terminal driver that no screenshot would see.
        environment.update({"DISPLAY": self.display, "SDL_AUDIODRIVER": "dummy", "SDL_VIDEODRIVER": "x11"})
        # Leaks inside the system's X library are not the program's (sanitizer build).
        suppress = "print_suppressions=0:suppressions=" + os.path.join(ROOT, "tests", "lsan.supp")
        environment["LSAN_OPTIONS"] = ":".join(filter(None, [suppress, os.environ.get("LSAN_OPTIONS")]))
        environment.update(env or {})
        self.stdout_path = os.path.join(self.tmp, "stdout")
        self.stderr_path = os.path.join(self.tmp, "stderr")
        with open(self.stdout_path, "wb") as out, open(self.stderr_path, "wb") as err:
            self.proc = subprocess.Popen([program], env=environment, stdin=subprocess.DEVNULL, stdout=out,
                                         stderr=err, start_new_session=True)

    # -noreset: by default the server resets whenever its last client leaves (between two
    # xdotool calls, say) and refuses connections meanwhile; a program starting then would
    # find no X display and SDL would quietly pick another video driver.
    def _start_xvfb(self, depth, screen, extra):
        # Xvfb picks a free display number itself and tells it through a pipe: no races
        # with other servers started at the same moment.
        read_end, write_end = os.pipe()
        self.xvfb = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_end), "-screen", "0", "%sx%d" % (screen, depth), "-nolisten", "tcp",
             "-fbdir", self.tmp, "-noreset"] + extra,
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, pass_fds=(write_end,), start_new_session=True)
        os.close(write_end)
        with os.fdopen(read_end) as pipe:
            number = pipe.readline().strip()
        if not number:
            raise AssertionError("Xvfb did not start")
        self.display = ":" + number
        wait_for(self._ready, "Xvfb to accept clients", timeout=30)

    def _ready(self):
        result = subprocess.run(["xdotool", "getdisplaygeometry"], env=dict(os.environ, DISPLAY=self.display),
                                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        return result.returncode == 0

    def _x(self, *command, check=True):
        env = dict(os.environ, DISPLAY=self.display)
        result = subprocess.run(list(command), env=env, capture_output=True)
        if check and result.returncode != 0:
            raise AssertionError("%s failed: %s" % (command[0], result.stderr.decode(errors="replace")))
        return result.stdout

    def x(self, *command):
        return self._x(*command)

    # --- the window -------------------------------------------------------------------------

    def wait_window(self):
        def find():
            if self.proc.poll() is not None:
                raise AssertionError("the program ended early (%s): %s" % (self.proc.returncode, self.stderr()))
            out = self._x("xdotool", "search", "--name", "^KELP2207$", check=False)
            ids = out.split() if isinstance(out, bytes) else []
            return ids[0].decode() if ids else None

        self.window = wait_for(find, "the KELP2207 window")
        # Keys go to the window under the pointer on a bare X server.
        self.x("xdotool", "mousemove", "--window", self.window, "128", "128")
        return self.window

    def geometry(self):
        out = self.x("xdotool", "getwindowgeometry", "--shell", self.window).decode()
        values = dict(line.split("=", 1) for line in out.split() if "=" in line)
        return int(values["X"]), int(values["Y"]), int(values["WIDTH"]), int(values["HEIGHT"])

    def name(self):
        return self.x("xdotool", "getwindowname", self.window).decode().strip()

    def screenshot(self):
        xwd = subprocess.run(["xwd", "-silent", "-id", self.window], env=dict(os.environ, DISPLAY=self.display),
                             capture_output=True, check=True).stdout
        ppm = subprocess.run(["convert", "xwd:-", "ppm:-"], input=xwd, capture_output=True, check=True).stdout
        return read_ppm(ppm)

    def framebuffer(self):
        return Framebuffer(os.path.join(self.tmp, "Xvfb_screen0"))

    def wait_screen(self, condition, what, timeout=TIMEOUT):
        """Takes screenshots until condition(picture) holds; returns that picture."""
        def check():
            self.assert_running()
            shot = self.screenshot()
            return shot if condition(shot) else None
        return wait_for(check, what, timeout=timeout, interval=0.1)

    # --- input ------------------------------------------------------------------------------

    def press(self, key, hold=0.15):
        """A key as a person types it: down, held about 150 ms, up."""
        self.x("xdotool", "keydown", key)
        time.sleep(hold)
        self.x("xdotool", "keyup", key)

    def request_close(self):
        subprocess.run([XCLOSE, self.window], env=dict(os.environ, DISPLAY=self.display), check=True)

    # --- the process ------------------------------------------------------------------------

    def assert_running(self):
        if self.proc.poll() is not None:
            raise AssertionError("the program ended (%s): %s" % (self.proc.returncode, self.stderr()))

    def wait_exit(self, timeout=TIMEOUT):
        try:
            return self.proc.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            raise AssertionError("the program did not end")

    def stderr(self):
        with open(self.stderr_path, "rb") as f:
            return f.read().decode(errors="replace")

    def stdout(self):
        with open(self.stdout_path, "rb") as f:
            return f.read().decode(errors="replace")

    def close(self):
        if self.proc and self.proc.poll() is None:
            os.killpg(self.proc.pid, signal.SIGKILL)
            self.proc.wait()
        if self.xvfb and self.xvfb.poll() is None:
            # SIGTERM lets Xvfb remove its lock file and socket; KILL only if it hangs.
            self.xvfb.terminate()
            try:
                self.xvfb.wait(timeout=10)
            except subprocess.TimeoutExpired:
                os.killpg(self.xvfb.pid, signal.SIGKILL)
                self.xvfb.wait()
        shutil.rmtree(self.tmp, ignore_errors=True)


class E2E(unittest.TestCase):
    """Base class: self.session() starts a session that is always torn down."""

    def session(self, **kwargs):
        s = Session(**kwargs)
        self.addCleanup(s.close)
        return s


def main():
    unittest.main(argv=[sys.argv[0]] + sys.argv[1:], verbosity=2)
