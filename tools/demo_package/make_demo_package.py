#!/usr/bin/env python3
"""Writes the demo package that the installer embeds by default.

Usage: make_demo_package.py --companion SETUPW64_EXE --output-dir DIR

Writes into DIR:
    demo.zvz              the package: a container in the digest layout
                          followed by 4 zero bytes that its end offset
                          leaves out
    zavocyzk_trailer.bak  zavocyzk.bak as the installer writes it, with
                          the phrase-list trailer appended
    demo.json             a list of the entries with their sizes and
                          digests (see manifest.py)

SETUPW64_EXE is the compiled 64-bit companion program.  The output
depends only on these sources, that program and the zlib library: the
same inputs give the same bytes on every run.  Each file is written under
a temporary name and renamed, so an interrupted run leaves no partial
output behind.
"""

import argparse
import os
import sys

from companion import CompanionError, read_companion
from container import ContainerError, digest_container
from entries import package_entries
from manifest import manifest_text
from phrases import phrase_list_with_trailer

PACKAGE_FILE = "demo.zvz"
TRAILER_FILE = "zavocyzk_trailer.bak"
MANIFEST_FILE = "demo.json"
PACKAGE_TRAILER = b"\0" * 4


def build(companion_path):
    """{file name: bytes} of everything this tool writes."""
    entries = package_entries(read_companion(companion_path))
    package = digest_container(entries, PACKAGE_TRAILER)
    phrase_list = dict(entries)[b"zavocyzk.bak"]
    return {
        PACKAGE_FILE: package,
        TRAILER_FILE: phrase_list_with_trailer(phrase_list),
        MANIFEST_FILE: manifest_text(package, entries, TRAILER_FILE).encode("utf-8"),
    }


def write_atomically(path, data):
    temporary = path + ".tmp"
    try:
        with open(temporary, "wb") as output:
            output.write(data)
        os.replace(temporary, path)
    except OSError:
        if os.path.exists(temporary):
            os.remove(temporary)
        raise


def parse_arguments(argv):
    parser = argparse.ArgumentParser(description="Writes the installer's demo package.")
    parser.add_argument("--companion", required=True, help="the compiled setupw64.exe")
    parser.add_argument("--output-dir", required=True, help="where the outputs go")
    return parser.parse_args(argv)


def main(argv):
    arguments = parse_arguments(argv)
    try:
        outputs = build(arguments.companion)
        os.makedirs(arguments.output_dir, exist_ok=True)
        for name, data in outputs.items():
            write_atomically(os.path.join(arguments.output_dir, name), data)
    except (CompanionError, ContainerError, OSError) as error:
        print(f"make_demo_package: {error}", file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
