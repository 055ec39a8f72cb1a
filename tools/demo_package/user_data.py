"""The IME's option record and the data files that a later install packs
into its backup of the user's data.

Shipping every file that the backup requires means that installing over
an earlier demo install finds a complete set and asks whether to keep the
earlier data.  The option record is not the IME's built-in default: its
window mode is 4 ("仿WIN窗口") and several bytes that the installer sets
hold other values, so that the installer's changes to it can be seen.
"""

from phrases import PINYIN_PHRASES, SHAPE_CODE_PHRASES, phrase_words, user_phrase_list
from sequence import Sequence

OPTION_RECORD_SIZE = 200
# The IME's built-in defaults: offset 8 is 54, these offsets are 1.
DEFAULT_ONES = (9, 10, 12, 15, 19, 22, 24, 36, 41, 43, 54, 58)
# Bytes the installer never writes carry this mark, at this offset.
OPTION_MARK = b"ZAVO DEMO OPTIONS"
OPTION_MARK_OFFSET = 160


def option_record():
    """zvszsj43.zvh: the 200-byte option record."""
    record = bytearray(OPTION_RECORD_SIZE)
    record[8] = 54
    for offset in DEFAULT_ONES:
        record[offset] = 1
    # Window mode 4: offset 0 = 3 and offset 21 = 1.
    record[0] = 3
    record[21] = 1
    # Offsets the installer sets to fixed values; these differ from them.
    record[1] = 0
    record[15] = 0
    record[62] = 5
    record[63] = 6
    record[OPTION_MARK_OFFSET : OPTION_MARK_OFFSET + len(OPTION_MARK)] = OPTION_MARK
    return bytes(record)


def settings_variant(number):
    """zvszsj05.zvh and zvszsj06.zvh: further 200-byte option records."""
    record = bytearray(option_record())
    record[0] = 0
    record[21] = 0
    record[OPTION_MARK_OFFSET + len(OPTION_MARK) + 1] = number
    return bytes(record)


def key_lines(pairs):
    return "".join(f"{key}={value}\r\n" for key, value in pairs).encode("gbk")


def binary_record(tag, seed, size):
    """A binary data file: a 4-byte tag, then `size` fixed pseudo-random bytes."""
    return tag + Sequence(seed).bytes(size)


def text_lines(words):
    return "".join(word + "\r\n" for word in words).encode("gbk")


def user_data_files():
    """[(name, bytes)] of the user's data files as a fresh install has them."""
    shape_words = phrase_words(SHAPE_CODE_PHRASES)
    pinyin_words = phrase_words(PINYIN_PHRASES)
    return [
        ("zavocyzk.zvh", user_phrase_list(shape_words[:12])),
        ("zavopyck.zvh", user_phrase_list(pinyin_words[:12])),
        ("cfontset.zvh", key_lines([("ZVFONT", "宋体"), ("ZVSIZE", "12"), ("ZVBOLD", "0")])),
        ("cwbzlcz1.zvh", binary_record(b"ZVC1", 301, 512)),
        ("zvwbcmxz.zvh", binary_record(b"ZVCM", 302, 384)),
        ("zvdhzcm.zvh", binary_record(b"ZVDH", 303, 256)),
        ("zavodhz.zvh", binary_record(b"ZVHZ", 304, 640)),
        ("zvgbkhz.zvh", binary_record(b"ZVGB", 305, 1024)),
        ("zavodwdw.txt", text_lines(["本单位", "办公室", "技术部", "市场部"])),
        ("zavozdym.zvh", key_lines([("zz", "智能岚汀"), ("bd", "本单位")])),
        ("zvpyzdym.zvh", key_lines([("znlt", "智能岚汀"), ("bdw", "本单位")])),
        ("zvwbpy.txt", text_lines(["五笔拼音混合输入", "ZVWBPY=1"])),
        ("zavoynhz.txt", text_lines(["疑难汉字", "犇 骉 鱻 羴 猋 麤"])),
        ("zavozdfh.zvh", key_lines([("zf1", "★"), ("zf2", "※"), ("zf3", "→")])),
        ("userck.txt", text_lines(["用户词库", "本单位 联系电话"])),
        ("delck.txt", text_lines(["删除词组", "三心二意"])),
        ("ftzvzdym.txt", text_lines(["繁體自定義", "智能嵐汀"])),
        ("ftpyzdym.txt", text_lines(["繁體拼音自定義", "本單位"])),
        ("cwb.ov1", binary_record(b"OV1W", 306, 768)),
        ("zavopymb.ov1", binary_record(b"OV1P", 307, 768)),
        ("zvgbkbh.zvh", binary_record(b"ZVBH", 308, 512)),
        ("zvszsj05.zvh", settings_variant(5)),
        ("zvszsj06.zvh", settings_variant(6)),
    ]
