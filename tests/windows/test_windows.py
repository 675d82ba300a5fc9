"""The Windows zip as a Windows user gets it: unzipped into a fresh folder, its programs run under
Wine on an X server of their own, each in a Wine of its own. Its frames and music are the Linux
recorder's (the golden hashes run under Wine too, from tests/record)."""

import hashlib
import os
import signal
import subprocess
import sys
import tempfile
import time
import unittest
import zipfile

sys.dont_write_bytecode = True
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from wine import STAND_IN, ZIP, Wine, WineSession, unzipped  # noqa: E402
from harness import E2E, RECORDER, Looks, read_netpbm_file, recorded_frames, wait_for  # noqa: E402

PROGRAMS = ["kelp2207.exe", "kelp2207fs.exe", "kelp2207-record.exe"]
TEXTS = ["README.txt", "LICENSE.txt", "COPYRIGHT.txt", "SDL-COPYING.txt", "SDL-SOURCE.txt"]


class Fresh(unittest.TestCase):
    """A test with the zip unzipped into a folder of its own, and nothing else there."""

    def setUp(self):
        self.folder = unzipped(self.scratch())

    def scratch(self):
        folder = tempfile.mkdtemp(prefix="kelp-windows-", dir="/dev/shm" if os.path.isdir("/dev/shm") else None)
        self.addCleanup(subprocess.run, ["rm", "-rf", folder])
        return folder

    def wine(self):
        wine = Wine()
        self.addCleanup(wine.close)
        return wine


class Zip(Fresh):
    def test_the_programs_sdl_and_the_texts_in_two_and_a_half_megabytes(self):
        with zipfile.ZipFile(ZIP) as z:
            self.assertEqual(sorted(z.namelist()), sorted(PROGRAMS + ["SDL.dll"] + TEXTS))
            texts = {name: z.read(name) for name in TEXTS}
        self.assertLessEqual(os.path.getsize(ZIP), 2.5 * 1024 * 1024)
        for name, text in texts.items():
            self.assertNotIn(b"\n", text.replace(b"\r\n", b""), name + " has Windows line ends")
        self.assertIn(b"GNU LESSER GENERAL PUBLIC LICENSE", texts["SDL-COPYING.txt"])
        for where in (b"Debian's source package libsdl1.2", b"https://sources.debian.org/src/libsdl1.2/"):
            self.assertIn(where, texts["SDL-SOURCE.txt"])
        for key in (b"ESC", b"SPACE", b"KELP2207_SCALE", b"kelp2207fs.exe", b"kelp2207-record.exe"):
            self.assertIn(key, texts["README.txt"])
        # The runtime is linked in: the programs ask for SDL.dll and Windows' own libraries alone.
        for program in PROGRAMS:
            imports = subprocess.run(["x86_64-w64-mingw32-objdump", "-p", os.path.join(self.folder, program)],
                                     capture_output=True, text=True, check=True).stdout
            dlls = {line.split(":")[1].strip().lower() for line in imports.splitlines() if "DLL Name:" in line}
            self.assertLessEqual(dlls, {"sdl.dll", "kernel32.dll", "user32.dll", "msvcrt.dll", "advapi32.dll",
                                        "gdi32.dll", "shell32.dll", "ws2_32.dll"}, program)


class Recorder(Fresh):
    def record(self, wine, *args, env=None):
        return wine.run([os.path.join(self.folder, "kelp2207-record.exe"), "--quiet", *args], env=env)

    def linux(self, *args):
        subprocess.run([RECORDER, "--quiet", *args], check=True, capture_output=True, timeout=600)

    def test_a_folder_is_the_linux_recorders_byte_for_byte(self):
        keys = ["--frames", "160", "--keys", "40:f,80:space,100:5,120:1"]
        ours, theirs = os.path.join(self.scratch(), "frames"), os.path.join(self.scratch(), "frames")
        result = self.record(self.wine(), *keys, ours)
        self.assertEqual(result.returncode, 0, result.stderr)
        self.linux(*keys, theirs)
        self.assertEqual(sorted(os.listdir(ours)), sorted(os.listdir(theirs)))
        for name in os.listdir(theirs):
            with open(os.path.join(ours, name), "rb") as a, open(os.path.join(theirs, name), "rb") as b:
                self.assertTrue(a.read() == b.read(), name)

    def test_videos_go_through_ffmpeg_exe_found_on_the_path(self):
        wine, out = self.wine(), self.scratch()
        video = os.path.join(out, "show.mkv")
        result = self.record(wine, "--frames", "5", video)
        self.assertEqual(result.returncode, 1)
        lines = result.stderr.decode().splitlines()
        self.assertEqual(len(lines), 1, lines)
        self.assertIn("ffmpeg.exe not found", lines[0])
        self.assertIn("folder", lines[0])
        self.assertEqual(os.listdir(out), [])
        # The same arguments and streams as on Linux reach the encoder found on the path.
        result = self.record(wine, "--frames", "60", "--keys", "20:5", video, env={"WINEPATH": STAND_IN})
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertEqual(os.listdir(out), ["show.mkv"])
        with open(video, "rb") as f:
            head, _, rest = f.read().partition(b"\n\n")
        arguments = head.decode().split("\n")
        self.assertEqual(arguments[-1], video + ".partial")
        for given in ("-f rawvideo -pix_fmt rgb24 -video_size 256x256 -framerate 50 -i pipe:3",
                      "-f s16le -ar 44100 -ac 1 -i pipe:4", "-c:v ffv1", "-c:a flac -f matroska"):
            self.assertIn(given, " ".join(arguments))
        count, _, streams = rest.partition(b"\n")
        frames = os.path.join(self.scratch(), "frames")
        self.linux("--frames", "60", "--keys", "20:5", frames)
        pictures = []
        for i in range(60):
            # A frame of a 25-frames-a-second stretch stands twice in a video.
            picture = read_netpbm_file(os.path.join(frames, "%06d.ppm" % i)).rgb
            pictures.append(picture * (2 if i > 20 else 1))
        with open(os.path.join(frames, "music.wav"), "rb") as f:
            music = f.read()[44:]
        self.assertEqual(int(count), len(b"".join(pictures)))
        self.assertTrue(streams[: int(count)] == b"".join(pictures), "the pictures as the Linux recorder draws them")
        self.assertTrue(streams[int(count):] == music, "the music as the Linux recorder plays it")

    def test_ctrl_c_leaves_nothing_that_looks_complete(self):
        """Ctrl+C (Wine makes a console Ctrl+C event of SIGINT) while frames go into a folder and
        while a stuck encoder holds a video back."""
        for name, started in (("frames", os.path.join("frames", "000050.ppm")), ("show.mkv", "show.mkv.partial")):
            wine, out = self.wine(), self.scratch()
            target, started = os.path.join(out, name), os.path.join(out, started)
            run = subprocess.Popen(["wine", os.path.join(self.folder, "kelp2207-record.exe"), "--quiet", "--frames",
                                    "200000", target], stdin=subprocess.DEVNULL, stderr=subprocess.PIPE,
                                   env=wine.environment(WINEPATH=STAND_IN, KELP_STAND_IN_STALL="1"))
            self.addCleanup(run.kill)
            wait_for(lambda: run.poll() is not None or (os.path.exists(started) and os.path.getsize(started) > 0),
                     "the recording under way")
            self.assertIsNone(run.poll(), "the recorder ended early")
            run.send_signal(signal.SIGINT)
            _, err = run.communicate(timeout=120)
            self.assertEqual((run.returncode, err.decode().replace("\r\n", "\n")), (1, "kelp2207-record: interrupted\n"),
                             name)
            self.assertEqual(os.listdir(target) if name == "frames" else os.listdir(out), [], name)


