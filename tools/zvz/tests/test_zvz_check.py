#!/usr/bin/env python3
"""Host tests of `zvz check`: one damaged copy of the demo package per check,
each expected to give its own line naming the entry (and the exit status),
the JSON form, and wrong usage.

Usage: test_zvz_check.py PATH_TO_ZVZ DEMO_PACKAGE [unittest arguments]
"""
import json
import os
import subprocess
import sys
import tempfile
import unittest
import zlib

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..",
                                "demo_package"))
from bitmaps import Canvas, bmp_bytes  # noqa: E402
from container import (DIGEST_LETTER, DIGEST_NAME_FIELD, PLAIN_LETTER, PLAIN_NAME_FIELD,  # noqa: E402
                       assemble, digest_text, name_field, parse_container, record_header,
                       zlib_stream)

ZVZ = None
DEMO = None

BRAND = "智能岚汀输入平台".encode("utf-16-le")
COOL_SKIN = "冷色瓷面.zvz".encode("gbk")
TRAILER = b"\0" * 4


def record(name, content, digest=None, stream=None, plain=False):
    """One record, right or wrong: `digest` and `stream` replace the true ones."""
    stream = zlib_stream(content) if stream is None else stream
    if plain:
        return record_header(name_field(name, PLAIN_NAME_FIELD), len(stream)) + stream
    digest = digest_text(content) if digest is None else digest
    return record_header(name_field(name, DIGEST_NAME_FIELD), len(stream), digest) + stream


def plain_archive(files):
    return assemble(PLAIN_LETTER, [record(n, c, plain=True) for n, c in files])


def picture(width, height):
    return bmp_bytes(Canvas(width, height, (10, 20, 30)))


class ZvzCheckTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        with open(DEMO, "rb") as f:
            cls.demo = [(r.name, r.content) for r in parse_container(f.read()).records]
        cls.tmp = tempfile.TemporaryDirectory()

    @classmethod
    def tearDownClass(cls):
        cls.tmp.cleanup()

    def content(self, name):
        return dict(self.demo)[name]

    def check(self, package, *options):
        path = os.path.join(self.tmp.name, "package.zvz")
        with open(path, "wb") as f:
            f.write(package)
        result = subprocess.run([ZVZ, "check", *options, path], capture_output=True, timeout=120)
        return result.returncode, result.stdout.decode("utf-8"), result.stderr.decode("utf-8")

    def package(self, replace=None, drop=(), add=(), records=None, letter=DIGEST_LETTER,
                trailer=TRAILER):
        """The demo package with entries replaced, dropped or added."""
        replace = replace or {}
        files = [(n, replace.get(n, c)) for n, c in self.demo if n not in drop]
        built = [record(n, c) for n, c in files] + list(records or [])
        built += [record(n, c) for n, c in add]
        return assemble(letter, built, trailer)

    def skin(self, drop=(), add=()):
        files = [(r.name, r.content) for r in parse_container(self.content(COOL_SKIN)).records]
        return plain_archive([f for f in files if f[0] not in drop] + list(add))

    def test_demo_package_installs(self):
        code, out, err = self.check(self.package())
        self.assertEqual(code, 0, out + err)
        self.assertNotIn("error:", out)
        self.assertIn("will install", out)
        self.assertRegex(out, r"stamp: zavo320\.ime: [1-9]\d* places")

    def test_each_damage_gives_its_line(self):
        ime32 = self.content(b"zavo320.ime")
        phrases = self.content(b"zavocyzk.bak")
        named = {b"zavoli4.ime", b"zavoli64.ime", b"setupw64.exe", b"zavocyzk.bak",
                 b"zavopyck.bak", b"zvszsj43.zvh", b"kpmt1.bmp", COOL_SKIN}
        unnamed = [n for n, _ in self.demo if n not in named and not n.startswith(b"zav")
                   and not n.startswith(b"zvq")]
        bmp = picture(401, 310)
        cases = [
            # (what, package, exit status, line expected on stdout)
            ("missing", self.package(drop={b"zavo321.ime"}), 1,
             "error: zavo321.ime: missing from the package"),
            ("machine", self.package(replace={b"zavo640.ime": ime32}), 1,
             "error: zavo640.ime: machine i386, expected x86-64"),
            ("not pe", self.package(replace={b"zavodel.exe": b"MZ" + b"\0" * 100}), 1,
             "error: zavodel.exe: not a PE image"),
            ("brand", self.package(replace={
                b"setupw64.exe": self.content(b"setupw64.exe").replace(BRAND, b"x" * 16)}), 1,
             "error: setupw64.exe: no UTF-16 brand text"),
            ("option record", self.package(replace={b"zvszsj43.zvh": b"\1" * 199}), 1,
             "error: zvszsj43.zvh: 199 bytes; the option record must be exactly 200 bytes"),
            ("small picture", self.package(replace={b"kpmt1.bmp": picture(300, 190)}), 1,
             "error: kpmt1.bmp: 300 x 190 pixels, smaller than the 400 x 190"),
            ("not bm", self.package(replace={b"kpmt1.bmp": b"GIF89a" + bmp[6:]}), 1,
             "error: kpmt1.bmp: not a bitmap file"),
            ("cut pixels", self.package(replace={b"kpmt1.bmp": bmp[:-500]}), 1,
             "error: kpmt1.bmp: not an uncompressed 24-bit bottom-up bitmap"),
            ("skin lacks", self.package(replace={COOL_SKIN: self.skin(drop={b"zvbmpsx3.bmp"})}),
             1, "error: 冷色瓷面.zvz: lacks the skin file zvbmpsx3.bmp"),
            ("skin extra", self.package(replace={
                COOL_SKIN: self.skin(add=[(b"extra.bmp", b"e" * 300)])}), 1,
             "error: 冷色瓷面.zvz: holds extra.bmp, not one of the eight skin files"),
            ("skin size", self.package(replace={
                COOL_SKIN: self.skin(add=[(b"big.bin", os.urandom(140000))])}),
             1, "bytes, more than the 131072 the installer reads of a skin archive"),
            ("skin damaged", self.package(replace={COOL_SKIN: self.skin()[:-3]}), 1,
             "error: 冷色瓷面.zvz: record 8 of 8"),
            ("skin not a container", self.package(replace={COOL_SKIN: b"not a skin"}), 1,
             "error: 冷色瓷面.zvz: not a container"),
            ("phrases not gbk", self.package(replace={b"zavocyzk.bak": phrases + b"\x80\x80; "}),
             1, "error: zavocyzk.bak: byte 128 at offset %d is not GBK text" % len(phrases)),
            ("phrases dropped", self.package(replace={
                b"zavocyzk.bak": phrases + "啊; ".encode("gbk")}), 0,
             "warning: zavocyzk.bak: the phrase filter would drop 1 of"),
            ("dictionary short", self.package(replace={b"zavopyck.bak": "拼音; ".encode("gbk")}),
             1, "error: zavopyck.bak: 6 bytes: the install report takes"),
            ("duplicate", self.package(add=[(b"ZAVOLI4.IME", b"twin")]), 1,
             "error: ZAVOLI4.IME: same file name as record"),
            ("digest", self.package(records=[record(b"extra.txt", b"text", digest=b"0" * 32)]),
             1, "error: extra.txt: content does not match its stored digest"),
            ("stream", self.package(records=[record(b"extra.txt", b"text", stream=b"junk")]), 1,
             "error: extra.txt: stream does not inflate"),
            ("empty", self.package(records=[record(b"extra.txt", b"")]), 1,
             "error: extra.txt: unpacks to 0 bytes"),
            ("unsafe name", self.package(records=[record(b"con.txt", b"device")]), 1,
             "error: (container): record %d of %d" % (len(self.demo) + 1, len(self.demo) + 1)),
            ("truncated", self.package(trailer=b"")[:-10], 1,
             "truncated record"),
            ("plain layout", self.package(letter=PLAIN_LETTER), 1,
             "error: (container): "),
            ("no trailer", self.package(trailer=b""), 0,
             "warning: (container): 0 bytes behind the last record"),
            ("large record", self.package(add=[(b"large.bin", b"L" * 2_097_009)]), 0,
             "warning: large.bin: unpacks to 2097009 bytes, more than the 2097008 of the scratch "
             "slot: unpacked through a block of its own size"),
            ("few files", self.package(drop=set(unnamed[:25])), 1,
             "error: (install directory): the install would leave"),
            ("no container", b"PK\3\4 not a container", 1,
             "error: (container): not a container"),
        ]
        for what, package, status, line in cases:
            with self.subTest(what):
                code, out, err = self.check(package)
                self.assertEqual(code, status, out + err)
                self.assertIn(line, out)
                self.assertEqual(err, "")
                if status == 0:
                    self.assertIn("will install", out)
                else:
                    self.assertIn("will not install", out)

    def test_json(self):
        code, out, _ = self.check(self.package(drop={b"kpmt1.bmp"}), "--json")
        self.assertEqual(code, 1)
        report = json.loads(out)
        self.assertFalse(report["installs"])
        self.assertEqual(report["records"], len(self.demo) - 1)
        self.assertIn({"severity": "error", "entry": "kpmt1.bmp",
                       "message": "missing from the package"}, report["findings"])
        self.assertGreater(report["stampPlaces"]["zavo641.ime"], 0)
        code, out, _ = self.check(self.package(), "--json")
        self.assertEqual((code, json.loads(out)["installs"]), (0, True))

    def test_usage(self):
        for args in ([], ["a.zvz", "b.zvz"], ["--json"]):
            with self.subTest(args=args):
                result = subprocess.run([ZVZ, "check", *args], capture_output=True, timeout=60)
                self.assertEqual(result.returncode, 2)
                self.assertIn(b"check needs exactly one PACKAGE", result.stderr)
        result = subprocess.run([ZVZ, "check", os.path.join(self.tmp.name, "none.zvz")],
                                capture_output=True, timeout=60)
        self.assertEqual(result.returncode, 1)
        self.assertIn(b"cannot open", result.stderr)


if __name__ == "__main__":
    ZVZ = sys.argv.pop(1)
    DEMO = sys.argv.pop(1)
    unittest.main()
