"""End-to-end cases of the installer's start-up: the administrator check, the
remembered install directory and the companion registration mode.

Facts the cases rely on:
- At start the installer computes its default install directory; a 64-bit program in a
  64-bit prefix is told C:\\Program Files, so the default is C:\\Program Files\\zavoli\\.
- On Windows 6 and later the administrator check writes a probe into
  C:\\windows\\zavopath.zvh and c:\\zavoli\\zavopath.zvh (the first fixed drive from g: down
  to c:, here c:), reads the Windows one back, then writes the default directory into
  both.  On XP (major version 5) nothing is written.
- "regzv32" (any case) on 64-bit Windows 6+ is the companion mode: the directory after a
  case-sensitive "regzv32=" at the first 'r' is remembered (trailing backslash added),
  the system directory's zavoli4.ime is handed to ImmInstallIMEW and a success message
  is shown.  Wine creates a key e0XXLLLL under Keyboard Layouts for it, LLLL being the
  language of the user's locale (0804 under zh_CN, 0404 under zh_TW).
- Until the wizard exists, the interactive mode ends at once; once it shows its window
  the interactive runs below may instead still be running at their time limit, which
  they accept (the window is not tested here).
"""

from __future__ import annotations

import re
from typing import List

from checks import case_table, ExpectedBox, Expectations, program_name
import winebox

CAPTION = "智能岚汀"
SUCCESS_TEXT = "智能岚汀已安装成功，如不能使用，请重新启动计算机！"
ADMIN_TEXT = (
    "本安装程序需要以管理员权限运行，请退出后重新以管理员权限运行。"
    "（运行方式为：用鼠标右键点击安装程序，在弹出菜单中点击“以管理员身份运行”）"
)
LAYOUT_TEXT = "智能岚汀输入平台  7.8"
SUCCESS_BOX = ExpectedBox(CAPTION, SUCCESS_TEXT)
ADMIN_BOX = ExpectedBox(CAPTION, ADMIN_TEXT)

WINDOWS_FILE = "C:\\windows\\zavopath.zvh"
DRIVE_DIR = "C:\\zavoli"
DRIVE_FILE = "C:\\zavoli\\zavopath.zvh"
REMEMBERED = [WINDOWS_FILE, DRIVE_DIR, DRIVE_FILE]
DEFAULT_DIR = b"C:\\Program Files\\zavoli\\"
IME_PATH = "C:\\windows\\system32\\zavoli4.ime"
LAYOUTS_KEY = "System\\CurrentControlSet\\Control\\Keyboard Layouts"
LAYOUT_LANGUAGE = {936: "0804", 950: "0404"}

COMPANION_TIMEOUT = 30.0
# Long enough for start-up and the administrator check; the interactive mode may then
# keep its window open.
INTERACTIVE_TIMEOUT = 10.0

CASES, case = case_table()


# -- shared expectations --------------------------------------------------------------


def expect_ime_registered(check: Expectations, box: winebox.CasePrefix) -> None:
    """Exactly one new layout key, naming the system directory's zavoli4.ime."""
    added = box.new_subkeys("system", LAYOUTS_KEY)
    pattern = f"e0[0-9a-f]{{2}}{LAYOUT_LANGUAGE[box.codepage]}"
    if len(added) != 1:
        check.fail("new Keyboard Layouts keys", f"one key {pattern}", repr(added))
        return
    name = added[0]
    check.equal(f"layout key {name} matches {pattern}", True,
                bool(re.fullmatch(pattern, name, re.IGNORECASE)))
    key = box.registry("system").key(f"{LAYOUTS_KEY}\\{name}")
    ime_file = key.value("Ime File")
    layout_text = key.value("Layout Text")
    check.equal(f"{name} 'Ime File' (lower case)", IME_PATH.lower(),
                ime_file.text().lower() if ime_file else None)
    check.equal(f"{name} 'Layout Text'", LAYOUT_TEXT, layout_text.text() if layout_text else None)


def expect_no_ime(check: Expectations, box: winebox.CasePrefix) -> None:
    check.equal("new Keyboard Layouts keys", [], box.new_subkeys("system", LAYOUTS_KEY))


def expect_interactive_end(check: Expectations, result: winebox.RunResult) -> None:
    """The interactive mode either ended with 0 or still shows its (untested) window."""
    if result.timed_out:
        check.equal("message box watcher errors", [], result.watcher_errors)
    else:
        check.run_ended(result)


def companion_run(
    harness: winebox.Harness, check: Expectations, command_line: str, remembered: bytes,
    variant: str = "win7", codepage: int = 936,
) -> None:
    """A companion-mode run: success message, `remembered` in both files, IME key."""
    with harness.prefix(variant, codepage) as box:
        check.context(f"{variant}-{codepage} {command_line!r}")
        result = box.run(command_line, answers=["ok"], timeout=COMPANION_TIMEOUT)
        box.shutdown()
        check.run_ended(result)
        check.boxes(result, program_name(harness.exe), [SUCCESS_BOX])
        check.file(box, WINDOWS_FILE, remembered)
        check.file(box, DRIVE_FILE, remembered)
        check.changes(box, REMEMBERED)
        expect_ime_registered(check, box)


# -- the cases -------------------------------------------------------------------------


@case("companion_install_dir")
def companion_install_dir(harness: winebox.Harness, check: Expectations) -> None:
    """The directory after "regzv32=" is remembered byte for byte, spaces and
    parentheses included; one without a trailing backslash gains it."""
    companion_run(harness, check, "regzv32=C:\\Program Files (x86)\\zavoli\\",
                  b"C:\\Program Files (x86)\\zavoli\\")
    companion_run(harness, check, "regzv32=D:\\Tools\\zavoli", b"D:\\Tools\\zavoli\\")


