"""Reader for the registry files Wine keeps in a prefix (system.reg, user.reg).

Wine writes its registry as text: a "WINE REGISTRY Version 2" header, then one
block per key.  A block starts with the key's path in brackets, followed by a
time stamp, optional "#" metadata lines and one line per value:

    [Software\\Wine\\X11 Driver] 1796630785
    #time=1dd8621dab1bd02
    "Managed"="N"
    @="default value"
    "Count"=dword:00000002
    "Path"=str(2):"%ProgramFiles%"
    "Blob"=hex:01,02,\\
      03

Names and strings use backslash escapes (\\\\, \\", \\n, \\x<1-4 hex digits> for
any UTF-16 unit above 127, octal for other control characters).  Values are
kept here exactly as Wine holds them: a type number and the raw data bytes, so
that a REG_SZ value's data is its UTF-16LE text with the terminating zero.
"""

from __future__ import annotations

import dataclasses
import re
import struct
from typing import Dict, Iterator, List, Optional, Tuple

REG_NONE = 0
REG_SZ = 1
REG_EXPAND_SZ = 2
REG_BINARY = 3
REG_DWORD = 4
REG_MULTI_SZ = 7

_STRING_TYPES = (REG_SZ, REG_EXPAND_SZ, REG_MULTI_SZ)
_HEADER = "WINE REGISTRY Version 2"
_SIMPLE_ESCAPES = {
    "a": 0x07,
    "b": 0x08,
    "e": 0x1B,
    "f": 0x0C,
    "n": 0x0A,
    "r": 0x0D,
    "t": 0x09,
    "v": 0x0B,
}
_HEX_DIGITS = "0123456789abcdefABCDEF"
_PLAIN_RUN = {end: re.compile(r"[^\\%s]+" % re.escape(end)) for end in ('"', "]")}
_HEX_LIST = re.compile(r"[0-9a-fA-F]{2}(,[0-9a-fA-F]{2})*")


class RegFormatError(ValueError):
    """A line of a registry file that does not follow Wine's format."""

    def __init__(self, line_number: int, message: str, line: str):
        super().__init__(f"line {line_number}: {message}: {line!r}")
        self.line_number = line_number


@dataclasses.dataclass(frozen=True)
class Value:
    """One registry value: its name ("" for the default value), type and raw data."""

    name: str
    type: int
    data: bytes

    def text(self) -> str:
        """The value as text: REG_SZ and REG_EXPAND_SZ without the terminating zero."""
        if self.type not in (REG_SZ, REG_EXPAND_SZ):
            raise TypeError(f"value {self.name!r} has type {self.type}, not a string")
        units = _utf16_units(self.data)
        if units and units[-1] == 0:
            units = units[:-1]
        return _units_to_str(units)

    def strings(self) -> List[str]:
        """The value as REG_MULTI_SZ: the strings before the closing empty string."""
        if self.type != REG_MULTI_SZ:
            raise TypeError(f"value {self.name!r} has type {self.type}, not REG_MULTI_SZ")
        text = _units_to_str(_utf16_units(self.data))
        parts = text.split("\0")
        while parts and parts[-1] == "":
            parts.pop()
        return parts

    def dword(self) -> int:
        """The value as REG_DWORD."""
        if self.type != REG_DWORD or len(self.data) != 4:
            raise TypeError(f"value {self.name!r} is not a 4-byte REG_DWORD")
        return struct.unpack("<I", self.data)[0]


@dataclasses.dataclass
class Key:
    """One key block of the file: its path (as written, unescaped) and values."""

    path: str
    values: Dict[str, Value] = dataclasses.field(default_factory=dict)

    def value(self, name: str) -> Optional[Value]:
        """The value called `name` (case-insensitive; "" is the default value)."""
        return self.values.get(name.lower())


