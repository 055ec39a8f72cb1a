"""Unit tests of the harness's pure parts: reading Wine's registry files and msgbox
traces, writing regedit input and passing command lines through Wine."""

import os
import struct
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import wine_env  # noqa: E402
import wine_reg  # noqa: E402
import wine_trace  # noqa: E402
import winebox  # noqa: E402

SAMPLE = r"""WINE REGISTRY Version 2
;; All keys relative to \\Machine

#arch=win64

[Software\\Wine\\X11 Driver] 1796630785
#time=1dd8621dab1bd02
"Managed"="N"

[System\\CurrentControlSet\\Control\\Keyboard Layouts\\e0020804] 1796630903
#time=1dd8622211716fc
"Ime File"="C:\\windows\\system32\\zavoli4.ime"
"Layout Text"="\x667a\x80fd\x5c9a\x6c40\x8f93\x5165\x5e73\x53f0  7.8"

[Software\\Escapes\\Br\[ack\]et] 1
@="default \"quoted\"\n"
"Adjacent"="\x667a0A"
"Octal"="a\1b\0010"
"Unknown"="\q\x"
"Empty"=""
"Raw"="智能"

[Software\\Escapes\\Types] 1
#class="ignored"
"Dw"=dword:0000012c
"Bin"=hex:00,01,fe,\
  ff,\
  10
"NoData"=hex:
"Expand"=str(2):"%ProgramFiles%\\x"
"Multi"=str(7):"one\0two\0"
"MultiHex"=hex(7):61,00,00,00,00,00
"Qword"=hex(b):01,00,00,00,00,00,00,00
"Unterminated"=hex(1):41,00
"""


def utf16z(text: str) -> bytes:
    return text.encode("utf-16-le") + b"\0\0"


class ParseHiveTest(unittest.TestCase):
    def setUp(self):
        self.hive = wine_reg.parse_hive(SAMPLE)

    def test_strings_keep_their_terminator_and_decode(self):
        value = self.hive.value("Software\\Wine\\X11 Driver", "Managed")
        self.assertEqual(value.type, wine_reg.REG_SZ)
        self.assertEqual(value.data, utf16z("N"))
        self.assertEqual(value.text(), "N")
        layout = self.hive.key("SYSTEM\\currentcontrolset\\Control\\Keyboard Layouts\\E0020804")
        self.assertEqual(layout.value("ime file").text(), "C:\\windows\\system32\\zavoli4.ime")
        self.assertEqual(layout.value("Layout Text").text(), "智能岚汀输入平台  7.8")

    def test_escapes_follow_wine(self):
        key = self.hive.key("Software\\Escapes\\Br[ack]et")
        self.assertIsNotNone(key)
        self.assertEqual(key.value("").text(), 'default "quoted"\n')
        # At most four hex digits belong to one \x escape.
        self.assertEqual(key.value("Adjacent").text(), "智0A")
        self.assertEqual(key.value("Octal").text(), "a\x01b\x010")
        self.assertEqual(key.value("Unknown").text(), "qx")
        self.assertEqual(key.value("Empty").data, b"\0\0")
        self.assertEqual(key.value("Raw").text(), "智能")

    def test_other_value_forms(self):
        key = self.hive.key("Software\\Escapes\\Types")
        self.assertEqual(key.value("Dw").dword(), 300)
        self.assertEqual(key.value("Bin").type, wine_reg.REG_BINARY)
        self.assertEqual(key.value("Bin").data, bytes([0, 1, 0xFE, 0xFF, 0x10]))
        self.assertEqual(key.value("NoData").data, b"")
        self.assertEqual(key.value("Expand").type, wine_reg.REG_EXPAND_SZ)
        self.assertEqual(key.value("Expand").text(), "%ProgramFiles%\\x")
        self.assertEqual(key.value("Multi").type, wine_reg.REG_MULTI_SZ)
        self.assertEqual(key.value("Multi").strings(), ["one", "two"])
        self.assertEqual(key.value("MultiHex").strings(), ["a"])
        self.assertEqual(key.value("Qword").type, 0xB)
        self.assertEqual(key.value("Qword").data, struct.pack("<Q", 1))
        self.assertEqual(key.value("Unterminated").text(), "A")

    def test_wrong_type_accessors_refuse(self):
        key = self.hive.key("Software\\Escapes\\Types")
        with self.assertRaises(TypeError):
            key.value("Dw").text()
        with self.assertRaises(TypeError):
            key.value("Bin").dword()
        with self.assertRaises(TypeError):
            key.value("Expand").strings()

    def test_subkeys_include_keys_without_a_block(self):
        self.assertEqual(self.hive.subkeys("Software"), ["Escapes", "Wine"])
        self.assertEqual(self.hive.subkeys("software\\escapes"), ["Br[ack]et", "Types"])
        self.assertEqual(
            self.hive.subkeys("System\\CurrentControlSet\\Control\\Keyboard Layouts"),
            ["e0020804"],
        )
        self.assertEqual(self.hive.subkeys("Software\\Wine\\X11 Driver"), [])
        self.assertIsNone(self.hive.key("Software"))
        self.assertIsNone(self.hive.value("Software\\Wine\\X11 Driver", "Missing"))

    def test_load_reads_a_file(self):
        with tempfile.TemporaryDirectory() as folder:
            path = os.path.join(folder, "user.reg")
            with open(path, "wb") as f:
                f.write(SAMPLE.replace("\n", "\r\n").encode("utf-8"))
            hive = wine_reg.load_hive(path)
        self.assertEqual(hive.value("Software\\Escapes\\Types", "Bin").data[-1], 0x10)


