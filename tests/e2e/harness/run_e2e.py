#!/usr/bin/env python3
"""Runs end-to-end cases of the installer under Wine and reports each as PASS or FAIL.

    run_e2e.py --exe build/win32/zvsetup.exe --tools build/win32/tests/e2e/win \\
               --tools64 build/win64/tests/e2e/win --run-dir build/host/e2e-run CASE [CASE ...]
    run_e2e.py --list

The run folder keeps the template prefixes (reused while Wine and the recipe stay the
same) and, for a failed case, its prefix folders under failed/ for inspection.
"""

from __future__ import annotations

import argparse
import os
import signal
import sys
import time
import traceback

E2E = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..")
DEMO_PACKAGE = os.path.join("..", "..", "tools", "demo_package")  # container.py
sys.path[:0] = [os.path.join(E2E, folder) for folder in ("harness", "cases", "hostile", "incomplete", "large",
                                                   DEMO_PACKAGE)]

from checks import CaseFailure, Expectations  # noqa: E402
from hostile_package_cases import CASES as HOSTILE_PACKAGE_CASES  # noqa: E402
from silent_install_cases import CASES as SILENT_INSTALL_CASES  # noqa: E402
from startup_cases import CASES as STARTUP_CASES  # noqa: E402
from user_data_cases import CASES as USER_DATA_CASES  # noqa: E402
from wine_env import HarnessError  # noqa: E402
from wizard_cases import CASES as WIZARD_CASES  # noqa: E402
import winebox  # noqa: E402


CASES = {**STARTUP_CASES, **SILENT_INSTALL_CASES, **HOSTILE_PACKAGE_CASES, **WIZARD_CASES,
         **USER_DATA_CASES}


def _terminate(signum, frame):
    raise SystemExit(128 + signum)


def run_case(name: str, args: argparse.Namespace) -> bool:
    started = time.monotonic()
    harness = None
    failed = True
    try:
        harness = winebox.Harness(args.exe, args.tools, args.run_dir, name, args.tools64)
        check = Expectations()
        CASES[name](harness, check)
        check.finish()
        failed = False
    except CaseFailure as failure:
        print(f"FAIL {name}: the program did not do what was expected\n{failure}")
    except HarnessError as error:
        print(f"FAIL {name}: the test harness could not run the case: {error}")
    except Exception:  # anything else is a fault to show in full
        print(f"FAIL {name}: unexpected error\n{traceback.format_exc()}")
    finally:
        kept = harness.close(failed) if harness else None
    for note in harness.notes if harness else []:
        print(f"note: {note}")
    if kept:
        print(f"kept for inspection: {kept}")
    print(f"{'FAIL' if failed else 'PASS'} {name} ({time.monotonic() - started:.1f} s)")
    return not failed


def main() -> int:
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--exe", help="the zvsetup.exe under test (32-bit, or its 64-bit twin)")
    parser.add_argument("--tools", help="folder of zvboxwatch.exe, zvhold.exe and zvwizard.exe "
                                        "built like the program")
    parser.add_argument("--tools64", help="folder of the 64-bit helpers, for 64-bit prefixes "
                                          "(default: --tools)")
    parser.add_argument("--run-dir", help="folder for templates and kept prefixes")
    parser.add_argument("--list", action="store_true", help="list the cases and stop")
    parser.add_argument("cases", nargs="*")
    args = parser.parse_args()
    if args.list:
        print("\n".join(CASES))
        return 0
    unknown = [c for c in args.cases if c not in CASES]
    if unknown or not args.cases or not (args.exe and args.tools and args.run_dir):
        parser.error(f"need --exe, --tools, --run-dir and known cases (unknown: {unknown})")
    signal.signal(signal.SIGTERM, _terminate)
    results = [run_case(name, args) for name in args.cases]
    return 0 if all(results) else 1


if __name__ == "__main__":
    sys.exit(main())
