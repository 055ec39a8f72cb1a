"""Unit tests of package_model, the oracle of the silent-install cases: the resource
reader, the container reader, the phrase-list and version-stamp rules and the model of
which file lands where."""

import os
import struct
import sys
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)),
                                "..", "..", "..", "tools", "demo_package"))

import container  # noqa: E402
import package_model as pm  # noqa: E402

BRAND = "智能岚汀输入平台".encode("utf-16-le")


def gbk(text: str) -> bytes:
    return text.encode("gbk")


def faulty_container(name: bytes, content: bytes, digest: bytes = None) -> bytes:
    """A digest-layout container of one record that the writer would refuse: empty,
    or with `digest` stored."""
    stream = container.zlib_stream(content)
    field = container.name_field(name, container.DIGEST_NAME_FIELD)
    record = container.record_header(field, len(stream), digest or container.digest_text(content))
    return container.assemble(container.DIGEST_LETTER, [record + stream])


def resource_string(text: str) -> bytes:
    return struct.pack("<H", len(text)) + text.encode("utf-16-le")


def pe_with_resource(type_name: str, name: str, data: bytes) -> bytes:
    """A minimal PE32+ file whose only section holds one named resource of one type."""
    rva, raw = 0x1000, 0x200
    # Directories: root (16 + 8), type (16 + 8), name (16 + 8), then the data entry,
    # the two name strings and the data.
    root, type_dir, name_dir, entry = 0, 24, 48, 72
    type_string = entry + 16
    name_string = type_string + len(resource_string(type_name))
    name_string += name_string % 2
    data_at = name_string + len(resource_string(name)) + 8
    section = bytearray(data_at + len(data))

    def directory(at, key, target):
        named = 1 if key & 0x80000000 else 0
        struct.pack_into("<12xHHII", section, at, named, 1 - named, key, target)

    directory(root, 0x80000000 | type_string, 0x80000000 | type_dir)
    directory(type_dir, 0x80000000 | name_string, 0x80000000 | name_dir)
    directory(name_dir, 0x0804, entry)
    struct.pack_into("<IIII", section, entry, rva + data_at, len(data), 0, 0)
    section[type_string:type_string + len(resource_string(type_name))] = resource_string(type_name)
    section[name_string:name_string + len(resource_string(name))] = resource_string(name)
    section[data_at:] = data
    image = bytearray(raw)
    image[0:2] = b"MZ"
    struct.pack_into("<I", image, 0x3C, 0x40)
    image[0x40:0x44] = b"PE\0\0"
    struct.pack_into("<HH12xHH", image, 0x44, 0x8664, 1, 240, 0x22)
    optional = 0x58
    struct.pack_into("<H", image, optional, 0x20B)
    struct.pack_into("<II", image, optional + 112 + 16, rva, len(section))
    table = optional + 240
    image[table:table + 8] = b".rsrc\0\0\0"
    struct.pack_into("<IIII", image, table + 8, len(section), rva, len(section), raw)
    return bytes(image) + bytes(section)


class ResourceTest(unittest.TestCase):
    def test_named_resource_is_found_without_regard_to_case(self):
        image = pe_with_resource("ZVZ", "KPMTZVZ", b"C0 package bytes")
        self.assertEqual(b"C0 package bytes", pm.pe_resource(image, "zvz", "kpmtzvz"))

    def test_missing_resource_or_file_is_an_error(self):
        image = pe_with_resource("ZVZ", "OTHER", b"x")
        with self.assertRaisesRegex(pm.PackageError, "KPMTZVZ"):
            pm.pe_resource(image, "ZVZ", "KPMTZVZ")
        with self.assertRaisesRegex(pm.PackageError, "MZ"):
            pm.pe_resource(b"not a program" * 10, "ZVZ", "KPMTZVZ")


class ContainerTest(unittest.TestCase):
    def test_digest_layout_with_trailing_zeros(self):
        data = container.digest_container([(b"a.txt", b"alpha"), (gbk("冷色瓷面.zvz"), b"skin")],
                                          b"\0" * 4)
        package = pm.parse_container(data)
        self.assertEqual("digest", package.layout)
        self.assertEqual([b"a.txt", gbk("冷色瓷面.zvz")], [r.name for r in package.records])
        self.assertEqual(b"skin", package.records[1].content)
        self.assertEqual(len(data) - 4, package.end_offset)
        self.assertEqual(b"\0" * 4, package.trailing)

    def test_plain_layout_has_no_digest(self):
        package = pm.parse_container(container.plain_container([(b"zvbmp8.zvh", b"bmp")]))
        self.assertEqual(("plain", None, b"bmp"), (package.layout, package.records[0].digest,
                                                  package.records[0].content))

    def test_unsound_records_are_refused(self):
        sound = container.digest_container([(b"a", b"alpha")])
        bad_digest = faulty_container(b"a", b"alpha", b"0" * 32)
        bad_marker = sound[:10] + b"XX" + sound[12:]
        empty = faulty_container(b"a", b"")
        cut = sound[:-3]
        for data, reason in ((bad_digest, "digest"), (bad_marker, "marker"),
                             (empty, "empty"), (cut, "past the end")):
            with self.subTest(reason), self.assertRaisesRegex(pm.PackageError, reason):
                pm.parse_container(data)


