#!/usr/bin/env python3
"""Times the silent install under Wine against the cost of starting and ending a
program that does nothing, each in the same fresh prefix, and prints the medians.

    time_silent_install.py --exe build/win64/zvsetup.exe \
        --tools build/win64/tests/e2e/win --run-dir build/host/e2e-run [--runs 5]
"""

from __future__ import annotations

import argparse
import os
import statistics
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "harness"))

import winebox  # noqa: E402

NOOP_EXE = "zvnoop.exe"


def time_one(harness: winebox.Harness, installer: str) -> tuple:
    with harness.prefix("win7", 936) as prefix:
        # The box watcher starts the prefix's wineserver first, so both runs
        # below find it running.
        harness.exe = harness.tool(NOOP_EXE)
        noop = prefix.run("", timeout=60)
        harness.exe = installer
        install = prefix.run("setzvsrf32", timeout=120)
    if noop.exit_code != 0 or install.exit_code != 0 or install.boxes:
        raise SystemExit(f"unexpected run: noop {noop.exit_code}, install {install.exit_code}, "
                         f"boxes {[b.text for b in install.boxes]}")
    return noop.seconds, install.seconds


def main() -> int:
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--exe", required=True)
    parser.add_argument("--tools", required=True)
    parser.add_argument("--run-dir", required=True)
    parser.add_argument("--runs", type=int, default=5)
    args = parser.parse_args()
    installer = os.path.abspath(args.exe)
    harness = winebox.Harness(installer, args.tools, args.run_dir, "timing")
    samples = []
    try:
        for i in range(args.runs):
            samples.append(time_one(harness, installer))
            print(f"run {i + 1}: no-op {samples[-1][0]:.2f} s, silent install {samples[-1][1]:.2f} s")
    finally:
        harness.close(failed=False)
    noop = statistics.median(s[0] for s in samples)
    install = statistics.median(s[1] for s in samples)
    print(f"median of {args.runs}: no-op {noop:.2f} s, silent install {install:.2f} s, "
          f"ratio {install / noop:.2f}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
