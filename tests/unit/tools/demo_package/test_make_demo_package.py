#!/usr/bin/env python3
"""Tests of the demo package generator as a program: the same inputs give
the same bytes, and a companion program it cannot use is refused with a
clear message and no output.

Usage: test_make_demo_package.py GENERATOR COMPANION [unittest arguments]
"""

import os
import struct
import subprocess
import sys
import tempfile
import unittest

GENERATOR = None
COMPANION = None
OUTPUTS = ("demo.zvz", "demo.json", "zavocyzk_trailer.bak")


def run_generator(companion, output_dir):
    return subprocess.run(
        [sys.executable, "-B", GENERATOR, "--companion", companion, "--output-dir", output_dir],
        capture_output=True,
        text=True,
        check=False,
    )


def read(path):
    with open(path, "rb") as source:
        return source.read()


def write(path, data):
    with open(path, "wb") as output:
        output.write(data)


def minimal_pe(machine, size, extra=b""):
    """An MZ/PE header for `machine` padded with zeros to `size` bytes."""
    header = bytearray(b"MZ".ljust(0x40, b"\0"))
    struct.pack_into("<I", header, 0x3C, 0x40)
    header += b"PE\0\0" + struct.pack("<H", machine)
    return (bytes(header) + extra).ljust(size, b"\0")


# The UTF-16 brand text followed by " V6.3": a version the installer stamps.
STAMPABLE = ("智能岚汀输入平台" + " V6.3").encode("utf-16-le")


class GeneratorTest(unittest.TestCase):
    def setUp(self):
        self.temporary = tempfile.TemporaryDirectory()
        self.root = self.temporary.name

    def tearDown(self):
        self.temporary.cleanup()

    def path(self, *parts):
        return os.path.join(self.root, *parts)

    def test_two_runs_write_identical_bytes(self):
        runs = []
        for run in ("first", "second"):
            result = run_generator(COMPANION, self.path(run))
            self.assertEqual(result.returncode, 0, result.stderr)
            self.assertEqual(result.stderr, "")
            runs.append({name: read(self.path(run, name)) for name in OUTPUTS})
        self.assertEqual(sorted(os.listdir(self.path("first"))), sorted(OUTPUTS))
        for name in OUTPUTS:
            self.assertTrue(runs[0][name] == runs[1][name], f"{name} differs between runs")

    def assert_refused(self, companion, reason):
        output = self.path("out")
        result = run_generator(companion, output)
        self.assertEqual(result.returncode, 1)
        self.assertIn(reason, result.stderr)
        self.assertNotIn("Traceback", result.stderr)
        self.assertFalse(os.path.exists(os.path.join(output, "demo.zvz")))

    def test_unusable_companions_are_refused_without_output(self):
        self.assert_refused(self.path("missing.exe"), "cannot read")
        cases = {
            "text.exe": (b"not a program at all", "not a 64-bit"),
            "i386.exe": (minimal_pe(0x014C, 4096, STAMPABLE), "not a 64-bit"),
            "large.exe": (minimal_pe(0x8664, 131072, STAMPABLE), "stamps only files under"),
            "plain.exe": (minimal_pe(0x8664, 4096), "no version text"),
        }
        for name, (content, reason) in cases.items():
            with self.subTest(name):
                write(self.path(name), content)
                self.assert_refused(self.path(name), reason)
        # Just under the stamp's reading limit, with a version text: accepted.
        write(self.path("fits.exe"), minimal_pe(0x8664, 131071, STAMPABLE))
        self.assertEqual(run_generator(self.path("fits.exe"), self.path("fits")).returncode, 0)

    def test_an_output_folder_that_is_a_file_is_reported(self):
        write(self.path("blocker"), b"a file")
        result = run_generator(COMPANION, self.path("blocker"))
        self.assertEqual(result.returncode, 1)
        self.assertIn("make_demo_package:", result.stderr)
        self.assertNotIn("Traceback", result.stderr)
        self.assertEqual(read(self.path("blocker")), b"a file")


if __name__ == "__main__":
    if len(sys.argv) < 3:
        print(__doc__, file=sys.stderr)
        sys.exit(2)
    GENERATOR, COMPANION = sys.argv[1], sys.argv[2]
    unittest.main(argv=[sys.argv[0]] + sys.argv[3:])
