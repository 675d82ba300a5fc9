"""The window, the keys that end or keep the program, and start-up without a display."""

import os
import signal
import subprocess

from harness import E2E, PROGRAM, PROGRAM_FS, main, program_environment, wait_for


class Window(E2E):
    def test_window_is_titled_and_256_square(self):
        env, modes = self.mode_log()
        s = self.session(env=env)
        s.wait_window()
        self.assertEqual(s.name(), "KELP2207")
        self.assertEqual(s.geometry()[2:], (256, 256))
        self.assertEqual(set(modes()), {"256 256 0x10000001"})  # SDL_HWSURFACE | SDL_ANYFORMAT

    def test_close_request_is_ignored_and_escape_ends_with_status_0(self):
        s = self.session()
        s.wait_window()
        s.request_close()
        # The request is taken from the queue at the next frame end; frames go on after it.
        s.wait_frames(5, "frames after the close request")
        s.assert_running()
        self.assertEqual(s.geometry()[2:], (256, 256))
        self.assertEqual(s.escape(), 0)
        self.assertEqual(s.stdout(), "")  # a normal run prints nothing

    def test_full_screen_build_runs_and_ends_on_escape(self):
        env, modes = self.mode_log()
        s = self.session(program=PROGRAM_FS, env=env)
        s.wait_window()
        self.assertEqual(set(modes()), {"640 480 0x90000001"})  # and SDL_FULLSCREEN, at the desktop's size
        s.wait_frames(2, "the show on the screen")  # as a person sees it before pressing a key
        self.assertEqual(s.escape(), 0)

    def test_a_lost_display_ends_the_program(self):
        # The X server goes away mid-show, as at a logout: the program ends and says why, instead
        # of waiting on the dead connection for ever or crashing in a library's thread.
        for program in (PROGRAM, PROGRAM_FS):
            s = self.session(program=program)
            s.wait_window()
            s.wait_frames(2)
            s.xvfb.kill()
            s.xvfb.wait()
            self.assertEqual(s.wait_exit(), 1)
            self.assertEqual(s.stderr(), "kelp2207: the connection to the display was lost\n")
            s.close()

    def test_termination_signals_end_the_show_like_escape(self):
        # Ctrl+C, kill and a closing terminal: the fade and the ordinary end, with status 0
        # (the full-screen program gives the desktop its mode back on that way out).
        for program, sig in ((PROGRAM, signal.SIGTERM), (PROGRAM, signal.SIGINT), (PROGRAM, signal.SIGHUP),
                             (PROGRAM_FS, signal.SIGHUP)):
            s = self.session(program=program)
            s.wait_window()
            s.proc.send_signal(sig)
            self.assertEqual(s.wait_exit(), 0, "after %s" % sig.name)
            s.close()


class NoDisplay(E2E):
    def run_program(self, **environment):
        result = subprocess.run([PROGRAM], env=program_environment(SDL_AUDIODRIVER="dummy", **environment),
                                stdin=subprocess.DEVNULL, capture_output=True, timeout=60)
        self.assertEqual(result.returncode, 1, result.stderr)
        self.assertEqual(result.stdout, b"")  # nothing drawn in a terminal
        lines = [line for line in result.stderr.decode().splitlines() if line.startswith("kelp2207:")]
        self.assertEqual(len(lines), 1, result.stderr)
        return lines[0]

    def test_an_unreachable_display_is_named_with_the_reason(self):
        line = self.run_program(DISPLAY=":9999", SDL_VIDEODRIVER="x11")
        self.assertTrue(line.startswith("kelp2207: cannot open the 256x256 display: "), line)
        self.assertIn("DISPLAY=:9999", line)

    def test_no_display_at_all_is_said_and_the_terminal_is_left_alone(self):
        # Unless asked for, SDL's terminal drivers would fill standard output with escape codes,
        # or end with the terminal library's own message when TERM is not set.
        for term in ("xterm", None):
            line = self.run_program(DISPLAY=None, SDL_VIDEODRIVER=None, TERM=term, XDG_RUNTIME_DIR=self.tmp())
            self.assertIn("no graphical display (DISPLAY is not set)", line)
            self.assertIn("SDL_VIDEODRIVER=caca", line)


if __name__ == "__main__":
    main()
