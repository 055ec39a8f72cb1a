"""End-to-end cases of bad packages under Wine: the installer and the zvz tool handle
a hostile container safely, and zvz works on Windows.

- The silent install of zvsetup_hostile.exe (the installer carrying the package of
  tests/e2e/hostile/hostile_package.py): one failure message per bad record, naming
  it, then the incomplete-extraction message; the sound records unpacked and the
  install carried through; the earlier files behind the bad records kept; nothing
  written on C: outside the install directory but what an install writes anyway.
- zvz.exe extract of the same package: refused before anything is written.
- zvz.exe create, list, extract and verify of a small archive with a GBK name.
- zvz.exe list of the package embedded in zvsetup.exe.

The programs are found beside the zvsetup.exe under test, as the 64-bit build lays them
out: tests/e2e/hostile/zvsetup_hostile.exe and tools/zvz/zvz.exe.  zvz.exe runs
straight under wine64 (not through the message box watcher) so that its standard
output and standard error are read apart; it shows no boxes, it prints them.
"""

from __future__ import annotations

import contextlib
import dataclasses
import hashlib
import os
import stat
import subprocess
import time
from typing import Dict, Iterator, List, Optional, Sequence, Tuple

from checks import case_table, ExpectedBox, Expectations, program_name
import checks
import hostile_package
import large_package
import package_model
import silent_install_cases as silent
import wine_env
from wine_env import HarnessError
import winebox

HOSTILE_EXE = os.path.join("tests", "e2e", "hostile", "zvsetup_hostile.exe")
ZVZ_EXE = os.path.join("tools", "zvz", "zvz.exe")

SILENT = "setzvsrf32"
INSTALL_TIMEOUT = 60.0
ZVZ_TIMEOUT = 30.0
# How long the programs the installer starts without waiting may go on after it ended.
STARTED_PROGRAMS_GRACE = 15.0

INSTALL_DIR = "C:\\Program Files\\zavoli\\"
SYSTEM32 = "C:\\windows\\system32\\"
SYSWOW64 = "C:\\windows\\syswow64\\"
WINDOWS_FILE = "C:\\windows\\zavopath.zvh"
DRIVE_DIR = "C:\\zavoli"
DRIVE_FILE = "C:\\zavoli\\zavopath.zvh"
FILER = "filer"

# Paths that a record name must never reach.
ESCAPES = ("C:\\Program Files\\zavoli\\..\\evil.txt", "C:\\Program Files\\evil.txt",
           "C:\\evil.txt", "C:\\Program Files\\zavoli\\c", "C:\\Program Files\\zavoli\\a",
           "C:\\Program Files\\zavoli\\evil.txt")

FAILURE_CAPTION = "智能岚汀安装"
FAILURE_TEXT = "没有成功解压复制{}文件！请重新下载安装。"
INCOMPLETE_BOX = ExpectedBox(
    "智能岚汀(岚汀形码)安装", "文件解压不完整，请到智能岚汀网站http://www.zavoli.cn/重新下载安装。")

# The language variants: unpacked, placed by the first pass, deleted by the second.
LANGUAGE_VARIANTS = (b"zavo320.ime", b"zavo640.ime")

# Entries of the product package that the installer names.
NAMED_ENTRIES = (
    "zavoli4.ime", "zavoli64.ime", "zavo320.ime", "zavo321.ime", "zavo640.ime",
    "zavo641.ime", "setupw64.exe", "zavokpmt.exe", "zavokpm6.exe", "zavodel.exe",
    "zvqdel64.exe", "zavocyzk.bak", "zavopyck.bak", "zvszsj43.zvh",
    "冷色瓷面.zvz", "粉色瓷面.zvz", "小天使.zvz", "kpmt1.bmp",
)
# What the small placeholder package of earlier builds carried.
PLACEHOLDER_ENTRIES = ("readme.txt", "zvszsj43.zvh")

WORK = "C:\\zvztest"
SESSION_FILE = WORK + "\\session.txt"

CASES, case = case_table()


