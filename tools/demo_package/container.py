"""Writes and reads containers: the package format of the installer.

A container is a 10-byte header followed by its records back to back, all
integers little-endian:

    0  "C"
    1  layout letter: "0" for the digest layout, any other letter for the
       plain layout
    2  u32 end offset: header plus records
    6  u32 record count

Digest-layout record (56-byte header, then the stream):
    "CF", name (16 bytes, NUL-terminated, rest zero), MD5 of the content as
    32 upper-case hex digits, two zero bytes, u32 stream size N, N bytes.

Plain-layout record (20-byte header, then the stream):
    "CF", name (14 bytes, NUL-terminated, rest zero), u32 N, N bytes.

Every stream is the content compressed by zlib (RFC 1950) at level 9, so
the same content always gives the same bytes.

The writer (digest_container, plain_container) refuses what the installer
would refuse; the tests that need damaged containers compose them from
name_field, record_header, digest_text, zlib_stream and assemble.  The
reader (parse_container) takes only sound records.
"""

from __future__ import annotations

import dataclasses
import hashlib
import os
import struct
import sys
import zlib
from typing import Optional, Tuple

CONTAINER_LETTER = b"C"
DIGEST_LETTER = b"0"
PLAIN_LETTER = b"P"
RECORD_MARKER = b"CF"
HEADER_SIZE = 10
DIGEST_NAME_FIELD = 16
PLAIN_NAME_FIELD = 14
DIGEST_RECORD_HEADER = 56
PLAIN_RECORD_HEADER = 20
DIGEST_DIGITS = 32
COMPRESSION_LEVEL = 9

# The installer unpacks a record's content into its 2 MiB work buffer behind
# a 100-byte name slot and in front of 44 bytes for the digest text; a skin
# archive is unpacked behind its own first 131,072 bytes.
PACKAGE_CONTENT_LIMIT = 2_097_008
SKIN_ARCHIVE_ROOM = 131_072
SKIN_CONTENT_LIMIT = PACKAGE_CONTENT_LIMIT - SKIN_ARCHIVE_ROOM


class ContainerError(ValueError):
    """A container that cannot be written or read, with the reason."""


# ---------------------------------------------------------------------------
# Pieces of the format


def digest_text(content):
    """The 32 upper-case hexadecimal digits of the content's MD5, as bytes."""
    return hashlib.md5(content).hexdigest().upper().encode("ascii")


def zlib_stream(content):
    return zlib.compress(content, COMPRESSION_LEVEL)


def name_field(name, size, tail=b""):
    """A name field of `size` bytes: the name, its NUL and `tail`, padded with
    zero bytes."""
    raw = name + b"\0" + tail
    if len(raw) > size:
        raise ContainerError(f"name {name!r} with its tail does not fit a {size}-byte field")
    return raw.ljust(size, b"\0")


def record_header(field, stream_size, digest=None):
    """One record header from its fields as stored, right or wrong: the whole
    name field, the 32 digest digits (None: plain layout) and the stream size."""
    if digest is None:
        if len(field) != PLAIN_NAME_FIELD:
            raise ContainerError(f"record {field!r}: bad field sizes")
        return RECORD_MARKER + field + struct.pack("<I", stream_size)
    if len(field) != DIGEST_NAME_FIELD or len(digest) != DIGEST_DIGITS:
        raise ContainerError(f"record {field!r}: bad field sizes")
    return RECORD_MARKER + field + digest + b"\0\0" + struct.pack("<I", stream_size)


def assemble(letter, records, trailer=b""):
    """The header and `records`, then `trailer`, which the end offset leaves out."""
    body = b"".join(records)
    header = CONTAINER_LETTER + letter + struct.pack("<II", HEADER_SIZE + len(body), len(records))
    return header + body + trailer


# ---------------------------------------------------------------------------
# Writing


def check_record(name, content, field_size, content_limit):
    """Raises ContainerError unless `name` (bytes) and `content` fit a record."""
    if not isinstance(name, bytes):
        raise ContainerError(f"record name {name!r} must be bytes")
    if not 0 < len(name) < field_size:
        raise ContainerError(
            f"record name {name!r} must be 1 to {field_size - 1} bytes long"
        )
    if any(byte in b"\0\\/:" for byte in name):
        raise ContainerError(f"record name {name!r} must be a bare file name")
    if not content:
        raise ContainerError(f"record {name!r} is empty; the installer rejects empty records")
    if len(content) > content_limit:
        raise ContainerError(
            f"record {name!r} holds {len(content)} bytes, more than the {content_limit} "
            "the installer can unpack"
        )


def digest_record(name, content, content_limit=PACKAGE_CONTENT_LIMIT):
    check_record(name, content, DIGEST_NAME_FIELD, content_limit)
    stream = zlib_stream(content)
    field = name_field(name, DIGEST_NAME_FIELD)
    return record_header(field, len(stream), digest_text(content)) + stream


