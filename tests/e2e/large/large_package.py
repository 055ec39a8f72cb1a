#!/usr/bin/env python3
"""Writes the package that zvsetup_large.exe carries: the demo package with large,
well-compressed records added.

    large_package.py DEMO_PACKAGE OUTPUT

LARGE_RECORDS adds, from a fixed seed, GBK phrase text larger than the installer's
scratch slot (so its record is unpacked through a block of its own), and module-like
and picture-like files of about a megabyte that deflate well.  The demo package's
records come first, in their order, with its trailing bytes; every record is written
again by tools/demo_package/container.py, so the same demo package always gives the
same bytes.
"""

from __future__ import annotations

import os
import random
import sys
from typing import List, Tuple

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)),
                                "..", "..", "..", "tools", "demo_package"))

import container  # noqa: E402

SEED = 20261208
# name, kind, size in bytes
LARGE_RECORDS = (
    (b"zvbigdic.dat", "text", 3 * 1024 * 1024 + 123),
    (b"zvbigmod.dll", "module", 1_300_000),
    (b"zvbigpic.bmp", "picture", 900_000),
)


def _text(rng: random.Random, size: int) -> bytes:
    """A phrase list: GBK phrases of two to four GB2312 characters, drawn from a few
    thousand, each with a small number, one a line."""
    syllables = [bytes([0xB0 + rng.randrange(40), 0xA1 + rng.randrange(94)]) for _ in range(900)]
    phrases = [b"".join(rng.choice(syllables) for _ in range(rng.randint(2, 4)))
               for _ in range(3000)]
    out = bytearray()
    while len(out) < size:
        out += rng.choice(phrases) + b" %d\r\n" % rng.randrange(100)
    return bytes(out[:size])


def _module(rng: random.Random, size: int) -> bytes:
    """Code-like runs that repeat, with a little noise."""
    fragments = [rng.randbytes(rng.randint(8, 64)) for _ in range(64)]
    out = bytearray(b"MZ")
    while len(out) < size:
        out += fragments[rng.randrange(64)] if rng.random() < 0.8 else rng.randbytes(8)
    return bytes(out[:size])


def _picture(rng: random.Random, size: int) -> bytes:
    """A gradient of 24-bit pixels with a little noise."""
    out = bytearray()
    while len(out) < size:
        x = len(out) // 3
        noise = rng.randrange(4) if x % 16 == 0 else 0
        out += bytes(((x >> 4) & 255, (x >> 9) & 255, noise))
    return bytes(out[:size])


_MAKERS = {"text": _text, "module": _module, "picture": _picture}


def large_files() -> List[Tuple[bytes, bytes]]:
    rng = random.Random(SEED)
    return [(name, _MAKERS[kind](rng, size)) for name, kind, size in LARGE_RECORDS]


def build(demo: bytes) -> bytes:
    package = container.parse_container(demo)
    if package.layout != "digest":
        raise container.ContainerError("the demo package is not in the digest layout")
    files = [(r.name, r.content) for r in package.records] + large_files()
    container.check_unique(files)
    # The writer's default limit is the scratch slot; the installer unpacks a larger
    # record through a block of its own.
    records = [container.digest_record(n, c, content_limit=len(c)) for n, c in files]
    return container.assemble(container.DIGEST_LETTER, records, package.trailing)


def main(argv: List[str]) -> int:
    return container.derive_package_main(argv, build, __doc__.split("\n\n", 2)[1])


if __name__ == "__main__":
    sys.exit(main(sys.argv))