class PhraseListTest(unittest.TestCase):
    def test_short_and_foreign_phrases_are_dropped_but_counted_in_the_checksum(self):
        text = gbk("中国; 好; ab; 人民; 世界")
        checksum = sum(gbk("中国好人民世界"))
        expected = gbk("中国; ; ; 人民; ") + b"ZAVO" + struct.pack("<II", checksum, 2)
        self.assertEqual(expected, pm.compact_phrase_list(text))

    def test_list_with_trailer_is_written_unchanged(self):
        text = gbk("中国; ") + b"ZAVO" + struct.pack("<II", 1, 1)
        self.assertEqual(text, pm.compact_phrase_list(text))

    def test_clean_list_only_gains_the_trailer(self):
        text = gbk("中国; 人民; ")
        self.assertEqual(text, pm.compact_phrase_list(text)[:-12])
        self.assertEqual(b"ZAVO", pm.compact_phrase_list(text)[-12:-8])


class VersionStampTest(unittest.TestCase):
    def test_versions_6_3_and_6_7_become_7_8(self):
        data = b"MZ" + BRAND + " V6.3".encode("utf-16-le") + b"--" + BRAND + "  6.7".encode(
            "utf-16-le")
        stamped = pm.stamp_version(data)
        self.assertEqual([" V7.8", "  7.8"], pm.version_texts(stamped))
        self.assertEqual(len(data), len(stamped))

    def test_other_versions_and_cut_texts_stay(self):
        for tail in ("  6.5", "V6.3 ", " V6.", ""):
            data = b"MZ" + BRAND + tail.encode("utf-16-le")
            with self.subTest(tail=tail):
                self.assertEqual(data, pm.stamp_version(data))


class InstallModelTest(unittest.TestCase):
    NAMES = pm.NAMED_ENTRIES + ("readme.txt",)

    def package(self):
        files = {name: f"[{name}]".encode() for name in self.NAMES}
        files["zavo320.ime"] = b"MZ" + BRAND + " V6.3".encode("utf-16-le")
        files["setupw64.exe"] = b"MZ" + BRAND + " V6.7".encode("utf-16-le")
        files["zavocyzk.bak"] = gbk("中国; ")
        return pm.parse_container(container.digest_container(
            [(name.encode(), data) for name, data in files.items()]))

    def install(self, major, sixty_four_bit):
        system = pm.System(major, sixty_four_bit, 936)
        return pm.silent_install(self.package(), system, "C:\\s32",
                                 "C:\\wow" if sixty_four_bit else None)

    def contents(self, placed):
        return {name: file.content for name, file in placed.items()}

    def test_64_bit_system_gets_full_imes_and_64_bit_uninstaller(self):
        model = self.install(6, True)
        self.assertEqual({"C:\\wow\\zavoli4.ime": b"[zavoli4.ime]",
                          "C:\\s32\\zavoli4.ime": b"[zavoli64.ime]",
                          "C:\\s32\\zavodel.exe": b"[zvqdel64.exe]"}, self.contents(model.system))
        files = self.contents(model.install_dir)
        self.assertEqual(b"[zavokpm6.exe]", files[b"zavokpmt.exe"])
        self.assertNotIn(b"zavokpm6.exe", files)
        for variant in pm.LANGUAGE_VARIANTS:
            self.assertNotIn(variant.encode(), files)
        self.assertEqual([" V7.8"], pm.version_texts(files[b"setupw64.exe"]))
        self.assertEqual(files[b"zavocyzk.bak"], files[b"zavocyzk.dat"])
        self.assertEqual(b"ZAVO", files[b"zavocyzk.dat"][-12:-8])
        self.assertEqual(b"ZVWBPYBZ=0\0", files[b"wbpybz.zvh"])
        self.assertEqual(110, len(files[b"zvnetsj.dat"]))

    def test_xp_keeps_both_companions_and_takes_zavoli4(self):
        model = self.install(5, False)
        self.assertEqual({"C:\\s32\\zavoli4.ime": b"[zavoli4.ime]",
                          "C:\\s32\\zavodel.exe": b"[zavodel.exe]"}, self.contents(model.system))
        files = self.contents(model.install_dir)
        self.assertEqual((b"[zavokpmt.exe]", b"[zavokpm6.exe]"),
                         (files[b"zavokpmt.exe"], files[b"zavokpm6.exe"]))

    def test_32_bit_vista_takes_zavoli32(self):
        model = self.install(6, False)
        self.assertEqual(b"[zavoli4.ime]", model.system["C:\\s32\\zavoli4.ime"].content)
        self.assertNotIn(b"zavokpm6.exe", model.install_dir)

    def test_package_without_the_named_entries_is_refused(self):
        package = pm.parse_container(container.digest_container([(b"readme.txt", b"x")]))
        with self.assertRaisesRegex(pm.PackageError, "zavoli4.ime"):
            pm.silent_install(package, pm.System(6, True, 936), "C:\\s32", "C:\\wow")


if __name__ == "__main__":
    unittest.main()
