"""Small but well-formed PE images that stand in for the product's modules.

An image holds the DOS header and stub, the PE headers and its sections:
for a program, ".text" with code that returns 0 at once (a DLL, such as
the .ime files, has no code and no entry point, so that loading one runs
nothing); ".data" with tables that give the module a product-like size;
".rdata" with the module's texts.  Bytes may follow the last
section as an overlay, as they do in many real programs.  The headers
carry no time stamp.
"""

import struct

MACHINE_I386 = 0x014C
MACHINE_AMD64 = 0x8664

FILE_ALIGNMENT = 0x200
SECTION_ALIGNMENT = 0x1000
PE_OFFSET = 0x80
SUBSYSTEM_WINDOWS_GUI = 2

# COFF characteristics.
RELOCS_STRIPPED = 0x0001
EXECUTABLE_IMAGE = 0x0002
LARGE_ADDRESS_AWARE = 0x0020
MACHINE_32BIT = 0x0100
DLL = 0x2000

# Section characteristics.
CODE_SECTION = 0x60000020  # code, execute, read
DATA_SECTION = 0x40000040  # initialised data, read
WRITABLE_DATA_SECTION = 0xC0000040  # initialised data, read, write

# "xor eax, eax; ret": the same bytes in 32-bit and 64-bit code.
RETURN_ZERO = b"\x31\xc0\xc3"

DOS_STUB = (
    b"\x0e\x1f\xba\x0e\x00\xb4\x09\xcd\x21\xb8\x01\x4c\xcd\x21"
    b"This program cannot be run in DOS mode.\r\r\n$"
)

IMAGE_BASES = {
    (MACHINE_I386, False): 0x00400000,
    (MACHINE_I386, True): 0x10000000,
    (MACHINE_AMD64, False): 0x140000000,
    (MACHINE_AMD64, True): 0x180000000,
}


def align(value, boundary):
    return (value + boundary - 1) // boundary * boundary


def dos_header():
    fields = struct.pack(
        "<2s13H",
        b"MZ",
        0x90,  # bytes on the last page
        3,  # pages
        0,  # relocations
        4,  # header paragraphs
        0,
        0xFFFF,
        0,
        0xB8,
        0,
        0,
        0,
        0x40,  # relocation table offset
        0,
    )
    header = fields.ljust(0x3C, b"\0") + struct.pack("<I", PE_OFFSET)
    return (header + DOS_STUB).ljust(PE_OFFSET, b"\0")


def layout_sections(sections):
    """[(name, data, characteristics)] -> [(name, data, flags, rva, raw offset)]."""
    placed = []
    rva = SECTION_ALIGNMENT
    raw = FILE_ALIGNMENT
    for name, data, flags in sections:
        placed.append((name, data, flags, rva, raw))
        rva += align(len(data), SECTION_ALIGNMENT)
        raw += align(len(data), FILE_ALIGNMENT)
    return placed


def optional_header(machine, is_dll, placed, entry_rva):
    code = [p for p in placed if p[2] == CODE_SECTION]
    data = [p for p in placed if p[2] in (DATA_SECTION, WRITABLE_DATA_SECTION)]
    size_of_code = sum(align(len(p[1]), FILE_ALIGNMENT) for p in code)
    size_of_data = sum(align(len(p[1]), FILE_ALIGNMENT) for p in data)
    base_of_code = code[0][3] if code else 0
    base_of_data = data[0][3] if data else 0
    last = placed[-1]
    size_of_image = last[3] + align(len(last[1]), SECTION_ALIGNMENT)
    image_base = IMAGE_BASES[(machine, is_dll)]
    os_version = (5, 1) if machine == MACHINE_I386 else (5, 2)
    if machine == MACHINE_I386:
        head = struct.pack("<HBBIIIIIII", 0x10B, 2, 30, size_of_code, size_of_data, 0,
                           entry_rva, base_of_code, base_of_data, image_base)
        reserves = struct.pack("<IIII", 0x100000, 0x1000, 0x100000, 0x1000)
    else:
        head = struct.pack("<HBBIIIIIQ", 0x20B, 2, 30, size_of_code, size_of_data, 0,
                           entry_rva, base_of_code, image_base)
        reserves = struct.pack("<QQQQ", 0x100000, 0x1000, 0x100000, 0x1000)
    middle = struct.pack("<IIHHHHHHIIIIHH", SECTION_ALIGNMENT, FILE_ALIGNMENT, *os_version,
                         7, 8, *os_version, 0, size_of_image, FILE_ALIGNMENT, 0,
                         SUBSYSTEM_WINDOWS_GUI, 0)
    directories = b"\0" * (16 * 8)
    return head + middle + reserves + struct.pack("<II", 0, 16) + directories


def section_table(placed):
    table = b""
    for name, data, flags, rva, raw in placed:
        table += struct.pack("<8sIIIIIIHHI", name, len(data), rva,
                             align(len(data), FILE_ALIGNMENT), raw, 0, 0, 0, 0, flags)
    return table


def coff_characteristics(machine, is_dll):
    flags = EXECUTABLE_IMAGE
    flags |= MACHINE_32BIT if machine == MACHINE_I386 else LARGE_ADDRESS_AWARE
    flags |= DLL if is_dll else RELOCS_STRIPPED
    return flags


def pe_image(machine, is_dll, rdata, overlay=b"", data=b""):
    """A PE image for `machine`: a DLL without entry point when `is_dll`, else
    a GUI program whose entry point returns 0. `data`, when given, becomes
    its .data section and `rdata` its .rdata section; `overlay` follows the
    image."""
    if machine not in (MACHINE_I386, MACHINE_AMD64):
        raise ValueError(f"unsupported machine {machine:#x}")
    if not rdata:
        raise ValueError("a module needs some data")
    sections = [] if is_dll else [(b".text", RETURN_ZERO, CODE_SECTION)]
    if data:
        sections.append((b".data", data, WRITABLE_DATA_SECTION))
    sections.append((b".rdata", rdata, DATA_SECTION))
    placed = layout_sections(sections)
    entry_rva = 0 if is_dll else placed[0][3]
    optional = optional_header(machine, is_dll, placed, entry_rva)
    coff = struct.pack("<HHIIIHH", machine, len(placed), 0, 0, 0, len(optional),
                       coff_characteristics(machine, is_dll))
    headers = dos_header() + b"PE\0\0" + coff + optional + section_table(placed)
    if len(headers) > FILE_ALIGNMENT:
        raise ValueError("the PE headers outgrew their space")
    image = headers.ljust(FILE_ALIGNMENT, b"\0")
    for _, data, _, _, raw in placed:
        image = image.ljust(raw, b"\0") + data
    image = image.ljust(align(len(image), FILE_ALIGNMENT), b"\0")
    return image + overlay
