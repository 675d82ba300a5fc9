"""The window, the keys that end or keep the program, and start-up without a display."""

import os
import subprocess
import time

from harness import E2E, PROGRAM, PROGRAM_FS, main, wait_for


class Window(E2E):
    def test_window_is_titled_and_256_square(self):
        s = self.session()
        s.wait_window()
        self.assertEqual(s.name(), "KELP2207")
        self.assertEqual(s.geometry()[2:], (256, 256))

    def test_close_request_is_ignored_and_escape_ends_with_status_0(self):
        s = self.session()
        s.wait_window()
        s.request_close()
        # The request is handled within a frame or two; give it ample time to (not) act.
        time.sleep(1.5)
        s.assert_running()
        self.assertEqual(s.geometry()[2:], (256, 256))
        s.press("Escape")
        self.assertEqual(s.wait_exit(), 0)
        self.assertEqual(s.stdout(), "")  # a normal run prints nothing

    def test_full_screen_build_runs_and_ends_on_escape(self):
        s = self.session(program=PROGRAM_FS)
        s.wait_window()
        s.press("Escape")
        self.assertEqual(s.wait_exit(), 0)

    def test_termination_signal_ends_the_show_like_escape(self):
        s = self.session()
        s.wait_window()
        s.proc.terminate()
        self.assertEqual(s.wait_exit(), 0)


class NoDisplay(E2E):
    def test_without_a_display_one_line_on_stderr_and_status_1(self):
        env = dict(os.environ, DISPLAY=":9999", SDL_VIDEODRIVER="x11", SDL_AUDIODRIVER="dummy")
        result = subprocess.run([PROGRAM], env=env, capture_output=True, timeout=60)
        self.assertEqual(result.returncode, 1)
        lines = result.stderr.decode().splitlines()
        self.assertEqual(len(lines), 1, lines)
        prefix = "kelp2207: cannot open the 256x256 display: "
        self.assertTrue(lines[0].startswith(prefix), lines[0])
        self.assertGreater(len(lines[0]), len(prefix), "SDL's own reason follows")
        self.assertEqual(result.stdout, b"")


if __name__ == "__main__":
    main()
