"""The Windows programs under Wine, each run in a Wine of its own: a prefix copied as hard links
from the one scripts/wine-prefix makes once, whose server and every process are ended with the
run, beside an X server of the run's own (the e2e harness's Session)."""

import os
import shutil
import subprocess
import sys
import tempfile
import zipfile

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(os.path.dirname(HERE))
sys.path.insert(0, os.path.join(ROOT, "tests", "e2e"))

from harness import Session  # noqa: E402

ZIP = os.environ.get("KELP_WINDOWS_ZIP", "")
# Where the stand-in for ffmpeg.exe is (tests/windows/ffmpeg_stand_in.c).
STAND_IN = os.environ.get("KELP_FFMPEG_STAND_IN", "")
_template = []


def template():
    if not _template:
        _template.append(subprocess.run([os.path.join(ROOT, "scripts", "wine-prefix")], check=True,
                                        capture_output=True, text=True).stdout.strip())
    return _template[0]


class Wine:
    """A Wine prefix of its own; close() ends its server and everything in it, and removes it."""

    def __init__(self):
        self.folder = tempfile.mkdtemp(prefix="kelp-wine-")
        self.prefix = os.path.join(self.folder, "prefix")
        subprocess.run(["cp", "-al", template(), self.prefix], check=True)
        # A machine without a sound card; nothing offered to download.
        self.env = {"WINEPREFIX": self.prefix, "WINEDEBUG": "-all",
                    "WINEDLLOVERRIDES": "mscoree,mshtml=;winealsa.drv,winepulse.drv=d"}

    def environment(self, **changes):
        return dict(os.environ, **self.env, **changes)

    def run(self, args, env=None, **kwargs):
        """Runs a Windows program to its end; its completed process."""
        return subprocess.run(["wine"] + list(args), env=self.environment(**(env or {})), capture_output=True,
                              stdin=subprocess.DEVNULL, timeout=600, **kwargs)

    def close(self):
        environment = self.environment()
        subprocess.run(["wineserver", "-k"], env=environment, stderr=subprocess.DEVNULL)
        subprocess.run(["wineserver", "-w"], env=environment, stderr=subprocess.DEVNULL)
        shutil.rmtree(self.folder, ignore_errors=True)


class WineSession(Session):
    """A Windows program under Wine on an X server of its own, as a person on Windows runs it."""

    def __init__(self, program, env=None, **kwargs):
        self.wine = Wine()
        # SDL's own drivers for Windows: the desktop's settings are not theirs to take.
        environment = dict(self.wine.env, SDL_VIDEODRIVER=None, SDL_AUDIODRIVER=None, **(env or {}))
        try:
            super().__init__(program=program, env=environment, command=["wine"],
                             full_screen=os.path.basename(program) == "kelp2207fs.exe", **kwargs)
        except BaseException:
            self.close()
            raise

    def close(self):
        # The program, then Wine's server and its helpers, then the X server they drew on.
        if self.proc and self.proc.poll() is None:
            self.proc.kill()
            self.proc.wait()
        self.wine.close()
        super().close()


def unzipped(folder):
    """The zip unzipped into `folder`, as a Windows user does it; the folder."""
    with zipfile.ZipFile(ZIP) as z:
        z.extractall(folder)
    return folder
