"""The package embedded in zvsetup.exe, and what a silent install of it must leave.

The installer carries its product files as the resource KPMTZVZ of type ZVZ: a
container of records (the format and its reader are in tools/demo_package/container.py).
This module reads the resource straight out of the PE file (no Windows needed),
unpacks the container and models, from its records alone, every file that the
silent install must write: the unpacked records (the phrase list with its trailer),
the copies the installer makes, the version-stamped companion, the settings files,
and the IME and uninstaller files of the system folders.
"""

from __future__ import annotations

import dataclasses
import struct
from typing import Dict, List, Optional, Tuple

from container import Container, ContainerError, parse_container

RESOURCE_TYPE = "ZVZ"
RESOURCE_NAME = "KPMTZVZ"

# The phrase list that gains a trailer when written, and the trailer's tag.
PHRASE_LIST = b"zavocyzk.bak"
_TRAILER_TAG = b"ZAVO"
_TRAILER_SIZE = 12

# The brand text in UTF-16 that the version stamp looks for, and how much of a
# file the installer reads to stamp it.
BRAND_UTF16 = "智能岚汀输入平台".encode("utf-16-le")
STAMP_READ_LIMIT = 131072

# Entries the install names; the rest are only unpacked.
NAMED_ENTRIES = (
    "zavoli4.ime", "zavoli64.ime", "zavo320.ime", "zavo321.ime", "zavo640.ime",
    "zavo641.ime", "setupw64.exe", "zavokpmt.exe", "zavokpm6.exe", "zavodel.exe",
    "zvqdel64.exe", "zavocyzk.bak", "zavopyck.bak", "zvszsj43.zvh",
)
LANGUAGE_VARIANTS = ("zavo320.ime", "zavo321.ime", "zavo640.ime", "zavo641.ime")

# The edition file of the shape-code edition and the network settings with an empty
# web address, as the silent mode writes them.
EDITION_FILE = b"wbpybz.zvh"
EDITION_SHAPE_CODE = b"ZVWBPYBZ=0\0"
NETWORK_FILE = b"zvnetsj.dat"
NETWORK_LINES = (
    b"ZVNETURL1=", b"ZVNETURL2=", b"ZVNETTIME=1", b"ZVBJTIME=7", b"ZVWYTIME=3",
    b"ZVSJOFF=0", b"ZVNETTIME0=0", b"ZVBJTIME0=0", b"ZVNEONE=1",
)


# The embedded package cannot be read, or lacks what an install needs.
PackageError = ContainerError


# ---------------------------------------------------------------------------
# The resource in the PE file


def pe_resource(image: bytes, type_name: str, name: str) -> bytes:
    """The bytes of the named resource of a PE image (first language found).

    Resource names are compared without regard to case, as FindResource does.
    """
    sections, resource_rva = _pe_layout(image)
    if resource_rva == 0:
        raise PackageError("the program has no resource section")

    def offset(rva: int) -> int:
        for virtual, size, raw, raw_size in sections:
            if virtual <= rva < virtual + max(size, raw_size):
                return raw + rva - virtual
        raise PackageError(f"resource address 0x{rva:x} lies in no section")

    root = offset(resource_rva)
    type_dir = _resource_child(image, root, root, type_name)
    name_dir = _resource_child(image, root, type_dir, name)
    language = _resource_entries(image, root, name_dir)
    if not language:
        raise PackageError(f"resource {type_name}/{name} has no language entry")
    data_entry = language[0][1]
    if data_entry & 0x80000000:
        raise PackageError(f"resource {type_name}/{name} nests deeper than three levels")
    rva, size = struct.unpack_from("<II", image, root + data_entry)
    start = offset(rva)
    if start + size > len(image):
        raise PackageError(f"resource {type_name}/{name} runs past the end of the file")
    return image[start:start + size]


