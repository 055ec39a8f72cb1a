"""End-to-end cases of the silent install ("setzvsrf32"): the whole install sequence
run on the package embedded in the program, on 64-bit and 32-bit Windows 7, on XP, with
code page 936 and 950, over an earlier install, and with the earlier IME still in use.

Every expected file is computed from the package read out of the program under test
(harness/package_model.py), never listed here.  Facts of Wine 8 the cases rely on:
- On 64-bit Windows C:\\windows\\system32 is the 64-bit folder and C:\\windows\\syswow64
  the 32-bit one; the 32-bit program reaches system32 with the file-system redirection
  switched off, and its HKLM\\Software keys land under Software\\Wow6432Node (the 32-bit
  view; System keys and HKCU are shared).  win7x86 and XP are 32-bit Windows (for the
  64-bit twin: 64-bit prefixes without syswow64, and with major version 5).
- ImmInstallIMEW creates the next free Keyboard Layouts key e0XXLLLL itself (LLLL the
  language of the user's locale) with "Ime File" and "Layout Text"; it never touches the
  preload list.  Every process that loads user32 rewrites Preload "1", so only places 2
  and above are seeded and compared.
- The prefix has no "Internet Settings\\User Agent" key; the cases seed "Post Platform"
  with tokens of earlier versions, which also creates it.
- A program started with WinExec and an unquoted path with blanks finds its own command
  line (GetCommandLineA) with the program's path put in double quotes by Wine: Wine
  quotes the path it found by trying the blanks in turn.  Windows keeps the line as given.
- A 64-bit process maps both 64-bit and 32-bit DLLs as image resources; Wine then refuses
  to delete the file (access denied) but renames it, as Windows does for an IME in use.
"""

from __future__ import annotations

import os
import re
import struct
import time
from typing import Dict, List, Optional, Sequence, Tuple

from checks import case_table, CaseFailure, ExpectedBox, Expectations, program_name, show
import checks
import package_model
from package_model import PackageError, PlacedFile, System
import wine_env
import wine_reg
import winebox

SILENT = "setzvsrf32"
RUN_TIMEOUT = 60.0
# The silent install's exit codes (app/exit_codes.h).
EXIT_INSTALLED = 0
EXIT_NOT_INSTALLED = 1
EXIT_INCOMPLETE = 2
EXIT_RESTART_REQUIRED = 3010
EXIT_MEANINGS = {EXIT_INSTALLED: "installed and checked", EXIT_NOT_INSTALLED: "nothing installed",
                 EXIT_INCOMPLETE: "installed, files missing or damaged",
                 EXIT_RESTART_REQUIRED & 0xFF: "3010 as Linux keeps it: installed and checked, "
                                               "restart required"}
# How long the programs the installer starts without waiting (icacls.exe, setupw64.exe)
# may go on after it ended.
STARTED_PROGRAMS_GRACE = 15.0
STARTED_PROGRAMS = ("icacls.exe", "setupw64.exe")

INSTALL_DIR = "C:\\Program Files\\zavoli\\"
INSTALL_DIR_BYTES = INSTALL_DIR.encode("ascii")
SYSTEM32 = "C:\\windows\\system32"
SYSWOW64 = "C:\\windows\\syswow64"
WINDOWS_FILE = "C:\\windows\\zavopath.zvh"
DRIVE_DIR = "C:\\zavoli"
DRIVE_FILE = "C:\\zavoli\\zavopath.zvh"
FILER = "filer"

UNINSTALL_KEY = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\zavoqwb"
RUN_KEY = "Software\\Microsoft\\Windows\\CurrentVersion\\Run"
RUN_VALUE = "zvzxsjgl"
AGENT_KEY = ("Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\\User Agent"
             "\\Post Platform")
LAYOUTS_KEY = "System\\CurrentControlSet\\Control\\Keyboard Layouts"
PRELOAD_KEY = "Keyboard Layout\\Preload"
DEFAULT_PRELOAD_KEY = ".DEFAULT\\Keyboard Layout\\Preload"

DISPLAY_NAME = "岚汀形码"
LAYOUT_TEXT = "智能岚汀输入平台  7.8"
EARLIER_LAYOUT_TEXT = "智能岚汀输入平台  6.3"
LAYOUT_LANGUAGE = {936: "0804", 950: "0404"}
CODECS = {936: "gbk", 950: "cp950"}

