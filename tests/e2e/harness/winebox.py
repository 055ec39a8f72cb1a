"""Runs the installer in a fresh Wine prefix per case and reports what it did.

    harness = Harness(exe, tools_dir, run_dir, case_name, tools64_dir)
    with harness.prefix("win7", 936) as box:
        box.write_file("C:\\windows\\zavopath.zvh", b"D:\\old\\")
        result = box.run("regzv32=C:\\x\\", answers=["ok"])
        box.shutdown()                       # wineserver -k, -w; no process left
        box.read_file("C:\\zavoli\\zavopath.zvh")
        box.registry("system").subkeys(...)
    harness.close(failed=False)              # removes the case folders, or keeps them

The wizard is driven step by step instead (zvwizard.exe, see InteractiveRun):

    run = box.start("")                      # does not wait for the program
    window = run.window()                    # caption, rectangles of the wizard window
    run.click(90, 255); picture = run.shot("welcome")
    message = run.next_box("ok")             # a message box, answered through the watcher
    result = run.wait_end(timeout=30)        # a RunResult as box.run gives

Each case prefix is an overlay mount over a template prefix (wine_templates.py): the
case's writes land in its own upper folder and the template stays untouched.  Where
overlayfs cannot be mounted, the template is copied instead.  Message boxes are seen
and answered by zvboxwatch.exe running in the same prefix; the program's own
WINEDEBUG=+msgbox trace is kept to tell its boxes from others.  Every case uses its
own TMPDIR and every test process its own Xvfb display, so cases can run in parallel.

The program under test is the shipped 32-bit zvsetup.exe, or its 64-bit twin where this
machine cannot run 32-bit programs; the templates follow its kind (wine_templates.py).
The helper programs are of the prefix's own kind: 32-bit ones in 32-bit prefixes, 64-bit
ones in 64-bit prefixes, where they see C:\\windows\\system32 and the registry as the
system's own 64-bit programs do.
"""

from __future__ import annotations

import contextlib
import ctypes
import dataclasses
import json
import os
import queue
import select
import shutil
import signal
import stat
import subprocess
import threading
import time
from typing import Dict, Iterable, List, Optional, Sequence, Tuple

import bitmap_file
import wine_env
import wine_reg
import wine_templates
import wine_trace
from wine_env import HarnessError

WATCHER_EXE = "zvboxwatch.exe"
HOLDER_EXE = "zvhold.exe"
WIZARD_EXE = "zvwizard.exe"
_START_TIMEOUT = 60.0
_PR_SET_PDEATHSIG = 1


@dataclasses.dataclass(frozen=True)
class Box:
    """A dialog box seen while the program ran, and how it was answered."""

    caption: str
    text: str
    buttons: Tuple[str, ...]
    owner: int
    process: str
    answer: str
    scripted: bool


@dataclasses.dataclass
class RunResult:
    """What one run of the program showed and returned."""

    command_line: str
    exit_code: Optional[int]
    timed_out: bool
    seconds: float
    boxes: List[Box]
    traced: List[wine_trace.TracedBox]
    watcher_errors: List[str]
    stderr: str
    # Dialogs owned by the program's own window (such as the wizard's skin dialog),
    # which the watcher sees but which are not message boxes.
    dialogs: List[Box] = dataclasses.field(default_factory=list)


# ---------------------------------------------------------------------------
# Display


def _die_with_parent() -> None:
    """Child-side set-up: get SIGTERM when the test process dies, even by SIGKILL."""
    libc = ctypes.CDLL(None, use_errno=True)
    libc.prctl(_PR_SET_PDEATHSIG, signal.SIGTERM)


class Display:
    """An Xvfb server of this test process, on a display number Xvfb picks itself."""

    def __init__(self, log_path: str):
        read_end, write_end = os.pipe()
        with open(log_path, "ab") as log:
            self._process = subprocess.Popen(
                ["Xvfb", "-displayfd", str(write_end), "-nolisten", "tcp",
                 "-screen", "0", "1024x768x24"],
                pass_fds=(write_end,),
                stdin=subprocess.DEVNULL,
                stdout=log,
                stderr=log,
                preexec_fn=_die_with_parent,
            )
        os.close(write_end)
        try:
            self.name = ":" + _read_line(read_end, timeout=20.0, what="Xvfb display number")
        except HarnessError:
            self.stop()
            raise
        finally:
            os.close(read_end)

    def stop(self) -> None:
        if self._process.poll() is None:
            self._process.terminate()
            try:
                self._process.wait(timeout=10)
            except subprocess.TimeoutExpired:
                self._process.kill()
                self._process.wait()