def _pe_layout(image: bytes) -> Tuple[List[Tuple[int, int, int, int]], int]:
    """The sections (virtual address, virtual size, file offset, file size) and the
    address of the resource directory."""
    if image[:2] != b"MZ" or len(image) < 0x40:
        raise PackageError("not a program file (no MZ header)")
    pe = struct.unpack_from("<I", image, 0x3C)[0]
    if image[pe:pe + 4] != b"PE\0\0":
        raise PackageError("not a PE program file")
    sections_count, optional_size = struct.unpack_from("<H12xH", image, pe + 6)
    optional = pe + 24
    magic = struct.unpack_from("<H", image, optional)[0]
    directories = {0x10B: 96, 0x20B: 112}.get(magic)
    if directories is None:
        raise PackageError(f"unknown optional header magic 0x{magic:x}")
    resource_rva = struct.unpack_from("<I", image, optional + directories + 2 * 8)[0]
    sections = []
    table = optional + optional_size
    for index in range(sections_count):
        entry = table + 40 * index
        size, virtual, raw_size, raw = struct.unpack_from("<IIII", image, entry + 8)
        sections.append((virtual, size, raw, raw_size))
    return sections, resource_rva


def _resource_entries(image: bytes, root: int, directory: int) -> List[Tuple[object, int]]:
    """(name or id, offset field) of every entry of a resource directory."""
    named, numbered = struct.unpack_from("<HH", image, directory + 12)
    entries = []
    for index in range(named + numbered):
        key, target = struct.unpack_from("<II", image, directory + 16 + 8 * index)
        if key & 0x80000000:
            at = root + (key & 0x7FFFFFFF)
            length = struct.unpack_from("<H", image, at)[0]
            key = image[at + 2:at + 2 + 2 * length].decode("utf-16-le")
        entries.append((key, target))
    return entries


def _resource_child(image: bytes, root: int, directory: int, name: str) -> int:
    for key, target in _resource_entries(image, root, directory):
        if isinstance(key, str) and key.upper() == name.upper():
            if not target & 0x80000000:
                raise PackageError(f"resource entry {name} is not a directory")
            return root + (target & 0x7FFFFFFF)
    raise PackageError(f"the program has no resource named {name}")


def embedded_package(exe_path: str) -> Container:
    """The container embedded in the program file at `exe_path`."""
    with open(exe_path, "rb") as f:
        image = f.read()
    return parse_container(pe_resource(image, RESOURCE_TYPE, RESOURCE_NAME))


# ---------------------------------------------------------------------------
# What the installer does to single files


def compact_phrase_list(text: bytes) -> bytes:
    """The phrase list as the installer writes it: phrases of two or more GBK
    characters each followed by "; " are kept, others dropped (their separator
    stays), and a trailer "ZAVO", u32 checksum of every character byte scanned,
    u32 phrases kept is appended; a list that already ends with a trailer stays as
    it is."""
    length = len(text)
    if length >= _TRAILER_SIZE and text[length - _TRAILER_SIZE:][:4] == _TRAILER_TAG:
        return text
    out = bytearray()
    r = 0
    kept = 0
    checksum = 0
    while r < length:
        run = bytearray()
        while r + 1 < length and text[r] > 0x80 and text[r + 1] > 0x3F:
            run += text[r:r + 2]
            checksum += text[r] + text[r + 1]
            r += 2
        if len(run) >= 4 and text[r:r + 2] == b"; ":
            out += run + b"; "
            kept += 1
            r += 2
            continue
        while r < length and text[r] != ord(";") and not (r + 1 < length and text[r + 1] == 0x20):
            r += 1
        if r + 1 >= length:
            break
        out += text[r:r + 2]
        r += 2
    return bytes(out) + _TRAILER_TAG + struct.pack("<II", checksum & 0xFFFFFFFF, kept)


def stamp_version(data: bytes) -> bytes:
    """The file after the version stamp: after each UTF-16 brand text followed by a
    blank, one character and 6.3 or 6.7, the version becomes 7.8 (low bytes only)."""
    head = bytearray(data[:STAMP_READ_LIMIT])
    n = len(head)
    p = 0
    while p < n:
        if head[p:p + 16] == BRAND_UTF16:
            q = p + 16
            if (q + 8 < n and head[q] == 0x20 and head[q + 4] == ord("6")
                    and head[q + 6] == ord(".") and head[q + 8] in b"37"):
                head[q + 4] = ord("7")
                head[q + 8] = ord("8")
            p = q + 1
        else:
            p += 1
    return bytes(head) + data[STAMP_READ_LIMIT:]