# The file in which the demo package's setupw64.exe records its own command line
# (GetCommandLineA), beside itself.
SETUPW64_LOG = b"setupw64.log"

# Tokens of other versions under "Post Platform": the install deletes those of versions
# 6.3 to 6.8 and 7.0 to 7.9 and keeps the others.
AGENT_SEEDS = {"kpmt6200": "", "kpmt6300": "", "kpmt6800": "x", "kpmt6900": "",
               "kpmt7100": "", "kpmt7900": ""}
AGENT_KEPT = ("kpmt6200", "kpmt6900")

# A layout that is no IME, to fill the preload list.
US_LAYOUT = "00000409"

LOCKED_BOX = ExpectedBox(
    "智能岚汀安装",
    "\u3000\u3000你以前安装的岚汀形码正在使用，请关闭使用岚汀形码的所有窗口，"
    "或者重新启动机器后，才能安装新版本的岚汀形码！",
)

# Real DLLs (from Debian's libz-mingw-w64) that stand in for an earlier IME that
# Windows has loaded: a 64-bit one for system32 of a 64-bit Windows, 32-bit ones for
# syswow64 and for system32 of a 32-bit Windows.
DLL_64BIT = "/usr/x86_64-w64-mingw32/lib/zlib1.dll"
DLL_32BIT = "/usr/i686-w64-mingw32/lib/zlib1.dll"

CASES, case = case_table()


# ---------------------------------------------------------------------------
# The setting of one run


class Setting:
    """One prefix's Windows and the model of what the install leaves there."""

    def __init__(self, harness: winebox.Harness, variant: str, codepage: int):
        self.exe = harness.exe
        self.variant = variant
        self.codepage = codepage
        self.major = 5 if variant == "winxp" else 6
        self.sixty_four_bit = variant == "win7"
        self.system = System(self.major, self.sixty_four_bit, codepage)
        self.package = load_package(harness.exe)
        try:
            self.model = package_model.silent_install(
                self.package, self.system, SYSTEM32,
                SYSWOW64 if self.sixty_four_bit else None)
        except PackageError as error:
            raise CaseFailure(f"embedded package of {harness.exe}: {error}") from None
        companion = self.package.entry("setupw64.exe").content
        # The demo package's setupw64.exe is a real program that names the file it
        # records its command line in; another package's need not be.
        self.records_setupw64_start = (self.sixty_four_bit and is_x64_program(companion)
                                       and SETUPW64_LOG in companion)

    @property
    def label(self) -> str:
        return f"{self.variant}-{self.codepage}"

    def system_folders(self) -> List[str]:
        return [SYSTEM32, SYSWOW64] if self.sixty_four_bit else [SYSTEM32]

    def held_ime_stand_in(self, folder: str) -> str:
        """The DLL of the system's own kind for `folder`."""
        return DLL_64BIT if self.sixty_four_bit and folder == SYSTEM32 else DLL_32BIT


def load_package(exe: str) -> package_model.Container:
    try:
        return package_model.embedded_package(exe)
    except (PackageError, OSError) as error:
        raise CaseFailure(f"cannot read the package embedded in {exe}: {error}") from None


def is_x64_program(image: bytes) -> bool:
    """True for a 64-bit PE program (not a DLL) that Wine can start."""
    if image[:2] != b"MZ" or len(image) < 0x40:
        return False
    pe = struct.unpack_from("<I", image, 0x3C)[0]
    if image[pe:pe + 4] != b"PE\0\0" or len(image) < pe + 24:
        return False
    machine, characteristics = struct.unpack_from("<H16xH", image, pe + 4)
    return machine == 0x8664 and bool(characteristics & 0x0002) and not characteristics & 0x2000


# ---------------------------------------------------------------------------
# Seeding


RegKeys = Dict[str, Dict[str, wine_env.RegData]]


def user_agent_seed(box: winebox.CasePrefix) -> RegKeys:
    """The tokens of other versions, where the program reads them."""
    return {"HKEY_LOCAL_MACHINE\\" + box.software_key(AGENT_KEY): dict(AGENT_SEEDS)}


