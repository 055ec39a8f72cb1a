#!/usr/bin/env python3
"""Times the wizard under Wine: from the installer's start to its first painted welcome
page, and one repaint of that page, beside the same for the smallest windowed program,
in fresh prefixes of one run, and prints the medians.

    time_wizard_paint.py --exe build/win64/zvsetup.exe \
        --tools build/win64/tests/e2e/win --run-dir build/host/e2e-run [--runs 5]
"""

from __future__ import annotations

import argparse
import json
import os
import statistics
import subprocess
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "harness"))

import wine_env  # noqa: E402
import winebox  # noqa: E402

TIMER_EXE = "zvpainttime.exe"
PLAIN_EXE = "zvplainwindow.exe"
NOOP_EXE = "zvnoop.exe"


def measure(prefix: winebox.CasePrefix, harness: winebox.Harness, program: str,
            window_class: str) -> dict:
    """Runs the paint timer on `program` inside the prefix and returns its report."""
    done = subprocess.run(
        [wine_env.loader_for(harness.tool(TIMER_EXE)), harness.tool(TIMER_EXE), program, window_class, "5"],
        env=prefix.env, cwd=prefix.cwd, capture_output=True, timeout=120,
    )
    for line in done.stdout.decode("utf-8", "replace").splitlines():
        if line.startswith("{"):
            report = json.loads(line)
            if report.get("event") == "painted":
                return report
            raise SystemExit(f"{program}: {report}")
    raise SystemExit(f"{program}: no report; {done.stderr.decode('utf-8', 'replace')[-500:]}")


def main() -> int:
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--exe", required=True)
    parser.add_argument("--tools", required=True)
    parser.add_argument("--run-dir", required=True)
    parser.add_argument("--runs", type=int, default=5)
    args = parser.parse_args()
    installer = os.path.abspath(args.exe)
    harness = winebox.Harness(installer, args.tools, args.run_dir, "paint-timing")
    wizard, plain = [], []
    try:
        for i in range(args.runs):
            with harness.prefix("win7", 936) as prefix:
                # The box watcher starts the prefix's wineserver first, and a program
                # that does nothing brings Wine's desktop up for both measured ones.
                harness.exe = harness.tool(NOOP_EXE)
                prefix.run("", timeout=60)
                harness.exe = installer
                plain.append(measure(prefix, harness, harness.tool(PLAIN_EXE), "zvPlainWindow"))
                wizard.append(measure(prefix, harness, installer, "installWClass"))
                prefix.shutdown(check_leftovers=False)
            print(f"run {i + 1}: plain window {plain[-1]['start_ms']:.0f} ms to painted, "
                  f"wizard {wizard[-1]['start_ms']:.0f} ms to painted; repaints "
                  f"{statistics.median(plain[-1]['repaint_ms']):.2f} ms vs "
                  f"{statistics.median(wizard[-1]['repaint_ms']):.2f} ms")
    finally:
        harness.close(failed=False)

    def median(samples, key):
        if key == "start_ms":
            return statistics.median(s[key] for s in samples)
        return statistics.median(statistics.median(s[key]) for s in samples)

    for key, what in (("start_ms", "start to painted"), ("repaint_ms", "one repaint")):
        w, p = median(wizard, key), median(plain, key)
        print(f"median of {args.runs}, {what}: wizard {w:.2f} ms, plain window {p:.2f} ms, "
              f"ratio {w / p:.2f}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
