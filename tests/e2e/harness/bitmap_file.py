"""Uncompressed 24-bit BMP files: the wizard's screenshots and the package's pictures."""

from __future__ import annotations

import struct
from typing import Tuple

Colour = Tuple[int, int, int]


class BitmapError(ValueError):
    """The bytes are not an uncompressed 24-bit BMP file."""


class Picture:
    """The pixels of a 24-bit BMP, addressed from the top-left corner."""

    def __init__(self, data: bytes):
        if len(data) < 54 or data[:2] != b"BM":
            raise BitmapError("not a BMP file")
        offset = struct.unpack_from("<I", data, 10)[0]
        width, height, _, bits, compression = struct.unpack_from("<iiHHI", data, 18)
        if bits != 24 or compression != 0 or width <= 0 or height == 0:
            raise BitmapError(f"not an uncompressed 24-bit BMP ({bits} bits, "
                              f"compression {compression}, {width}x{height})")
        self.width = width
        self.height = abs(height)
        self._bottom_up = height > 0
        self._stride = (width * 3 + 3) & ~3
        self._offset = offset
        if offset + self._stride * self.height > len(data):
            raise BitmapError("the BMP file is shorter than its pixels")
        self._data = data

    def pixel(self, x: int, y: int) -> Colour:
        """The (red, green, blue) of the pixel at column x, row y from the top."""
        if not (0 <= x < self.width and 0 <= y < self.height):
            raise IndexError(f"({x}, {y}) lies outside {self.width}x{self.height}")
        row = self.height - 1 - y if self._bottom_up else y
        at = self._offset + row * self._stride + 3 * x
        blue, green, red = self._data[at:at + 3]
        return red, green, blue


def read_picture(path: str) -> Picture:
    with open(path, "rb") as f:
        return Picture(f.read())
