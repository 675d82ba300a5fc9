"""The recorder shows exactly what the window shows: screenshots of the live program during
part one are recorded frames, bit for bit, and its first bar of music is the recorded one."""

import os
import shutil
import subprocess
import tempfile

from harness import E2E, main, wait_for
from test_sound import read_stream

RECORDER = os.environ.get("KELP_RECORDER")
BAR = 50000


class Recording(E2E):
    @classmethod
    def setUpClass(cls):
        cls.folder = tempfile.mkdtemp(prefix="kelp-record-", dir="/dev/shm" if os.path.isdir("/dev/shm") else None)
        subprocess.run([RECORDER, "--quiet", "--frames", "1023", cls.folder], check=True, timeout=600)
        cls.frames = set()
        for name in os.listdir(cls.folder):
            if name.endswith(".ppm"):
                with open(os.path.join(cls.folder, name), "rb") as f:
                    cls.frames.add(f.read()[-256 * 256 * 3 :])
        with open(os.path.join(cls.folder, "music.wav"), "rb") as f:
            cls.music = f.read()[44:]

    @classmethod
    def tearDownClass(cls):
        shutil.rmtree(cls.folder, True)

    def test_live_frames_are_recorded_frames_and_the_first_bar_is_the_same(self):
        capture = os.path.join(self.tmp(), "capture.raw")
        s = self.session(env={"SDL_AUDIODRIVER": "disk", "SDL_DISKAUDIOFILE": capture, "SDL_DISKAUDIODELAY": "150"})
        s.wait_window()
        shot = s.picture()
        for _ in range(6):
            shot = s.wait_screen(lambda new, old=shot: new.rgb != old.rgb, "a new frame")
            self.assertIn(shot.rgb, self.frames, "a live frame of part one that the recorder did not record")
        # The live device played silence until the first frame queued the bar, so look for the
        # recorded bar, value for value, anywhere in the capture.
        bar = self.music[: 2 * BAR]
        wait_for(lambda: s.assert_running() or read_stream(capture).tobytes().find(bar) >= 0,
                 "the recorded first bar in the live sound", timeout=120, interval=0.5)
        self.assertEqual(s.escape(), 0)


if __name__ == "__main__":
    main()