def preload_seed(places: Sequence[str], default_user: bool = False) -> RegKeys:
    """Places 2, 3, ... of the current user's (and the default user's) preload list."""
    keys = {"HKEY_CURRENT_USER\\" + PRELOAD_KEY: numbered(places)}
    if default_user:
        keys["HKEY_USERS\\" + DEFAULT_PRELOAD_KEY] = numbered(places)
    return keys


def earlier_layout_seed(layout: str) -> RegKeys:
    """The Keyboard Layouts key an earlier version of the product registered by hand."""
    return {f"HKEY_LOCAL_MACHINE\\{LAYOUTS_KEY}\\{layout}": {
        "IME file": "ZAVOLI4.IME", "layout file": "kbdus.dll",
        "layout text": EARLIER_LAYOUT_TEXT}}


def numbered(places: Sequence[str]) -> Dict[str, str]:
    """A preload list's values from place 2 on."""
    return {str(number): layout for number, layout in enumerate(places, start=2)}


def earlier_layout_id(setting: Setting) -> str:
    """An id of a product key from an earlier install, apart from the ids Wine hands out
    from e001 up."""
    return "e020" + LAYOUT_LANGUAGE[setting.codepage]


def read_stand_in(path: str) -> bytes:
    try:
        with open(path, "rb") as f:
            return f.read()
    except OSError as error:
        raise winebox.HarnessError(
            f"{path}: {error} (Debian package libz-mingw-w64, for a loadable DLL)") from None


# ---------------------------------------------------------------------------
# Running


def run_silent(box: winebox.CasePrefix, check: Expectations, setting: Setting,
               answers: Sequence[str] = (), completes: bool = True,
               exit_code: int = EXIT_INSTALLED) -> winebox.RunResult:
    """Runs the silent install, waits for the programs it started (and, when the
    install `completes`, for the record of setupw64.exe's start) and checks how it
    ended, with `exit_code`; the prefix is left running for more steps."""
    result = box.run(SILENT, answers=answers, timeout=RUN_TIMEOUT)
    check.run_ended(result, exit_code)
    if completes and setting.records_setupw64_start:
        wait_for_file(box, INSTALL_DIR + SETUPW64_LOG.decode(), STARTED_PROGRAMS_GRACE)
    left = wait_for_started_programs(box, setting.exe, STARTED_PROGRAMS_GRACE)
    check.equal(f"programs still running {STARTED_PROGRAMS_GRACE:.0f} s after the install",
                [], left)
    return result


def wait_for_file(box: winebox.CasePrefix, windows_path: str, timeout: float) -> None:
    deadline = time.monotonic() + timeout
    while not box.exists(windows_path) and time.monotonic() < deadline:
        time.sleep(0.1)


def wait_for_started_programs(box: winebox.CasePrefix, exe: str, timeout: float) -> List[str]:
    """Waits until no program that the installer starts (or the installer itself) runs
    in the prefix; returns those still running after `timeout`."""
    names = STARTED_PROGRAMS + (program_name(exe).lower(),)
    deadline = time.monotonic() + timeout
    while True:
        left = [p for p in wine_env.prefix_processes(box.root)
                if any(name in p.lower() for name in names)]
        if not left or time.monotonic() >= deadline:
            return left
        time.sleep(0.2)


def export_layouts(box: winebox.CasePrefix) -> Dict[str, str]:
    """Keyboard Layouts subkey -> its Layout Text, read from the running prefix."""
    text = box.export_reg(f"HKEY_LOCAL_MACHINE\\{LAYOUTS_KEY}")
    layouts: Dict[str, str] = {}
    current = None
    for line in text.splitlines():
        header = re.fullmatch(r"\[HKEY_LOCAL_MACHINE\\.*\\Keyboard Layouts\\([^\\\]]+)\]", line)
        if header:
            current = header.group(1)
            layouts.setdefault(current, "")
            continue
        value = re.fullmatch(r'"Layout Text"="(.*)"', line, re.IGNORECASE)
        if value and current:
            layouts[current] = value.group(1).replace('\\"', '"').replace("\\\\", "\\")
    return layouts