class Window(Looks, E2E):
    """kelp2207.exe and kelp2207fs.exe as a person on Windows sees and steers them."""

    @classmethod
    def setUpClass(cls):
        super().setUpClass()
        cls.frames = set(recorded_frames(1023))  # part one, as the Linux recorder draws it

    def setUp(self):
        self.folder = unzipped(self.tmp())

    def session(self, program="kelp2207.exe", **kwargs):
        s = WineSession(os.path.join(self.folder, program), **kwargs)
        self.addCleanup(s.close)
        return s

    def test_the_show_its_keys_and_the_fade(self):
        s = self.session(xvfb_args=["-wr"])  # a white root: what is darker is the program's own
        s.wait_window()
        self.assertEqual(s.geometry()[2:], (256, 256))
        s.wait_screen(lambda shot: hashlib.sha1(shot.rgb).digest() in self.frames, "a recorded frame of part one")
        s.hold("f", lambda shot: any(self.digits(shot, t) for t in ("31", "32", "33")), "the read-out")
        s.hold("space", lambda shot: self.part(shot) == 2, "part two")
        # ESC: the fade, then the end with status 0. Wine shows the 64 frames of the fade within a
        # few milliseconds, so only some are caught here; those only darken (the fade's pictures
        # themselves are the golden hashes').
        wx, wy = s.geometry()[:2]
        fb = s.framebuffer()
        points = [(wx + x, wy + y) for x in range(16, 256, 48) for y in range(16, 224, 48)]
        levels = []
        s.x("xdotool", "keydown", "Escape")
        deadline = time.monotonic() + 60
        while s.proc.poll() is None and time.monotonic() < deadline:
            level = max(max((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF) for p in (fb.pixel(*q) for q in points))
            if not levels or level != levels[-1]:
                levels.append(level)
        s.x("xdotool", "keyup", "Escape")
        fb.close()
        self.assertEqual(s.wait_exit(), 0)
        # Without a sound device the show runs silent, and says nothing of it.
        self.assertEqual([line for line in s.stderr().splitlines() if "kelp2207" in line], [])
        if levels[-1] == 255:
            levels.pop()  # the root, once the window has gone
        self.assertEqual(levels, sorted(levels, reverse=True), "the picture only darkens: %s" % levels)

    def test_a_scale_of_2_is_a_window_of_2_by_2_blocks(self):
        s = self.session(env={"KELP2207_SCALE": "2"}, screen="1024x900")
        s.wait_window()
        self.assertEqual(s.geometry()[2:], (512, 512))
        self.assert_enlarged(s, 2, self.frames)

    def test_full_screen_is_the_picture_four_times_on_1920_by_1080(self):
        s = self.session("kelp2207fs.exe", screen="1920x1080")
        s.wait_window()
        self.assert_enlarged(s, 4, self.frames, (448, 28))
        self.assertEqual(s.escape(), 0)

    def test_a_bad_scale_is_told_in_a_message_box_and_ends_with_status_2(self):
        s = self.session(env={"KELP2207_SCALE": "9"})
        s.wait_window()  # the message box, titled as the show
        _, _, width, height = s.geometry()
        self.assertLess(height, 256, "a box, not the show's window")
        s.x("xdotool", "mousemove", "--window", s.window, str(width // 2), str(height // 2))
        s.press("Return")  # its button
        self.assertEqual(s.wait_exit(), 2)
        said = [line for line in s.stderr().splitlines() if line.startswith("kelp2207:")]
        self.assertEqual(said, ["kelp2207: KELP2207_SCALE takes a whole number from 1 to 8 or auto, not '9'"])


if __name__ == "__main__":
    unittest.main(argv=[sys.argv[0]] + sys.argv[1:], verbosity=2)