def _read_line(fd: int, timeout: float, what: str) -> str:
    data = b""
    deadline = time.monotonic() + timeout
    while not data.endswith(b"\n"):
        left = deadline - time.monotonic()
        ready, _, _ = select.select([fd], [], [], max(left, 0))
        chunk = os.read(fd, 64) if ready else b""
        if not chunk:
            raise HarnessError(f"no {what} within {timeout} s")
        data += chunk
    return data.decode().strip()


# ---------------------------------------------------------------------------
# Helper programs inside the prefix


class _JsonLinesProcess:
    """A helper program in the prefix that reports JSON lines and reads commands."""

    def __init__(self, args: Sequence[str], env: Dict[str, str], log_path: str, cwd: str):
        self._log = open(log_path, "ab")
        self.process = subprocess.Popen(
            [wine_env.loader_for(args[0]), *args],
            env=env,
            cwd=cwd,
            stdin=subprocess.PIPE,
            stdout=subprocess.PIPE,
            stderr=self._log,
        )
        self.events: "queue.Queue[dict]" = queue.Queue()
        self._reader = threading.Thread(target=self._read, daemon=True)
        self._reader.start()

    def _read(self) -> None:
        for raw in self.process.stdout:
            line = raw.decode("utf-8", "replace").strip()
            try:
                self.events.put(json.loads(line))
            except ValueError:
                self.events.put({"event": "garbled", "line": line})
        self.events.put({"event": "eof"})

    def send(self, line: str) -> None:
        try:
            self.process.stdin.write((line + "\n").encode())
            self.process.stdin.flush()
        except (BrokenPipeError, ValueError):
            pass

    def wait_for(self, event: str, timeout: float, what: str) -> dict:
        deadline = time.monotonic() + timeout
        while True:
            try:
                got = self.events.get(timeout=max(deadline - time.monotonic(), 0.01))
            except queue.Empty:
                raise HarnessError(f"{what}: no {event!r} within {timeout} s") from None
            if got.get("event") == event:
                return got
            if got.get("event") in ("eof", "error", "garbled"):
                raise HarnessError(f"{what}: {got}")

    def close(self, last_words: str) -> None:
        self.send(last_words)
        with contextlib.suppress(OSError, ValueError):
            self.process.stdin.close()
        try:
            self.process.wait(timeout=10)
        except subprocess.TimeoutExpired:
            pass  # wineserver -k ends it
        self._log.close()


# ---------------------------------------------------------------------------
# Files of drive_c


def _walk(root: str) -> Iterable[str]:
    """Relative paths of everything under `root` (not `root` itself)."""
    for folder, dirs, files in os.walk(root):
        for name in dirs + files:
            yield os.path.relpath(os.path.join(folder, name), root)


def _state(path: str) -> Optional[tuple]:
    """What a change check compares: kind, and for files size and modification time."""
    try:
        info = os.lstat(path)
    except FileNotFoundError:
        return None
    if stat.S_ISDIR(info.st_mode):
        return ("dir",)
    if stat.S_ISCHR(info.st_mode) and info.st_rdev == 0:
        return None  # an overlayfs whiteout: deleted
    if stat.S_ISLNK(info.st_mode):
        return ("link", os.readlink(path))
    return ("file", info.st_size, info.st_mtime_ns)


def _windows_path(relative: str) -> str:
    return "C:\\" + relative.replace("/", "\\")


# ---------------------------------------------------------------------------
# The case prefix


