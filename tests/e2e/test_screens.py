"""The show sized for the screen: a window enlarged by whole pixels (KELP2207_SCALE), resized by
hand, and full screen at the desktop's own resolution without a change of video mode. Every
enlarged block is one colour, and the picture they make is a frame the recorder draws too."""

import hashlib
import os
import subprocess

from harness import E2E, PROGRAM, PROGRAM_FS, Looks, main, program_environment, recorded_frames, wait_for


class Screens(Looks, E2E):
    @classmethod
    def setUpClass(cls):
        super().setUpClass()
        cls.frames = set(recorded_frames(1023))  # part one

    def test_window_enlarged_by_whole_pixels(self):
        # auto: the largest window within four fifths of the screen's height (720 of 900: twice).
        for scale, factor in (("1", 1), ("2", 2), ("3", 3), ("auto", 2)):
            env, modes = self.mode_log()
            s = self.session(env=dict(env, KELP2207_SCALE=scale), screen="1024x900")
            s.wait_window()
            self.assertEqual(s.geometry()[2:], (256 * factor, 256 * factor), scale)
            self.assertEqual(set(modes()), {"%d %d 0x10000011" % (256 * factor, 256 * factor)})  # and SDL_RESIZABLE
            self.assert_enlarged(s, factor, self.frames)
            s.close()

    def test_a_resized_window_enlarges_the_picture_and_centres_it_on_black(self):
        s = self.session(env={"KELP2207_SCALE": "1"}, screen="1024x900")
        s.wait_window()
        s.x("xdotool", "windowmove", s.window, "0", "0")  # all of it on the screen
        s.x("xdotool", "windowsize", s.window, "600", "700")
        wait_for(lambda: s.geometry()[2:] == (600, 700), "the window at 600 x 700")
        x0, y0 = s.geometry()[:2]
        self.assert_enlarged(s, 2, self.frames, (x0 + 44, y0 + 94))

    def test_full_screen_takes_the_desktop_without_changing_its_mode(self):
        for screen, environment, factor, at in (("1920x1080", {}, 4, (448, 28)), ("1024x768", {}, 3, (128, 0)),
                                                ("1920x1080", {"KELP2207_SCALE": "2"}, 2, (704, 284))):
            s = self.session(program=PROGRAM_FS, screen=screen, env=environment)
            mode = s.x("xrandr", "--query")
            s.wait_window()
            self.assert_enlarged(s, factor, self.frames, at)
            self.assertEqual(s.escape(), 0)
            self.assertEqual(s.x("xrandr", "--query"), mode, "the screen's mode after the show")
            s.close()

    def test_full_screen_in_a_video_mode_of_its_own_on_request(self):
        env, modes = self.mode_log()
        s = self.session(program=PROGRAM_FS, env=dict(env, KELP2207_FULLSCREEN="mode"))
        s.wait_window()
        self.assertEqual(set(modes()), {"256 256 0x90000001"})
        s.wait_frames(2)
        # A library over SDL 2 scales that mode to the screen itself, smoothly: only the classic
        # one shows the frame pixel for pixel.
        if os.environ.get("KELP_SDL_LIBRARY") != "compat":
            self.assertTrue(hashlib.sha1(s.picture().rgb).digest() in self.frames, "not a frame of part one")
        self.assertEqual(s.escape(), 0)

    def test_a_setting_that_is_not_understood_is_named_and_ends_with_status_2(self):
        for program, name, value in ((PROGRAM, "KELP2207_SCALE", "9"), (PROGRAM, "KELP2207_SCALE", "x"),
                                     (PROGRAM_FS, "KELP2207_SCALE", "0"), (PROGRAM_FS, "KELP2207_FULLSCREEN", "no")):
            result = subprocess.run([program], env=program_environment(**{name: value}), stdin=subprocess.DEVNULL,
                                    capture_output=True, timeout=60)
            self.assertEqual(result.returncode, 2, (name, value))
            lines = result.stderr.decode().splitlines()
            self.assertEqual(len(lines), 1, lines)
            self.assertTrue(lines[0].startswith("kelp2207: " + name + " takes "), lines[0])


if __name__ == "__main__":
    main()
