#!/usr/bin/env python3
"""Writes a small seed corpus for one fuzz target into DIR:
  make_seeds.py TARGET DIR
container_fuzz: valid containers of both layouts (one holding the phrase list
zavocyzk.bak), one counting more records than it holds, bare phrase lists and
a bitmap file; the other targets: one input of each form they take apart,
led by the byte that chooses the reader (see each target's opening comment)."""
import os
import struct
import sys
import zlib

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tools",
                                "demo_package"))
from container import assemble, digest_record, plain_record  # noqa: E402


def container(letter, records, count=None):
    """A container of `records`; `count` overrides the record count of its header."""
    data = bytearray(assemble(letter, records))
    if count is not None:
        struct.pack_into("<I", data, 6, count)
    return bytes(data)


def bitmap(width, height):
    """A 24-bit bottom-up bitmap file, as the welcome picture is."""
    stride = (width * 3 + 3) & ~3
    pixels = bytes((x * 7 + y) & 0xFF for y in range(height) for x in range(stride))
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(pixels), 0, 0, 0, 0)
    return b"BM" + struct.pack("<IHHI", 54 + len(pixels), 0, 0, 54) + info + pixels


def container_seeds():
    phrases = "中文; 词语; 一; 输入法; ".encode("gbk")
    return {
        "digest": container(b"0", [digest_record(b"zvszsj43.zvh", b"settings" * 8),
                                   digest_record(b"zavocyzk.bak", phrases)]),
        "plain": container(b"S", [plain_record(b"zvbmp8.zvh", b"\x01" * 64),
                                  plain_record(b"zvbmpsx1.bmp", b"BM" + b"\0" * 200)]),
        "overcounted": container(b"0", [digest_record(b"a.txt", b"a")], count=3) + b"\0" * 4,
        "phrases": phrases,
        "phrases_trailer": phrases + b"ZAVO" + b"\0" * 8,
        "bitmap": bitmap(13, 5),
    }


def startup_seeds():
    return {
        "companion": b"\0regzv32=C:\\Program Files\\zavoli\\",
        "companion_other_r": b"\0/x REGZV32=d:\\a b",
        "silent": b"\0setzvsrf32",
        "remembered": b"\1\0C:\\Program Files\\zavoli\\",
        "remembered_zero": b"\1\1D:\\x\\\0junk" + b"y" * 300,
        "web_address": b"\2\0ZVNETURL2=a\r\nZVNETURL1=http://www.zavoli.cn/\xd6\xd0 x\r\n",
        "web_address_set_dir": b"\2\1ZVNETURL1=" + b"w" * 300,
        "option_record": b"\3\2\1\1\0\0" + bytes(range(200)),
        "option_record_short": b"\3\4\0\0\1\0" + b"\xff" * 37,
    }


def bitmap_seeds():
    picture = bitmap(13, 5)
    return {
        "plain_package": b"\0" + picture,
        "digest_package": b"\2" + bitmap(96, 100),
        "whole_package": b"\1" + container(b"S", [plain_record(b"kpmt1.bmp", picture)]),
    }


def archive_seeds():
    backup = container(b"0", [digest_record(b"zvszsj43.zvh", b"settings" * 8),
                              digest_record(b"zavodwdw.txt", "词语".encode("gbk") * 20)])
    skin = container(b"S", [plain_record(b"zvbmp8.zvh", b"\x01" * 64),
                            plain_record(b"zvbmpsx1.bmp", b"BM" + b"\0" * 200)])
    return {
        "add_to_archive": b"\0\0\1" + b"user words 16 by" + backup,
        "add_new_archive": b"\0\x81\2" + b"x" * 32,
        "restore_here": b"\1\0" + backup,
        "restore_from_earlier": b"\1\1" + backup,
        "skin": b"\2" + skin,
    }


def piece(data):
    return bytes([len(data)]) + data


def preload_place(place, value, kind=0):
    """A preload place of type kind (0 REG_SZ, 2 REG_BINARY) holding `value`."""
    return b"\0" + bytes([place, kind]) + piece(value)


def layout_key(name, text, how=0):
    """A layout key `name` whose "layout text" is `text` (how & 4: none)."""
    return b"\1" + piece(name) + bytes([how]) + piece(text)


def registry_seeds():
    product = "智能岚汀输入平台7.8版".encode("gbk")
    nt = (preload_place(1, b"e0200804\0") + preload_place(2, b"00000804") +
          preload_place(3, b"00000409\0\0\0", 2) + layout_key(b"E0200804", product + b"\0") +
          layout_key(b"00000804", b"Chinese (Simplified)") + layout_key(b"e0210804", b"", 4))
    return {
        "nt": b"\0" + nt,
        "nt_big5": b"\2" + preload_place(4, b"e0200404123") + nt,
        "windows9x": b"\1" + nt + b"\2\5",
        "no_layout_list": b"\x10" + nt,
        "no_preload_key": b"\x08" + layout_key(b"e0200804", product),
    }


SEEDS = {
    "container_fuzz": container_seeds,
    "startup_fuzz": startup_seeds,
    "bitmap_fuzz": bitmap_seeds,
    "archive_fuzz": archive_seeds,
    "registry_fuzz": registry_seeds,
}


def main(target, directory):
    os.makedirs(directory, exist_ok=True)
    for name, data in SEEDS[target]().items():
        with open(os.path.join(directory, name), "wb") as f:
            f.write(data)


if __name__ == "__main__":
    main(sys.argv[1], sys.argv[2])
