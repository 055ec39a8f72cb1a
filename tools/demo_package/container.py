"""Writes containers: the package format of the installer.

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
"""

import hashlib
import struct
import zlib

DIGEST_LETTER = b"0"
PLAIN_LETTER = b"P"
DIGEST_NAME_FIELD = 16
PLAIN_NAME_FIELD = 14
COMPRESSION_LEVEL = 9

# The installer unpacks a record's content into its 2 MiB work buffer behind
# a 100-byte name slot and in front of 44 bytes for the digest text; a skin
# archive is unpacked behind its own first 131,072 bytes.
PACKAGE_CONTENT_LIMIT = 2_097_008
SKIN_ARCHIVE_ROOM = 131_072
SKIN_CONTENT_LIMIT = PACKAGE_CONTENT_LIMIT - SKIN_ARCHIVE_ROOM


class ContainerError(Exception):
    """A file that cannot become a record, with the reason."""


def check_record(name, content, name_field, content_limit):
    """Raises ContainerError unless `name` (bytes) and `content` fit a record."""
    if not isinstance(name, bytes):
        raise ContainerError(f"record name {name!r} must be bytes")
    if not 0 < len(name) < name_field:
        raise ContainerError(
            f"record name {name!r} must be 1 to {name_field - 1} bytes long"
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


def digest_text(content):
    """The 32 upper-case hexadecimal digits of the content's MD5, as bytes."""
    return hashlib.md5(content).hexdigest().upper().encode("ascii")


def zlib_stream(content):
    return zlib.compress(content, COMPRESSION_LEVEL)


def digest_record(name, content, content_limit=PACKAGE_CONTENT_LIMIT):
    check_record(name, content, DIGEST_NAME_FIELD, content_limit)
    stream = zlib_stream(content)
    return (
        b"CF"
        + name.ljust(DIGEST_NAME_FIELD, b"\0")
        + digest_text(content)
        + b"\0\0"
        + struct.pack("<I", len(stream))
        + stream
    )


def plain_record(name, content, content_limit=SKIN_CONTENT_LIMIT):
    check_record(name, content, PLAIN_NAME_FIELD, content_limit)
    stream = zlib_stream(content)
    return b"CF" + name.ljust(PLAIN_NAME_FIELD, b"\0") + struct.pack("<I", len(stream)) + stream


def assemble(letter, records, trailer=b""):
    """The header and `records`, then `trailer`, which the end offset leaves out."""
    body = b"".join(records)
    header = b"C" + letter + struct.pack("<II", 10 + len(body), len(records))
    return header + body + trailer


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