# ---------------------------------------------------------------------------
# The install directory and the system folders


def listing(box: winebox.CasePrefix, setting: Setting) -> Tuple[Dict[bytes, bytes], List[str]]:
    """The files of the install directory and everything below its subfolders."""
    return checks.folder_files(box, INSTALL_DIR, CODECS[setting.codepage])


def describe(setting: Setting, content: Optional[bytes]) -> str:
    """A short account of file bytes: size and which package entries they equal."""
    if content is None:
        return "nothing (absent)"
    matches = package_model.matching_entries(setting.package, content)
    same = f", the bytes of {', '.join(matches)}" if matches else ""
    return f"{len(content)} bytes{same}"


def compare_file(check: Expectations, setting: Setting, what: str,
                 expected: Optional[PlacedFile], seen: Optional[bytes]) -> None:
    wanted = expected.content if expected else None
    if wanted == seen:
        return
    detail = ""
    if wanted is not None and seen is not None:
        first = next((i for i, (a, b) in enumerate(zip(wanted, seen)) if a != b),
                     min(len(wanted), len(seen)))
        detail = f"; first difference at byte {first}"
    origin = f" ({expected.origin})" if expected else ""
    check.fail(what, describe(setting, wanted) + origin, describe(setting, seen) + detail)


def expect_install_dir(check: Expectations, box: winebox.CasePrefix, setting: Setting,
                       expected: Dict[bytes, PlacedFile]) -> None:
    """Exactly the expected files, byte for byte, and an empty filer\\ subfolder."""
    files, nested = listing(box, setting)
    check.equal(f"folders in {INSTALL_DIR}", [FILER + "\\"], nested)
    names = sorted(set(files) | set(expected))
    unexpected = [n for n in names if n not in expected]
    missing = [n for n in names if n not in files]
    check.equal(f"files in {INSTALL_DIR} that should not be there",
                [], [n.decode(CODECS[setting.codepage], "replace") for n in unexpected])
    check.equal(f"files missing from {INSTALL_DIR}",
                [], [n.decode("gbk", "replace") for n in missing])
    for name in names:
        if name in files and name in expected:
            compare_file(check, setting, f"{INSTALL_DIR}{name.decode('gbk', 'replace')}",
                         expected[name], files[name])


def expected_install_dir(setting: Setting) -> Dict[bytes, PlacedFile]:
    files = dict(setting.model.install_dir)
    if setting.records_setupw64_start:
        # The installer runs "<dir>setupw64.exe regzv32=<dir>" with WinExec; Wine hands
        # the program its path in quotes (see the module comment).
        line = (f'"{INSTALL_DIR}setupw64.exe" regzv32={INSTALL_DIR}').encode("ascii")
        files[SETUPW64_LOG] = PlacedFile(line, "the command line setupw64.exe was started with")
    return files


def expect_system_files(check: Expectations, box: winebox.CasePrefix, setting: Setting,
                        expected: Optional[Dict[str, PlacedFile]] = None) -> None:
    for path, placed in (expected or setting.model.system).items():
        compare_file(check, setting, path, placed, box.read_file(path))


def expect_remembered(check: Expectations, box: winebox.CasePrefix, setting: Setting) -> None:
    check.file(box, WINDOWS_FILE, INSTALL_DIR_BYTES)
    check.file(box, DRIVE_FILE, INSTALL_DIR_BYTES if setting.major >= 6 else None)


def expect_changes_outside(check: Expectations, box: winebox.CasePrefix,
                           expected: Sequence[str]) -> None:
    """The paths changed on C: apart from the install directory."""
    inside = INSTALL_DIR.lower()
    seen = [p.lower() for p in box.changes()
            if not (p.lower() + "\\").startswith(inside)]
    check.equal("paths changed on C: outside the install directory",
                sorted(p.lower() for p in expected), seen)
    check.equal("files left in the working folder", [], box.stray_files())


def outside_paths(setting: Setting, fresh: bool, extra: Sequence[str] = ()) -> List[str]:
    paths = [WINDOWS_FILE, *setting.model.system, *extra]
    if setting.major >= 6:
        paths += [DRIVE_DIR, DRIVE_FILE] if fresh else [DRIVE_FILE]
    return paths


