"""Runs the real program the way a person does: under its own Xvfb, with keys typed through
xdotool and the screen read back with xwd and ImageMagick. Every wait is for a condition,
with a generous deadline, so the tests hold on a loaded machine."""

import hashlib
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
sys.path.insert(0, os.path.dirname(HERE))  # the tests' shared modules

from ppm import read_ppm_file  # noqa: E402
PROGRAM = os.environ.get("KELP_PROGRAM", os.path.join(ROOT, "build", "driver", "kelp2207"))
PROGRAM_FS = os.environ.get("KELP_PROGRAM_FS", os.path.join(ROOT, "build", "driver", "kelp2207fs"))
XCLOSE = os.environ.get("KELP_XCLOSE", os.path.join(ROOT, "build", "tests", "e2e", "xclose"))
CLOCKSTEP = os.environ.get("KELP_CLOCKSTEP", os.path.join(ROOT, "build", "tests", "e2e", "libclockstep.so"))
PRESENTHOLD = os.environ.get("KELP_PRESENTHOLD", os.path.join(ROOT, "build", "tests", "e2e", "libpresenthold.so"))
VIDEOMODE = os.environ.get("KELP_VIDEOMODE", os.path.join(ROOT, "build", "tests", "e2e", "libvideomode.so"))
RECORDER = os.environ.get("KELP_RECORDER", os.path.join(ROOT, "build", "record", "kelp2207-record"))


def preload(library, **settings):
    """The environment that preloads one of the tests' shims into the program, with its settings."""
    asan = ":".join(filter(None, [os.environ.get("ASAN_OPTIONS"), "verify_asan_link_order=0"]))
    return dict({"LD_PRELOAD": library, "ASAN_OPTIONS": asan}, **{k: str(v) for k, v in settings.items()})

TIMEOUT = float(os.environ.get("KELP_E2E_TIMEOUT", "60"))


def recorded_frames(count, keys=None):
    """The SHA-1 of each of the first `count` frames the recorder draws (with `keys` pressed), in
    order: recorded once for all the cases of this recorder, which run side by side. They may
    come from another build's recorder (KELP_REFERENCE_RECORDER): the frames are the same."""
    recorder = os.environ.get("KELP_REFERENCE_RECORDER", RECORDER)
    stamp = os.stat(recorder)
    arguments = ["--frames", str(count)] + (["--keys", keys] if keys else [])
    cache = os.path.join(tempfile.gettempdir(), "kelp-frames-%d-%d-%d-%s" % (
        stamp.st_ino, stamp.st_size, stamp.st_mtime_ns, hashlib.sha1(" ".join(arguments).encode()).hexdigest()[:12]))
    try:
        with open(cache, "rb") as f:
            data = f.read()
        return [data[i:i + 20] for i in range(0, len(data), 20)]
    except OSError:
        pass
    folder = tempfile.mkdtemp(prefix="kelp-frames-", dir="/dev/shm" if os.path.isdir("/dev/shm") else None)
    try:
        subprocess.run([recorder, "--quiet"] + arguments + [folder], check=True, timeout=600)
        frames = []
        for name in sorted(n for n in os.listdir(folder) if n.endswith(".ppm")):
            with open(os.path.join(folder, name), "rb") as f:
                frames.append(hashlib.sha1(f.read()[-256 * 256 * 3:]).digest())
    finally:
        shutil.rmtree(folder, True)
    partial = "%s.%d" % (cache, os.getpid())
    with open(partial, "wb") as f:
        f.write(b"".join(frames))
    os.replace(partial, cache)  # whole or not at all for the cases reading it
    return frames


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


def program_environment(**changes):
    """The environment a run of the program gets: this one with the changes (None unsets)."""
    environment = dict(os.environ)
    # Leaks inside the system's libraries are not the program's (sanitizer build).
    suppress = "print_suppressions=0:suppressions=" + os.path.join(ROOT, "tests", "lsan.supp")
    environment["LSAN_OPTIONS"] = ":".join(filter(None, [suppress, os.environ.get("LSAN_OPTIONS")]))
    for name, value in changes.items():
        if value is None:
            environment.pop(name, None)
        else:
            environment[name] = value
    return environment