@case("companion_default_dir")
def companion_default_dir(harness: winebox.Harness, check: Expectations) -> None:
    """The switch is found without regard to case, but the path only after a
    lower-case "regzv32=" at the first 'r': otherwise the default is remembered."""
    companion_run(harness, check, "REGZV32=D:\\x\\", DEFAULT_DIR)
    companion_run(harness, check, "run regzv32=D:\\x\\", DEFAULT_DIR)


@case("start_without_switch")
def start_without_switch(harness: winebox.Harness, check: Expectations) -> None:
    """Windows 7 rewrites both remembered files with the default directory; XP writes
    nothing and leaves an earlier remembered file as it was."""
    earlier = b"D:\\old\\zavoli\\"
    with harness.prefix("win7", 936) as box:
        check.context("win7-936 '' with an earlier remembered directory")
        box.write_file(WINDOWS_FILE, earlier)
        result = box.run("", timeout=INTERACTIVE_TIMEOUT)
        box.shutdown()
        expect_interactive_end(check, result)
        check.boxes(result, program_name(harness.exe), [])
        check.file(box, WINDOWS_FILE, DEFAULT_DIR)
        check.file(box, DRIVE_FILE, DEFAULT_DIR)
        check.changes(box, REMEMBERED)
    for seeded in (None, earlier):
        with harness.prefix("winxp", 936) as box:
            check.context(f"winxp-936 '' with {'an earlier' if seeded else 'no'} remembered file")
            if seeded:
                box.write_file(WINDOWS_FILE, seeded)
            result = box.run("", timeout=INTERACTIVE_TIMEOUT)
            box.shutdown()
            expect_interactive_end(check, result)
            check.boxes(result, program_name(harness.exe), [])
            check.file(box, WINDOWS_FILE, seeded)
            check.file(box, DRIVE_FILE, None)
            check.changes(box, [])


@case("admin_check_fails")
def admin_check_fails(harness: winebox.Harness, check: Expectations) -> None:
    """When C:\\windows\\zavopath.zvh cannot be written, every mode stops with the
    administrator message, with exit code 0 (1 in the silent mode, which tells its
    caller that nothing was installed); only the check's own drive file remains
    (rewritten with the default directory before the comparison) and no IME is added.

    A directory of that name blocks the write (a read-only file does not: the tests run
    as root); a file held open without sharing by another program blocks it as well."""
    for command_line in ("", "setzvsrf32", "regzv32=C:\\x\\"):
        with harness.prefix("win7", 936) as box:
            check.context(f"win7-936 {command_line!r}, C:\\windows\\zavopath.zvh is a directory")
            box.make_dir(WINDOWS_FILE)
            result = box.run(command_line, answers=["ok"], timeout=COMPANION_TIMEOUT)
            box.shutdown()
            check.run_ended(result, 1 if command_line == "setzvsrf32" else 0)
            check.boxes(result, program_name(harness.exe), [ADMIN_BOX])
            check.equal("C:\\windows\\zavopath.zvh is still a directory", True,
                        box.exists(WINDOWS_FILE) and box.read_file(WINDOWS_FILE) is None)
            check.file(box, DRIVE_FILE, DEFAULT_DIR)
            check.changes(box, [DRIVE_DIR, DRIVE_FILE])
            expect_no_ime(check, box)
    earlier = b"D:\\old\\zavoli\\"
    with harness.prefix("win7", 936) as box:
        check.context("win7-936 '', C:\\windows\\zavopath.zvh held open without sharing")
        box.write_file(WINDOWS_FILE, earlier)
        box.hold([("exclusive", WINDOWS_FILE)])
        result = box.run("", answers=["ok"], timeout=COMPANION_TIMEOUT)
        box.shutdown()
        check.run_ended(result)
        check.boxes(result, program_name(harness.exe), [ADMIN_BOX])
        check.file(box, WINDOWS_FILE, earlier)
        check.file(box, DRIVE_FILE, DEFAULT_DIR)
        check.changes(box, [DRIVE_DIR, DRIVE_FILE])
        expect_no_ime(check, box)


@case("codepage_950")
def codepage_950(harness: winebox.Harness, check: Expectations) -> None:
    """The program works in the code page of the system: a command line path in
    traditional characters reaches the remembered files as Big5 bytes under zh_TW and
    as GBK bytes under zh_CN (Wine converts the command line through UTF-16 into the
    ANSI code page, so only code page 950 gives these Big5 bytes)."""
    folder = "繁體測試"
    command_line = f"regzv32=C:\\{folder}\\"
    for codepage, encoding in ((950, "big5"), (936, "gbk")):
        remembered = b"C:\\" + folder.encode(encoding) + b"\\"
        companion_run(harness, check, command_line, remembered, codepage=codepage)


@case("companion_needs_64bit")
def companion_needs_64bit(harness: winebox.Harness, check: Expectations) -> None:
    """"regzv32=" is ignored where Windows is not 64-bit 6+: without syswow64 the check
    still writes the default directory; on XP (which has a syswow64 folder here) nothing
    is written.  No success message, no IME."""
    expectations: List = [("win7x86", DEFAULT_DIR, REMEMBERED), ("winxp", None, [])]
    for variant, remembered, changed in expectations:
        with harness.prefix(variant, 936) as box:
            check.context(f"{variant}-936 'regzv32=D:\\x\\'")
            result = box.run("regzv32=D:\\x\\", timeout=INTERACTIVE_TIMEOUT)
            box.shutdown()
            expect_interactive_end(check, result)
            check.boxes(result, program_name(harness.exe), [])
            check.file(box, WINDOWS_FILE, remembered)
            check.file(box, DRIVE_FILE, remembered)
            check.changes(box, changed)
            expect_no_ime(check, box)
