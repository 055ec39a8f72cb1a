"""Checks the compiled 64-bit companion program setupw64.exe before it goes
into the package."""

import struct

from modules import stamp_sites

# The installer's version stamp reads at most this many bytes of a file.
STAMP_READ_LIMIT = 131_072
MACHINE_AMD64 = 0x8664


class CompanionError(Exception):
    """A companion program the package cannot carry, with the reason."""


def pe_machine(image):
    """The machine field of a PE image, or None when there is no PE header."""
    if len(image) < 0x40 or image[:2] != b"MZ":
        return None
    (offset,) = struct.unpack_from("<I", image, 0x3C)
    if offset + 6 > len(image) or image[offset : offset + 4] != b"PE\0\0":
        return None
    return struct.unpack_from("<H", image, offset + 4)[0]


def check_companion(path, image):
    """Raises CompanionError unless `image` is a 64-bit program that the
    installer can stamp in full and that carries at least one stamp site."""
    if pe_machine(image) != MACHINE_AMD64:
        raise CompanionError(f"{path} is not a 64-bit (x86-64) PE program")
    if len(image) >= STAMP_READ_LIMIT:
        raise CompanionError(
            f"{path} is {len(image)} bytes; the installer stamps only files under "
            f"{STAMP_READ_LIMIT} bytes"
        )
    if not stamp_sites(image):
        raise CompanionError(f"{path} carries no version text for the installer to stamp")


def read_companion(path):
    try:
        with open(path, "rb") as source:
            image = source.read(STAMP_READ_LIMIT + 1)
    except OSError as error:
        raise CompanionError(f"cannot read {path}: {error}") from error
    check_companion(path, image)
    return image