class Picture:
    """A screenshot: width x height RGB triples, read off a screen of `depth` bits."""

    def __init__(self, width, height, rgb, depth=24):
        self.width, self.height, self.rgb = width, height, rgb
        self.depth = depth

    # A 16-bit screen keeps 5, 6 and 5 bits of red, green and blue, and libraries convert to
    # them differently (truncating, rounding, dithering): there two colours look alike when
    # they are at most one step of those bits apart.
    def cell(self, colour):
        return (colour >> 19) & 0x1F, (colour >> 10) & 0x3F, (colour >> 3) & 0x1F

    def like(self, shown, colour):
        """True when a pixel shown on this screen is the given colour, as far as it can hold it."""
        if self.depth != 16:
            return shown == colour
        return all(abs(a - b) <= 1 for a, b in zip(self.cell(shown), self.cell(colour)))

    def palette(self, colours):
        """What like() accepts for any of the colours, as a set to test pixels against (key())."""
        if self.depth != 16:
            return set(colours)
        near = (-1, 0, 1)
        return {(r + i, g + j, b + k) for r, g, b in map(self.cell, colours) for i in near for j in near for k in near}

    def key(self, shown):
        return shown if self.depth != 16 else self.cell(shown)

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


def read_netpbm_file(path):
    return Picture(*read_ppm_file(path))


