"""The show as a viewer sees it: the parts in order, their pictures, the keys and the fade."""

import hashlib
import os
import subprocess
import time

from harness import CLOCKSTEP, E2E, PRESENTHOLD, PROGRAM, PROGRAM_FS, Looks, main, preload, recorded_frames, wait_for


class Show(Looks, E2E):
    # --- the tests --------------------------------------------------------------------------

    def test_parts_follow_in_order_and_space_moves_on(self):
        s = self.session()
        s.wait_window()
        self.wait_part(s, 1)
        for number in (2, 3, 4, 1):
            s.hold("space", lambda shot, n=number: self.part(shot) == n, "part %d" % number)

    def test_frames_keep_coming(self):
        s = self.session()
        s.wait_window()
        first = self.wait_part(s, 1)
        s.wait_screen(lambda shot: shot.rgb != first.rgb, "a new frame")

    def test_part_two_is_white_gaining_stars_under_the_corner_logo(self):
        # Stars cover most of the white within a second, so how much a first screenshot still
        # finds depends on the load: the recorder's frames of the part, in order, tell which
        # moment each screenshot caught (the part draws the same from whenever it starts).
        moment = {}
        for i, frame in enumerate(recorded_frames(400, keys="0:space")[1:]):
            moment.setdefault(frame, i)

        def white(shot):
            return sum(1 for i in range(0, len(shot.rgb), 3) if shot.rgb[i : i + 3] == b"\xff\xff\xff")

        def when(shot):
            return moment.get(hashlib.sha1(shot.rgb).digest())

        s = self.session()
        s.wait_window()
        self.wait_part(s, 1)
        early = s.hold("space", lambda shot: self.part(shot) == 2, "part 2")
        self.assertIsNotNone(when(early), "a frame of part two as the recorder draws it")
        if when(early) < 20:  # the first moments, caught on a machine with time to spare
            self.assertGreater(white(early), 256 * 256 // 10, "white to begin with")
        later = s.wait_screen(lambda shot: self.part(shot) == 2 and (when(shot) or 0) > when(early) + 25,
                              "half a second more of part two")
        self.assertTrue(white(later) < white(early) or white(early) == 0, "stars to cover more of the white")
        # Rays are light: every non-white pixel outside the logo has each channel at 128 or more.
        for y in range(0, 224, 3):
            for x in range(0, 256, 3):
                p = later.pixel(x, y)
                self.assertTrue(all(((p >> k) & 0xFF) >= 128 for k in (0, 8, 16)), hex(p))

    def test_part_four_rectangles_under_the_top_right_logo(self):
        s = self.session()
        s.wait_window()
        self.wait_part(s, 1)
        for number in (2, 3, 4):
            shot = s.hold("space", lambda shot, n=number: self.part(shot) == n, "part %d" % number)
        outer = shot.pixel(0, 255)
        self.assertTrue(all(((outer >> k) & 0xFF) >= 126 for k in (0, 8, 16)), hex(outer))
        self.assertEqual(shot.pixel(0, 0), outer, "the two outermost rectangles cover the border")
        # Nested and darker towards the centre.
        centre = shot.pixel(128, 128)
        self.assertLess(sum((centre >> k) & 0xFF for k in (0, 8, 16)), sum((outer >> k) & 0xFF for k in (0, 8, 16)))

    def test_readout_shows_the_measured_rate(self):
        s = self.session()
        s.wait_window()
        self.wait_part(s, 1)
        s.hold("f", lambda shot: any(self.digits(shot, t) for t in ("31", "32", "33")), "the read-out at 50")
        s.hold("5", lambda shot: any(self.digits(shot, t) for t in ("18", "19", "1A")), "the read-out at 25")
        s.hold("6", lambda shot: any(self.digits(shot, t) for t in ("31", "32", "33")), "the read-out at 50")
        s.hold("f", lambda shot: self.part(shot) == 1 and not self.digits(shot, "32") and not self.digits(shot, "31")
                      and not self.digits(shot, "33"), "the read-out gone")

    def test_key_1_hides_and_shows_the_scroller_band(self):
        s = self.session()
        s.wait_window()
        self.wait_part(s, 1)
        s.wait_screen(lambda shot: not self.only_badge(shot, 193, 256), "the scroller's letters in the band")
        s.hold("1", lambda shot: self.only_badge(shot, 160, 256), "the band without letters")
        # Off: over several frames the band shows only the turning badge.
        for _ in range(3):
            s.wait_screen(lambda shot: self.only_badge(shot, 160, 256), "the band without letters")
        s.hold("1", lambda shot: not self.only_badge(shot, 193, 256), "the letters back")

    def test_escape_fades_to_black_and_ends_with_status_0(self):
        # A white root window shows when the program's window has gone, so black can only be
        # the program's own last frame. The fade runs as fast as frames can be shown: each is
        # held on the screen a few milliseconds, the last one longer, for the test to see them
        # however busy the machine is.
        s = self.session(xvfb_args=["-wr"], env=preload(PRESENTHOLD, KELP_PRESENT_HOLD_MS=4, KELP_QUIT_HOLD_MS=500))
        s.wait_window()
        s.hold("space", lambda shot: self.part(shot) == 2, "part 2")  # a bright picture to fade from
        wx, wy, _, _ = s.geometry()
        fb = s.framebuffer()
        points = [(wx + x, wy + y) for x in range(16, 256, 48) for y in range(16, 224, 48)]

        def level():
            return max(max((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF) for p in (fb.pixel(*q) for q in points))

        # Follow the framebuffer from before the key goes down until the window has gone.
        levels = [level()]
        key = subprocess.Popen(["xdotool", "keydown", "Escape"], env=dict(os.environ, DISPLAY=s.display))
        deadline = time.monotonic() + 60
        while time.monotonic() < deadline:
            value = level()
            if value != levels[-1]:
                levels.append(value)
            if s.proc.poll() is not None and value == 255 and 0 in levels:
                break
            if s.proc.poll() is not None and time.monotonic() > deadline - 55:
                break
        key.wait()
        s.x("xdotool", "keyup", "Escape")
        fb.close()
        self.assertEqual(s.wait_exit(), 0)
        # What a viewer sees: the bright picture, darker and darker ones, black last.
        self.assertIn(0, levels, "the last frame is black: %s" % levels)
        # The show's own frames may still come and go until the key is read: the fade is the run
        # that only darkens, down to black.
        black = levels.index(0)
        fading = levels[max((i + 1 for i in range(black) if levels[i] < levels[i + 1]), default=0) : black + 1]
        # Part two starts white; stars cover more of it the longer a loaded machine takes to get here.
        self.assertGreaterEqual(fading[0], 160, "a bright picture first: %s" % levels)
        self.assertGreaterEqual(len(fading), 8, "darker frames before black: %s" % levels)

def clock_step(seconds):
    def test(self):
        # The clock steps three seconds in: the show goes on at its pace and obeys SIGTERM,
        # where a frame used to wait out the step (ten seconds back) or a wrapped clock
        # (twenty minutes ahead).
        if seconds < 0 and os.environ.get("KELP_SDL_LIBRARY") == "compat":
            self.skipTest("SDL 2 paces on a monotonic clock, which never steps back")
        stepped = os.path.join(self.tmp(), "stepped")
        s = self.session(env=preload(CLOCKSTEP, KELP_CLOCK_STEP=seconds, KELP_CLOCK_STEP_AFTER=3,
                                     KELP_CLOCK_STEPPED=stepped))
        s.wait_window()
        self.wait_part(s, 1)
        s.hold("f", lambda shot: any(self.digits(shot, t) for t in ("31", "32", "33")), "the read-out")
        wait_for(lambda: os.path.exists(stepped), "the clock to step")
        shot = s.picture()
        for _ in range(3):
            # Well inside the ten seconds a frame would wait out the step back.
            shot = s.wait_screen(lambda new, old=shot: new.rgb != old.rgb, "a new frame after the step", timeout=5)
        # The pace itself: a loaded machine may take a while to let a whole second run at 50.
        s.wait_screen(lambda shot: any(self.digits(shot, t) for t in ("31", "32", "33")), "the read-out at 50")
        s.proc.terminate()
        self.assertEqual(s.wait_exit(), 0)
    return test


for _seconds in (3000, -10):
    setattr(Show, "test_clock_step_of_%s_seconds_keeps_the_pace" % str(_seconds).replace("-", "minus_"),
            clock_step(_seconds))


def every_part_shows(program, depth):
    def test(self):
        # A screen three times the picture: a library that scales full screen to the desktop
        # enlarges it by a whole factor there.
        s = self.session(program=program, depth=depth, screen="1024x768")
        s.wait_window()
        self.wait_part(s, 1)
        for number in (2, 3, 4):
            s.hold("space", lambda shot, n=number: self.part(shot) == n, "part %d" % number)
        self.assertEqual(s.escape(), 0)
    return test


# Both programs at the usual depth and at 16 bits, where every present converts.
for _name, _program in (("window", PROGRAM), ("full_screen", PROGRAM_FS)):
    for _depth in (24, 16):
        setattr(Show, "test_every_part_shows_%s_at_depth_%d" % (_name, _depth), every_part_shows(_program, _depth))


if __name__ == "__main__":
    main()