class Hive:
    """All keys of one registry file, looked up case-insensitively by path."""

    def __init__(self, keys: Dict[str, Key]):
        self._keys = keys

    def key(self, path: str) -> Optional[Key]:
        """The key at `path` (components separated by single backslashes)."""
        return self._keys.get(_norm(path))

    def value(self, path: str, name: str) -> Optional[Value]:
        """The value `name` of the key at `path`, or None."""
        key = self.key(path)
        return key.value(name) if key else None

    def subkeys(self, path: str) -> List[str]:
        """Names of the direct subkeys of `path`, sorted case-insensitively.

        Wine writes no block for a key that has only subkeys, so the children
        are taken from every written path under `path`.
        """
        prefix = _norm(path) + "\\"
        names: Dict[str, str] = {}
        for lowered, key in self._keys.items():
            if lowered.startswith(prefix):
                child = key.path[len(prefix) :].split("\\", 1)[0]
                names.setdefault(child.lower(), child)
        return [names[k] for k in sorted(names)]

    def paths(self) -> Iterator[str]:
        """Every key path written in the file."""
        return (key.path for key in self._keys.values())


def load_hive(file_path: str) -> Hive:
    """Parses the registry file at `file_path`."""
    with open(file_path, "rb") as f:
        return parse_hive(f.read().decode("utf-8"))


def parse_hive(text: str) -> Hive:
    """Parses the text of a Wine registry file; raises RegFormatError on bad input."""
    lines = text.split("\n")
    if not lines or lines[0].rstrip("\r") != _HEADER:
        raise RegFormatError(1, "missing header", lines[0] if lines else "")
    keys: Dict[str, Key] = {}
    current: Optional[Key] = None
    for number, line in _logical_lines(lines):
        if number == 1:
            continue
        if not line or line[0] in ";#":
            continue
        if line[0] == "[":
            current = _parse_key_header(number, line)
            keys.setdefault(_norm(current.path), current)
            current = keys[_norm(current.path)]
            continue
        if line[0] not in '"@':
            raise RegFormatError(number, "unexpected line", line)
        if current is None:
            raise RegFormatError(number, "value outside of any key", line)
        value = _parse_value_line(number, line)
        current.values[value.name.lower()] = value
    return Hive(keys)


def _logical_lines(lines: List[str]) -> Iterator[Tuple[int, str]]:
    """Joins hex data continued with a trailing backslash onto one line."""
    pending = ""
    start = 0
    for index, raw in enumerate(lines, start=1):
        line = raw.rstrip("\r")
        if pending:
            line = pending + line.lstrip(" ")
        else:
            start = index
        if _continues(line):
            pending = line[:-1]
            continue
        pending = ""
        yield start, line
    if pending:
        yield start, pending


def _continues(line: str) -> bool:
    """True for a hex value line that goes on in the next line."""
    if not line.endswith("\\") or line[0] not in '"@':
        return False
    data = line[_end_of_name(line) + 1 :]
    return data.startswith("hex")


def _end_of_name(line: str) -> int:
    """Index of the '=' that follows a value's name."""
    if line[0] == "@":
        return 1
    _, end = _parse_escaped(line, 1, '"')
    return end + 1


def _parse_key_header(number: int, line: str) -> Key:
    try:
        units, end = _parse_escaped(line, 1, "]")
    except ValueError as error:
        raise RegFormatError(number, str(error), line) from None
    if end >= len(line) or line[end] != "]":
        raise RegFormatError(number, "unterminated key name", line)
    return Key(path=_units_to_str(units))


def _parse_value_line(number: int, line: str) -> Value:
    try:
        if line[0] == "@":
            name, pos = "", 1
        else:
            units, end = _parse_escaped(line, 1, '"')
            if end >= len(line):
                raise ValueError("unterminated value name")
            name, pos = _units_to_str(units), end + 1
        if pos >= len(line) or line[pos] != "=":
            raise ValueError("missing '=' after the value name")
        value_type, data = _parse_data(line[pos + 1 :])
    except ValueError as error:
        raise RegFormatError(number, str(error), line) from None
    return Value(name=name, type=value_type, data=data)


