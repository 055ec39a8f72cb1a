"""Expectations of an end-to-end case: every mismatch is collected with what was
expected and what was seen, and the case fails at the end with all of them."""

from __future__ import annotations

import dataclasses
import os
from typing import Any, Callable, Dict, List, Optional, Sequence, Tuple

import winebox


class CaseFailure(AssertionError):
    """The program did not do what the case expects."""


@dataclasses.dataclass(frozen=True)
class ExpectedBox:
    """A message box the program should show: caption, text and its buttons."""

    caption: str
    text: str
    buttons: Sequence[str] = ("ok",)


def show(value: Any) -> str:
    """A readable form of a seen or expected value."""
    if isinstance(value, bytes):
        return f"{value!r} ({len(value)} bytes)"
    if value is None:
        return "nothing (absent)"
    return repr(value)


class Expectations:
    """Collects mismatches under headings such as "win7-936 'regzv32=...'"."""

    def __init__(self) -> None:
        self.failures: List[str] = []
        self._context = ""

    def context(self, text: str) -> None:
        """Sets the heading that the following mismatches are reported under."""
        self._context = text

    def fail(self, what: str, expected: str, seen: str) -> None:
        self.failures.append(
            f"[{self._context}] {what}\n    expected: {expected}\n    seen:     {seen}"
        )

    def equal(self, what: str, expected: Any, seen: Any) -> bool:
        if expected == seen:
            return True
        self.fail(what, show(expected), show(seen))
        return False

    def finish(self) -> None:
        if self.failures:
            raise CaseFailure("\n".join(self.failures))

    # -- checks shared by the cases ----------------------------------------------------

    def run_ended(self, result: winebox.RunResult, exit_code: int = 0) -> None:
        """The program ended by itself with `exit_code` and the watcher worked."""
        if result.timed_out:
            self.fail("program end", f"exit within the time limit, code {exit_code}",
                      f"still running after {result.seconds:.1f} s; boxes seen: "
                      + show([(b.caption, b.text) for b in result.boxes]))
            return
        self.equal("exit code", exit_code, result.exit_code)
        self.equal("message box watcher errors", [], result.watcher_errors)

    def boxes(self, result: winebox.RunResult, program: str,
              expected: Sequence[ExpectedBox]) -> None:
        """Exactly the `expected` boxes, in order, shown by `program` without owner window,
        answered as scripted, and each matching the program's own +msgbox trace."""
        seen = [(b.caption, b.text, tuple(b.buttons)) for b in result.boxes]
        wanted = [(e.caption, e.text, tuple(e.buttons)) for e in expected]
        if not self.equal("message boxes (caption, text, buttons)", wanted, seen):
            return
        for number, box in enumerate(result.boxes, start=1):
            self.equal(f"box {number}: showing process", program.lower(), box.process.lower())
            self.equal(f"box {number}: owner window", 0, box.owner)
            self.equal(f"box {number}: answered as scripted", True, box.scripted)
        traced = result.traced
        if not self.equal("boxes in the program's +msgbox trace", len(expected), len(traced)):
            return
        for number, (box, trace) in enumerate(zip(result.boxes, traced), start=1):
            if not trace.matches(box.text):
                self.fail(f"box {number}: trace text", f"{trace.text!r} (cut={trace.cut})",
                          repr(box.text))

    def file(self, prefix: winebox.CasePrefix, windows_path: str,
             expected: Optional[bytes]) -> None:
        """The file holds exactly `expected` (None: the file does not exist)."""
        self.equal(f"content of {windows_path}", expected, prefix.read_file(windows_path))

    def changes(self, prefix: winebox.CasePrefix, expected: Sequence[str]) -> None:
        """The run changed exactly these C: paths (case-insensitive)."""
        self.equal("paths changed on C:", sorted(p.lower() for p in expected),
                   [p.lower() for p in prefix.changes()])
        self.equal("files left in the working folder", [], prefix.stray_files())


def program_name(exe_path: str) -> str:
    return os.path.basename(exe_path)


CaseFunction = Callable[[winebox.Harness, "Expectations"], None]


def case_table() -> Tuple[Dict[str, CaseFunction], Callable[[str], Callable[[CaseFunction], CaseFunction]]]:
    """A module's table of cases and the decorator that registers a case in it."""
    cases: Dict[str, CaseFunction] = {}

    def case(name: str) -> Callable[[CaseFunction], CaseFunction]:
        def register(function: CaseFunction) -> CaseFunction:
            cases[name] = function
            return function

        return register

    return cases, case


def folder_files(
    box: winebox.CasePrefix, windows_dir: str, encoding: str
) -> Tuple[Dict[bytes, bytes], List[str]]:
    """The files directly in a folder of the prefix (8-bit name in `encoding` ->
    bytes), and every folder or file below a subfolder, as relative paths."""
    root = box.host_path(windows_dir)
    files: Dict[bytes, bytes] = {}
    nested: List[str] = []
    if not os.path.isdir(root):
        return files, nested
    for entry in sorted(os.listdir(root)):
        path = os.path.join(root, entry)
        if os.path.isdir(path):
            nested.append(entry + "\\")
            for folder, dirs, names in os.walk(path):
                relative = os.path.relpath(folder, root).replace("/", "\\")
                nested += [f"{relative}\\{name}" for name in sorted(dirs + names)]
            continue
        with open(path, "rb") as f:
            files[entry.encode(encoding, "replace")] = f.read()
    return files, nested