def version_texts(data: bytes) -> List[str]:
    """The texts that follow each UTF-16 brand text in a file: blank, one character
    and three characters of version, decoded as UTF-16 ("" when cut off)."""
    found = []
    start = 0
    while True:
        p = data.find(BRAND_UTF16, start)
        if p < 0:
            return found
        tail = data[p + 16:p + 26]
        found.append(tail.decode("utf-16-le", "replace") if len(tail) == 10 else "")
        start = p + 1


def network_settings(web_address: bytes = b"") -> bytes:
    lines = list(NETWORK_LINES)
    lines[1] += web_address
    return b"".join(line + b"\r\n" for line in lines)


# ---------------------------------------------------------------------------
# The install


@dataclasses.dataclass(frozen=True)
class System:
    """The Windows the installer sees: major version, 64-bit or not, ANSI code page."""

    major: int
    sixty_four_bit: bool
    codepage: int


@dataclasses.dataclass(frozen=True)
class PlacedFile:
    """A file the install must leave: its bytes and where they come from."""

    content: bytes
    origin: str


@dataclasses.dataclass
class InstallModel:
    """Every file of the install directory (8-bit name -> file) and of the system
    folders (C: path -> file) that a silent install leaves."""

    install_dir: Dict[bytes, PlacedFile]
    system: Dict[str, PlacedFile]


def missing_entries(package: Container) -> List[str]:
    return [name for name in NAMED_ENTRIES if package.entry(name) is None]


def silent_install(package: Container, system: System, system_dir: str,
                   wow64_dir: Optional[str]) -> InstallModel:
    """What a silent install of `package` leaves, computed from its records.

    system_dir is the program's system folder, wow64_dir the 32-bit folder of a
    64-bit Windows (None on a 32-bit one).
    """
    missing = missing_entries(package)
    if missing:
        raise PackageError("the package lacks entries the install needs: " + ", ".join(missing))
    files: Dict[bytes, PlacedFile] = {}
    for record in package.records:
        content = record.content
        origin = f"package entry {record.text_name}"
        if record.name == PHRASE_LIST:
            content = compact_phrase_list(content)
            if content != record.content:
                origin += " with the phrase-list trailer"
        files[record.name] = PlacedFile(content, origin)

    def entry(name: str) -> PlacedFile:
        return files[name.encode("ascii")]

    def copy(source: str, origin: Optional[str] = None) -> PlacedFile:
        placed = entry(source)
        return PlacedFile(placed.content, origin or placed.origin)

    def stamped(name: str) -> PlacedFile:
        placed = entry(name)
        return PlacedFile(stamp_version(placed.content), placed.origin + ", stamped 7.8")

    files[b"zavoli32.ime"] = copy("zavoli4.ime", "copy of zavoli4.ime")
    files[b"zavocyzk.dat"] = copy("zavocyzk.bak", "copy of zavocyzk.bak as written")
    files[b"zavopyck.dat"] = copy("zavopyck.bak", "copy of zavopyck.bak")
    files[b"setupw64.exe"] = stamped("setupw64.exe")
    placed: Dict[str, PlacedFile] = {}
    if system.sixty_four_bit:
        assert wow64_dir is not None
        placed[f"{wow64_dir}\\zavoli4.ime"] = copy("zavoli32.ime", "zavoli32.ime (= zavoli4.ime)")
        placed[f"{system_dir}\\zavoli4.ime"] = copy("zavoli64.ime", "zavoli64.ime")
        placed[f"{system_dir}\\zavodel.exe"] = copy("zvqdel64.exe", "zvqdel64.exe")
    else:
        full = "zavoli32.ime" if system.major >= 6 else "zavoli4.ime"
        placed[f"{system_dir}\\zavoli4.ime"] = copy(full, full)
        placed[f"{system_dir}\\zavodel.exe"] = copy("zavodel.exe", "zavodel.exe")
    if system.major >= 6:
        files[b"zavokpmt.exe"] = copy("zavokpm6.exe", "zavokpm6.exe moved over zavokpmt.exe")
        del files[b"zavokpm6.exe"]
    for variant in LANGUAGE_VARIANTS:
        del files[variant.encode("ascii")]
    files[EDITION_FILE] = PlacedFile(EDITION_SHAPE_CODE, "edition file, shape code")
    files[NETWORK_FILE] = PlacedFile(network_settings(), "network settings, no web address")
    return InstallModel(install_dir=files, system=placed)


