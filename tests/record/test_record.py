"""The recorder as its users run it: its command line and failures, identical runs, the video
files through ffmpeg, and golden hashes of chosen frames of every part and of the music."""

import hashlib
import os
import pty
import shlex
import shutil
import signal
import stat
import subprocess
import sys
import tempfile
import time
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(os.path.dirname(HERE))
RECORDER = os.environ.get("KELP_RECORDER", os.path.join(ROOT, "build", "record", "kelp2207-record"))
# What runs the recorder, when it is not this system's own program (Wine for Windows').
LAUNCHER = shlex.split(os.environ.get("KELP_RECORDER_LAUNCHER", ""))
GOLDEN = os.path.join(HERE, "golden.txt")
PART = 1023
FRAME = 256 * 256 * 3


def scratch():
    """A folder in memory where there is one: a whole round is some 800 MB of pictures."""
    return tempfile.mkdtemp(prefix="kelp-record-", dir="/dev/shm" if os.path.isdir("/dev/shm") else None)


def record(*args, env=None):
    return subprocess.run([*LAUNCHER, RECORDER, "--quiet", *args], capture_output=True, text=True, timeout=600,
                          env=dict(os.environ, **(env or {})))


def sha(data):
    return hashlib.sha256(data).hexdigest()


def frame_hash(folder, index):
    with open(os.path.join(folder, "%06d.ppm" % index), "rb") as f:
        return sha(f.read())


def sound(folder):
    with open(os.path.join(folder, "music.wav"), "rb") as f:
        data = f.read()
    assert data[:4] == b"RIFF" and data[36:40] == b"data", "a plain 44-byte WAV header"
    return data[44:]


