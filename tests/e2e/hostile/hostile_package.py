#!/usr/bin/env python3
"""Writes the hostile package that zvsetup_hostile.exe carries, and describes it.

    hostile_package.py OUTPUT

The package is a container in the digest layout (tools/demo_package/container.py
describes the format and writes its pieces) with 4 zero bytes behind the last
record, which the end offset leaves out, as in the product's package.

Between sound records it holds records that an installer must refuse, each with
exactly one thing wrong, so that only the check for that one fault can stop it:

- content faults (a damaged zlib stream, a digest of other bytes, the right digest
  in lower case, no stream at all, a stream of no bytes), each over a file that is
  already in the install directory and must survive the run unchanged;
- unusable names ("..\\evil.txt", "c:evil.txt", "a/b.txt", "..", an empty name, a
  16-byte name without its NUL, a device name), each with a sound stream and the
  right digest, so that the name alone is what is wrong.

The sound records carry what a silent install on 64-bit Windows copies into the
system folders (so that the install runs through without copy failures), a file with
a GBK name and one whose name field has bytes behind its NUL.

Everything depends only on this script, the container module and zlib: the same
bytes on every run.
"""

from __future__ import annotations

import dataclasses
import os
import sys
import zlib
from typing import List, Optional, Tuple

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)),
                                "..", "..", "..", "tools", "demo_package"))

import container  # noqa: E402

TRAILER = b"\0" * 4


@dataclasses.dataclass(frozen=True)
class Record:
    """One record of the hostile package.

    name_field: the 16 bytes of the name field as stored.
    content:    the bytes the stream is made from.
    kind:       "sound", "content" (the stream or digest is wrong) or "name" (the
                name is unusable; stream and digest are right).
    fault:      for a faulty record, a short description of what is wrong.
    existing:   bytes of a file of the record's name that is in the install
                directory before the run (None: no such file).
    """

    name_field: bytes
    content: bytes
    kind: str = "sound"
    fault: str = ""
    digest_text: Optional[bytes] = None  # stored digest when it is not the content's
    stream: Optional[bytes] = None  # stored stream when it is not the content's
    existing: Optional[bytes] = None

    @property
    def name(self) -> bytes:
        """The name as an installer reads it: the field up to its first NUL, or the
        whole field when it holds none."""
        return self.name_field.split(b"\0", 1)[0]

    @property
    def sound(self) -> bool:
        return self.kind == "sound"

    def text_name(self, encoding: str = "gbk") -> str:
        return self.name.decode(encoding, "replace")

    def stored_digest(self) -> bytes:
        if self.digest_text is not None:
            return self.digest_text
        return container.digest_text(self.content)

    def stored_stream(self) -> bytes:
        if self.stream is not None:
            return self.stream
        return container.zlib_stream(self.content)

    def encode(self) -> bytes:
        stream = self.stored_stream()
        return container.record_header(self.name_field, len(stream), self.stored_digest()) + stream


def field(name: bytes, tail: bytes = b"") -> bytes:
    """A name field: the name, its NUL and `tail`, padded with zero bytes."""
    return container.name_field(name, container.DIGEST_NAME_FIELD, tail)


def text(line: str) -> bytes:
    """File content: one GBK line ended by CR LF, as the product's text files are."""
    return (line + "\r\n").encode("gbk")


def damaged_stream(content: bytes) -> bytes:
    """The content's zlib stream with one byte of its deflate data changed, so that
    inflating it fails (a bad block or, at the latest, the Adler-32 check)."""
    stream = bytearray(container.zlib_stream(content))
    middle = len(stream) // 2
    stream[middle] ^= 0x55
    try:
        zlib.decompress(bytes(stream))
    except zlib.error:
        return bytes(stream)
    raise ValueError("the changed stream still inflates; change another byte")


def sound_record(name: bytes, content: bytes, tail: bytes = b"") -> Record:
    return Record(field(name, tail), content)


