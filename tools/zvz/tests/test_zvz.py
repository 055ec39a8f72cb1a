#!/usr/bin/env python3
"""Host tests of the zvz tool: round trips through create, list, verify and
extract, and a clear one-line error for every kind of bad input.

Usage: test_zvz.py PATH_TO_ZVZ [--demo DEMO_PACKAGE] [unittest arguments]
"""
import hashlib
import os
import struct
import subprocess
import sys
import tempfile
import unittest
import zlib

ZVZ = None
DEMO = None  # the generated demo package, when the build made one

GBK_NAME = "测试.txt".encode("gbk")  # b"\xb2\xe2\xca\xd4.txt"


def run(*args, cwd=None):
    """Runs zvz; returns (exit status, stdout bytes, stderr bytes)."""
    result = subprocess.run([ZVZ, *args], cwd=cwd, capture_output=True, timeout=60)
    return result.returncode, result.stdout, result.stderr


def parse(container):
    """An independent reader: (layout letter, count, end offset, records)."""
    assert container[:1] == b"C"
    letter = container[1:2]
    end, count = struct.unpack_from("<II", container, 2)
    records, pos = [], 10
    digest = letter == b"0"
    for _ in range(count):
        assert container[pos:pos + 2] == b"CF"
        field = container[pos + 2:pos + (18 if digest else 16)]
        name = field.split(b"\0", 1)[0]
        size = struct.unpack_from("<I", container, pos + (52 if digest else 16))[0]
        header = 56 if digest else 20
        stream = container[pos + header:pos + header + size]
        stored = container[pos + 18:pos + 50] if digest else None
        if digest:
            assert container[pos + 50:pos + 52] == b"\0\0"
            assert field[len(name):] == b"\0" * (16 - len(name))
        records.append((name, stored, zlib.decompress(stream)))
        pos += header + size
    return letter, count, end, records, pos


