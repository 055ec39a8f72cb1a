#!/usr/bin/env python3
"""The installer's main job, shown: a silent install ("setzvsrf32") in a fresh Wine
prefix of 64-bit Windows 7 with code page 936, and a summary of what it placed.

    main_job.py --exe build/win32/zvsetup.exe --tools build/win32/tests/e2e/win \\
                --tools64 build/win64/tests/e2e/win --run-dir build/host/e2e-run

The program is the shipped 32-bit one, which runs under WOW64 there as on 64-bit
Windows; where this machine cannot run 32-bit programs, the 64-bit twin is given instead
(scripts/main-job.sh chooses).

Exit code 0 when the install went through as expected, 1 when it visibly failed (no
files, a message box, a wrong file or entry; each is listed), 2 when the harness could
not run it.  A failed run's prefix is kept under the run folder's failed/.
"""

from __future__ import annotations

import argparse
import os
import sys
from typing import Dict, Iterable, List, Optional

E2E = os.path.dirname(os.path.abspath(__file__))
DEMO_PACKAGE = os.path.join("..", "..", "tools", "demo_package")  # container.py
sys.path[:0] = [os.path.join(E2E, folder) for folder in ("harness", "cases", DEMO_PACKAGE)]

from checks import CaseFailure, Expectations  # noqa: E402
import package_model  # noqa: E402
import silent_install_cases as silent  # noqa: E402
from wine_env import HarnessError  # noqa: E402
import wine_reg  # noqa: E402
import winebox  # noqa: E402

VARIANT = "win7"
CODEPAGE = 936
AGENT_PARENT = "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\\User Agent"
LINE_WIDTH = 100

# Groups of the install directory's files, by extension.
GROUPS = (
    ("IME modules", (".ime",)),
    ("programs", (".exe",)),
    ("dictionaries and settings", (".zvh", ".dat", ".bak", ".ov1")),
    ("texts and configuration", (".txt", ".ini", ".log")),
    ("pictures", (".bmp",)),
    ("sounds", (".wav",)),
    ("archives (skins and more)", (".zvz",)),
)


def size(n: int) -> str:
    return f"{n:,}"


def wrapped(items: Iterable[str], indent: str) -> List[str]:
    lines, line = [], indent
    for item in items:
        if len(line) + len(item) + 3 > LINE_WIDTH and line.strip():
            lines.append(line.rstrip(" ·"))
            line = indent
        line += item + " · "
    if line.strip():
        lines.append(line.rstrip(" ·"))
    return lines


def group_of(name: str) -> str:
    for title, extensions in GROUPS:
        if name.lower().endswith(extensions):
            return title
    return "other files"


def install_dir_summary(files: Dict[bytes, bytes], nested: List[str],
                        setting: silent.Setting) -> List[str]:
    total = sum(len(data) for data in files.values())
    folders = ", ".join(nested) if nested else "none"
    lines = [f"Install directory {silent.INSTALL_DIR}: {len(files)} files, "
             f"{size(total)} bytes; folders: {folders}"]
    grouped: Dict[str, List[str]] = {}
    for name in sorted(files, key=lambda n: (os.path.splitext(n)[1], n)):
        text = name.decode("gbk", "replace")
        grouped.setdefault(group_of(text), []).append(f"{text} {size(len(files[name]))}")
    for title in [g[0] for g in GROUPS] + ["other files"]:
        if title in grouped:
            lines.append(f"  {title} ({len(grouped[title])}):")
            lines += wrapped(grouped[title], "    ")
    made = [f"{name.decode('gbk')} ({placed.origin})"
            for name, placed in setting.model.install_dir.items()
            if not placed.origin.startswith("package entry")]
    lines.append("  not plain package entries:")
    lines += wrapped(made, "    ")
    if silent.SETUPW64_LOG in files:
        lines.append(f"  {silent.SETUPW64_LOG.decode()} was written by setupw64.exe (below)")
    return lines