# ---------------------------------------------------------------------------
# The registry (read after shutdown)


def utf16z(text: str) -> bytes:
    return (text + "\0").encode("utf-16-le")


def expect_string(check: Expectations, hive: wine_reg.Hive, key: str, name: str,
                  text: Optional[str]) -> None:
    """A REG_SZ value of HKLM\\`key` (a path in the hive) whose data is exactly `text`
    and one terminating zero."""
    value = hive.value(key, name)
    seen = (value.type, value.data) if value else None
    wanted = (wine_reg.REG_SZ, utf16z(text)) if text is not None else None
    if seen != wanted:
        check.fail(f"HKLM\\{key} {name!r} (type, data)", show(_readable(wanted)),
                   show(_readable(seen)))


def _readable(typed: Optional[Tuple[int, bytes]]):
    if typed is None:
        return None
    kind, data = typed
    try:
        return kind, data.decode("utf-16-le")
    except UnicodeDecodeError:
        return kind, data


def expect_entries(check: Expectations, box: winebox.CasePrefix,
                   display_name: str = DISPLAY_NAME) -> None:
    """Uninstall entry (named `display_name`, the edition's name), log-on entry and the
    user-agent token of a finished install."""
    system = box.registry("system")
    uninstall_key, run_key = box.software_key(UNINSTALL_KEY), box.software_key(RUN_KEY)
    uninstall = system.key(uninstall_key)
    check.equal(f"values of HKLM\\{uninstall_key}", ["displayname", "uninstallstring"],
                sorted(uninstall.values) if uninstall else None)
    expect_string(check, system, uninstall_key, "DisplayName", display_name)
    expect_string(check, system, uninstall_key, "UninstallString", f"{SYSTEM32}\\zavodel.exe")
    expect_string(check, system, run_key, RUN_VALUE, f"{INSTALL_DIR}zavokpmt.exe zv")
    expected_agent = {name: utf16z(AGENT_SEEDS[name]) for name in AGENT_KEPT}
    expected_agent["kpmt7800"] = utf16z("")
    check.equal(f"values of HKLM\\{box.software_key(AGENT_KEY)} (name: data)", expected_agent,
                agent_values(box, system))


def expect_no_entries(check: Expectations, box: winebox.CasePrefix) -> None:
    """An install stopped before unpacking: no entry written, the seeded tokens kept."""
    system = box.registry("system")
    uninstall_key, run_key = box.software_key(UNINSTALL_KEY), box.software_key(RUN_KEY)
    check.equal(f"HKLM\\{uninstall_key}", None, system.key(uninstall_key) and "present")
    check.equal(f"HKLM\\{run_key} {RUN_VALUE!r}", None, system.value(run_key, RUN_VALUE))
    check.equal(f"values of HKLM\\{box.software_key(AGENT_KEY)} (name: data)",
                {name: utf16z(text) for name, text in AGENT_SEEDS.items()},
                agent_values(box, system))


def agent_values(box: winebox.CasePrefix, system: wine_reg.Hive) -> Optional[Dict[str, bytes]]:
    key = system.key(box.software_key(AGENT_KEY))
    if key is None:
        return None
    return {value.name.lower(): value.data for value in key.values.values()
            if value.type == wine_reg.REG_SZ}


def layout_keys(box: winebox.CasePrefix) -> List[str]:
    return [name.lower() for name in box.registry("system").subkeys(LAYOUTS_KEY)]


def expect_new_layout(check: Expectations, box: winebox.CasePrefix, setting: Setting,
                      before: Sequence[str]) -> None:
    """Exactly one layout key more than `before`, made by the input method manager for
    the IME of the system directory."""
    added = [name for name in layout_keys(box) if name not in {b.lower() for b in before}]
    pattern = f"e0[0-9a-f]{{2}}{LAYOUT_LANGUAGE[setting.codepage]}"
    if len(added) != 1 or not re.fullmatch(pattern, added[0]):
        check.fail("new Keyboard Layouts keys", f"one key {pattern}", repr(added))
        return
    key = f"{LAYOUTS_KEY}\\{added[0]}"
    system = box.registry("system")
    ime = system.value(key, "Ime File")
    text = system.value(key, "Layout Text")
    check.equal(f"{added[0]} 'Ime File'", f"{SYSTEM32}\\zavoli4.ime".lower(),
                ime.text().lower() if ime else None)
    check.equal(f"{added[0]} 'Layout Text'", LAYOUT_TEXT, text.text() if text else None)