# ---------------------------------------------------------------------------
# Programs of the build


def build_file(harness: winebox.Harness, relative: str) -> str:
    """A file of the Windows build that made the zvsetup.exe under test."""
    path = os.path.join(os.path.dirname(harness.exe), relative)
    if not os.path.isfile(path):
        raise HarnessError(f"missing {path} (build the win32 and win64 presets: "
                           "scripts/build-all.sh)")
    return path


def embedded_package(exe: str) -> bytes:
    with open(exe, "rb") as f:
        image = f.read()
    try:
        return package_model.pe_resource(image, package_model.RESOURCE_TYPE,
                                         package_model.RESOURCE_NAME)
    except package_model.PackageError as error:
        raise HarnessError(f"{exe}: {error}") from None


def hostile_exe(harness: winebox.Harness) -> Tuple[str, bytes]:
    """zvsetup_hostile.exe and its package, which must be what hostile_package.py
    writes now (else the build is older than the generator)."""
    exe = build_file(harness, HOSTILE_EXE)
    package = embedded_package(exe)
    if package != hostile_package.build():
        raise HarnessError(f"{exe} carries another package than hostile_package.py writes: "
                           "build it again")
    return exe, package


@contextlib.contextmanager
def program(harness: winebox.Harness, exe: str) -> Iterator[None]:
    """Has the prefixes run `exe` instead of the zvsetup.exe under test meanwhile."""
    saved = harness.exe
    harness.exe = exe
    try:
        yield
    finally:
        harness.exe = saved


def wait_for_programs(box: winebox.CasePrefix, names: Sequence[str],
                      timeout: float) -> List[str]:
    """Waits until no process of the prefix runs one of `names`; returns those left."""
    deadline = time.monotonic() + timeout
    while True:
        left = [p for p in wine_env.prefix_processes(box.root)
                if any(name.lower() in p.lower() for name in names)]
        if not left or time.monotonic() >= deadline:
            return left
        time.sleep(0.2)


# ---------------------------------------------------------------------------
# zvz.exe


@dataclasses.dataclass
class ZvzRun:
    args: Tuple[str, ...]
    exit_code: Optional[int]
    stdout: List[str]
    stderr: List[str]

    def __str__(self) -> str:
        return (f"zvz {' '.join(self.args)} -> exit {self.exit_code}, "
                f"stdout {self.stdout!r}, stderr {self.stderr!r}")


def output_lines(data: bytes, codepage: int) -> List[str]:
    """Console output of a Windows program: ANSI bytes, CR LF line ends."""
    return data.decode(codec(codepage), "replace").splitlines()


def codec(codepage: int) -> str:
    return {936: "gbk", 950: "cp950"}[codepage]


class Zvz:
    """Runs zvz.exe in a case prefix."""

    def __init__(self, harness: winebox.Harness, box: winebox.CasePrefix):
        self.exe = build_file(harness, ZVZ_EXE)
        self.box = box
        self.runs = 0

    def run(self, *args: str) -> ZvzRun:
        env = dict(self.box.env, WINEDEBUG="-all")
        try:
            done = subprocess.run([wine_env.loader_for(self.exe), self.exe, *args], env=env,
                                  cwd=self.box.cwd, stdin=subprocess.DEVNULL,
                                  capture_output=True, timeout=ZVZ_TIMEOUT, check=False)
        except subprocess.TimeoutExpired:
            return ZvzRun(args, None, [], ["(still running after the time limit)"])
        self.runs += 1
        log = os.path.join(self.box.logs, f"zvz-{self.runs}.log")
        with open(log, "wb") as f:
            f.write(b"$ zvz " + " ".join(args).encode() + b"\n" + done.stdout + done.stderr)
        codepage = self.box.codepage
        return ZvzRun(args, done.returncode, output_lines(done.stdout, codepage),
                      output_lines(done.stderr, codepage))

    def start(self) -> None:
        """Keeps the prefix's Wine session up between zvz runs (a file held open by
        zvhold.exe until shutdown: without a running program every start of zvz.exe
        would start Wine anew, about 5 s), and runs "zvz --help" once."""
        self.box.write_file(SESSION_FILE, b"held open to keep Wine running\r\n")
        self.box.hold([("open", SESSION_FILE)])
        run = self.run("--help")
        if run.exit_code != 0 or not any(line.startswith("usage: zvz") for line in run.stdout):
            raise HarnessError(f"zvz.exe does not start under Wine: {run}")