def version_note(content: Optional[bytes]) -> str:
    if content is None:
        return ""
    texts = sorted(set(t.strip() for t in package_model.version_texts(content)))
    if not texts:
        return "; no version text"
    mark = "7.8" if all(t.endswith("7.8") for t in texts) else "NOT 7.8"
    return f"; version text {' / '.join(texts)} ({mark})"


def system_summary(box: winebox.CasePrefix, setting: silent.Setting) -> List[str]:
    lines = ["IME and uninstaller in the system folders "
             "(system32 is the 64-bit folder, syswow64 the 32-bit one):"]
    for path in setting.model.system:
        content = box.read_file(path)
        if content is None:
            lines.append(f"  {path}: MISSING")
            continue
        matches = package_model.matching_entries(setting.package, content)
        source = ("= package entry " + " = ".join(matches)) if matches else "= no package entry"
        lines.append(f"  {path}: {size(len(content))} bytes {source}{version_note(content)}")
    return lines


def reg_text(value: Optional[wine_reg.Value]) -> str:
    if value is None:
        return "MISSING"
    if value.type in (wine_reg.REG_SZ, wine_reg.REG_EXPAND_SZ):
        return f'"{value.text()}"'
    return f"type {value.type}, {value.data!r}"


def registry_summary(box: winebox.CasePrefix) -> List[str]:
    system = box.registry("system")
    view = (" (a 32-bit program's HKLM\\Software keys lie under Wow6432Node)"
            if box.program_on_wow64 else "")
    lines = ["Registry" + view + ":"]
    uninstall_key = box.software_key(silent.UNINSTALL_KEY)
    uninstall = system.key(uninstall_key)
    lines.append(f"  HKLM\\{uninstall_key}")
    if uninstall is None:
        lines.append("    MISSING")
    else:
        for name in ("DisplayName", "UninstallString"):
            lines.append(f"    {name} = {reg_text(uninstall.value(name))}")
    run_key = box.software_key(silent.RUN_KEY)
    lines.append(f"  HKLM\\{run_key}")
    lines.append(f"    {silent.RUN_VALUE} = {reg_text(system.value(run_key, silent.RUN_VALUE))}")
    agent_key = box.software_key(silent.AGENT_KEY)
    lines.append(f"  HKLM\\{agent_key}")
    agent = system.key(agent_key)
    names = sorted(v.name for v in agent.values.values()) if agent else []
    lines.append("    values: " + (", ".join(
        f"{n} = {reg_text(agent.value(n))}" for n in names) if names else "MISSING"))
    before = {n.lower() for n in box.template_registry("system").subkeys(silent.LAYOUTS_KEY)}
    added = [n for n in system.subkeys(silent.LAYOUTS_KEY) if n.lower() not in before]
    for name in added or ["(no new key: MISSING)"]:
        key = system.key(f"{silent.LAYOUTS_KEY}\\{name}")
        lines.append(f"  HKLM\\{silent.LAYOUTS_KEY}\\{name}")
        if key:
            for value in ("Ime File", "Layout Text"):
                lines.append(f"    {value} = {reg_text(key.value(value))}")
    preload = box.registry("user").key(silent.PRELOAD_KEY)
    places = sorted(preload.values.values(), key=lambda v: int(v.name)) if preload else []
    lines.append(f"  HKCU\\{silent.PRELOAD_KEY}: " + (", ".join(
        f"{v.name} = {v.text()}" for v in places) or "empty")
        + "  (place 1 is Wine's own)")
    return lines


def remembered_summary(box: winebox.CasePrefix) -> List[str]:
    lines = ["Remembered install directory:"]
    for path in (silent.WINDOWS_FILE, silent.DRIVE_FILE):
        data = box.read_file(path)
        shown = "MISSING" if data is None else f'"{data.decode("gbk", "replace")}" ({len(data)} bytes)'
        lines.append(f"  {path} = {shown}")
    return lines