def preload(box: winebox.CasePrefix, hive: str, key: str) -> Optional[Dict[str, str]]:
    """Places 2 and above of a preload list (place 1 is Wine's own)."""
    found = box.registry(hive).key(key)
    if found is None:
        return None
    return {v.name: v.text() for v in found.values.values()
            if v.name != "1" and v.type == wine_reg.REG_SZ}


# ---------------------------------------------------------------------------
# A whole install


def expect_finished_install(check: Expectations, box: winebox.CasePrefix, setting: Setting,
                            result: winebox.RunResult, harness: winebox.Harness) -> None:
    """What every silent install that went through leaves (files only; the prefix may
    still run)."""
    check.boxes(result, program_name(harness.exe), [])
    expect_install_dir(check, box, setting, expected_install_dir(setting))
    expect_system_files(check, box, setting)
    expect_remembered(check, box, setting)


def seed_plain(box: winebox.CasePrefix, setting: Setting) -> Tuple[List[str], List[str]]:
    """Seeds a machine without the product: user-agent tokens and foreign places in the
    preload list (on XP an earlier product layout at place 3, which the install moves to
    place 2 in both the user's and the default user's list).  Returns the layout keys
    before the install and the preload places expected after it."""
    seeds = user_agent_seed(box)
    places = [US_LAYOUT, "00000804"]
    expected_places = list(places)
    if setting.major < 6:
        earlier = earlier_layout_id(setting)
        seeds.update(earlier_layout_seed(earlier))
        places = [US_LAYOUT, earlier]
        expected_places = [earlier, US_LAYOUT]
    seeds.update(preload_seed(places, default_user=setting.major < 6))
    box.import_reg(seeds)
    before = [name for name in box.template_registry("system").subkeys(LAYOUTS_KEY)]
    before += [earlier_layout_id(setting)] if setting.major < 6 else []
    return before, expected_places


def expect_plain_registry(check: Expectations, box: winebox.CasePrefix, setting: Setting,
                          before: Sequence[str], expected_places: Sequence[str],
                          display_name: str = DISPLAY_NAME) -> None:
    """The registry after an install over `seed_plain` (read after shutdown)."""
    expect_entries(check, box, display_name)
    expect_new_layout(check, box, setting, before)
    check.equal("preload list, places 2 and above", numbered(expected_places),
                preload(box, "user", PRELOAD_KEY))
    if setting.major < 6:
        check.equal("default user's preload list, places 2 and above",
                    numbered(expected_places), preload(box, "userdef", PRELOAD_KEY))


def plain_install(harness: winebox.Harness, check: Expectations, variant: str,
                  codepage: int) -> None:
    """A silent install on a machine without the product (see seed_plain)."""
    setting = Setting(harness, variant, codepage)
    with harness.prefix(variant, codepage) as box:
        check.context(f"{setting.label} {SILENT!r}")
        before, expected_places = seed_plain(box, setting)
        result = run_silent(box, check, setting)
        box.shutdown()
        expect_finished_install(check, box, setting, result, harness)
        expect_changes_outside(check, box, outside_paths(setting, fresh=True))
        expect_plain_registry(check, box, setting, before, expected_places)


# ---------------------------------------------------------------------------
# The cases


@case("silent_win7_936")
def silent_win7_936(harness: winebox.Harness, check: Expectations) -> None:
    """64-bit Windows 7, simplified Chinese: the full IMEs in both system folders, the
    64-bit uninstaller, the companion for 6.0+, setupw64.exe started."""
    plain_install(harness, check, "win7", 936)


@case("silent_win7_950")
def silent_win7_950(harness: winebox.Harness, check: Expectations) -> None:
    """The same under code page 950: the traditional-Chinese variants are the ones
    stamped in the first pass, the layout key gets language 0404, and the package's GBK
    file names reach the disk as the Big5 system reads their bytes."""
    plain_install(harness, check, "win7", 950)