def plain_record(name, content, content_limit=SKIN_CONTENT_LIMIT):
    check_record(name, content, PLAIN_NAME_FIELD, content_limit)
    stream = zlib_stream(content)
    return record_header(name_field(name, PLAIN_NAME_FIELD), len(stream)) + stream


def check_unique(files):
    names = [name for name, _ in files]
    duplicates = sorted({name for name in names if names.count(name) > 1})
    if duplicates:
        raise ContainerError(f"record names occur more than once: {duplicates!r}")


def digest_container(files, trailer=b""):
    """A digest-layout container of [(name bytes, content bytes)]."""
    check_unique(files)
    return assemble(DIGEST_LETTER, [digest_record(n, c) for n, c in files], trailer)


def plain_container(files):
    """A plain-layout container of [(name bytes, content bytes)]."""
    check_unique(files)
    return assemble(PLAIN_LETTER, [plain_record(n, c) for n, c in files])


# ---------------------------------------------------------------------------
# Reading


@dataclasses.dataclass(frozen=True)
class Record:
    """One record: its 8-bit name, stored digest (None in the plain layout),
    compressed size and unpacked content."""

    name: bytes
    digest: Optional[str]
    stream_size: int
    content: bytes

    @property
    def text_name(self) -> str:
        """The name as the program's code page 936 shows it (for messages)."""
        return self.name.decode("gbk", "replace")


@dataclasses.dataclass(frozen=True)
class Container:
    layout: str  # "digest" or "plain"
    end_offset: int
    records: Tuple[Record, ...]
    trailing: bytes  # bytes after the last counted record

    def entry(self, name: str) -> Optional[Record]:
        """The record of that (ASCII) name, or None."""
        raw = name.encode("ascii")
        found = [r for r in self.records if r.name == raw]
        return found[-1] if found else None


def parse_container(data: bytes, empty_records: bool = False) -> Container:
    """Reads a whole container; every record must be sound (marker, name, stream,
    and in the digest layout a digest that matches the content).  An empty record
    is refused, as the installer refuses one in a package, unless `empty_records`
    (the backup archive, where an empty user file is packed as it is)."""
    if len(data) < HEADER_SIZE or data[0:1] != CONTAINER_LETTER:
        raise ContainerError("the package does not start with a container header")
    digest_layout = data[1:2] == DIGEST_LETTER
    end_offset, count = struct.unpack_from("<II", data, 2)
    header_size = DIGEST_RECORD_HEADER if digest_layout else PLAIN_RECORD_HEADER
    field_size = DIGEST_NAME_FIELD if digest_layout else PLAIN_NAME_FIELD
    size_at = header_size - 4
    records = []
    position = HEADER_SIZE
    for index in range(count):
        if data[position:position + 2] != RECORD_MARKER or position + header_size > len(data):
            raise ContainerError(f"record {index + 1} of {count} has no 'CF' marker at {position}")
        raw_name = data[position + 2:position + 2 + field_size]
        if b"\0" not in raw_name:
            raise ContainerError(f"record {index + 1}: name without terminating zero")
        name = raw_name.split(b"\0", 1)[0]
        size = struct.unpack_from("<I", data, position + size_at)[0]
        stream = data[position + header_size:position + header_size + size]
        if len(stream) != size:
            raise ContainerError(f"record {name!r} runs past the end of the package")
        try:
            content = zlib.decompress(stream)
        except zlib.error as error:
            raise ContainerError(f"record {name!r}: damaged stream ({error})") from None
        if not content and not empty_records:
            raise ContainerError(f"record {name!r} is empty; the installer refuses it")
        digest = None
        if digest_layout:
            stored = data[position + 2 + field_size:position + size_at]
            digest = stored.split(b"\0", 1)[0].decode("ascii", "replace")
            if digest != digest_text(content).decode("ascii"):
                raise ContainerError(f"record {name!r}: stored digest does not match its content")
        records.append(Record(name, digest, size, content))
        position += header_size + size
    return Container(
        layout="digest" if digest_layout else "plain",
        end_offset=end_offset,
        records=tuple(records),
        trailing=data[position:],
    )


def derive_package_main(argv, build, usage):
    """The command line of a generator of a test package made from the demo package:
    `argv` is [program, DEMO_PACKAGE, OUTPUT]; writes build(the demo package's bytes)
    to OUTPUT through a neighbour file, so a failed run leaves no half package.
    Returns the exit code: 0, or 2 with `usage` for wrong arguments."""
    if len(argv) != 3:
        sys.stderr.write(usage + "\n")
        return 2
    with open(argv[1], "rb") as f:
        data = build(f.read())
    temporary = argv[2] + ".tmp"
    with open(temporary, "wb") as out:
        out.write(data)
    os.replace(temporary, argv[2])
    return 0
