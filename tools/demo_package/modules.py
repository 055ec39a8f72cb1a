"""The product's program modules: the IME, its language variants, the
companion programs and the uninstallers.

All are small PE images (pe_stub.py) whose data carries the texts the
installer relies on.  The installer stamps the version of the brand text
"智能岚汀输入平台" in UTF-16, followed by a blank, any one character and
6.3 or 6.7, to 7.8 in the language variants and in setupw64.exe.  Each
variant carries several such stamp sites, and also decoys that must stay
as they are: the brand text with 6.5, the brand text without the blank,
and the brand text in GBK.  zavo641.ime ends with a stamp site, so that
the last bytes of a file are stamped too.
"""

from pe_stub import MACHINE_AMD64, MACHINE_I386, pe_image
from sequence import Sequence

BRAND = "智能岚汀输入平台"

# Brand texts that the stamp must leave alone: another version, no blank.
DECOY_SUFFIXES = ("  6.5", "V6.3")

# name: (machine, code page, stamp site suffixes in .rdata, suffix at the
# very end, size of .data)
LANGUAGE_VARIANTS = {
    "zavo320.ime": (MACHINE_I386, 936, (" V6.3", "  6.7"), None, 20480),
    "zavo321.ime": (MACHINE_I386, 950, (" V6.7", " V6.3", "  6.3"), None, 20480),
    "zavo640.ime": (MACHINE_AMD64, 936, (" V6.3", "  6.7"), None, 24576),
    "zavo641.ime": (MACHINE_AMD64, 950, (" V6.7", "  6.3"), " V6.3", 24576),
}

# name: (machine, size of .data)
FULL_IMES = {
    "zavoli4.ime": (MACHINE_I386, 45056),
    "zavoli64.ime": (MACHINE_AMD64, 51200),
}

# name: (machine, what the program is, in GBK, size of .data)
PROGRAMS = {
    "zavokpmt.exe": (MACHINE_I386, "智能岚汀文章下载程序", 12288),
    "zavokpm6.exe": (MACHINE_I386, "智能岚汀文章下载程序 (Vista/Win7)", 12800),
    "zavodel.exe": (MACHINE_I386, "智能岚汀卸载程序", 8192),
    "zvqdel64.exe": (MACHINE_AMD64, "智能岚汀卸载程序 (64位)", 9216),
    "zvcfg.exe": (MACHINE_I386, "智能岚汀设置程序", 16384),
    "zvupdate.exe": (MACHINE_I386, "智能岚汀在线升级程序", 10240),
    "zvdict.exe": (MACHINE_I386, "智能岚汀词库维护程序", 14336),
}

MACHINE_WORDS = {MACHINE_I386: "32-bit", MACHINE_AMD64: "64-bit"}


class TextBlock:
    """Builds a data section of NUL-terminated texts, UTF-16 ones aligned
    to two bytes."""

    def __init__(self):
        self.data = bytearray()

    def ascii(self, text):
        self.data += text.encode("ascii") + b"\0"
        return self

    def gbk(self, text):
        self.data += text.encode("gbk") + b"\0"
        return self

    def utf16(self, text):
        if len(self.data) % 2:
            self.data += b"\0"
        self.data += text.encode("utf-16-le") + b"\0\0"
        return self

    def bytes(self):
        return bytes(self.data)


def tables(name, size):
    """A module's .data: fixed pseudo-random bytes seeded by its name."""
    seed = sum(name.encode("ascii")) * 7919
    return Sequence(seed).bytes(size)


def brand(suffix):
    """The brand text and `suffix` in UTF-16, as a module's data holds it."""
    return (BRAND + suffix).encode("utf-16-le")


def language_variant(name):
    machine, code_page, suffixes, final_suffix, data_size = LANGUAGE_VARIANTS[name]
    block = TextBlock().ascii(name).utf16(name)
    block.ascii(f"ZAVO IME language module, code page {code_page}, {MACHINE_WORDS[machine]}")
    for suffix in suffixes:
        block.utf16(BRAND + suffix)
        block.utf16(f"{name} {code_page}")
    for suffix in DECOY_SUFFIXES:
        block.utf16(BRAND + suffix)
    block.gbk(BRAND + " V6.3")
    overlay = brand(final_suffix) if final_suffix else b""
    return pe_image(machine, True, block.bytes(), overlay, tables(name, data_size))


def full_ime(name):
    machine, data_size = FULL_IMES[name]
    block = TextBlock().ascii(name).utf16(name)
    block.ascii(f"ZAVO IME, {MACHINE_WORDS[machine]}")
    block.utf16(BRAND + " V7.8")
    block.gbk(BRAND + "  7.8")
    block.utf16("UIKPMT").ascii("zavolikpmt")
    return pe_image(machine, True, block.bytes(), data=tables(name, data_size))


def program(name):
    machine, description, data_size = PROGRAMS[name]
    block = TextBlock().ascii(name).utf16(name).gbk(description)
    block.utf16(BRAND + " V7.8")
    return pe_image(machine, False, block.bytes(), data=tables(name, data_size))


def stamp_sites(content):
    """The offsets of the version digits that the installer's stamp rewrites:
    wherever the UTF-16 brand text is followed by a blank, one character,
    '6', '.', and '3' or '7' (tested on the low bytes), the offset of that
    '6'."""
    pattern = BRAND.encode("utf-16-le")
    sites = []
    start = content.find(pattern)
    while start >= 0:
        q = start + len(pattern)
        if (
            q + 8 < len(content)
            and content[q] == 0x20
            and content[q + 4] == ord("6")
            and content[q + 6] == ord(".")
            and content[q + 8] in b"37"
        ):
            sites.append(q + 4)
        start = content.find(pattern, start + 1)
    return sites


def stamped(content):
    """`content` as the installer leaves it: 6.3 and 6.7 become 7.8."""
    result = bytearray(content)
    for site in stamp_sites(content):
        result[site] = ord("7")
        result[site + 4] = ord("8")
    return bytes(result)


def program_modules():
    """[(name, bytes)] of every module but setupw64.exe, which is compiled."""
    modules = [(name, full_ime(name)) for name in FULL_IMES]
    modules += [(name, language_variant(name)) for name in LANGUAGE_VARIANTS]
    modules += [(name, program(name)) for name in PROGRAMS]
    return modules
