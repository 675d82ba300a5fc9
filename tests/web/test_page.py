"""The show in a real browser: headless Chromium opens the served site, and what a visitor sees
and hears is checked on the page. Pace and pictures are taken on the browser's virtual time."""

import os
import shutil
import subprocess
import sys
import tempfile
import time
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
sys.dont_write_bytecode = True

from page import ROOT, SITE, Page, Site, read_picture, read_png  # noqa: E402

RECORDER = os.environ.get("KELP_RECORDER", os.path.join(ROOT, "build", "record", "kelp2207-record"))
FONT = os.path.join(ROOT, "data", "font.ppm")
CORNER = os.path.join(ROOT, "data", "corner.ppm")


def status(page):
    return page.js("document.getElementById('status').textContent")


# The measured rate in hexadecimal, as the desktop's tests read it: a frame more or less in the
# measuring window when the machine is busy.
AT_50 = ("32", "31", "33")
AT_25 = ("19", "18", "1A")


def assert_readout(test, page, texts):
    """One of the rates `texts` read out top left, in the glyphs of the font picture."""
    shot, font = page.canvas(), read_picture(FONT)

    def shown(text):
        for i, digit in enumerate(text):
            gx, gy = (ord(digit) % 32) * 32, (ord(digit) // 32) * 32
            for y in range(32):
                for x in range(32):
                    if font[gy + y][gx + x] and shot[y][i * 32 + x] != font[gy + y][gx + x]:
                        return False
        return True

    test.assertTrue(any(shown(text) for text in texts), f"a read-out of {' or '.join(texts)}")


def assert_part_two(test, page):
    """White under its stars, the pale logo in the bottom-right corner."""
    shot, corner = page.canvas(), read_picture(CORNER)
    test.assertGreater(sum(row.count(0xFFFFFF) for row in shot), 256 * 256 // 10, "part two's white")
    for y, row in enumerate(corner):
        for x, p in enumerate(row):
            if p:
                test.assertEqual(shot[224 + y][128 + x], p, "part two's corner logo")


def full_screen(page):
    return page.js("document.fullscreenElement && document.fullscreenElement.id")


def assert_whole_factor(test, page, width, height, ratio):
    """The picture as large as whole factors of device pixels allow in width x height CSS pixels,
    starting on a whole device pixel."""
    box, factor = page.canvas_box(), int(min(width, height) * ratio) // 256
    test.assertEqual((round(box["width"] * ratio), round(box["height"] * ratio)), (256 * factor, 256 * factor))
    for edge in (box["x"], box["y"]):
        test.assertAlmostEqual(edge * ratio, round(edge * ratio), delta=0.05, msg="between device pixels")
    test.assertEqual(page.js("getComputedStyle(document.getElementById('screen')).imageRendering"), "pixelated")
    return factor


def settled(page, check, timeout=30):
    """check() once the page has settled. What the browser's other threads report (full screen
    entered or left, the window resized, a sound context running) reaches the page as tasks that
    paused virtual time holds back; so a check that fails is made again a frame's time later."""
    deadline = time.monotonic() + timeout
    while True:
        try:
            return check()
        except AssertionError:
            if time.monotonic() > deadline:
                raise
            time.sleep(0.05)
            page.advance(20)


def assert_full_screen(test, page, ratio):
    """The picture alone on the screen, centred on black, at the largest whole factor."""
    test.assertEqual(full_screen(page), "stage")
    width, height = page.js("[innerWidth, innerHeight]")
    factor = assert_whole_factor(test, page, width, height, ratio)
    box = page.canvas_box()
    test.assertAlmostEqual(box["x"] + box["width"] / 2, width / 2, delta=1 / ratio)
    test.assertAlmostEqual(box["y"] + box["height"] / 2, height / 2, delta=1 / ratio)
    corner = read_png(page.screenshot({"x": 0, "y": 0, "width": 8, "height": 8}))
    test.assertEqual({p for row in corner for p in row}, {0}, "not black around the picture")
    return factor


class Show(unittest.TestCase):
    width, height = 900, 800  # a viewport of about 900 x 660: the picture enlarged twice

    def setUp(self):
        self.site = Site()
        self.page = Page(self.site.url, self.width, self.height)
        self.addCleanup(self.site.close)
        self.addCleanup(self.page.close)
        self.page.wait("window.kelpPresents && kelpPresents.length > 0", "the first frame")
        self.page.freeze()

    def tearDown(self):
        self.assertEqual(self.page.errors(), [])

    def rate(self, milliseconds=2000):
        before = self.page.presents()
        self.page.advance(milliseconds)
        return (self.page.presents() - before) * 1000 / milliseconds

    def test_page_starts_and_asks_for_sound(self):
        page = self.page
        self.assertLess(page.js("kelpPresents[0]"), 5000, "first frame later than 5 s after the page opened")
        self.assertEqual(page.js("document.title"), "KELP2207")
        self.assertIn("SPACE", page.js("document.getElementById('keys').textContent"))
        # The picture enlarged by the largest whole factor that fits the window.
        box = page.canvas_box()
        self.assertEqual((box["width"], box["height"]), (512, 512))
        self.assertLessEqual(box["y"] + box["height"], page.js("innerHeight"))
        first = page.canvas()
        page.advance(200)
        self.assertNotEqual(page.canvas(), first, "the picture does not move")
        # Sound waits for the first key; then the page's audio plays what the show mixes.
        self.assertEqual(status(page), "click or press a key for sound")
        page.press("1")
        page.advance(1000)
        settled(page, lambda: self.assertEqual(status(page), "", "the sound prompt to go"))
        settled(page, lambda: self.assertGreater(page.js("kelpSound.loud"), 0, "sound that is not silence"))

    def test_pace_and_keys(self):
        page = self.page
        self.assertAlmostEqual(self.rate(), 50, delta=2)
        page.press("f")
        settled(page, lambda: assert_readout(self, page, AT_50))
        page.press("5")
        self.assertAlmostEqual(self.rate(), 25, delta=2)
        settled(page, lambda: assert_readout(self, page, AT_25))
        page.press("6")
        page.press("space")
        assert_part_two(self, page)

    def test_frame_equals_the_desktops(self):
        if not os.access(RECORDER, os.X_OK):
            self.fail(f"no desktop recorder at {RECORDER}: build the desktop programs first")
        page = self.page
        # Into part two, whose bursts draw from the generator the music also draws from every 300
        # frames: equal pictures there mean the same draws all along.
        page.advance(22000)
        frames = page.presents()
        self.assertGreater(frames, 1023 + 50)
        box = page.canvas_box()
        shot = read_png(page.screenshot(box))
        scale = int(box["width"]) // 256
        folder = tempfile.mkdtemp(prefix="kelp-frames-")
        self.addCleanup(shutil.rmtree, folder, True)
        subprocess.run([RECORDER, "--quiet", "--frames", str(frames), folder + "/"], check=True, timeout=300)
        desktop = read_picture(os.path.join(folder, f"{frames - 1:06d}.ppm"))
        for y in range(256 * scale):
            row = shot[y]
            for x in range(256 * scale):
                if row[x] != desktop[y // scale][x // scale]:
                    self.fail(f"frame {frames - 1}: screen pixel ({x}, {y}) is {row[x]:06x}, "
                              f"the desktop's ({x // scale}, {y // scale}) {desktop[y // scale][x // scale]:06x}")

    def test_enter_and_escape_full_screen(self):
        page = self.page
        before = page.canvas_box()
        page.press("enter")
        settled(page, lambda: assert_full_screen(self, page, 1))
        page.press("escape")  # the browser takes it to leave full screen; the show goes on
        settled(page, lambda: self.assertIsNone(full_screen(page)))
        settled(page, lambda: self.assertEqual(page.canvas_box(), before))
        page.advance(1000)  # longer than the fade would take
        presents = page.presents()
        page.advance(500)
        self.assertGreater(page.presents(), presents, "ESC in full screen ended the show")

    def test_escape_ends_picture_and_sound(self):
        page = self.page
        page.press("1")  # sound on
        page.advance(500)
        page.press("escape")
        page.advance(500)
        settled(page, lambda: self.assertIn("ended", status(page)))
        self.assertIn("Reload", status(page))
        presents, sound = page.presents(), page.js("kelpSound.buffers")
        page.advance(2000)
        self.assertEqual(page.presents(), presents, "frames after the end")
        self.assertEqual(page.js("kelpSound.buffers"), sound, "sound after the end")
        self.assertEqual({p for row in page.canvas() for p in row}, {0}, "the fade ends black")


class Phone(unittest.TestCase):
    """The page on a phone, touched rather than typed on, at three device pixels to the CSS pixel."""

    def open(self, width, height):
        site = Site()
        page = Page(site.url, width, height, ratio=3)
        self.addCleanup(site.close)
        self.addCleanup(page.close)
        self.addCleanup(lambda: self.assertEqual(page.errors(), []))
        page.wait("window.kelpPresents && kelpPresents.length > 0", "the first frame")
        page.freeze()
        # All of it on the screen, nothing to scroll to (which buttons there are, the keys' table
        # says: tests/driver/keys_test.cpp).
        box = page.js("""(() => { const r = document.getElementById('page').getBoundingClientRect();
                         return [r.left, r.top, r.right, r.bottom]; })()""")
        self.assertTrue(box[0] >= 0 and box[1] >= 0 and box[2] <= width and box[3] <= height, f"{box} off the screen")
        self.assertEqual(assert_whole_factor(self, page, width, height, 3), 4)
        return page

    def test_taps_act_as_keys(self):
        page = self.open(390, 844)
        self.assertEqual(status(page), "tap a button for sound")
        page.advance(2000)  # a rate measured to read out
        page.tap("[data-key='102']")
        page.advance(100)
        settled(page, lambda: self.assertEqual(status(page), "", "the first tap to start the sound"))
        settled(page, lambda: assert_readout(self, page, AT_50))
        page.tap("[data-key='rate']")  # 50 to start with, so 25
        page.advance(2000)
        settled(page, lambda: assert_readout(self, page, AT_25))
        page.tap("[data-key='32']")
        page.advance(100)
        assert_part_two(self, page)
        page.tap("[data-key='27']")
        page.advance(1000)
        settled(page, lambda: self.assertIn("ended", status(page)))
        presents = page.presents()
        page.advance(1000)
        self.assertEqual(page.presents(), presents, "frames after the end")

    def test_on_its_side_and_full_screen(self):
        page = self.open(844, 390)
        before = page.canvas_box()
        page.tap("#pad [data-full]")
        settled(page, lambda: assert_full_screen(self, page, 3))
        page.tap("#screen")  # a tap on the picture gives the page back
        settled(page, lambda: self.assertIsNone(full_screen(page)))
        settled(page, lambda: self.assertEqual(page.canvas_box(), before))


class Music(unittest.TestCase):
    """On real time: the music rewrites its bar in place as notes arrive, so the bars come out the
    same only while the page plays them at the pace of the frames, which virtual time does not keep."""

    def test_the_first_bar_is_the_desktops_value_for_value(self):
        site = Site()
        page = Page(site.url)
        self.addCleanup(site.close)
        self.addCleanup(page.close)
        page.wait("window.kelpPresents && kelpPresents.length > 0", "the first frame")
        page.key("1", True)  # the first key lets the page play sound; held for a few frames
        held = page.presents() + 3
        page.wait(f"kelpPresents.length >= {held}", "frames while the key is down")
        page.key("1", False)
        page.wait("kelpSound.values.length >= 60000", "more than a bar of sound", timeout=60)
        folder = tempfile.mkdtemp(prefix="kelp-music-")
        self.addCleanup(shutil.rmtree, folder, True)
        subprocess.run([RECORDER, "--quiet", "--frames", "60", folder + "/"], check=True, timeout=300)
        with open(os.path.join(folder, "music.wav"), "rb") as f:
            bar = f.read()[44 : 44 + 2 * 50000]
        self.assertIn(bar, page.sound_values(), "the page's first bar is not the desktop's")
        self.assertEqual(page.errors(), [])


class LoadFailures(unittest.TestCase):
    def test_missing_files_say_so(self):
        for missing in ("kelp2207.wasm", "kelp2207.js"):
            with self.subTest(missing=missing):
                folder = tempfile.mkdtemp(prefix="kelp-site-")
                self.addCleanup(shutil.rmtree, folder, True)
                for name in os.listdir(SITE):
                    if name != missing:
                        shutil.copy(os.path.join(SITE, name), folder)
                site = Site(folder)
                page = Page(site.url)
                try:
                    page.wait("document.getElementById('status').className === 'failed'", "a failure sentence")
                    self.assertIn(missing, status(page))
                    # The sentence instead of the loading bar over a black square.
                    self.assertEqual(page.js("""[!!document.getElementById('loading'),
                                                 getComputedStyle(document.getElementById('screen')).visibility]"""),
                                     [False, "hidden"])
                finally:
                    page.close()
                    site.close()


if __name__ == "__main__":
    unittest.main()