class XWD:
    """A screen image in the X Window Dump format that both xwd and Xvfb's -fbdir write, at 16,
    24 or 32 bits a pixel: read in place, so a live framebuffer can be followed as it changes."""

    def __init__(self, data):
        self.data = data
        header = struct.unpack(">25I", data[:100])
        self.header_size, self.byte_order = header[0], header[7]
        self.bpp, self.stride = header[11], header[12]
        self.masks = header[14:17]
        self.width, self.height = header[20], header[21]
        self.base = self.header_size + header[19] * 12  # the colour map follows the header
        assert self.bpp in (16, 24, 32), "%d bits a pixel" % self.bpp
        self.order = "little" if self.byte_order == 0 else "big"
        self.size = self.bpp // 8

    def pixel(self, x, y):
        """The pixel as 0xRRGGBB, each channel widened to 8 bits."""
        at = self.base + y * self.stride + x * self.size
        raw = int.from_bytes(self.data[at : at + self.size], self.order)
        value = 0
        for mask in self.masks:
            shift = (mask & -mask).bit_length() - 1
            bits = (mask >> shift).bit_length()
            v = (raw & mask) >> shift
            value = (value << 8) | ((v << (8 - bits)) | (v >> max(0, 2 * bits - 8))) & 0xFF
        return value

    def picture(self, x0, y0, size, scale=1.0, depth=24):
        """The size x size picture shown at (x0, y0), enlarged `scale` times: each pixel read at
        the centre of its enlarged square, where smoothing leaves its colour as it was."""
        rgb = bytearray(3 * size * size)
        columns = [x0 + int((i + 0.5) * scale) for i in range(size)]
        rows = [y0 + int((r + 0.5) * scale) for r in range(size)]
        if self.size >= 3 and self.order == "little" and self.masks == (0xFF0000, 0xFF00, 0xFF):
            # The usual 24-bit screen: bytes blue, green, red (and a pad); a row at a time, by
            # slices where the columns are evenly spaced (a whole enlargement).
            step = columns[1] - columns[0] if size > 1 else 1
            even = columns == list(range(columns[0], columns[0] + step * size, step))
            for r, y in enumerate(rows):
                row = self.data[self.base + y * self.stride : self.base + (y + 1) * self.stride]
                line = memoryview(rgb)[3 * size * r : 3 * size * (r + 1)]
                for channel, offset in enumerate((2, 1, 0)):
                    first = self.size * columns[0] + offset
                    line[channel::3] = (row[first : first + self.size * step * size : self.size * step] if even
                                        else bytes(row[self.size * c + offset] for c in columns))
            return Picture(size, size, bytes(rgb), depth)
        i = 0
        for y in rows:
            for x in columns:
                p = self.pixel(x, y)
                rgb[i : i + 3] = bytes(((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF))
                i += 3
        return Picture(size, size, bytes(rgb), depth)


class Framebuffer(XWD):
    """Xvfb's live screen, the XWD file it keeps in -fbdir: read straight from memory, fast enough
    to follow a fade-out that runs as fast as the program can present."""

    def __init__(self, path):
        self.file = open(path, "rb")
        self.map = mmap.mmap(self.file.fileno(), 0, access=mmap.ACCESS_READ)
        super().__init__(self.map)

    def close(self):
        self.data = None
        self.map.close()
        self.file.close()


class Session:
    """One Xvfb on a free display with one run of the program on it."""

    def __init__(self, program=PROGRAM, depth=24, env=None, screen="640x480", xvfb_args=(), full_screen=None,
                 command=None):
        """`command` runs the program through another (Wine, say); `full_screen` says how it shows
        the picture when the program's name cannot tell."""
        self.tmp = tempfile.mkdtemp(prefix="kelp-e2e-")
        self.depth = depth
        self.full_screen = program == PROGRAM_FS if full_screen is None else full_screen
        self.env = dict(env or {})
        self.xvfb = None
        self.proc = None
        self.window = None
        self._start_xvfb(depth, screen, list(xvfb_args))
        # x11 only: should the server be unreachable, SDL must fail, not fall back to a
        # terminal driver that no screenshot would see. A value None in `env` unsets.
        environment = program_environment(**dict({"DISPLAY": self.display, "SDL_AUDIODRIVER": "dummy",
                                                  "SDL_VIDEODRIVER": "x11"}, **self.env))
        self.stdout_path = os.path.join(self.tmp, "stdout")
        self.stderr_path = os.path.join(self.tmp, "stderr")
        with open(self.stdout_path, "wb") as out, open(self.stderr_path, "wb") as err:
            self.proc = subprocess.Popen(list(command or []) + [program], env=environment, stdin=subprocess.DEVNULL,
                                         stdout=out, stderr=err, start_new_session=True)

    # -noreset: by default the server resets whenever its last client leaves (between two
    # xdotool calls, say) and refuses connections meanwhile; a program starting then would
    # find no X display and SDL would quietly pick another video driver.
    def _start_xvfb(self, depth, screen, extra):
        # Xvfb picks a free display number itself and tells it through a pipe: no races
        # with other servers started at the same moment. No pointer drawn into the framebuffer
        # the screenshots are read from (keys still go to the window under it).
        read_end, write_end = os.pipe()
        self.xvfb = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_end), "-screen", "0", "%sx%d" % (screen, depth), "-nolisten", "tcp",
             "-fbdir", self.tmp, "-noreset", "-nocursor"] + extra,
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
        self.assert_library()
        # Keys go to the window under the pointer on a bare X server.
        self.x("xdotool", "mousemove", "--window", self.window, "128", "128")
        return self.window

    def assert_library(self):
        """The program runs over the SDL 1.2 library the test asked for (KELP_SDL_LIBRARY:
        classic, or compat through the loader path), not silently over the other one."""
        wanted = os.environ.get("KELP_SDL_LIBRARY")
        if not wanted:
            return
        with open("/proc/%d/maps" % self.proc.pid) as f:
            compat = "sdl12-compat" in f.read()
        if compat != (wanted == "compat"):
            raise AssertionError("the program runs over the %s SDL 1.2, not %s" % ("compat" if compat else "classic",
                                                                                  wanted))

    def geometry(self):
        out = self.x("xdotool", "getwindowgeometry", "--shell", self.window).decode()
        values = dict(line.split("=", 1) for line in out.split() if "=" in line)
        return int(values["X"]), int(values["Y"]), int(values["WIDTH"]), int(values["HEIGHT"])

    def name(self):
        return self.x("xdotool", "getwindowname", self.window).decode().strip()

    def layout(self, screen):
        """Where the demo's 256 x 256 picture is on the screen: (x, y, factor). A window or a
        full screen at the desktop's resolution shows it enlarged by the largest whole factor
        that fits (at most KELP2207_SCALE in full screen), centred; full screen in a video mode
        of its own (KELP2207_FULLSCREEN=mode) either centres it in the mode SDL picked or lets
        a library over SDL 2 scale the mode to the screen (by a factor that need not be whole)."""
        x, y, w, h = self.geometry()
        if self.full_screen and self.env.get("KELP2207_FULLSCREEN") == "mode":
            if (w, h) == (screen.width, screen.height):
                scale = min(w, h) / 256
                return int((w - 256 * scale) / 2), int((h - 256 * scale) / 2), scale
            return (screen.width - 256) // 2, (screen.height - 256) // 2, 1
        factor = max(1, min(w, h) // 256)
        if self.full_screen and self.env.get("KELP2207_SCALE", "").isdigit():
            factor = min(factor, int(self.env["KELP2207_SCALE"]))
        return x + (w - 256 * factor) // 2, y + (h - 256 * factor) // 2, factor

    def screen(self):
        """The whole screen as xwd would read it, taken from the server's framebuffer itself: no
        program to start and no image to send at every look. The server may be drawing while it
        is read, so it is read until two readings agree: a picture caught half drawn would be
        neither the frame before nor the one after."""
        path = os.path.join(self.tmp, "Xvfb_screen0")
        with open(path, "rb") as f, mmap.mmap(f.fileno(), 0, access=mmap.ACCESS_READ) as live:
            shot = live[:]
            while True:
                again = live[:]
                if again == shot:
                    return XWD(shot)
                shot = again

    def picture(self):
        """The demo's 256 x 256 picture as the screen shows it, each pixel read at the centre of
        its enlarged block."""
        screen = self.screen()
        x, y, scale = self.layout(screen)
        return screen.picture(x, y, 256, scale, self.depth)

    def framebuffer(self):
        return Framebuffer(os.path.join(self.tmp, "Xvfb_screen0"))

    def wait_screen(self, condition, what, timeout=TIMEOUT):
        """Takes screenshots until condition(picture) holds; returns that picture."""
        def check():
            self.assert_running()
            shot = self.picture()
            return shot if condition(shot) else None
        return wait_for(check, what, timeout=timeout, interval=0.1)

    def wait_frames(self, count, what="new frames"):
        """Waits until the screen has shown `count` new pictures: the program is alive and has
        been round its frame loop, keys, events and music step included, that many times."""
        shot = self.picture()
        for _ in range(count):
            shot = self.wait_screen(lambda new, old=shot: new.rgb != old.rgb, what)

    # --- input ------------------------------------------------------------------------------

    def press(self, key, hold=0.15):
        """A key as a person types it: down, held about 150 ms, up."""
        self.x("xdotool", "keydown", key)
        time.sleep(hold)
        self.x("xdotool", "keyup", key)

    def hold(self, key, condition, what):
        """A key held until its effect shows (condition(picture)); returns that picture. A key
        that goes down and up between two frames is not seen, and a loaded machine may take
        longer than a press over a frame; held, it goes down once, as the show does not repeat."""
        self.x("xdotool", "keydown", key)
        try:
            return self.wait_screen(condition, what)
        finally:
            self.x("xdotool", "keyup", key)

    def escape(self, timeout=TIMEOUT):
        """ESC until the program ends; returns its status. A key that goes down and up between
        two frames is not seen, and a loaded machine can take longer than a press over a frame
        (full screen over SDL 2 above all), so a press without effect is made again."""
        deadline = time.monotonic() + timeout
        while True:
            self.press("Escape")
            try:
                return self.proc.wait(timeout=min(5, max(0.1, deadline - time.monotonic())))
            except subprocess.TimeoutExpired:
                if time.monotonic() >= deadline:
                    raise AssertionError("the program did not end")

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

    def tmp(self):
        """A folder of the test's own, removed after it."""
        folder = tempfile.mkdtemp(prefix="kelp-e2e-")
        self.addCleanup(shutil.rmtree, folder, True)
        return folder

    def mode_log(self):
        """The environment in which the program writes down each video mode it asks SDL for, and
        what it has asked so far: "width height flags" a mode."""
        path = os.path.join(self.tmp(), "modes")

        def modes():
            with open(path) as f:
                return f.read().splitlines()
        return preload(VIDEOMODE, KELP_VIDEO_MODE_LOG=path), modes


class Looks:
    """What a screenshot shows, as a viewer would tell it: which part, the read-out's digits, the
    picture enlarged by whole pixels. Mixed into a test case before its session base."""

    @classmethod
    def setUpClass(cls):
        super().setUpClass()
        data = os.path.join(ROOT, "data")
        cls.corner = read_netpbm_file(os.path.join(data, "corner.ppm"))
        cls.font = read_netpbm_file(os.path.join(data, "font.ppm"))
        badge = read_netpbm_file(os.path.join(data, "badge.ppm"))
        cls.badge_colours = {badge.pixel(x, y) for y in range(badge.height) for x in range(badge.width)}

    def corner_at(self, shot, x, y):
        """True when the pale corner logo stands at (x, y): every non-black logo pixel matches."""
        for cy in range(self.corner.height):
            for cx in range(self.corner.width):
                p = self.corner.pixel(cx, cy)
                if p and not shot.like(shot.pixel(x + cx, y + cy), p):
                    return False
        return True

    def only_badge(self, shot, top, bottom):
        """True when rows top..bottom-1 show nothing but the rotozoom's badge texels."""
        badge = shot.palette(self.badge_colours)
        return all(shot.key(shot.pixel(x, y)) in badge for y in range(top, bottom) for x in range(256))

    def part(self, shot):
        """Which part a screenshot shows: the corner logo's place tells two, three and four; part one
        shows the turning badge between the logo's lowest reach and the scroller band's highest."""
        if self.corner_at(shot, 128, 224):
            return 2
        if self.corner_at(shot, 0, 224):
            return 3
        if self.corner_at(shot, 128, 0):
            return 4
        if self.only_badge(shot, 120, 192):
            return 1
        return None

    def digits(self, shot, text):
        """True when the top-left corner shows the two glyphs of `text` from the font picture."""
        for i, ch in enumerate(text):
            code = ord(ch)
            gx, gy = (code % 32) * 32, (code // 32) * 32
            for y in range(32):
                for x in range(32):
                    p = self.font.pixel(gx + x, gy + y)
                    if p and not shot.like(shot.pixel(i * 32 + x, y), p):
                        return False
        return True

    def wait_part(self, s, number):
        return s.wait_screen(lambda shot: self.part(shot) == number, "part %d" % number)

    def assert_enlarged(self, s, factor, frames, at=None):
        """The picture stands enlarged `factor` times (at `at` on the screen), each block of one
        colour, black all around, and is one of `frames` (SHA-1s of recorded frames)."""
        def shown():
            s.assert_running()
            screen = s.screen()
            x, y, seen = s.layout(screen)
            shot = screen.picture(x, y, 256, factor)
            return seen == factor and hashlib.sha1(shot.rgb).digest() in frames and (screen, x, y, shot)

        screen, x, y, shot = wait_for(shown, "a recorded frame enlarged %d times" % factor)
        if at:
            self.assertEqual((x, y), at)
        # Every block one colour: each screen line of a row of blocks is its pixels, each repeated
        # `factor` times, and all the lines of the row are alike.
        size, width = screen.size, 256 * factor * screen.size
        for row in range(256):
            lines = [bytes(screen.data[screen.base + (y + row * factor + dy) * screen.stride + x * size:][:width])
                     for dy in range(factor)]
            blocks = b"".join(lines[0][c * factor * size:(c * factor + 1) * size] * factor for c in range(256))
            self.assertEqual(lines[0], blocks, "a block of row %d is not one colour" % row)
            self.assertEqual(lines, [lines[0]] * factor, "the lines of block row %d differ" % row)
        x0, y0 = s.geometry()[:2]
        for px, py in ((x - 1, y), (x, y - 1), (x + 256 * factor, y + 256 * factor - 1), (x0, y0)):
            if (px, py) != (x, y) and px >= x0 and py >= y0:
                self.assertEqual(screen.pixel(px, py), 0, "black around the picture at (%d, %d)" % (px, py))


def main():
    unittest.main(argv=[sys.argv[0]] + sys.argv[1:], verbosity=2)