class CasePrefix:
    """One case's own Wine prefix (see the module comment); use it as a context manager."""

    def __init__(self, harness: "Harness", variant: str, codepage: int, label: str):
        self.variant = variant
        self.codepage = codepage
        self._harness = harness
        self.template = harness.templates.get(variant, codepage)
        self.arch = harness.templates.arch(variant)
        self.folder = os.path.join(harness.case_root, label)
        _discard_stale_case(self.folder)
        self.root = os.path.join(self.folder, "prefix")
        self.tmpdir = os.path.join(self.folder, "tmp")
        self.cwd = os.path.join(self.folder, "cwd")
        self.logs = os.path.join(self.folder, "logs")
        self._upper = os.path.join(self.folder, "upper")
        self._work = os.path.join(self.folder, "work")
        for folder in (self.root, self.tmpdir, self.cwd, self.logs, self._upper, self._work):
            os.makedirs(folder)
        self._mounted = harness.use_overlay and self._mount()
        self._layered = self._mounted
        if not self._mounted:
            os.rmdir(self.root)
            subprocess.run(["cp", "-a", self.template, self.root], check=True)
        _write_inspection_note(self.folder, self.template, self._layered)
        self.env = wine_env.wine_env(self.root, codepage, self.tmpdir, harness.display.name)
        self._watcher: Optional[_JsonLinesProcess] = None
        self._wizard: Optional[_JsonLinesProcess] = None
        self._holders: List[_JsonLinesProcess] = []
        self._programs: List[subprocess.Popen] = []
        self._before: Dict[str, Optional[tuple]] = {}
        self._hives: Dict[str, wine_reg.Hive] = {}
        self._stopped = False
        self.acp: Optional[int] = None

    # -- life cycle ---------------------------------------------------------

    def _mount(self) -> bool:
        options = f"lowerdir={self.template},upperdir={self._upper},workdir={self._work}"
        done = subprocess.run(
            ["mount", "-t", "overlay", "overlay", "-o", options, self.root],
            capture_output=True, text=True, check=False,
        )
        if done.returncode != 0:
            self._harness.note(f"overlay mount failed ({done.stderr.strip()}); copying templates")
            self._harness.use_overlay = False
            return False
        return True

    def __enter__(self) -> "CasePrefix":
        return self

    def __exit__(self, kind, value, trace) -> None:
        try:
            self.shutdown(check_leftovers=kind is None)
        finally:
            self._unmount()

    def shutdown(self, check_leftovers: bool = True) -> None:
        """Ends every process of the prefix, lets Wine save the registry and checks
        that nothing of the prefix still runs.  Runs once; later calls do nothing."""
        if self._stopped:
            return
        self._stopped = True
        if self._watcher:
            self._watcher.close("quit")
        if self._wizard:
            self._wizard.close("quit")
        for holder in self._holders:
            holder.close("stop")
        wine_env.stop_wineserver(self.env)
        for program in self._programs:
            try:
                program.wait(timeout=10)
            except subprocess.TimeoutExpired:
                pass
        left = wine_env.wait_for_no_processes(self.root)
        if left and check_leftovers:
            raise HarnessError(
                "processes of the prefix still run after wineserver -k/-w:\n  " + "\n  ".join(left)
            )

    def _unmount(self) -> None:
        if not self._mounted:
            return
        for _ in range(20):
            done = subprocess.run(["umount", self.root], capture_output=True, text=True)
            if done.returncode == 0:
                break
            time.sleep(0.25)
        else:
            raise HarnessError(f"cannot unmount {self.root}: {done.stderr.strip()}")
        shutil.rmtree(self._work, ignore_errors=True)
        self._mounted = False

    # -- files ----------------------------------------------------------------

    def host_path(self, windows_path: str) -> str:
        """The Unix path of a C: path in this prefix, matching names without regard to
        case as Windows does."""
        drive, _, rest = windows_path.partition(":")
        if drive.lower() != "c" or not rest.startswith("\\"):
            raise HarnessError(f"only absolute C: paths are supported: {windows_path!r}")
        path = os.path.join(self.root, "drive_c")
        for part in filter(None, rest.split("\\")):
            path = os.path.join(path, _existing_name(path, part))
        return path

    def write_file(self, windows_path: str, data: bytes) -> None:
        path = self.host_path(windows_path)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "wb") as f:
            f.write(data)

    def make_dir(self, windows_path: str) -> None:
        os.makedirs(self.host_path(windows_path), exist_ok=True)

    def read_file(self, windows_path: str) -> Optional[bytes]:
        """The bytes of a file, or None when there is no file of that name."""
        path = self.host_path(windows_path)
        if not os.path.isfile(path):
            return None
        with open(path, "rb") as f:
            return f.read()

    def exists(self, windows_path: str) -> bool:
        return os.path.lexists(self.host_path(windows_path))

    def changes(self) -> List[str]:
        """C: paths created, removed or modified since `run` began, sorted.

        A directory counts only when it appears or disappears; a file also when its
        size or modification time changed (so a rewrite with equal bytes counts).
        """
        drive_c = os.path.join(self.root, "drive_c")
        if self._layered:
            upper = os.path.join(self._upper, "drive_c")
            candidates = set(self._before) | set(_walk(upper))
            lower = os.path.join(self.template, "drive_c")
            before = {
                rel: self._before[rel] if rel in self._before else _state(os.path.join(lower, rel))
                for rel in candidates
            }
        else:
            candidates = set(self._before) | set(_walk(drive_c))
            before = {rel: self._before.get(rel) for rel in candidates}
        changed = [rel for rel in candidates if before[rel] != _state(os.path.join(drive_c, rel))]
        return sorted(_windows_path(rel) for rel in changed)

    def stray_files(self) -> List[str]:
        """Files the program left in its Unix working folder (outside the prefix)."""
        return sorted(_walk(self.cwd))

    def _snapshot(self) -> None:
        if self._layered:
            base = os.path.join(self._upper, "drive_c")
        else:
            base = os.path.join(self.root, "drive_c")
        merged = os.path.join(self.root, "drive_c")
        self._before = {rel: _state(os.path.join(merged, rel)) for rel in _walk(base)}

    # -- registry ---------------------------------------------------------------

    @property
    def program_on_wow64(self) -> bool:
        """True where the program under test runs under WOW64: a 32-bit program in a
        64-bit prefix, whose HKLM\\Software keys Windows redirects."""
        return self.arch == wine_env.WIN64 and self._harness.program_is_32bit

    def software_key(self, key: str) -> str:
        """Where the program's key HKLM\\`key` lies in the prefix's registry (a path
        below HKLM such as "Software\\Microsoft\\..."): Software keys of a program under
        WOW64 lie under Software\\Wow6432Node, the 32-bit view; System keys are shared."""
        head, _, rest = key.partition("\\")
        if self.program_on_wow64 and head.lower() == "software":
            return f"{head}\\Wow6432Node\\{rest}"
        return key

    def tool(self, name: str) -> str:
        """The helper program `name` of this prefix's kind."""
        return self._harness.tool(name, self.arch)

    def import_reg(self, keys) -> None:
        """Seeds registry keys with `regedit /s` (see wine_env.reg_file_text)."""
        wine_env.import_reg(keys, self.arch, self.env, self.logs,
                            os.path.join(self.logs, "seed.log"))

    def export_reg(self, key: str) -> str:
        """The text of `regedit /e` for `key` (such as "HKEY_LOCAL_MACHINE\\System\\..."),
        read from the running prefix; empty when the key does not exist."""
        path = os.path.join(self.logs, f"export-{time.monotonic_ns()}.reg")
        code = wine_env.run_wine(wine_env.builtin_loader(self.arch),
                                 ["regedit", "/e", wine_env.dos_path(path), key], self.env,
                                 os.path.join(self.logs, "export.log"), timeout=60)
        if code != 0 or not os.path.exists(path):
            return ""
        with open(path, "rb") as f:
            data = f.read()
        return data.decode("utf-16" if data.startswith(b"\xff\xfe") else "utf-8", "replace")

    def registry(self, hive: str) -> wine_reg.Hive:
        """The saved "system" or "user" registry; only after `shutdown`."""
        if not self._stopped:
            raise HarnessError("the registry is read only after shutdown()")
        return self._load_hive(self.root, hive, self._hives)

    def template_registry(self, hive: str) -> wine_reg.Hive:
        """The same registry file of the template this prefix started from."""
        return self._load_hive(self.template, hive, self._harness.template_hives)

    @staticmethod
    def _load_hive(root: str, hive: str, cache: Dict[str, wine_reg.Hive]) -> wine_reg.Hive:
        path = os.path.join(root, f"{hive}.reg")
        if path not in cache:
            cache[path] = wine_reg.load_hive(path)
        return cache[path]

    def new_subkeys(self, hive: str, key_path: str) -> List[str]:
        """Subkeys of `key_path` that the template did not have."""
        old = {name.lower() for name in self.template_registry(hive).subkeys(key_path)}
        return [name for name in self.registry(hive).subkeys(key_path) if name.lower() not in old]

    # -- programs ---------------------------------------------------------------

    def hold(self, files: Sequence[Tuple[str, str]]) -> "_JsonLinesProcess":
        """Keeps files in use by zvhold.exe until shutdown or `release`: (how, C: path)
        pairs with how one of "module", "open", "exclusive", or ("window", title) for a
        titled window owning a "UIKPMT" pop-up, ("mapping", name) for a named file
        mapping, ("mutex", name) for a named mutex.  Returns the holder for `release`."""
        args = [self.tool(HOLDER_EXE)]
        for how, path in files:
            args += [how, path]
        log = os.path.join(self.logs, f"hold-{len(self._holders)}.log")
        holder = _JsonLinesProcess(args, self.env, log, self.cwd)
        self._holders.append(holder)
        holder.wait_for("ready", _START_TIMEOUT, "zvhold.exe")
        return holder

    def release(self, holder: "_JsonLinesProcess") -> None:
        """Ends one holder of `hold` now; what it held is free once this returns."""
        holder.send("stop")
        holder.wait_for("released", 30.0, "zvhold.exe")
        holder.close("")
        self._holders.remove(holder)

    def _start_watcher(self) -> None:
        if self._watcher:
            return
        log = os.path.join(self.logs, "watcher.log")
        self._watcher = _JsonLinesProcess(
            [self.tool(WATCHER_EXE)], self.env, log, self.cwd
        )
        ready = self._watcher.wait_for("ready", _START_TIMEOUT, "zvboxwatch.exe")
        self.acp = ready.get("acp")
        if self.acp != self.codepage:
            raise HarnessError(
                f"Wine gave code page {self.acp} instead of {self.codepage}: "
                f"is the locale {wine_env.LOCALES[self.codepage]} generated?"
            )

    def _start_wizard_helper(self) -> "_JsonLinesProcess":
        if not self._wizard:
            log = os.path.join(self.logs, "wizard.log")
            self._wizard = _JsonLinesProcess(
                [self.tool(WIZARD_EXE)], self.env, log, self.cwd)
            self._wizard.wait_for("ready", _START_TIMEOUT, WIZARD_EXE)
        return self._wizard

    def _launch(self, command_line: str) -> Tuple[subprocess.Popen, str, float]:
        if self._stopped:
            raise HarnessError("the prefix was already shut down")
        args = _split_command_line(command_line)
        self._start_watcher()
        self._snapshot()
        stderr_path = os.path.join(self.logs, f"program-{len(self._programs)}.stderr")
        env = dict(self.env, WINEDEBUG="+msgbox")
        started = time.monotonic()
        with open(stderr_path, "wb") as stderr:
            program = subprocess.Popen(
                [wine_env.loader_for(self._harness.exe), self._harness.exe, *args],
                env=env, cwd=self.cwd, stdin=subprocess.DEVNULL,
                stdout=stderr, stderr=stderr,
            )
        self._programs.append(program)
        return program, stderr_path, started

    def start(self, command_line: str) -> "InteractiveRun":
        """Starts the program without waiting for it, to drive its window step by step
        (see InteractiveRun); `changes` counts from here as for `run`."""
        wizard = self._start_wizard_helper()
        program, stderr_path, started = self._launch(command_line)
        return InteractiveRun(self, wizard, program, command_line, stderr_path, started)

    def run(
        self, command_line: str, answers: Sequence[str] = (), timeout: float = 30.0
    ) -> RunResult:
        """Runs the program with exactly `command_line` as its arguments and answers its
        message boxes with `answers` in order ("ok", "yes", "no", ...); a box beyond the
        script, or one without the scripted button, gets its first button and is marked
        unscripted.  Returns once the program ended or `timeout` passed."""
        program, stderr_path, started = self._launch(command_line)
        boxes, errors, timed_out = self._watch(program, list(answers), started + timeout)
        seconds = time.monotonic() - started
        with open(stderr_path, "rb") as f:
            stderr_text = f.read().decode("utf-8", "replace")
        return RunResult(
            command_line=command_line,
            exit_code=None if timed_out else program.returncode,
            timed_out=timed_out,
            seconds=seconds,
            boxes=boxes,
            traced=wine_trace.traced_boxes(stderr_text),
            watcher_errors=errors,
            stderr=stderr_text,
        )

    def _watch(self, program, answers: List[str], deadline: float):
        boxes: List[Box] = []
        errors: List[str] = []
        while program.poll() is None and time.monotonic() < deadline:
            try:
                event = self._watcher.events.get(timeout=0.05)
            except queue.Empty:
                continue
            kind = event.get("event")
            if kind == "box":
                boxes.append(self._answer(event, answers))
            elif kind in ("error", "garbled", "eof"):
                errors.append(json.dumps(event, ensure_ascii=False))
        timed_out = program.poll() is None
        return boxes, errors, timed_out

    def _answer(self, event: dict, answers: List[str]) -> Box:
        return self.answer_box(event, answers.pop(0) if answers else None)

    def answer_box(self, event: dict, wanted: Optional[str]) -> Box:
        """Answers the watcher's box `event` with the button `wanted` (or, when it is
        None or not offered, with the first button, marked unscripted)."""
        buttons = tuple(event.get("buttons", []))
        scripted = wanted is not None and wanted in buttons
        answer = wanted if scripted else (buttons[0] if buttons else "")
        if answer:
            self._watcher.send(f"press {event['window']} {answer}")
        return Box(
            caption=event.get("caption", ""),
            text=event.get("text", ""),
            buttons=buttons,
            owner=int(event.get("owner", "0x0"), 16),
            process=event.get("process", ""),
            answer=answer,
            scripted=scripted,
        )