def expect_zvz(check: Expectations, run: ZvzRun, exit_code: int) -> None:
    check.equal(f"exit code of zvz {' '.join(run.args)}", exit_code, run.exit_code)


def expect_one_error_line(check: Expectations, run: ZvzRun, must_hold: Sequence[str]) -> None:
    """Nothing on standard output, one line on standard error naming the problem."""
    what = f"zvz {' '.join(run.args)}"
    check.equal(f"standard output of {what}", [], run.stdout)
    if len(run.stderr) != 1 or not run.stderr[0].startswith("zvz: "):
        check.fail(f"standard error of {what}", "one line beginning 'zvz: '", repr(run.stderr))
        return
    missing = [text for text in must_hold if text not in run.stderr[0]]
    check.equal(f"parts missing from the error line {run.stderr[0]!r}", [], missing)


# ---------------------------------------------------------------------------
# The drive


def drive_state(box: winebox.CasePrefix) -> Dict[str, tuple]:
    """Every path under C: with its kind, and for files its size and change time."""
    root = box.host_path("C:\\")
    state: Dict[str, tuple] = {}
    for folder, dirs, files in os.walk(root):
        for name in dirs + files:
            path = os.path.join(folder, name)
            info = os.lstat(path)
            relative = os.path.relpath(path, root).replace("/", "\\")
            if stat.S_ISREG(info.st_mode):
                state["C:\\" + relative] = ("file", info.st_size, info.st_mtime_ns)
            else:
                state["C:\\" + relative] = (stat.S_IFMT(info.st_mode),)
    return state


def changed(before: Dict[str, tuple], after: Dict[str, tuple]) -> List[str]:
    return sorted(p for p in set(before) | set(after) if before.get(p) != after.get(p))


def folder_files(box: winebox.CasePrefix, windows_dir: str) -> Tuple[Dict[bytes, bytes], List[str]]:
    """The files directly in a folder, and everything below its subfolders."""
    return checks.folder_files(box, windows_dir, codec(box.codepage))


def expect_files(check: Expectations, where: str, expected: Dict[bytes, bytes],
                 seen: Dict[bytes, bytes]) -> None:
    """Exactly the expected files, byte for byte."""
    def names(keys) -> List[str]:
        return sorted(k.decode("gbk", "replace") for k in keys)

    check.equal(f"files in {where} that should not be there", [],
                names(set(seen) - set(expected)))
    check.equal(f"files missing from {where}", [], names(set(expected) - set(seen)))
    for name in sorted(set(seen) & set(expected)):
        if seen[name] != expected[name]:
            check.fail(f"content of {where}{name.decode('gbk', 'replace')}",
                       repr(expected[name]), repr(seen[name]))


# ---------------------------------------------------------------------------
# The silent install of the hostile package


def failure_box(record: hostile_package.Record) -> ExpectedBox:
    return ExpectedBox(FAILURE_CAPTION, FAILURE_TEXT.format(record.text_name()))


def expected_install_dir(records: Sequence[hostile_package.Record]) -> Dict[bytes, bytes]:
    """The install directory after the silent install on 64-bit Windows 7, code page
    936: the sound records (less the language variants), the copy of the full IME,
    the two settings files, and the earlier files behind the refused records."""
    files = {r.name: r.content for r in records if r.sound and r.name not in LANGUAGE_VARIANTS}
    files[b"zavoli32.ime"] = files[b"zavoli4.ime"]
    files[package_model.EDITION_FILE] = package_model.EDITION_SHAPE_CODE
    files[package_model.NETWORK_FILE] = package_model.network_settings()
    files.update({r.name: r.existing for r in records if r.existing is not None})
    return files