class ZvzTest(unittest.TestCase):
    def setUp(self):
        self.tmp = tempfile.TemporaryDirectory()
        self.dir = os.fsencode(self.tmp.name)
        self.files = {
            b"zvszsj43.zvh": b"settings\r\n" * 20,
            b"zavoli4.ime": bytes(range(256)) * 300,
            GBK_NAME: "中文; 词语; ".encode("gbk") * 10,
        }
        self.src = self.path(b"src")
        os.mkdir(self.src)
        for name, content in self.files.items():
            self.write(os.path.join(self.src, name), content)

    def tearDown(self):
        self.tmp.cleanup()

    def path(self, *parts):
        return os.path.join(self.dir, *parts)

    @staticmethod
    def write(path, content):
        with open(path, "wb") as f:
            f.write(content)

    @staticmethod
    def read(path):
        with open(path, "rb") as f:
            return f.read()

    def assert_fails(self, result, *fragments, status=1):
        code, out, err = result
        self.assertEqual(code, status, err)
        lines = err.decode("utf-8", "replace").splitlines()
        self.assertEqual(len(lines), 1, lines)
        self.assertTrue(lines[0].startswith("zvz: "), lines)
        for fragment in fragments:
            self.assertIn(fragment, lines[0])

    def leftovers(self, directory):
        return sorted(n for n in os.listdir(directory) if b"tmp" in n)

    def test_digest_round_trip(self):
        out = self.path(b"pkg.zvz")
        self.assertEqual(run("create", out, self.src)[0], 0)
        letter, count, end, records, pos = parse(self.read(out))
        self.assertEqual((letter, count, end, pos), (b"0", 3, len(self.read(out)), end))
        for name, stored, content in records:
            self.assertEqual(content, self.files[name])
            self.assertEqual(stored, hashlib.md5(content).hexdigest().upper().encode())
        # Names keep their GBK bytes; the files are taken in byte order.
        self.assertEqual([r[0] for r in records], sorted(self.files))

        code, listing, _ = run("list", out)
        self.assertEqual(code, 0)
        text = listing.decode("utf-8")
        self.assertIn("digest", text)
        self.assertIn("测试.txt", text)
        self.assertEqual(text.count(" ok "), 3)
        self.assertIn(hashlib.md5(self.files[b"zavoli4.ime"]).hexdigest().upper(), text)

        dest = self.path(b"dest")
        self.assertEqual(run("extract", out, dest)[0], 0)
        for name, content in self.files.items():
            self.assertEqual(self.read(os.path.join(dest, name)), content)
        code, verified, _ = run("verify", out, dest)
        self.assertEqual(code, 0)
        self.assertIn(b"3 of 3 records pass", verified)

        # The same inputs give the same bytes.
        again = self.path(b"again.zvz")
        run("create", again, self.src)
        self.assertEqual(self.read(again), self.read(out))

    def test_plain_round_trip_and_verify_failures(self):
        out = self.path(b"skin.zvz")
        files = [os.path.join(self.src, n) for n in sorted(self.files)]
        self.assertEqual(run("create", "--plain", out, *files)[0], 0)
        letter, count, _, records, _ = parse(self.read(out))
        self.assertEqual((letter, count), (b"P", 3))
        self.assertIn(b"plain", run("list", out)[1])
        dest = self.path(b"dest")
        self.assertEqual(run("extract", out, dest)[0], 0)
        self.assertEqual(run("verify", out, dest)[0], 0)
        # The plain layout only checks that a file is as long as its stream.
        os.remove(os.path.join(dest, b"zvszsj43.zvh"))
        code, verified, err = run("verify", out, dest)
        self.assertEqual(code, 1)
        self.assertIn(b"zvszsj43.zvh....", verified)
        self.assertIn("有文件没有成功解压，请重新下载安装！".encode("utf-8"), verified)
        self.assertIn(b"2 of 3 records pass", verified)

    def test_digest_verify_names_changed_files(self):
        out = self.path(b"pkg.zvz")
        run("create", out, self.src)
        dest = self.path(b"dest")
        run("extract", out, dest)
        self.write(os.path.join(dest, GBK_NAME), b"changed")
        code, verified, _ = run("verify", out, dest)
        self.assertEqual(code, 1)
        self.assertIn("测试.txt....".encode("utf-8"), verified)

    def test_names_must_fit_their_layout(self):
        for layout, longest in (([], 15), (["--plain"], 13)):
            fits = self.path(b"f" * (longest - 4) + b".bin")
            too_long = self.path(b"f" * (longest - 3) + b".bin")
            self.write(fits, b"x" * 100)
            self.write(too_long, b"x" * 100)
            out = self.path(b"out.zvz")
            self.assertEqual(run("create", *layout, out, fits)[0], 0)
            os.remove(out)
            self.assert_fails(run("create", *layout, out, fits, too_long),
                              "does not fit its field")
            self.assertFalse(os.path.exists(out))
            self.assertEqual(self.leftovers(self.dir), [])

    def test_bad_inputs_to_create_leave_no_output(self):
        out = self.path(b"out.zvz")
        self.write(out, b"previous")
        other = self.path(b"other")
        os.mkdir(other)
        self.write(os.path.join(other, b"ZVSZSJ43.ZVH"), b"twin")
        self.write(self.path(b"empty.txt"), b"")
        self.write(self.path(b"con.txt"), b"device")
        cases = [
            ((out, self.src, other), "duplicate name"),
            ((out, self.path(b"missing.txt")), "cannot open"),
            ((out, self.path(b"empty.txt")), "empty file"),
            ((out, self.path(b"con.txt")), "device name"),
            ((out, self.path(b"emptydir")), "cannot open"),
        ]
        for args, fragment in cases:
            with self.subTest(fragment=fragment):
                self.assert_fails(run("create", *args), fragment)
                self.assertEqual(self.read(out), b"previous")
                self.assertEqual(self.leftovers(self.dir), [])
        os.mkdir(self.path(b"emptydir"))
        self.assert_fails(run("create", out, self.path(b"emptydir")), "no files")
        # A plain record whose stream outgrows its content could never pass
        # the installer's size check.
        self.write(self.path(b"noise.bin"), os.urandom(2000))
        self.assert_fails(run("create", "--plain", out, self.path(b"noise.bin")),
                          "always report it missing")

    def test_bad_archives(self):
        out = self.path(b"pkg.zvz")
        run("create", out, self.src)
        good = self.read(out)
        bad = {
            b"text.zvz": (b"not a container at all", "not a container"),
            b"short.zvz": (b"C0", "not a container"),
            b"cut.zvz": (good[:-1], "truncated record"),
            b"cuthead.zvz": (good[:40], "truncated record"),
            b"overcount.zvz": (good[:6] + struct.pack("<I", 4) + good[10:] + b"\0" * 4,
                               "record 4 of 4"),
            b"hugesize.zvz": (good[:62] + b"\xff\xff\xff\xff" + good[66:], "beyond the end"),
            b"badname.zvz": (good[:12] + b"..\\evil.txt".ljust(16, b"\0") + good[28:],
                             "holds"),
        }
        dest = self.path(b"dest")
        os.mkdir(dest)
        for name, (content, fragment) in bad.items():
            path = self.path(name)
            self.write(path, content)
            for command in (["list", path], ["verify", path, dest], ["extract", path, dest]):
                with self.subTest(archive=name, command=command[0]):
                    self.assert_fails(run(*command), fragment)
        self.assertEqual(os.listdir(dest), [])
        self.assertFalse(os.path.exists(self.path(b"evil.txt")))
        self.assert_fails(run("list", self.path(b"nothing.zvz")), "cannot open")

    def test_damaged_record_is_listed_and_not_extracted(self):
        out = self.path(b"pkg.zvz")
        run("create", out, self.src)
        data = bytearray(self.read(out))
        _, _, _, _, _ = parse(bytes(data))
        data[10 + 56 + 2] ^= 0xFF  # inside the first record's stream
        self.write(out, bytes(data))
        code, listing, err = run("list", out)
        self.assertEqual(code, 1)
        self.assertRegex(listing.decode(), r"(DAMAGED|DIGEST MISMATCH)")
        dest = self.path(b"dest")
        code, _, err = run("extract", out, dest)
        self.assertEqual(code, 1)
        self.assertIn("没有成功解压复制", err.decode("utf-8"))
        self.assertEqual(sorted(os.listdir(dest)), sorted(self.files)[1:])

    @unittest.skipUnless("--demo" in sys.argv, "no demo package given")
    def test_demo_package_and_a_skin_round_trip(self):
        demo = self.read(DEMO)
        _, count, _, records, _ = parse(demo)
        # Unpacked, the package checks out (the phrase list gains its trailer
        # when written, so its digest no longer matches: the installer exempts it).
        unpacked = self.path(b"demo")
        self.assertEqual(run("extract", DEMO, unpacked)[0], 0)
        code, verified, _ = run("verify", DEMO, unpacked)
        self.assertIn(f"{count - 1} of {count} records pass".encode(), verified)
        self.assertIn(b"zavocyzk.bak....", verified)
        self.assertNotEqual(code, 0)

        # Packed again from the unpacked files, it holds the same records.
        self.write(os.path.join(unpacked, b"zavocyzk.bak"),
                   dict((r[0], r[2]) for r in records)[b"zavocyzk.bak"])
        again = self.path(b"again.zvz")
        self.assertEqual(run("create", again, unpacked)[0], 0)
        _, _, _, repacked, _ = parse(self.read(again))
        self.assertEqual(sorted((r[0], r[1], r[2]) for r in repacked),
                         sorted((r[0], r[1], r[2]) for r in records))

        # A skin: plain layout, eight files, round trip through extract and create --plain.
        skin_name = "冷色瓷面.zvz".encode("gbk")
        skin = os.path.join(unpacked, skin_name)
        skin_dir = self.path(b"skin")
        self.assertEqual(run("extract", skin, skin_dir)[0], 0)
        code, verified, _ = run("verify", skin, skin_dir)
        self.assertEqual(code, 0, verified)
        self.assertIn(b"8 of 8 records pass", verified)
        skin_again = self.path(b"skin.zvz")
        self.assertEqual(run("create", "--plain", skin_again, skin_dir)[0], 0)
        letter, _, _, skin_records, _ = parse(self.read(skin_again))
        _, _, _, original, _ = parse(self.read(skin))
        self.assertEqual(letter, b"P")
        self.assertEqual(sorted((r[0], r[2]) for r in skin_records),
                         sorted((r[0], r[2]) for r in original))

    def test_usage(self):
        code, out, _ = run("--help")
        self.assertEqual(code, 0)
        self.assertIn(b"usage: zvz", out)
        self.assert_fails(run(), "no command", status=2)
        self.assert_fails(run("frobnicate"), "unknown command", status=2)
        self.assert_fails(run("create", self.path(b"x.zvz")), "create needs", status=2)
        self.assert_fails(run("list"), "exactly one", status=2)
        self.assert_fails(run("--codepage", "1252", "list", "x"), "936 or 950", status=2)


if __name__ == "__main__":
    ZVZ = sys.argv.pop(1)
    if len(sys.argv) > 2 and sys.argv[1] == "--demo":
        DEMO = sys.argv[2]
        del sys.argv[1:3]
    unittest.main()
