#!/usr/bin/env python3
"""Writes the incomplete package that zvsetup_incomplete.exe carries.

    incomplete_package.py DEMO_PACKAGE OUTPUT

The demo package's records, in their order and with its trailing bytes, without the
last of its documents (.txt) and sounds (.wav), so that KEPT_RECORDS remain.  An
install through the wizard then leaves 73 files in the install directory, one short
of the 74 a complete install must leave, while everything the
install reads is there: the IMEs and their variants, the companions, the
uninstallers, setupw64.exe, the dictionaries and phrase lists, the option record,
the skin archives and the welcome picture kpmt1.bmp.

Every record is written again by tools/demo_package/container.py from the content it
reads, so the same demo package always gives the same bytes.
"""

from __future__ import annotations

import os
import sys
from typing import List

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)),
                                "..", "..", "..", "tools", "demo_package"))

import container  # noqa: E402

# The wizard adds 15 files to the records in the install directory (zavoli32.ime,
# zavocyzk.dat, zavopyck.dat, wbpybz.zvh, zvnetsj.dat, install.zvh, setupw64.log of
# the demo companion and the 8 files of a skin) and takes 5 away (the 4 language
# variants it deletes and zavokpm6.exe it moves over zavokpmt.exe): 63 + 10 = 73.
KEPT_RECORDS = 63
DROPPABLE = (b".txt", b".wav")


def kept_records(package: container.Container) -> List[container.Record]:
    records = list(package.records)
    droppable = [r for r in records if r.name.lower().endswith(DROPPABLE)]
    surplus = len(records) - KEPT_RECORDS
    if not 0 < surplus <= len(droppable):
        raise container.ContainerError(
            f"cannot leave {KEPT_RECORDS} of {len(records)} records by dropping "
            f"{len(droppable)} documents and sounds")
    dropped = {id(r) for r in droppable[-surplus:]}
    return [r for r in records if id(r) not in dropped]


def build(demo: bytes) -> bytes:
    package = container.parse_container(demo)
    if package.layout != "digest":
        raise container.ContainerError("the demo package is not in the digest layout")
    files = [(r.name, r.content) for r in kept_records(package)]
    return container.digest_container(files, package.trailing)


def main(argv: List[str]) -> int:
    return container.derive_package_main(argv, build, __doc__.split("\n\n", 2)[1])


if __name__ == "__main__":
    sys.exit(main(sys.argv))
