#!/usr/bin/env python3
"""Runs the end-to-end tests against a Windows build of Inkwarden under Wine.

    python3 e2e/run_e2e.py [--exe build/windows/inkwarden.exe] [-k PATTERN]

Exits non-zero when a test fails.  Screenshots go to build/e2e/.
"""

import argparse
import os
import sys
import tempfile
import unittest
from pathlib import Path

HERE = Path(__file__).resolve().parent
REPO = HERE.parent
sys.path.insert(0, str(HERE))
import winelib  # noqa: E402


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--exe", type=Path, default=REPO / "build" / "windows" / "inkwarden.exe",
                        help="the program to test (default: %(default)s)")
    parser.add_argument("-k", dest="patterns", action="append",
                        help="only run tests whose name contains this (repeatable)")
    args = parser.parse_args()

    exe = args.exe.resolve()
    if not exe.is_file():
        print(f"run_e2e: {exe} does not exist; build it with 'make windows'", file=sys.stderr)
        return 2
    os.environ["INKWARDEN_EXE"] = str(exe)  # read by the test modules at import

    loader = unittest.TestLoader()
    if args.patterns:
        loader.testNamePatterns = [f"*{p}*" for p in args.patterns]
    suite = loader.discover(str(HERE), pattern="test_*.py", top_level_dir=str(HERE))
    with tempfile.TemporaryDirectory(prefix="inkwarden-e2e-") as scratch:
        # Every test module gets a fresh prefix; copying one booted prefix is quicker than booting each.
        template = Path(scratch) / "prefix"
        winelib.make_template(template)
        os.environ[winelib.TEMPLATE_ENV] = str(template)
        result = unittest.TextTestRunner(verbosity=2).run(suite)
    if result.testsRun == 0:
        print("run_e2e: no tests ran", file=sys.stderr)
        return 1
    return 0 if result.wasSuccessful() else 1


if __name__ == "__main__":
    sys.exit(main())
