#!/usr/bin/env python3
"""Writes a small seed corpus for the container fuzz target into DIR: valid
containers of both layouts (one holding the phrase list zavocyzk.bak), one
counting more records than it holds, bare phrase lists and a bitmap file."""
import os
import struct
import sys

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


def main(directory):
    os.makedirs(directory, exist_ok=True)
    phrases = "中文; 词语; 一; 输入法; ".encode("gbk")
    seeds = {
        "digest": container(b"0", [digest_record(b"zvszsj43.zvh", b"settings" * 8),
                                   digest_record(b"zavocyzk.bak", phrases)]),
        "plain": container(b"S", [plain_record(b"zvbmp8.zvh", b"\x01" * 64),
                                  plain_record(b"zvbmpsx1.bmp", b"BM" + b"\0" * 200)]),
        "overcounted": container(b"0", [digest_record(b"a.txt", b"a")], count=3) + b"\0" * 4,
        "phrases": phrases,
        "phrases_trailer": phrases + b"ZAVO" + b"\0" * 8,
        "bitmap": bitmap(13, 5),
    }
    for name, data in seeds.items():
        with open(os.path.join(directory, name), "wb") as f:
            f.write(data)


if __name__ == "__main__":
    main(sys.argv[1])