def content_fault(name: bytes, fault: str, content: bytes, **stored) -> Record:
    old = text(f"{name.decode('ascii')}: the earlier file, to be kept")
    return Record(field(name), content, kind="content", fault=fault, existing=old, **stored)


def name_fault(name_field: bytes, fault: str) -> Record:
    return Record(name_field, text("written through an unusable name"), kind="name",
                  fault=fault)


# The IME stand-ins are plain text: Wine's input method manager registers the file
# without loading it, and nothing else runs them.
_SOUND_PAYLOAD = {
    b"zavoli4.ime": "hostile package: the full 32-bit IME (stand-in)",
    b"zavoli64.ime": "hostile package: the full 64-bit IME (stand-in)",
    b"zavo320.ime": "hostile package: the 32-bit IME variant for 936 (stand-in)",
    b"zavo640.ime": "hostile package: the 64-bit IME variant for 936 (stand-in)",
    b"zvqdel64.exe": "hostile package: the 64-bit uninstaller (stand-in)",
}


def records() -> List[Record]:
    """Every record of the hostile package, in file order."""
    stand_in = {name: sound_record(name, text(line)) for name, line in _SOUND_PAYLOAD.items()}
    damaged_content = text("zvdamage.zvh: new content behind a damaged stream")
    mismatched = text("zvbadsum.zvh: new content whose stored digest is of other bytes")
    lower = text("zvlower.zvh: new content with its digest in lower case")
    return [
        stand_in[b"zavoli4.ime"],
        content_fault(b"zvdamage.zvh", "damaged zlib stream", damaged_content,
                      stream=damaged_stream(damaged_content)),
        stand_in[b"zavoli64.ime"],
        name_fault(field(b"..\\evil.txt"), "name climbs out of the install directory"),
        content_fault(b"zvbadsum.zvh", "digest of other bytes", mismatched,
                      digest_text=container.digest_text(b"other bytes")),
        stand_in[b"zavo320.ime"],
        name_fault(field(b"c:evil.txt"), "name with a drive letter"),
        content_fault(b"zvlower.zvh", "digest in lower case", lower,
                      digest_text=container.digest_text(lower).lower()),
        stand_in[b"zavo640.ime"],
        name_fault(field(b"a/b.txt"), "name with a forward slash"),
        content_fault(b"zvnostrm.zvh", "no stream bytes", b"", stream=b""),
        stand_in[b"zvqdel64.exe"],
        name_fault(field(b".."), "name of the parent directory"),
        content_fault(b"zvempty.zvh", "stream of no content", b""),
        sound_record("岚汀说明.txt".encode("gbk"), text("岚汀：一个带中文名的文件")),
        name_fault(field(b""), "empty name"),
        name_fault(b"nonulname123.txt", "16-byte name without its NUL"),
        name_fault(field(b"nul.txt"), "device name"),
        sound_record(b"tail.txt", text("tail.txt: bytes behind the NUL of the name"),
              tail=b"..\\evil"),
        sound_record(b"readme.txt", text("The hostile test package of the installer's tests.")),
    ]


def build(items: Optional[List[Record]] = None) -> bytes:
    """The whole package: header, records and the 4 trailing zero bytes."""
    items = records() if items is None else items
    return container.assemble(container.DIGEST_LETTER, [r.encode() for r in items], TRAILER)


def first_bad_name() -> Tuple[int, Record]:
    """The 1-based number and record of the first record with an unusable name."""
    for number, record in enumerate(records(), start=1):
        if record.kind == "name":
            return number, record
    raise ValueError("the package has no record with an unusable name")


def main(argv: List[str]) -> int:
    if len(argv) != 2:
        sys.stderr.write(__doc__.split("\n\n", 2)[1] + "\n")
        return 2
    data = build()
    temporary = argv[1] + ".tmp"
    with open(temporary, "wb") as out:
        out.write(data)
    os.replace(temporary, argv[1])
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