def expected_system_files(records: Sequence[hostile_package.Record]) -> Dict[str, bytes]:
    content = {r.name: r.content for r in records if r.sound}
    return {
        SYSTEM32 + "zavoli4.ime": content[b"zavoli64.ime"],
        SYSWOW64 + "zavoli4.ime": content[b"zavoli4.ime"],
        SYSTEM32 + "zavodel.exe": content[b"zvqdel64.exe"],
    }


def outside_install_dir(paths: Sequence[str], allowed: Sequence[str]) -> List[str]:
    inside = INSTALL_DIR.lower()
    allowed_lower = {p.lower() for p in allowed}
    return [p for p in paths
            if not (p.lower() + "\\").startswith(inside) and p.lower() not in allowed_lower]


@case("hostile_package_install")
def hostile_package_install(harness: winebox.Harness, check: Expectations) -> None:
    """The silent install of a package with damaged streams, wrong digests, empty records
    and unusable names: one message per bad record naming it (an unusable name shown
    as its bytes read), the incomplete-extraction message, exit code 2 (installed, but
    files are missing or damaged); the sound
    records unpacked and placed; the earlier files behind the bad records untouched;
    and on C: nothing changed outside the install directory but the system folders'
    IME and uninstaller and the remembered-directory files."""
    exe, _ = hostile_exe(harness)
    records = hostile_package.records()
    existing = {INSTALL_DIR + r.text_name(): r.existing for r in records if r.existing}
    expected_boxes = [failure_box(r) for r in records if not r.sound] + [INCOMPLETE_BOX]
    system_files = expected_system_files(records)
    with harness.prefix("win7", 936) as box, program(harness, exe):
        check.context(f"win7-936 {program_name(exe)} {SILENT}")
        for path, data in existing.items():
            box.write_file(path, data)
        result = box.run(SILENT, answers=["ok"] * len(expected_boxes), timeout=INSTALL_TIMEOUT)
        left = wait_for_programs(box, ("icacls.exe", program_name(exe)), STARTED_PROGRAMS_GRACE)
        check.equal("programs still running after the install", [], left)
        box.shutdown()
        check.run_ended(result, 2)
        check.boxes(result, program_name(exe), expected_boxes)

        files, nested = folder_files(box, INSTALL_DIR)
        check.equal(f"folders in {INSTALL_DIR}", [FILER + "\\"], nested)
        expect_files(check, INSTALL_DIR, expected_install_dir(records), files)
        for path, data in system_files.items():
            check.file(box, path, data)
        for path in (WINDOWS_FILE, DRIVE_FILE):
            check.file(box, path, INSTALL_DIR.encode("ascii"))

        changes = box.changes()
        check.equal("earlier files behind refused records that were rewritten", [],
                    [p for p in changes if p.lower() in {e.lower() for e in existing}])
        allowed = [*system_files, WINDOWS_FILE, DRIVE_DIR, DRIVE_FILE]
        check.equal("paths changed on C: outside the install directory and the places an "
                    "install writes", [], outside_install_dir(changes, allowed))
        for path in ESCAPES:
            check.equal(f"{path} exists", False, box.exists(path))
        check.equal("files left in the working folder", [], box.stray_files())


LARGE_EXE = os.path.join("tests", "e2e", "large", "zvsetup_large.exe")
DEMO_PACKAGE = os.path.join("demo", "demo.zvz")


def large_exe(harness: winebox.Harness) -> str:
    """zvsetup_large.exe, which must carry what large_package.py makes of the build's
    demo package now (else the build is older than the generator)."""
    exe = build_file(harness, LARGE_EXE)
    with open(build_file(harness, DEMO_PACKAGE), "rb") as f:
        wanted = large_package.build(f.read())
    if embedded_package(exe) != wanted:
        raise HarnessError(f"{exe} carries another package than large_package.py "
                           "writes: build it again")
    return exe


