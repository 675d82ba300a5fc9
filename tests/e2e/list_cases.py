"""Prints one line per whole-program test case, "<file> <Class.test>", for the build to
register each as its own test."""

import os
import sys
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
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
