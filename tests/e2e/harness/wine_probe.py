#!/usr/bin/env python3
"""Chooses the program the end-to-end cases run: the shipped 32-bit zvsetup.exe where
this machine runs Wine's 32-bit side, else its 64-bit twin, and says which and why.

    wine_probe.py --choice    prints "win32" or "win64" (the build whose program runs)
    wine_probe.py             prints one line for a person: the program and the reason
"""

from __future__ import annotations

import argparse
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import wine_env  # noqa: E402


def main() -> int:
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--choice", action="store_true", help="print only the build's name")
    args = parser.parse_args()
    reason = wine_env.probe_32bit()
    if args.choice:
        print("win32" if reason is None else "win64")
    elif reason is None:
        print("end-to-end: the shipped 32-bit build/win32/zvsetup.exe runs under Wine "
              "(WOW64 in 64-bit prefixes, natively in 32-bit ones)")
    else:
        print("end-to-end: WARNING: this machine cannot run 32-bit programs "
              f"({reason}); the 64-bit twin build/win64/zvsetup.exe stands in for the "
              "shipped 32-bit program, in 64-bit prefixes only")
    return 0


if __name__ == "__main__":
    sys.exit(main())