def matching_entries(package: Container, content: bytes) -> List[str]:
    """Names of the records whose content (as is, or version-stamped) equals
    `content`, the stamped ones marked so."""
    names = []
    for record in package.records:
        if record.content == content:
            names.append(record.text_name)
        elif stamp_version(record.content) == content:
            names.append(record.text_name + " (stamped)")
    return names


# ---------------------------------------------------------------------------
# The install through the wizard (the Pinyin edition)

EDITION_PINYIN = b"ZVWBPYBZ=1\0"
OPTION_RECORD = b"zvszsj43.zvh"
OPTION_RECORD_SIZE = 200
INSTALL_STAMP = b"install.zvh"
WELCOME_PICTURE = "kpmt1.bmp"

# The skin dialog's skin buttons and the archive each one unpacks; the names are GBK
# bytes whatever the code page.
SKIN_ARCHIVES = {110: "冷色瓷面.zvz".encode("gbk"), 111: "粉色瓷面.zvz".encode("gbk"),
                 112: "小天使.zvz".encode("gbk")}
SKIN_FILES = (b"zvbmp8.zvh",) + tuple(f"zvbmpsx{n}.bmp".encode() for n in range(1, 8))
# The dialog's window-mode buttons and the option record's bytes 0 and 21 for each.
WINDOW_MODES = {101: (0, 0), 102: (1, 0), 106: (4, 1), 107: (3, 1)}

# The record the installer starts from when the package's is shorter.
_DEFAULT_OPTIONS = {8: 54, **{at: 1 for at in (9, 10, 12, 15, 19, 22, 24, 36, 41, 43, 54, 58)}}
# Every install through the wizard; then the Pinyin edition's choices.
_COMMON_OPTIONS = {62: 0, 63: 0, 1: 1, 43: 1, 54: 0, 36: 1}
_PINYIN_OPTIONS = {19: 1, 22: 0, 25: 1, **{at: 0 for at in range(27, 36)},
                   **{at: 0 for at in range(66, 70)}, 36: 0, 42: 0, 75: 1, 80: 10}


def wizard_option_record(stored: bytes, mode: int, codepage: int) -> bytes:
    """The option record after the wizard's install: the package's record (or as much
    of it as there is, over the default one) with the common and Pinyin options and
    the window mode of the dialog button `mode`."""
    record = bytearray(OPTION_RECORD_SIZE)
    for at, value in _DEFAULT_OPTIONS.items():
        record[at] = value
    record[:min(len(stored), OPTION_RECORD_SIZE)] = stored[:OPTION_RECORD_SIZE]
    options = dict(_COMMON_OPTIONS)
    if codepage == 950:
        options[15] = 1
    options.update(_PINYIN_OPTIONS)
    options[0], options[21] = WINDOW_MODES[mode]
    for at, value in options.items():
        record[at] = value
    return bytes(record)


def skin_files(package: Container, skin: int) -> Dict[bytes, PlacedFile]:
    """The files the skin archive of dialog button `skin` unpacks."""
    name = SKIN_ARCHIVES[skin]
    archive = next((r for r in package.records if r.name == name), None)
    if archive is None:
        raise PackageError(f"the package has no skin archive {name.decode('gbk')}")
    skin_package = parse_container(archive.content)
    return {record.name: PlacedFile(record.content,
                                    f"{record.text_name} of {name.decode('gbk')}")
            for record in skin_package.records}


def wizard_install(silent: InstallModel, package: Container, web_address: bytes, mode: int,
                   skin: int, codepage: int) -> InstallModel:
    """What the wizard's install leaves, from the silent install's model: the Pinyin
    edition file, the typed web address, the option record, the chosen skin's files.
    The install stamp (the tick count) is not modelled."""
    files = dict(silent.install_dir)
    files[EDITION_FILE] = PlacedFile(EDITION_PINYIN, "edition file, Pinyin")
    files[NETWORK_FILE] = PlacedFile(network_settings(web_address),
                                     f"network settings with {web_address!r}")
    stored = files[OPTION_RECORD].content
    files[OPTION_RECORD] = PlacedFile(wizard_option_record(stored, mode, codepage),
                                      f"option record, window mode button {mode}")
    files.update(skin_files(package, skin))
    return InstallModel(install_dir=files, system=dict(silent.system))
