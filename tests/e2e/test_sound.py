"""The music as the audio device receives it, captured through SDL's disk writer: silence until
the first frame, then one bar of 50000 values looping value for value, changed one note at a
time by exactly one of the instrument sounds at one of 16 steps of the bar."""

import array
import glob
import os
import shutil
import sys
import tempfile
import wave

from harness import E2E, ROOT, main, wait_for

BAR = 50000
STEP = 3125  # the bar's 16 places for a note
DEVICE_FRAMES = 4096  # values per device buffer: the disk writer writes whole ones


def instruments():
    sounds = []
    for name in sorted(glob.glob(os.path.join(ROOT, "data", "instruments", "*.wav"))):
        with wave.open(name, "rb") as w:
            assert (w.getnchannels(), w.getsampwidth(), w.getframerate()) == (1, 2, 44100), name
            values = array.array("h", w.readframes(w.getnframes()))
        if sys.byteorder == "big":
            values.byteswap()
        sounds.append(values)
    assert len(sounds) == 13
    return sounds


def read_stream(path):
    try:
        with open(path, "rb") as f:
            data = f.read()
    except FileNotFoundError:
        return array.array("h")
    values = array.array("h", data[: len(data) & ~1])
    if sys.byteorder == "big":
        values.byteswap()
    return mono(values)


def mono(values):
    """The stream as one channel: a writer that plays mono on two channels writes every value
    twice, which no stretch of this music does by itself."""
    pairs = len(values) // 2
    if pairs and any(values) and values[0 : 2 * pairs : 2] == values[1 : 2 * pairs : 2]:
        return values[0 : 2 * pairs : 2]
    return values


def first_change(s, start):
    """The first index j >= start where the stream stops repeating itself one bar later."""
    chunk = 4096
    j = start
    while j < len(s):
        end = min(j + chunk, len(s))
        if s[j:end] != s[j - BAR : end - BAR]:
            for k in range(j, end):
                if s[k] != s[k - BAR]:
                    return k
        j = end
    return None


def find_note(s, at, old, sounds):
    """The instrument and start (a stream index) of the note that turned the bar old(j) into
    s[j] for j in at .. at + BAR - 1 by new = (3 * old + note) >> 2; None when none does."""
    # new = floor((3 * old + note) / 4) puts the note within r .. r + 3, r = 4 * new - 3 * old.
    # Where no note sounds r is -3 .. 0 (the whole bar fades); anchor the search where it is not.
    def r(j):
        return 4 * s[j] - 3 * old(j)

    anchor = next((j for j in range(at, at + BAR) if not -3 <= r(j) <= 0), None)
    if anchor is None:
        return None
    for index, sound in enumerate(sounds):
        for m in range(len(sound)):
            if not r(anchor) <= sound[m] <= r(anchor) + 3:
                continue
            start = anchor - m
            ok = True
            for j in range(at, at + BAR):
                k = (j - start) % BAR
                note = sound[k] if k < len(sound) else 0
                if s[j] != (3 * old(j) + note) >> 2:
                    ok = False
                    break
            if ok:
                return index, start
    return None


class Music(E2E):
    def test_bar_loops_value_for_value_and_each_note_is_one_instrument_at_one_step(self):
        folder = tempfile.mkdtemp(prefix="kelp-sound-")
        self.addCleanup(shutil.rmtree, folder, True)
        capture = os.path.join(folder, "capture.raw")
        # The writer waits 150 ms per 93 ms buffer: slower than the frames refill the queue,
        # so a busy machine cannot starve it.
        s = self.session(env={"SDL_AUDIODRIVER": "disk", "SDL_DISKAUDIOFILE": capture, "SDL_DISKAUDIODELAY": "150"})
        s.wait_window()

        def second_note_and_a_bar_after_it():
            s.assert_running()
            stream = read_stream(capture)
            first = next((i for i, v in enumerate(stream) if v != 0), None)
            if first is None:
                return None
            change = first_change(stream, first + BAR)
            if change is None or len(stream) < change + BAR:
                return None
            return stream, first, change

        stream, first, change = wait_for(second_note_and_a_bar_after_it, "the second note in the captured music",
                                         timeout=240, interval=0.5)
        self.assertEqual(s.escape(), 0)

        # At least one whole bar repeated exactly before the change.
        self.assertGreaterEqual(change - first, BAR)

        sounds = instruments()
        # The first bar is one note over silence, a quarter of its strength.
        first_note = find_note(stream, first, lambda j: 0, sounds)
        self.assertIsNotNone(first_note, "the first bar is not a quarter of one instrument")
        # The second: three quarters of the first bar plus a quarter of the new note.
        second_note = find_note(stream, change, lambda j: stream[j - BAR], sounds)
        self.assertIsNotNone(second_note, "the second bar is not the first faded plus one instrument")
        # Both notes stand at one of the 16 steps of one and the same bar, which began at a
        # device buffer's start (a note's start is known modulo the bar: it may wrap).
        self.assertEqual((second_note[1] - first_note[1]) % STEP, 0)
        bar_starts = [b for n in range(16) for b in range((first_note[1] - STEP * n) % BAR, first + 1, BAR)]
        self.assertTrue(any(b % DEVICE_FRAMES == 0 for b in bar_starts), bar_starts)


class NoSound(E2E):
    def test_without_an_audio_device_the_demo_runs_silent_without_error(self):
        s = self.session(env={"SDL_AUDIODRIVER": "no-such-driver"})
        s.wait_window()
        s.wait_frames(10, "frames, each with its music step")
        s.assert_running()
        self.assertEqual(s.escape(), 0)
        self.assertEqual(s.stderr(), "")
        self.assertEqual(s.stdout(), "")


if __name__ == "__main__":
    main()
