#!/usr/bin/env python3
"""Writes a small seed corpus for the container fuzz target into DIR: valid
containers of both layouts (one holding the phrase list zavocyzk.bak), one
counting more records than it holds, and bare phrase lists."""
import hashlib
import os
import struct
import sys
import zlib


def digest_record(name, content):
    header = bytearray(56)
    header[0:2] = b"CF"
    header[2:2 + len(name)] = name
    header[18:50] = hashlib.md5(content).hexdigest().upper().encode()
    stream = zlib.compress(content)
    struct.pack_into("<I", header, 52, len(stream))
    return bytes(header) + stream


def plain_record(name, content):
    header = bytearray(20)
    header[0:2] = b"CF"
    header[2:2 + len(name)] = name
    stream = zlib.compress(content)
    struct.pack_into("<I", header, 16, len(stream))
    return bytes(header) + stream


def container(letter, records, count=None):
    body = b"".join(records)
    count = len(records) if count is None else count
    return b"C" + letter + struct.pack("<II", 10 + len(body), count) + body


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
    }
    for name, data in seeds.items():
        with open(os.path.join(directory, name), "wb") as f:
            f.write(data)


if __name__ == "__main__":
    main(sys.argv[1])