@case("silent_large_records")
def silent_large_records(harness: winebox.Harness, check: Expectations) -> None:
    """A package with large, well-compressed records (one beyond the scratch slot):
    every file reaches the install directory byte for byte, on 64-bit and on 32-bit
    Windows."""
    with program(harness, large_exe(harness)):
        for variant in ("win7", "win7x86"):
            silent.plain_install(harness, check, variant, 936)


# ---------------------------------------------------------------------------
# zvz.exe


@case("zvz_extract_hostile")
def zvz_extract_hostile(harness: winebox.Harness, check: Expectations) -> None:
    """zvz.exe extract refuses the hostile package at its first unusable name, with one
    line on standard error and exit code 1, before it touches the target: a missing
    target folder is not created, an existing one keeps its files, and nothing on C:
    changes."""
    _, package = hostile_exe(harness)
    number, first_bad = hostile_package.first_bad_name()
    count = len(hostile_package.records())
    archive = f"{WORK}\\hostile.zvz"
    earlier = {r.name: r.existing for r in hostile_package.records() if r.existing}
    with harness.prefix("win7", 936) as box:
        box.write_file(archive, package)
        for name, data in earlier.items():
            box.write_file(f"{WORK}\\kept\\{name.decode('ascii')}", data)
        zvz = Zvz(harness, box)
        zvz.start()
        for target in (f"{WORK}\\new", f"{WORK}\\kept"):
            check.context(f"win7-936 zvz extract {archive} {target}")
            before = drive_state(box)
            run = zvz.run("extract", archive, target)
            after = drive_state(box)
            expect_zvz(check, run, 1)
            expect_one_error_line(check, run, [
                archive, f"record {number} of {count}", f'"{first_bad.text_name()}"'])
            check.equal("paths changed on C:", [], changed(before, after))
        check.context("win7-936 after both runs of zvz extract")
        check.equal(f"{WORK}\\new exists", False, box.exists(f"{WORK}\\new"))
        kept, _ = folder_files(box, f"{WORK}\\kept")
        expect_files(check, f"{WORK}\\kept\\", earlier, kept)
        check.equal("files left in the working folder", [], box.stray_files())


def sample_files() -> Dict[str, bytes]:
    """The files of the round trip: text with a GBK name and content, an ASCII text,
    and binary bytes that compress poorly."""
    binary = b"".join(hashlib.md5(bytes([i])).digest() for i in range(256))
    return {
        "readme.txt": b"zvz round trip on Windows\r\n",
        "岚汀词库.txt": "岚汀；词库；测试\r\n".encode("gbk"),
        "data.bin": binary,
    }


def listed_records(run: ZvzRun) -> Tuple[str, List[Tuple[str, str, str]]]:
    """The layout and record count of "zvz list" (its first line up to the end offset)
    and each record line as (digest, state, name)."""
    if len(run.stdout) < 2:
        return "", []
    rows = []
    for line in run.stdout[2:]:
        fields = line.split(None, 3)
        if len(fields) < 4:
            rows.append(("", "", line))
            continue
        rest = fields[3]
        # The state may be two words ("DIGEST MISMATCH"); the name follows two blanks.
        state, _, name = rest.partition("  ")
        rows.append((fields[2], state.strip(), name.strip()))
    return run.stdout[0].split(", end offset")[0], rows


