"""Prints one line per test case of the Python test files (test_*.py) in the folder it is given,
"<file> <Class.test>", for the build to register each as its own test."""

import os
import sys
import unittest

HERE = os.path.abspath(sys.argv[1])
sys.path.insert(0, HERE)
sys.dont_write_bytecode = True


def cases(suite):
    for item in suite:
        if isinstance(item, unittest.TestSuite):
            yield from cases(item)
        else:
            yield item


for name in sorted(f for f in os.listdir(HERE) if f.startswith("test_") and f.endswith(".py")):
    module = __import__(name[:-3])
    for case in cases(unittest.defaultTestLoader.loadTestsFromModule(module)):
        _, cls, method = case.id().split(".")
        print(name, cls + "." + method)