def _existing_name(folder: str, name: str) -> str:
    if os.path.lexists(os.path.join(folder, name)):
        return name
    try:
        for entry in os.listdir(folder):
            if entry.lower() == name.lower():
                return entry
    except (FileNotFoundError, NotADirectoryError):
        pass
    return name


def _split_command_line(command_line: str) -> List[str]:
    """The Wine arguments that give the program exactly `command_line`.

    Wine joins its arguments with single blanks and quotes only those that contain a
    blank, a tab or a quote, so a command line of single-blank-separated words without
    tabs or quotes passes through unchanged.
    """
    if command_line == "":
        return []
    words = command_line.split(" ")
    if any(word == "" or "\t" in word or '"' in word for word in words):
        raise HarnessError(f"command line cannot be passed exactly through Wine: {command_line!r}")
    return words


def _discard_stale_case(folder: str) -> None:
    """Clears what an interrupted earlier run of the same case left behind."""
    if not os.path.exists(folder):
        return
    prefix = os.path.join(folder, "prefix")
    if _is_mounted(prefix):
        env = {"WINEPREFIX": prefix, "TMPDIR": os.path.join(folder, "tmp"),
               "PATH": os.environ.get("PATH", "/usr/bin")}
        wine_env.stop_wineserver(env)
        subprocess.run(["umount", prefix], check=False)
    shutil.rmtree(folder)