@case("silent_win7x86_936")
def silent_win7x86_936(harness: winebox.Harness, check: Expectations) -> None:
    """32-bit Windows 7: zavoli32.ime in system32, the 32-bit uninstaller, the companion
    for 6.0+, no setupw64.exe start."""
    plain_install(harness, check, "win7x86", 936)


@case("silent_winxp_936")
def silent_winxp_936(harness: winebox.Harness, check: Expectations) -> None:
    """XP: zavoli4.ime in system32, both companions kept, one remembered file; the
    product's layout moves to place 2 of the preload lists."""
    plain_install(harness, check, "winxp", 936)


# The mutex a silent install holds while it runs (app/silent_mode.cpp).
SILENT_INSTALL_MUTEX = "Global\\zvsetup-7.8-silent-install"


@case("silent_second_instance")
def silent_second_instance(harness: winebox.Harness, check: Expectations) -> None:
    """While another silent install runs (its mutex held), a second one stops at once
    with exit code 1: no message, nothing unpacked, placed or registered; only the
    administrator check's remembered-directory files are written."""
    setting = Setting(harness, "win7", 936)
    with harness.prefix("win7", 936) as box:
        check.context(f"{setting.label} {SILENT!r} while another silent install runs")
        box.import_reg(user_agent_seed(box))
        box.hold([("mutex", SILENT_INSTALL_MUTEX)])
        result = run_silent(box, check, setting, completes=False, exit_code=EXIT_NOT_INSTALLED)
        box.shutdown()
        check.boxes(result, program_name(harness.exe), [])
        check.equal(f"files in {INSTALL_DIR}", [], sorted(listing(box, setting)[0]))
        expect_changes_outside(check, box, [WINDOWS_FILE, DRIVE_DIR, DRIVE_FILE])
        expect_no_entries(check, box)


@case("silent_reinstall")
def silent_reinstall(harness: winebox.Harness, check: Expectations) -> None:
    """A second silent install over the first, with the layout the first one registered
    at place 2 of the preload list: the earlier IME files are released and the install
    completes as the first one did."""
    setting = Setting(harness, "win7", 936)
    with harness.prefix("win7", 936) as box:
        check.context(f"{setting.label} first install")
        box.import_reg(user_agent_seed(box))
        first = run_silent(box, check, setting)
        expect_finished_install(check, box, setting, first, harness)
        layouts = export_layouts(box)
        product = [name for name, text in layouts.items() if text == LAYOUT_TEXT]
        if len(product) != 1:
            check.fail("layouts with the product's text after the first install",
                       "exactly one", repr(product))
            check.finish()
        box.import_reg(preload_seed([product[0]]))
        # The second install must record its own start of setupw64.exe.
        log = INSTALL_DIR + SETUPW64_LOG.decode()
        if box.exists(log):
            os.remove(box.host_path(log))
        check.context(f"{setting.label} second install, {product[0]} at preload place 2")
        second = run_silent(box, check, setting)
        box.shutdown()
        expect_finished_install(check, box, setting, second, harness)
        expect_changes_outside(check, box, outside_paths(setting, fresh=False))
        expect_entries(check, box)
        expect_new_layout(check, box, setting, list(layouts))
        check.equal("preload list, places 2 and above", numbered([product[0]]),
                    preload(box, "user", PRELOAD_KEY))


def seed_held_ime(box: winebox.CasePrefix, setting: Setting, how: str) -> Dict[str, bytes]:
    """Seeds an earlier install whose IME files another program holds `how`: its layout
    key at place 2 of the preload list and a loadable DLL as zavoli4.ime in each system
    folder.  Returns the seeded files."""
    earlier = earlier_layout_id(setting)
    box.import_reg({**user_agent_seed(box), **earlier_layout_seed(earlier),
                    **preload_seed([earlier])})
    seeded = {}
    for folder in setting.system_folders():
        path = f"{folder}\\zavoli4.ime"
        seeded[path] = read_stand_in(setting.held_ime_stand_in(folder))
        box.write_file(path, seeded[path])
    box.hold([(how, path) for path in seeded])
    return seeded


