#!/usr/bin/env python3
"""Takes screenshots of every wizard page and of the skin dialog from the real program
under Wine (Windows 7 64-bit, code page 936, and the welcome page under 950) and writes
them as PNG files to docs/screenshots/.

    scripts/screenshots.py [--exe build/win32/zvsetup.exe] [--tools build/win32/tests/e2e/win]

Needs the win32 and win64 builds (scripts/build-all.sh win32 win64) and ImageMagick's
convert; where this machine cannot run 32-bit programs, give the 64-bit twin and its
helpers (build/win64/...).
"""

from __future__ import annotations

import argparse
import os
import shutil
import subprocess
import sys
import time

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..")
sys.path[:0] = [os.path.join(ROOT, "tests", "e2e", folder) for folder in ("harness", "cases")]
sys.path.insert(0, os.path.join(ROOT, "tools", "demo_package"))

import winebox  # noqa: E402
from wizard_cases import CONFIRM, DIALOG_OK  # noqa: E402

OUT = os.path.join(ROOT, "docs", "screenshots")


def save(picture_path: str, name: str) -> None:
    target = os.path.join(OUT, f"{name}.png")
    # Without metadata, so that the same pictures give the same files.
    subprocess.run(["convert", picture_path, "-strip", target], check=True)
    print(os.path.relpath(target, ROOT))


def last_shot(box: winebox.CasePrefix) -> str:
    shots = sorted(f for f in os.listdir(box.logs) if f.startswith("shot-"))
    return os.path.join(box.logs, shots[-1])


def wait_for_name_box(run: winebox.InteractiveRun, timeout: float = 10.0) -> None:
    deadline = time.monotonic() + timeout
    while not any(e["visible"] for e in run.edits()) and time.monotonic() < deadline:
        time.sleep(0.05)


def walk(harness: winebox.Harness, codepage: int, suffix: str, full: bool) -> None:
    with harness.prefix("win7", codepage) as box:
        run = box.start("")
        run.window()

        def shot(name: str, dialog: bool = False) -> None:
            (run.dialog_shot if dialog else run.shot)(name)
            save(last_shot(box), name + suffix)

        shot("1-welcome")
        if not full:
            run.click(310, 255)
            run.wait_end()
            return
        run.click(*CONFIRM)
        run.type("http://www.example.gov.cn/")
        shot("2-web-address")
        run.click(*CONFIRM)
        shot("3-install-path")
        run.click(*CONFIRM)
        run.dialog(60)
        run.dialog_click(106)
        run.dialog_click(112)
        shot("4-skin-dialog", dialog=True)
        run.dialog_click(DIALOG_OK)
        shot("5-processing")
        wait_for_name_box(run)
        shot("6-typing-test")
        run.click(*CONFIRM)
        run.click(*CONFIRM)
        run.next_box("ok", 60)
        run.wait_end()


def main() -> int:
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--exe", default=os.path.join(ROOT, "build", "win32", "zvsetup.exe"))
    parser.add_argument("--tools", default=os.path.join(ROOT, "build", "win32", "tests", "e2e", "win"))
    parser.add_argument("--tools64", default=os.path.join(ROOT, "build", "win64", "tests", "e2e", "win"))
    parser.add_argument("--run-dir", default=os.path.join(ROOT, "build", "host", "e2e-run"))
    args = parser.parse_args()
    if not shutil.which("convert"):
        sys.exit("ImageMagick's convert is needed (apt-get install imagemagick)")
    os.makedirs(OUT, exist_ok=True)
    harness = winebox.Harness(args.exe, args.tools, args.run_dir, "screenshots", args.tools64)
    failed = True
    try:
        walk(harness, 936, "", full=True)
        walk(harness, 950, "-950", full=False)
        failed = False
    finally:
        kept = harness.close(failed)
        if kept:
            print(f"kept for inspection: {kept}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