def _is_mounted(path: str) -> bool:
    path = os.path.abspath(path)
    with open("/proc/mounts") as mounts:
        return any(line.split()[1] == path for line in mounts)


# ---------------------------------------------------------------------------
# The harness of one test process


class Harness:
    """Shared state of one test process: display, templates, folders and tools."""

    def __init__(self, exe: str, tools_dir: str, run_dir: str, case: str,
                 tools64_dir: Optional[str] = None):
        """`tools_dir` holds the helper programs built like `exe` (32-bit for the
        shipped program), `tools64_dir` the 64-bit ones for 64-bit prefixes (by default
        the same folder: the twin's helpers are 64-bit)."""
        self.exe = os.path.abspath(exe)
        self.tools_dir = os.path.abspath(tools_dir)
        self.tools64_dir = os.path.abspath(tools64_dir or tools_dir)
        self.run_dir = os.path.abspath(run_dir)
        self.case = case
        self.case_root = os.path.join(self.run_dir, "cases", case)
        self.notes: List[str] = []
        # ZV_E2E_NO_OVERLAY=1 forces copies, the fallback where overlayfs cannot be mounted.
        self.use_overlay = os.geteuid() == 0 and os.environ.get("ZV_E2E_NO_OVERLAY") != "1"
        self.template_hives: Dict[str, wine_reg.Hive] = {}
        self._check_inputs()
        self.program_is_32bit = wine_env.is_32bit_program(self.exe)
        wine_env.check_tools(self.program_is_32bit)
        os.makedirs(self.case_root, exist_ok=True)
        self.display = Display(os.path.join(self.case_root, "xvfb.log"))
        self.templates = wine_templates.TemplateStore(
            os.path.join(self.run_dir, "templates"), self.display.name, self.program_is_32bit
        )
        self._labels: Dict[str, int] = {}

    def _check_inputs(self) -> None:
        helpers = [os.path.join(folder, name)
                   for folder in {self.tools_dir, self.tools64_dir}
                   for name in (WATCHER_EXE, HOLDER_EXE, WIZARD_EXE)]
        missing = [p for p in [self.exe, *helpers] if not os.path.isfile(p)]
        if missing:
            raise HarnessError(
                "missing executable(s): " + ", ".join(missing)
                + " (build them with the win32 and win64 presets: scripts/build-all.sh)"
            )

    def tool(self, name: str, arch: Optional[str] = None) -> str:
        """The helper program `name` for a prefix of `arch` (by default the one built
        like the program)."""
        folder = self.tools64_dir if arch == wine_env.WIN64 else self.tools_dir
        return os.path.join(folder, name)

    def note(self, text: str) -> None:
        self.notes.append(text)

    def prefix(self, variant: str, codepage: int) -> CasePrefix:
        """A fresh prefix of the template `variant`/`codepage`; use it with `with`."""
        label = f"{variant}-{codepage}"
        self._labels[label] = self._labels.get(label, 0) + 1
        return CasePrefix(self, variant, codepage, f"{label}-{self._labels[label]}")

    def close(self, failed: bool) -> Optional[str]:
        """Removes this case's folders, or on failure moves them under failed/ and
        returns where they are."""
        self.display.stop()
        if not os.path.isdir(self.case_root):
            return None
        if not failed:
            shutil.rmtree(self.case_root, ignore_errors=True)
            return None
        kept = os.path.join(
            self.run_dir, "failed", f"{self.case}-{time.strftime('%Y%m%d-%H%M%S')}-{os.getpid()}"
        )
        os.makedirs(os.path.dirname(kept), exist_ok=True)
        os.rename(self.case_root, kept)
        return kept


