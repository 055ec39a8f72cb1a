"""Decoding of the message box lines that WINEDEBUG=+msgbox prints.

Each message box a program shows is traced as

    0024:trace:msgbox:MSGBOX_OnInit L"\\667a\\80fd..."...

The text is Wine's debug form of a UTF-16 string: printable ASCII as itself,
\\n \\r \\t \\" \\\\ for those characters, every other unit as a backslash and
four hex digits.  Wine cuts long texts and then puts "..." after the closing
quote.  The caption is not traced.
"""

from __future__ import annotations

import dataclasses
import re
from typing import List

_LINE = re.compile(r"trace:msgbox:MSGBOX_OnInit L\"((?:[^\"\\]|\\.)*)\"(\.\.\.)?")
_NAMED = {"n": "\n", "r": "\r", "t": "\t", '"': '"', "\\": "\\"}


@dataclasses.dataclass(frozen=True)
class TracedBox:
    """A message box text from the trace; `cut` tells that Wine shortened it."""

    text: str
    cut: bool

    def matches(self, full_text: str) -> bool:
        """True when `full_text` is the text this trace line shows (or begins)."""
        return full_text.startswith(self.text) if self.cut else full_text == self.text


def traced_boxes(stderr_text: str) -> List[TracedBox]:
    """Every message box text traced in a program's standard error, in order."""
    return [
        TracedBox(text=decode_debugstr(m.group(1)), cut=bool(m.group(2)))
        for m in _LINE.finditer(stderr_text)
    ]


def decode_debugstr(body: str) -> str:
    """Turns the inside of Wine's L"..." debug form back into text."""
    units = bytearray()
    pos = 0
    while pos < len(body):
        char = body[pos]
        if char != "\\":
            units += char.encode("utf-16-le")
            pos += 1
            continue
        nxt = body[pos + 1 : pos + 2]
        if nxt in _NAMED:
            units += _NAMED[nxt].encode("utf-16-le")
            pos += 2
            continue
        digits = body[pos + 1 : pos + 5]
        if len(digits) != 4 or not all(c in "0123456789abcdefABCDEF" for c in digits):
            raise ValueError(f"bad escape at {pos} in {body!r}")
        units += int(digits, 16).to_bytes(2, "little")
        pos += 5
    return units.decode("utf-16-le", "surrogatepass")
