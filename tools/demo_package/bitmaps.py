"""A small 24-bit canvas with a few drawing primitives and a BMP writer.

Coordinates are in pixels with (0, 0) at the top left, as on screen.
Colours are (red, green, blue) tuples.  Everything is integer arithmetic,
so a picture is the same bytes on every machine.
"""

import struct

FILE_HEADER_SIZE = 14
INFO_HEADER_SIZE = 40


class Canvas:
    def __init__(self, width, height, colour=(0, 0, 0)):
        if width <= 0 or height <= 0:
            raise ValueError(f"canvas size {width}x{height} must be positive")
        self.width = width
        self.height = height
        self.rows = [[colour] * width for _ in range(height)]

    def pixel(self, x, y):
        return self.rows[y][x]

    def put(self, x, y, colour):
        """Sets one pixel; pixels outside the canvas are ignored."""
        if 0 <= x < self.width and 0 <= y < self.height:
            self.rows[y][x] = colour

    def fill_rect(self, left, top, right, bottom, colour):
        """Fills [left, right) x [top, bottom), clipped to the canvas."""
        for y in range(max(top, 0), min(bottom, self.height)):
            row = self.rows[y]
            for x in range(max(left, 0), min(right, self.width)):
                row[x] = colour

    def vertical_gradient(self, top, bottom, start, end):
        """Fills rows [top, bottom) blending from `start` to `end`."""
        span = max(bottom - top - 1, 1)
        for y in range(top, bottom):
            step = y - top
            colour = tuple(a + (b - a) * step // span for a, b in zip(start, end))
            self.fill_rect(0, y, self.width, y + 1, colour)

    def disc(self, cx, cy, radius, colour):
        for y in range(cy - radius, cy + radius + 1):
            for x in range(cx - radius, cx + radius + 1):
                if (x - cx) ** 2 + (y - cy) ** 2 <= radius * radius:
                    self.put(x, y, colour)

    def mountain(self, peak_x, peak_y, base_y, half_width, colour):
        """A triangle with its apex at (peak_x, peak_y) standing on base_y."""
        height = base_y - peak_y
        for y in range(peak_y, base_y):
            reach = half_width * (y - peak_y) // max(height, 1)
            self.fill_rect(peak_x - reach, y, peak_x + reach + 1, y + 1, colour)

    def frame(self, left, top, right, bottom, colour):
        """A one-pixel outline of [left, right) x [top, bottom)."""
        self.fill_rect(left, top, right, top + 1, colour)
        self.fill_rect(left, bottom - 1, right, bottom, colour)
        self.fill_rect(left, top, left + 1, bottom, colour)
        self.fill_rect(right - 1, top, right, bottom, colour)

    def colours_in(self, left, top, right, bottom):
        """The set of colours within [left, right) x [top, bottom)."""
        return {self.rows[y][x] for y in range(top, bottom) for x in range(left, right)}


def row_stride(width):
    """Bytes per stored row of a 24-bit bitmap: 3 per pixel, padded to 4."""
    return (width * 3 + 3) // 4 * 4


def bmp_bytes(canvas):
    """The canvas as a Windows bitmap file: 24 bits per pixel, uncompressed,
    rows stored bottom-up (positive height), blue-green-red byte order."""
    stride = row_stride(canvas.width)
    padding = b"\0" * (stride - canvas.width * 3)
    pixels = bytearray()
    for row in reversed(canvas.rows):
        for red, green, blue in row:
            pixels += bytes((blue, green, red))
        pixels += padding
    offset = FILE_HEADER_SIZE + INFO_HEADER_SIZE
    file_header = b"BM" + struct.pack("<IHHI", offset + len(pixels), 0, 0, offset)
    # 2835 pixels per metre is 72 dots per inch.
    info_header = struct.pack(
        "<IiiHHIIiiII",
        INFO_HEADER_SIZE,
        canvas.width,
        canvas.height,
        1,
        24,
        0,
        len(pixels),
        2835,
        2835,
        0,
        0,
    )
    return file_header + info_header + bytes(pixels)
