#!/usr/bin/env python3
"""Turns a character-grid icon source into a 32x32, 16-colour Windows .ico.

Usage: make_icon.py SOURCE.txt OUTPUT.ico

The source holds, in this order (lines starting with "#" and blank lines
are ignored outside the grid):

    colour C RRGGBB [words]     sixteen times: palette indices 0 to 15
    transparent C               the character of see-through pixels
    pixels                      then exactly 32 rows of 32 characters

The .ico holds exactly one image: a BITMAPINFOHEADER DIB of 4 bits per
pixel with its 16-entry palette, the colour bitmap bottom-up, then the
1-bit AND mask (1 = transparent).  Transparent pixels use palette index 0
in the colour bitmap.  The output depends only on the source, byte for
byte.
"""

import struct
import sys

SIZE = 32
COLOURS = 16
BITS_PER_PIXEL = 4


class SourceError(Exception):
    """A problem in the icon source, with the line it was found on."""

    def __init__(self, path, line_number, message):
        where = f"{path}:{line_number}" if line_number else path
        super().__init__(f"{where}: {message}")


def parse_colour(path, number, fields):
    """Returns (character, (r, g, b)) from the fields of a "colour" line."""
    if len(fields) < 3 or len(fields[1]) != 1:
        raise SourceError(path, number, "expected: colour C RRGGBB [description]")
    value = fields[2]
    if len(value) != 6 or any(c not in "0123456789abcdefABCDEF" for c in value):
        raise SourceError(path, number, f"colour value {value!r} is not RRGGBB")
    rgb = tuple(int(value[i : i + 2], 16) for i in (0, 2, 4))
    return fields[1], rgb


def parse_source(path, text):
    """Returns (palette, transparent character, rows) from the source text."""
    palette = []  # list of (character, rgb), in index order
    transparent = None
    rows = []
    in_grid = False
    for number, line in enumerate(text.splitlines(), start=1):
        if in_grid:
            if len(rows) == SIZE:
                if line.strip() and not line.startswith("#"):
                    raise SourceError(path, number, f"more than {SIZE} grid rows")
                continue
            rows.append((number, line.rstrip("\r")))
            continue
        if not line.strip() or line.startswith("#"):
            continue
        fields = line.split()
        if fields[0] == "colour":
            palette.append(parse_colour(path, number, fields))
        elif fields[0] == "transparent" and len(fields) == 2 and len(fields[1]) == 1:
            transparent = fields[1]
        elif fields == ["pixels"]:
            in_grid = True
        else:
            raise SourceError(path, number, f"unexpected line {line!r}")
    return palette, transparent, rows


def check_source(path, palette, transparent, rows):
    """Validates the parsed source; returns {character: palette index}."""
    if len(palette) != COLOURS:
        raise SourceError(path, 0, f"{len(palette)} colours given, {COLOURS} needed")
    index = {}
    for i, (char, _) in enumerate(palette):
        if char in index:
            raise SourceError(path, 0, f"character {char!r} names two colours")
        index[char] = i
    if transparent is None:
        raise SourceError(path, 0, "no 'transparent' line")
    if transparent in index:
        raise SourceError(path, 0, f"transparent {transparent!r} is also a colour")
    if len(rows) != SIZE:
        raise SourceError(path, 0, f"{len(rows)} grid rows, {SIZE} needed")
    for number, row in rows:
        if len(row) != SIZE:
            raise SourceError(path, number, f"row has {len(row)} pixels, {SIZE} needed")
        for char in row:
            if char != transparent and char not in index:
                raise SourceError(path, number, f"unknown pixel character {char!r}")
    return index


def pack_bitmaps(rows, index, transparent):
    """Returns (colour bitmap, AND mask), both bottom-up with 4-byte rows."""
    colour_rows = []
    mask_rows = []
    for _, row in reversed(rows):
        nibbles = [0 if c == transparent else index[c] for c in row]
        colour_rows.append(bytes((nibbles[i] << 4) | nibbles[i + 1] for i in range(0, SIZE, 2)))
        bits = 0
        for c in row:
            bits = (bits << 1) | (1 if c == transparent else 0)
        mask_rows.append(bits.to_bytes(SIZE // 8, "big"))
    # 32 pixels give 16 bytes of colour and 4 bytes of mask per row: both
    # already multiples of 4, so no row padding is needed.
    return b"".join(colour_rows), b"".join(mask_rows)


def build_icon(palette, colour_bits, mask_bits):
    """Returns the bytes of a one-image .ico file."""
    palette_bytes = b"".join(struct.pack("<BBBB", b, g, r, 0) for _, (r, g, b) in palette)
    image_size = len(colour_bits) + len(mask_bits)
    # BITMAPINFOHEADER: the height counts the colour bitmap and the mask.
    header = struct.pack(
        "<IiiHHIIiiII", 40, SIZE, 2 * SIZE, 1, BITS_PER_PIXEL, 0, image_size, 0, 0, 0, 0
    )
    image = header + palette_bytes + colour_bits + mask_bits
    icon_dir = struct.pack("<HHH", 0, 1, 1)
    entry_offset = len(icon_dir) + 16
    # ICONDIRENTRY: width, height, colour count, reserved, planes, bit count,
    # bytes in the image, offset of the image.
    entry = struct.pack(
        "<BBBBHHII", SIZE, SIZE, COLOURS, 0, 1, BITS_PER_PIXEL, len(image), entry_offset
    )
    return icon_dir + entry + image


def main(argv):
    if len(argv) != 3:
        print("usage: make_icon.py SOURCE.txt OUTPUT.ico", file=sys.stderr)
        return 2
    source_path, output_path = argv[1], argv[2]
    try:
        with open(source_path, encoding="utf-8") as source:
            text = source.read()
        palette, transparent, rows = parse_source(source_path, text)
        index = check_source(source_path, palette, transparent, rows)
    except (OSError, UnicodeDecodeError, SourceError) as error:
        print(f"make_icon: {error}", file=sys.stderr)
        return 1
    colour_bits, mask_bits = pack_bitmaps(rows, index, transparent)
    icon = build_icon(palette, colour_bits, mask_bits)
    try:
        with open(output_path, "wb") as output:
            output.write(icon)
    except OSError as error:
        print(f"make_icon: cannot write {output_path}: {error}", file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