@case("zvz_round_trip")
def zvz_round_trip(harness: winebox.Harness, check: Expectations) -> None:
    """zvz.exe create packs a folder and a single file, a GBK name among them; list shows
    every record sound with its digest; extract gives the same bytes back; verify
    passes them all, and after one file is changed names exactly that file and fails."""
    files = sample_files()
    single_name = "单独文件.zvh"
    single = "单独文件：单独给出的文件\r\n".encode("gbk")
    archive = f"{WORK}\\round.zvz"
    out = f"{WORK}\\out"
    with harness.prefix("win7", 936) as box:
        check.context("win7-936 zvz create, list, extract, verify")
        for name, data in files.items():
            box.write_file(f"{WORK}\\in\\{name}", data)
        box.write_file(f"{WORK}\\{single_name}", single)
        zvz = Zvz(harness, box)
        zvz.start()
        expected = {name.encode("gbk"): data for name, data in files.items()}
        expected[single_name.encode("gbk")] = single

        created = zvz.run("create", archive, f"{WORK}\\in", f"{WORK}\\{single_name}")
        expect_zvz(check, created, 0)
        check.equal("output of zvz create", ([], []), (created.stdout, created.stderr))
        data = box.read_file(archive)
        if data is None:
            check.fail(f"{archive}", "the archive zvz create wrote", "no file")
            return
        try:
            container = package_model.parse_container(data)
        except package_model.PackageError as error:
            check.fail(f"{archive} read back", "a sound container", str(error))
            return
        check.equal("layout of the created archive", "digest", container.layout)
        check.equal("records of the created archive (name: content)", expected,
                    {r.name: r.content for r in container.records})

        listed = zvz.run("list", archive)
        expect_zvz(check, listed, 0)
        header, rows = listed_records(listed)
        check.equal("zvz list header: layout and record count",
                    "layout: digest (layout letter '0'), 4 records", header)
        check.equal("zvz list rows (digest, state, name)",
                    [(r.digest, "ok", r.text_name) for r in container.records], rows)

        extracted = zvz.run("extract", archive, out)
        expect_zvz(check, extracted, 0)
        check.equal("output of zvz extract", ([], []), (extracted.stdout, extracted.stderr))
        seen, nested = folder_files(box, out + "\\")
        check.equal(f"folders in {out}", [], nested)
        expect_files(check, out + "\\", expected, seen)

        verified = zvz.run("verify", archive, out)
        expect_zvz(check, verified, 0)
        check.equal("output of zvz verify", (["4 of 4 records pass"], []),
                    (verified.stdout, verified.stderr))

        changed_name = "岚汀词库.txt"
        box.write_file(f"{out}\\{changed_name}", "岚汀；改过的词库\r\n".encode("gbk"))
        failed = zvz.run("verify", archive, out)
        expect_zvz(check, failed, 1)
        check.equal("output of zvz verify after a change (stdout, stderr)",
                    ([f"{changed_name}....有文件没有成功解压，请重新下载安装！", "3 of 4 records pass"],
                     ["zvz: 1 record(s) fail"]),
                    (failed.stdout, failed.stderr))


@case("zvz_list_embedded")
def zvz_list_embedded(harness: winebox.Harness, check: Expectations) -> None:
    """zvz.exe list of the package embedded in zvsetup.exe: every record sound, listed
    once, as read on the host; the entries the installer names among them."""
    package = embedded_package(harness.exe)
    try:
        container = package_model.parse_container(package)
    except package_model.PackageError as error:
        check.fail("the package embedded in zvsetup.exe", "a sound container", str(error))
        return
    names = [r.text_name for r in container.records]
    if "zavoli4.ime" in names:
        required = NAMED_ENTRIES
    else:
        required = PLACEHOLDER_ENTRIES
        harness.note("zvsetup.exe carries the placeholder package, not the product's: only "
                     f"{', '.join(required)} are required of it")
    archive = f"{WORK}\\embedded.zvz"
    with harness.prefix("win7", 936) as box:
        check.context(f"win7-936 zvz list of the package of {program_name(harness.exe)}")
        box.write_file(archive, package)
        zvz = Zvz(harness, box)
        zvz.start()
        listed = zvz.run("list", archive)
        expect_zvz(check, listed, 0)
        check.equal("standard error of zvz list", [], listed.stderr)
        header, rows = listed_records(listed)
        count = len(container.records)
        check.equal("zvz list header: layout and record count",
                    f"layout: digest (layout letter '0'), {count} records", header)
        check.equal("zvz list rows (digest, state, name)",
                    [(r.digest, "ok", r.text_name) for r in container.records], rows)
        listed_names = [name for _, _, name in rows]
        check.equal("required entries not listed exactly once", [],
                    [n for n in required if listed_names.count(n) != 1])