class ParseErrorsTest(unittest.TestCase):
    def assert_error(self, text, line_number):
        with self.assertRaises(wine_reg.RegFormatError) as caught:
            wine_reg.parse_hive(text)
        self.assertEqual(caught.exception.line_number, line_number)

    def test_bad_input_is_reported_with_its_line(self):
        head = "WINE REGISTRY Version 2\n"
        self.assert_error("REGEDIT4\n", 1)
        self.assert_error(head + '"v"="x"\n', 2)
        self.assert_error(head + "[Key] 1\n" + '"v"=dword:12\n', 3)
        self.assert_error(head + "[Key] 1\n" + '"v"=hex:1,02\n', 3)
        self.assert_error(head + "[Key] 1\n" + '"v"=qword:1\n', 3)
        self.assert_error(head + "[Key] 1\n" + '"v"="x" trailing\n', 3)
        self.assert_error(head + "[Key] 1\n" + '"v"="unterminated\n', 3)
        self.assert_error(head + "[Key] 1\n" + '"v" "x"\n', 3)
        self.assert_error(head + "[Unterminated\n", 2)
        self.assert_error(head + "[Key] 1\n" + "stray\n", 3)
        self.assert_error(head + "[Key] 1\n" + '"v"=str(z):"x"\n', 3)


class TraceTest(unittest.TestCase):
    def test_full_and_cut_texts(self):
        stderr = (
            "0094:fixme:hid:handle_IRP_MN_QUERY_ID Unhandled type 00000005\n"
            '0024:trace:msgbox:MSGBOX_OnInit L"\\667a\\80fd OK\\n\\"q\\" \\\\ \\0009"\n'
            '0024:trace:msgbox:MSGBOX_OnInit L"\\672c\\5b89"...\n'
        )
        boxes = wine_trace.traced_boxes(stderr)
        self.assertEqual(len(boxes), 2)
        self.assertEqual(boxes[0].text, '智能 OK\n"q" \\ \t')
        self.assertFalse(boxes[0].cut)
        self.assertTrue(boxes[0].matches('智能 OK\n"q" \\ \t'))
        self.assertFalse(boxes[0].matches('智能 OK\n"q" \\ \t and more'))
        self.assertEqual(boxes[1].text, "本安")
        self.assertTrue(boxes[1].cut)
        self.assertTrue(boxes[1].matches("本安装程序"))
        self.assertFalse(boxes[1].matches("本"))

    def test_bad_escape_is_refused(self):
        with self.assertRaises(ValueError):
            wine_trace.decode_debugstr("\\12")


class RegFileTextTest(unittest.TestCase):
    def test_values_of_each_kind(self):
        text = wine_env.reg_file_text(
            {
                "HKEY_CURRENT_USER\\Software\\Wine\\Fonts\\Replacements": {"宋体": "A \\ \"B\""},
                "HKEY_CURRENT_USER\\Software\\T": {"": "d", "n": 300, "b": b"\x00\xff"},
            }
        )
        self.assertEqual(
            text.split("\r\n"),
            [
                "Windows Registry Editor Version 5.00",
                "",
                "[HKEY_CURRENT_USER\\Software\\Wine\\Fonts\\Replacements]",
                '"宋体"="A \\\\ \\"B\\""',
                "",
                "[HKEY_CURRENT_USER\\Software\\T]",
                '@="d"',
                '"n"=dword:0000012c',
                '"b"=hex:00,ff',
                "",
                "",
            ],
        )

    def test_bool_is_refused(self):
        with self.assertRaises(wine_env.HarnessError):
            wine_env.reg_file_text({"HKEY_CURRENT_USER\\T": {"x": True}})


class CommandLineTest(unittest.TestCase):
    def test_single_blanks_split_into_arguments(self):
        split = winebox._split_command_line
        self.assertEqual(split(""), [])
        self.assertEqual(split("setzvsrf32"), ["setzvsrf32"])
        self.assertEqual(
            split("regzv32=C:\\Program Files (x86)\\zavoli\\"),
            ["regzv32=C:\\Program", "Files", "(x86)\\zavoli\\"],
        )
        self.assertEqual(split("regzv32=C:\\繁體\\"), ["regzv32=C:\\繁體\\"])

    def test_lines_wine_would_change_are_refused(self):
        for line in (" x", "x ", "a  b", "a\tb", 'a "b"'):
            with self.assertRaises(wine_env.HarnessError, msg=repr(line)):
                winebox._split_command_line(line)


if __name__ == "__main__":
    unittest.main()