def _parse_data(text: str) -> Tuple[int, bytes]:
    """Parses what follows "name=" into (type, raw data)."""
    if text.startswith('"'):
        return REG_SZ, _parse_string_data(text)
    if text.startswith("str("):
        close = text.find("):", 4)
        if close < 0:
            raise ValueError("malformed str(type):")
        return _parse_type(text[4:close]), _parse_string_data(text[close + 2 :])
    if text.startswith("dword:"):
        digits = text[6:]
        if len(digits) != 8 or any(c not in _HEX_DIGITS for c in digits):
            raise ValueError("dword needs 8 hex digits")
        return REG_DWORD, struct.pack("<I", int(digits, 16))
    if text.startswith("hex:"):
        return REG_BINARY, _parse_hex_bytes(text[4:])
    if text.startswith("hex("):
        close = text.find("):", 4)
        if close < 0:
            raise ValueError("malformed hex(type):")
        return _parse_type(text[4:close]), _parse_hex_bytes(text[close + 2 :])
    raise ValueError("unknown value data form")


def _parse_type(digits: str) -> int:
    if not digits or any(c not in _HEX_DIGITS for c in digits):
        raise ValueError(f"bad value type {digits!r}")
    return int(digits, 16)


def _parse_string_data(text: str) -> bytes:
    """A quoted string: its UTF-16LE units plus the terminating zero Wine leaves out."""
    if not text.startswith('"'):
        raise ValueError("string data must be quoted")
    units, end = _parse_escaped(text, 1, '"')
    if end != len(text) - 1:
        raise ValueError("text after the closing quote")
    return _units_to_bytes(units + [0])


def _parse_hex_bytes(text: str) -> bytes:
    if not text:
        return b""
    if not _HEX_LIST.fullmatch(text):
        raise ValueError(f"bad hex data {text!r}")
    return bytes.fromhex(text.replace(",", ""))


def _parse_escaped(text: str, pos: int, end_char: str) -> Tuple[List[int], int]:
    """Unescapes text from `pos` up to `end_char`; returns (UTF-16 units, index of end_char).

    The index is len(text) when `end_char` never appears.
    """
    plain = _PLAIN_RUN[end_char]
    pieces: List[str] = []
    while pos < len(text) and text[pos] != end_char:
        run = plain.match(text, pos)
        if run:
            pieces.append(run.group())
            pos = run.end()
        elif pos + 1 < len(text):
            unit, pos = _parse_escape(text, pos + 1)
            pieces.append(chr(unit))
        else:
            pieces.append("\\")
            pos += 1
    return _units_of("".join(pieces)), pos


def _parse_escape(text: str, pos: int) -> Tuple[int, int]:
    """One escape whose letter is at `pos`; returns (UTF-16 unit, next index)."""
    char = text[pos]
    if char in _SIMPLE_ESCAPES:
        return _SIMPLE_ESCAPES[char], pos + 1
    if char == "x":
        digits = _take(text, pos + 1, _HEX_DIGITS, 4)
        if not digits:
            return ord("x"), pos + 1
        return int(digits, 16), pos + 1 + len(digits)
    if char in "01234567":
        digits = _take(text, pos, "01234567", 3)
        return int(digits, 8) & 0xFFFF, pos + len(digits)
    units = _units_of(char)
    if len(units) != 1:
        raise ValueError("escaped character outside the basic plane")
    return units[0], pos + 1


def _take(text: str, pos: int, allowed: str, limit: int) -> str:
    end = pos
    while end < len(text) and end - pos < limit and text[end] in allowed:
        end += 1
    return text[pos:end]


def _units_of(text: str) -> List[int]:
    data = text.encode("utf-16-le", "surrogatepass")
    return list(struct.unpack(f"<{len(data) // 2}H", data))


def _units_to_bytes(units: List[int]) -> bytes:
    return struct.pack(f"<{len(units)}H", *units)


def _utf16_units(data: bytes) -> List[int]:
    if len(data) % 2:
        raise ValueError("string data of odd length")
    return list(struct.unpack(f"<{len(data) // 2}H", data))


def _units_to_str(units: List[int]) -> str:
    return _units_to_bytes(units).decode("utf-16-le", "surrogatepass")


def _norm(path: str) -> str:
    return path.strip("\\").lower()