# The frames whose hashes are kept: the first, a middle one and the last of each part; and, in a
# second recording, the frame after each key of KEYS and the fade.
PLAIN = {"part %d %s" % (p + 1, which): p * PART + offset
         for p in range(4) for which, offset in (("first", 0), ("middle", PART // 2), ("last", PART - 1))}
KEYS = "100:f,200:1,300:a,310:a,320:s,400:5,600:6,1100:space,1500:esc"
KEYED = {"after f": 101, "after 1": 201, "after a": 301, "after s": 321, "after 5": 401, "after 6 and a second": 651,
         "after space": 1101, "the fade's middle": 1532, "the fade's end": 1564}


class Recorder(unittest.TestCase):
    def folder(self):
        folder = scratch()
        self.addCleanup(shutil.rmtree, folder, True)
        return folder

    def test_help_and_bad_usage(self):
        result = record("--help")
        self.assertEqual(result.returncode, 0)
        self.assertIn("usage: kelp2207-record", result.stdout)
        self.assertRegex(record("--version").stdout, r"^kelp2207-record \d+\.\d+\.\d+\n$")
        out = os.path.join(self.folder(), "out")
        for args, said in ((["--frames", "0", out], "--frames"), (["--scale", "9", out], "--scale"),
                           (["--keys", "10:q", out], "unknown key 'q'"), (["--keys", "20:f,10:f", out], "frame order"),
                           (["--keys", "50:f", "--frames", "50", out], "past the last frame"),
                           (["--bogus", out], "unknown option"), ([], "no OUTPUT")):
            result = record(*args)
            self.assertEqual(result.returncode, 2, args)
            self.assertEqual(len(result.stderr.splitlines()), 1, result.stderr)
            self.assertIn(said, result.stderr)
        self.assertFalse(os.path.exists(out), "nothing written on bad usage")

    def test_failures_say_why_and_leave_nothing_complete(self):
        folder = self.folder()
        # No ffmpeg on the path.
        video = os.path.join(folder, "show.mp4")
        result = record("--frames", "5", video, env={"PATH": "/nonexistent"})
        self.assertEqual(result.returncode, 1)
        self.assertIn("ffmpeg not found", result.stderr)
        # An ffmpeg that fails half-way.
        bin = os.path.join(folder, "bin")
        os.mkdir(bin)
        fake = os.path.join(bin, "ffmpeg")
        with open(fake, "w") as f:
            f.write("#!/bin/sh\nhead -c 100000 <&3 >/dev/null\necho 'codec exploded' >&2\nexit 1\n")
        os.chmod(fake, stat.S_IRWXU)
        result = record("--frames", "50", video, env={"PATH": bin + ":" + os.environ["PATH"]})
        self.assertEqual(result.returncode, 1)
        self.assertIn("ffmpeg failed: codec exploded", result.stderr)
        # A folder that cannot be made.
        blocker = os.path.join(folder, "file")
        open(blocker, "w").close()
        result = record("--frames", "5", os.path.join(blocker, "frames"))
        self.assertEqual(result.returncode, 1)
        self.assertIn("cannot make the folder", result.stderr)
        self.assertEqual(sorted(os.listdir(folder)), ["bin", "file"], "no half-written output is left")

    def test_a_fade_ending_on_the_last_frame_asked_for_completes(self):
        # esc at frame 10: frames 0..10, then 64 of fade; the 75th is both the fade's last and the last asked for.
        out = os.path.join(self.folder(), "out")
        result = record("--frames", "75", "--keys", "10:esc", out)
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertEqual(sorted(os.listdir(out))[-2:], ["000074.ppm", "music.wav"])
        self.assertEqual(len(sound(out)), 75 * 882 * 2)

    def test_progress_shows_on_a_terminal_only(self):
        folder = self.folder()
        quiet = subprocess.run([RECORDER, "--frames", "60", os.path.join(folder, "a")], capture_output=True, text=True)
        self.assertEqual((quiet.returncode, quiet.stderr), (0, ""), "standard error is no terminal here")
        for args, shown in (([], True), (["--quiet"], False)):
            parent, child = pty.openpty()
            run = subprocess.run([RECORDER, *args, "--frames", "60", os.path.join(folder, "b")], stdin=child,
                                 stdout=subprocess.DEVNULL, stderr=child)
            os.close(child)
            seen = b""
            try:
                while chunk := os.read(parent, 4096):
                    seen += chunk
            except OSError:  # the terminal's far end has gone
                pass
            os.close(parent)
            self.assertEqual(run.returncode, 0)
            self.assertEqual(b"60/60 frames" in seen and b"x real time" in seen and b"left" in seen, shown, seen)

    def test_two_runs_are_identical_and_the_video_is_the_folder_lossless(self):
        a, b = self.folder(), self.folder()
        mkv = os.path.join(a, "show.mkv")
        for out in (a, b, mkv):
            result = record("--frames", "120", "--keys", "30:f,60:a", out)
            self.assertEqual(result.returncode, 0, result.stderr)
        for i in range(120):
            self.assertEqual(frame_hash(a, i), frame_hash(b, i), "frame %d" % i)
        self.assertEqual(sound(a), sound(b))
        self.assertEqual(len(sound(a)), 120 * 882 * 2, "882 values a frame at 50 a second")
        decoded = subprocess.run(["ffmpeg", "-v", "error", "-i", mkv, "-f", "rawvideo", "-pix_fmt", "rgb24", "-"],
                                 capture_output=True, check=True).stdout
        self.assertEqual(len(decoded), 120 * FRAME)
        for i in range(120):
            with open(os.path.join(a, "%06d.ppm" % i), "rb") as f:
                self.assertEqual(f.read()[-FRAME:], decoded[i * FRAME : (i + 1) * FRAME], "frame %d" % i)
        samples = subprocess.run(["ffmpeg", "-v", "error", "-i", mkv, "-f", "s16le", "-"], capture_output=True,
                                 check=True).stdout
        self.assertEqual(samples, sound(a))

    def test_a_video_for_the_web_at_fifty_frames_a_second(self):
        video = os.path.join(self.folder(), "show.mp4")
        # 100 frames at 50 and 100 at 25: 2 + 4 seconds.
        result = record("--frames", "200", "--scale", "2", "--keys", "99:5", video)
        self.assertEqual(result.returncode, 0, result.stderr)
        probe = subprocess.run(["ffprobe", "-v", "error", "-show_entries",
                                "stream=codec_name,width,height,pix_fmt,r_frame_rate,sample_rate:format=duration",
                                "-of", "default=noprint_wrappers=1", video], capture_output=True, text=True,
                               check=True).stdout
        for expected in ("codec_name=h264", "width=512", "height=512", "pix_fmt=yuv420p", "r_frame_rate=50/1",
                         "codec_name=aac", "sample_rate=44100"):
            self.assertIn(expected, probe)
        duration = float(probe.split("duration=")[1].split()[0])
        self.assertAlmostEqual(duration, 6.0, delta=0.05)
        with open(video, "rb") as f:
            head = f.read(4096)
        self.assertLess(head.find(b"moov"), head.find(b"mdat") if b"mdat" in head else 4096, "the index in front")

    def test_webm_and_gif_hold_the_frames_at_fifty_a_second(self):
        folder = self.folder()
        for name, streams in (("show.webm", ("codec_name=vp9", "codec_name=opus")), ("show.gif", ("codec_name=gif",))):
            video = os.path.join(folder, name)
            result = record("--frames", "50", video)
            self.assertEqual(result.returncode, 0, result.stderr)
            probe = subprocess.run(["ffprobe", "-v", "error", "-count_frames", "-show_entries",
                                    "stream=codec_name,width,height,nb_read_frames", "-of",
                                    "default=noprint_wrappers=1", video], capture_output=True, text=True,
                                   check=True).stdout
            for expected in streams + ("width=256", "height=256", "nb_read_frames=50"):
                self.assertIn(expected, probe, name)
            self.assertEqual(probe.count("codec_name="), len(streams), "a gif has no sound: " + probe)

    def test_interrupted_recordings_leave_nothing_and_no_encoder(self):
        """Ctrl+C from a terminal (SIGINT to the whole process group) and kill (SIGTERM to the
        recorder), into a video and into a folder, while the recording is under way."""
        folder = self.folder()
        for name, sig, group in (("show.mkv", signal.SIGINT, True), ("frames", signal.SIGINT, True),
                                 ("show.mkv", signal.SIGTERM, False), ("frames", signal.SIGTERM, False)):
            out = os.path.join(folder, name)
            started = os.path.join(out, "000050.ppm") if name == "frames" else out + ".partial"
            run = subprocess.Popen([RECORDER, "--quiet", "--frames", "200000", out], stdin=subprocess.DEVNULL,
                                   stderr=subprocess.PIPE, text=True, start_new_session=True)
            deadline = time.monotonic() + 60
            while not (os.path.exists(started) and os.path.getsize(started) > 0):
                if run.poll() is not None or time.monotonic() > deadline:
                    os.killpg(run.pid, signal.SIGKILL)
                    raise AssertionError("the recording did not start: " + run.communicate()[1])
                time.sleep(0.05)
            encoders = [pid for pid in os.listdir("/proc") if pid.isdigit() and self.encodes(pid, out)]
            if name != "frames":
                self.assertEqual(len(encoders), 1, "one ffmpeg")
            (os.killpg if group else os.kill)(run.pid, sig)
            try:
                _, err = run.communicate(timeout=60)
            except subprocess.TimeoutExpired:
                os.killpg(run.pid, signal.SIGKILL)
                raise AssertionError("%s into %s: the recorder did not end" % (sig.name, name))
            self.assertEqual((run.returncode, err), (1, "kelp2207-record: interrupted\n"), "%s %s" % (sig.name, name))
            self.assertEqual(os.listdir(folder) if name != "frames" else os.listdir(out), [], "nothing is left")
            self.assertEqual([pid for pid in encoders if os.path.exists("/proc/" + pid)], [], "ffmpeg has ended")
            shutil.rmtree(out, ignore_errors=True)

    @staticmethod
    def encodes(pid, out):
        try:
            with open("/proc/%s/cmdline" % pid, "rb") as f:
                return (out + ".partial").encode() in f.read().split(b"\0")
        except OSError:
            return False

    def test_golden_frames_of_every_part_and_the_music(self):
        """Any change to what a part draws or the music plays fails here, naming the frame.
        KELP_RENEW_GOLDEN=1 writes the hashes anew after a change made on purpose."""
        plain, keyed = self.folder(), self.folder()
        for out, args, frames in ((plain, ["--frames", str(4 * PART)], PLAIN),
                                  (keyed, ["--frames", "1600", "--keys", KEYS], KEYED)):
            # Only the frames whose hashes are kept are written: the rest would be a gigabyte.
            result = record(*args, "--only", ",".join(str(i) for i in sorted(frames.values())), out)
            self.assertEqual(result.returncode, 0, result.stderr)
            wanted = ["%06d.ppm" % i for i in frames.values()] + ["music.wav"]
            self.assertEqual(sorted(os.listdir(out)), sorted(wanted))
        # esc ends the recording after the fade: 1565 frames, the 200 at 25 a second with twice the sound.
        self.assertEqual(len(sound(keyed)), (1565 + 200) * 882 * 2)
        found = {name: frame_hash(plain, i) for name, i in PLAIN.items()}
        found.update({name: frame_hash(keyed, i) for name, i in KEYED.items()})
        found["music of part 1"] = sha(sound(plain)[: PART * 882 * 2])
        found["music with the keys"] = sha(sound(keyed))
        if os.environ.get("KELP_RENEW_GOLDEN"):
            with open(GOLDEN, "w") as f:
                f.write("# sha256 of chosen recorded frames (PPM files) and of the music (WAV data);\n"
                        "# renew with KELP_RENEW_GOLDEN=1 (see the README)\n")
                for name, digest in found.items():
                    f.write("%s: %s\n" % (name, digest))
            return
        with open(GOLDEN) as f:
            golden = dict(line.rstrip("\n").rsplit(": ", 1) for line in f if not line.startswith("#"))
        frames = dict(PLAIN, **KEYED)
        for name, digest in golden.items():
            where = " (frame %d)" % frames[name] if name in frames else ""
            self.assertEqual(found[name], digest, "%s%s changed" % (name, where))


if __name__ == "__main__":
    unittest.main(argv=[sys.argv[0]] + sys.argv[1:], verbosity=2)
