#!/usr/bin/env python3
"""Runs the end-to-end tests: the real Vantor.exe under Wine, driven through
its windows. Usage: run.py [unittest names...]"""
import sys
import unittest
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))

import wine  # noqa: E402


def main():
    loader = unittest.TestLoader()
    here = Path(__file__).resolve().parent
    if len(sys.argv) > 1:
        suite = loader.loadTestsFromNames(sys.argv[1:])
    else:
        suite = loader.discover(str(here), pattern="test_*.py", top_level_dir=str(here))
    try:
        result = unittest.TextTestRunner(verbosity=2).run(suite)
    finally:
        wine.end_session()
    failed = len(result.failures) + len(result.errors)
    print(f"e2e: {result.testsRun - failed - len(result.skipped)} passed, {failed} failed")
    return 0 if result.wasSuccessful() and result.testsRun > 0 else 1


if __name__ == "__main__":
    sys.exit(main())