def layouts_before(box: winebox.CasePrefix, setting: Setting) -> List[str]:
    """The layout keys of the template and the one seeded for an earlier install."""
    return box.template_registry("system").subkeys(LAYOUTS_KEY) + [earlier_layout_id(setting)]


def aside(path: str, second: bool = False) -> str:
    """The names a file in use is moved to: the last letter of its stem becomes 2, or
    when that name cannot be taken, the last two become 12."""
    return path[:-6] + ("12" if second else path[-6] + "2") + path[-4:]


STALE = b"an IME moved aside by an even earlier install"


@case("silent_ime_in_use_module")
def silent_ime_in_use_module(harness: winebox.Harness, check: Expectations) -> None:
    """The earlier IMEs loaded as modules (delete refused, rename allowed) are moved
    aside with their bytes, and the new IMEs take their names.  On 64-bit Windows a
    stale zavoli2.ime is replaced by the moved IME; on 32-bit Windows the stale
    zavoli2.ime is itself held open, so the moved IME goes to zavol12.ime."""
    for variant in ("win7", "win7x86"):
        setting = Setting(harness, variant, 936)
        stale_held = not setting.sixty_four_bit
        with harness.prefix(variant, 936) as box:
            check.context(f"{setting.label} {SILENT!r}, earlier IME files loaded as modules, "
                          f"stale zavoli2.ime {'held open' if stale_held else 'present'}")
            for folder in setting.system_folders():
                box.write_file(aside(f"{folder}\\zavoli4.ime"), STALE)
            seeded = seed_held_ime(box, setting, "module")
            if stale_held:
                box.hold([("open", aside(path)) for path in seeded])
            # A 32-bit IME in SysWOW64 that was moved aside goes with the next restart.
            # Wine hands the exit code to Linux, whose process status keeps its low byte.
            exit_code = EXIT_RESTART_REQUIRED & 0xFF if setting.sixty_four_bit else EXIT_INSTALLED
            result = run_silent(box, check, setting, exit_code=exit_code)
            box.shutdown()
            expect_finished_install(check, box, setting, result, harness)
            moved = {aside(path, second=stale_held): old for path, old in seeded.items()}
            for path, old in moved.items():
                check.equal(f"{path} holds the earlier IME", describe(setting, old),
                            describe(setting, box.read_file(path)))
            if stale_held:
                for path in seeded:
                    check.file(box, aside(path), STALE)
            expect_changes_outside(check, box, outside_paths(setting, fresh=True, extra=moved))
            expect_entries(check, box)
            expect_new_layout(check, box, setting, layouts_before(box, setting))
            check.equal("preload list, places 2 and above",
                        numbered([earlier_layout_id(setting)]),
                        preload(box, "user", PRELOAD_KEY))


@case("silent_ime_in_use_open")
def silent_ime_in_use_open(harness: winebox.Harness, check: Expectations) -> None:
    """The earlier IMEs held open without delete sharing can be neither deleted nor
    moved: the locked-IME message, and the install stops after writing the settings
    files: nothing unpacked, placed, registered or started."""
    for variant in ("win7", "win7x86"):
        setting = Setting(harness, variant, 936)
        with harness.prefix(variant, 936) as box:
            check.context(f"{setting.label} {SILENT!r}, earlier IME files held open")
            seeded = seed_held_ime(box, setting, "open")
            result = run_silent(box, check, setting, answers=["ok"], completes=False,
                                exit_code=EXIT_NOT_INSTALLED)
            box.shutdown()
            check.boxes(result, program_name(harness.exe), [LOCKED_BOX])
            written = (package_model.EDITION_FILE, package_model.NETWORK_FILE)
            expect_install_dir(check, box, setting,
                               {name: setting.model.install_dir[name] for name in written})
            expect_system_files(check, box, setting,
                                {path: PlacedFile(old, "the earlier IME, untouched")
                                 for path, old in seeded.items()})
            expect_remembered(check, box, setting)
            expect_changes_outside(check, box, [WINDOWS_FILE, DRIVE_DIR, DRIVE_FILE])
            expect_no_entries(check, box)
            before = {name.lower() for name in layouts_before(box, setting)}
            check.equal("new Keyboard Layouts keys", [],
                        [name for name in layout_keys(box) if name not in before])