def _write_inspection_note(folder: str, template: str, layered: bool) -> None:
    """Tells whoever inspects a kept case folder what is in it."""
    if layered:
        prefix = (
            "upper/ holds every file the case changed in its prefix (the overlay's upper layer).\n"
            "To see the whole prefix again (as root, from this folder):\n"
            f"  mkdir -p work merged && mount -t overlay overlay -o lowerdir={template},"
            "upperdir=$PWD/upper,workdir=$PWD/work merged\n"
        )
    else:
        prefix = f"prefix/ is the case's own copy of the template {template}.\n"
    with open(os.path.join(folder, "README.txt"), "w") as note:
        note.write(
            prefix + "logs/ holds the program's stderr (with its +msgbox trace), the output of\n"
            "the helper programs and of registry seeding; cwd/ was the program's working folder.\n"
        )


# ---------------------------------------------------------------------------
# Driving a program's window


class InteractiveRun:
    """A program that CasePrefix.start began, driven through zvwizard.exe.

    Clicks and typing go to the wizard window found by `window`; screenshots are read
    from the screen once the window has painted.  Message boxes come from the watcher:
    `next_box` waits for the next one and answers it; `wait_end` answers the rest as
    scripted and returns the RunResult of the whole run.  A dialog owned by the wizard
    window is no message box: it goes to RunResult.dialogs and is driven with
    `dialog`, `dialog_click` and `checked`.  Such a dialog is filed once, whether the
    watcher saw it or `dialog` found it first: on a busy machine the driver can close
    a dialog before the watcher's scan comes round to it.
    """

    def __init__(self, prefix: CasePrefix, wizard: _JsonLinesProcess,
                 program: subprocess.Popen, command_line: str, stderr_path: str,
                 started: float):
        self.prefix = prefix
        self.program = program
        self.command_line = command_line
        self.started = started
        self.window_info: Optional[dict] = None
        self._wizard = wizard
        self._stderr_path = stderr_path
        self._boxes: List[Box] = []
        self._dialogs: List[Box] = []
        self._dialog_windows: set = set()
        self._errors: List[str] = []
        self._open: Optional[Tuple[int, dict]] = None
        self._pending: List[dict] = []  # box events seen while waiting for another to go
        self._shots = 0

    # -- the helper --------------------------------------------------------------

    def _ask(self, line: str, reply: str, timeout: float = 15.0) -> dict:
        self._wizard.send(line)
        return self._wizard.wait_for(reply, timeout, f"{WIZARD_EXE} {line!r}")

    def window(self, timeout: float = 30.0) -> dict:
        """Waits for the wizard window: "caption", "rect" (screen) and "client"
        (screen origin x, y and width, height of the client area)."""
        self.window_info = self._ask(f"find {int(timeout * 1000)}", "window", timeout + 10)
        return self.window_info

    def click(self, x: int, y: int, right: bool = False) -> None:
        self._ask(f"{'rclick' if right else 'click'} {x} {y}", "clicked")

    def type(self, text: str) -> str:
        """Types `text` into the visible edit box; returns the box's text afterwards."""
        return self._ask(f"type {text}", "typed")["text"]

    def edits(self) -> List[dict]:
        """The window's edit boxes: "visible", "rect" (client coordinates), "text"."""
        return self._ask("edits", "edits")["edits"]

    def close_window(self) -> None:
        self._ask("close", "closed")

    def repaint(self) -> None:
        """Makes the window paint itself whole again (as when it is uncovered)."""
        self._ask("repaint", "repainted")

    def count_windows(self, class_name: str) -> int:
        """How many top-level windows of `class_name` Wine's EnumWindows lists now."""
        return self._ask(f"count {class_name}", "count")["count"]

    def window_state(self) -> dict:
        return self._ask("state", "state")

    def shot(self, name: str) -> "bitmap_file.Picture":
        """A screenshot of the client area, kept as logs/shot-NN-<name>.bmp."""
        return self._picture("shot", name)

    def dialog(self, timeout: float = 30.0) -> dict:
        """Waits for a dialog owned by the wizard window: "caption", "rect" and
        "controls" (each "id", "class", "text", "checked")."""
        found = self._ask(f"dialog {int(timeout * 1000)}", "dialog", timeout + 10)
        self._file_dialog(found)
        return found

    def _file_dialog(self, event: dict) -> None:
        """Files a dialog owned by the wizard window, once per window."""
        window = int(event.get("window", "0x0"), 16)
        if window in self._dialog_windows:
            return
        self._dialog_windows.add(window)
        owner = int(self.window_info["window"], 16) if self.window_info else 0
        self._dialogs.append(Box(event.get("caption", ""), event.get("text", ""), (), owner,
                                 event.get("process", ""), "", False))

    def dialog_shot(self, name: str) -> "bitmap_file.Picture":
        return self._picture("dlgshot", name)

    def dialog_click(self, control: int) -> None:
        self._ask(f"dlgclick {control}", "dlgclicked")

    def checked(self, control: int) -> int:
        return self._ask(f"checked {control}", "checked")["state"]

    def _picture(self, verb: str, name: str) -> "bitmap_file.Picture":
        self._shots += 1
        path = os.path.join(self.prefix.logs, f"shot-{self._shots:02d}-{name}.bmp")
        reply = self._ask(f"{verb} {wine_env.dos_path(path)}", "shot", 20.0)
        if not reply.get("steady"):
            self.prefix._harness.note(f"{os.path.basename(path)}: the picture did not settle")
        return bitmap_file.read_picture(path)

    # -- message boxes -------------------------------------------------------------

    def _owned_by_window(self, event: dict) -> bool:
        if not self.window_info:
            return False
        return int(event.get("owner", "0x0"), 16) == int(self.window_info["window"], 16)

    def _take(self, event: dict, wanted: Optional[str]) -> Optional[Box]:
        """Files one watcher event; answers a message box with `wanted`."""
        kind = event.get("event")
        if kind == "box":
            if self._owned_by_window(event):
                self._file_dialog(event)
                return None
            box = self.prefix.answer_box(event, wanted)
            self._boxes.append(box)
            return box
        if kind in ("error", "garbled", "eof"):
            self._errors.append(json.dumps(event, ensure_ascii=False))
        return None

    def next_box(self, answer: Optional[str] = "ok", timeout: float = 30.0) -> Optional[Box]:
        """Waits for the next message box and answers it with `answer`; with None the
        box stays open until `answer_open_box`.  Returns None when no box came within
        `timeout` or the program ended."""
        deadline = time.monotonic() + timeout
        watcher = self.prefix._watcher
        while time.monotonic() < deadline:
            try:
                event = self._next_event(0.05)
            except queue.Empty:
                if self.program.poll() is not None and watcher.events.empty():
                    return None
                continue
            if answer is None and event.get("event") == "box" and not self._owned_by_window(event):
                self._open = (len(self._boxes), event)
                box = Box(event.get("caption", ""), event.get("text", ""),
                          tuple(event.get("buttons", [])), int(event.get("owner", "0x0"), 16),
                          event.get("process", ""), "", False)
                self._boxes.append(box)
                return box
            box = self._take(event, answer)
            if box:
                self._wait_gone(event["window"], deadline)
                return box
        return None

    def _wait_gone(self, window: str, deadline: float) -> None:
        """Waits until the watcher saw the answered box `window` go, filing other events."""
        watcher = self.prefix._watcher
        deadline = max(deadline, time.monotonic() + 10.0)
        while time.monotonic() < deadline:
            try:
                event = watcher.events.get(timeout=0.05)
            except queue.Empty:
                continue
            if event.get("event") == "gone" and event.get("window") == window:
                return
            # A box that follows at once is filed unanswered; `wait_end` or a later
            # call answers nothing for it, so put it back for them.
            if event.get("event") == "box":
                self._pending.append(event)
                continue
            self._take(event, None)
        raise HarnessError(f"the answered message box {window} did not go within 10 s")

    def answer_open_box(self, answer: str = "ok") -> None:
        """Answers the box that `next_box(None)` left open."""
        if self._open is None:
            raise HarnessError("no message box was left open")
        index, event = self._open
        self._boxes[index] = self.prefix.answer_box(event, answer)
        self._open = None
        self._wait_gone(event["window"], time.monotonic() + 10.0)

    def _next_event(self, timeout: float) -> dict:
        if self._pending:
            return self._pending.pop(0)
        return self.prefix._watcher.events.get(timeout=timeout)

    def wait_end(self, timeout: float = 30.0, answers: Sequence[str] = ()) -> RunResult:
        """Waits for the program's end, answering further boxes with `answers` (then
        with their first button, marked unscripted)."""
        answers = list(answers)
        deadline = time.monotonic() + timeout
        watcher = self.prefix._watcher
        while (self.program.poll() is None or self._pending) and time.monotonic() < deadline:
            try:
                event = self._next_event(0.05)
            except queue.Empty:
                continue
            wanted = answers[0] if answers and event.get("event") == "box" else None
            if self._take(event, wanted) and answers:
                answers.pop(0)
        timed_out = self.program.poll() is None
        with open(self._stderr_path, "rb") as f:
            stderr_text = f.read().decode("utf-8", "replace")
        return RunResult(
            command_line=self.command_line,
            exit_code=None if timed_out else self.program.returncode,
            timed_out=timed_out,
            seconds=time.monotonic() - self.started,
            boxes=list(self._boxes),
            traced=wine_trace.traced_boxes(stderr_text),
            watcher_errors=list(self._errors),
            stderr=stderr_text,
            dialogs=list(self._dialogs),
        )