def companion_summary(box: winebox.CasePrefix, setting: silent.Setting) -> List[str]:
    lines = ["setupw64.exe, started by the installer on 64-bit Windows:"]
    if not setting.records_setupw64_start:
        return lines + ["  the package's setupw64.exe is no 64-bit program: nothing recorded"]
    data = box.read_file(silent.INSTALL_DIR + silent.SETUPW64_LOG.decode())
    if data is None:
        return lines + [f"  {silent.SETUPW64_LOG.decode()}: MISSING (it did not start)"]
    return lines + [
        f"  its command line (GetCommandLineA): {data.decode('gbk', 'replace')}",
        "  (the installer passes the path unquoted; Wine quotes the program path it had to",
        "   find by trying the blanks, where Windows would keep the line as given)",
    ]


def run(args: argparse.Namespace) -> int:
    harness = winebox.Harness(args.exe, args.tools, args.run_dir, "main_job", args.tools64)
    failed = True
    try:
        setting = silent.Setting(harness, VARIANT, CODEPAGE)
        package = setting.package
        if harness.program_is_32bit:
            print(f"Program: {args.exe}, the shipped 32-bit installer")
        else:
            print(f"Program: {args.exe}, the 64-bit twin of the shipped 32-bit installer")
            print("  (the same sources built for x86-64: this machine cannot run 32-bit "
                  "programs)")
        print(f"Embedded package: {len(package.records)} records, {package.layout} layout")
        check = Expectations()
        check.context("main job")
        with harness.prefix(VARIANT, CODEPAGE) as box:
            print(f"Fresh Wine prefix: Windows 7 64-bit, code page {CODEPAGE}; the browser's "
                  "User Agent key, which Wine lacks, is added first")
            box.import_reg({"HKEY_LOCAL_MACHINE\\" + box.software_key(AGENT_PARENT): {}})
            wow64 = " (32-bit, under WOW64)" if box.program_on_wow64 else ""
            print(f"Running: wine zvsetup.exe {silent.SILENT}{wow64}")
            result = silent.run_silent(box, check, setting)
            box.shutdown()
            meaning = silent.EXIT_MEANINGS.get(result.exit_code, "not a code of the installer")
            print(f"  exit code {result.exit_code} ({meaning}), {result.seconds:.1f} s; message boxes: "
                  + (", ".join(f"{b.caption}: {b.text}" for b in result.boxes) or "none"))
            print("  every process of the prefix ended (wineserver -k)")
            files, nested = silent.listing(box, setting)
            silent.expect_finished_install(check, box, setting, result, harness)
            silent.expect_changes_outside(check, box, silent.outside_paths(setting, fresh=True))
            if not files:
                check.fail("files in the install directory", "the package's files", "none")
            sections = [
                install_dir_summary(files, nested, setting),
                system_summary(box, setting),
                registry_summary(box),
                remembered_summary(box),
                companion_summary(box, setting),
            ]
            for section in sections:
                print()
                print("\n".join(section))
        print()
        if check.failures:
            print(f"INSTALL FAILED: {len(check.failures)} difference(s) from the expected install")
            print("\n".join(check.failures))
            return 1
        print("Install complete: every file, folder and entry as expected.")
        failed = False
        return 0
    except CaseFailure as failure:
        print(f"INSTALL FAILED:\n{failure}")
        return 1
    finally:
        kept = harness.close(failed)
        if kept:
            print(f"The prefix is kept for inspection: {kept}")


def main() -> int:
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--exe", required=True, help="the zvsetup.exe to run")
    parser.add_argument("--tools", required=True,
                        help="folder of zvboxwatch.exe, zvhold.exe, built like the program")
    parser.add_argument("--tools64", help="folder of the 64-bit helpers (default: --tools)")
    parser.add_argument("--run-dir", required=True, help="folder for template prefixes")
    args = parser.parse_args()
    try:
        return run(args)
    except HarnessError as error:
        print(f"The Wine harness could not run the install: {error}")
        return 2


if __name__ == "__main__":
    sys.exit(main())
