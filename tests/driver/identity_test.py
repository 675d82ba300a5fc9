"""The program keeps its modules' identity records after strip, in their own section.

    identity_test.py <program> <strip> <objcopy>
"""
import os
import subprocess
import sys
import tempfile
import unittest

PROGRAM, STRIP, OBJCOPY = sys.argv[1:4]


def Fields(*fields, widths=None):
    widths = widths or [8] * len(fields)
    return b"".join(f.encode().ljust(w, b"\0") for f, w in zip(fields, widths))


def Record(name, date, kind="CODE"):
    return Fields(name, date, "OrvilleK", "C++", kind)


# What every build of the demo links: the driver and the modules it calls.
EXPECTED = [
    Record("KELP2207", "20110520", "PROGRAM"),
    Record("FPS", "20101122"),
    Record("ROTOZOOM", "20110515"),
    Record("IMG", "20110520"),
    Record("FONT", "20110515"),
    Record("SCROLL", "20110515"),
    Record("CURSOR", "20110509"),
    Record("SAMPLE", "20110428"),
    Record("MUSIC", "20110509"),
    Record("LIST", "20110509"),
    Fields("SDLDPY", "20100924", "OrvilleK", "C++ SDL 1.2", widths=[8, 8, 8, 16]),
    Fields("SDLKBD", "20030728", "OVK"),
]


class StrippedProgram(unittest.TestCase):
    def test_still_holds_every_identity_record(self):
        with tempfile.TemporaryDirectory() as scratch:
            stripped = os.path.join(scratch, "program")
            section = os.path.join(scratch, "records")
            subprocess.run([STRIP, "-o", stripped, PROGRAM], check=True)
            subprocess.run([OBJCOPY, "-O", "binary", "--only-section=kelp_identity", stripped, section], check=True)
            with open(section, "rb") as f:
                records = f.read()
            with open(stripped, "rb") as f:
                self.assertNotIn(b"DemoInitScene", f.read(), "the copy is stripped")
        for record in EXPECTED:
            self.assertIn(record, records, record[:8])


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1])
