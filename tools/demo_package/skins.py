"""The three selectable skins of the IME's status window.

Each skin is a container in the plain layout holding eight files: the skin
description zvbmp8.zvh and the pictures zvbmpsx1.bmp to zvbmpsx7.bmp.  The
installer reads at most 131,072 bytes of a skin archive, and checks each
unpacked file only by its size against the record's compressed size, so
every record here must compress to no more than its own content.
"""

from bitmaps import Canvas, bmp_bytes
from container import SKIN_ARCHIVE_ROOM, ContainerError, plain_container, zlib_stream
from pixel_font import draw_text

# (file name in the package, skin title, base colour, accent colour, mark:
# the number of the skin's choice in the installer's skin dialog)
SKINS = (
    ("冷色瓷面.zvz", "冷色瓷面", (150, 180, 210), (40, 70, 120), "1"),
    ("小天使.zvz", "小天使", (250, 230, 150), (200, 120, 40), "3"),
    ("粉色瓷面.zvz", "粉色瓷面", (245, 190, 205), (160, 50, 90), "2"),
)

# The status window's pieces: (file, width, height, what it is).
PIECES = (
    ("zvbmpsx1.bmp", 240, 28, "status bar"),
    ("zvbmpsx2.bmp", 28, 28, "left cap"),
    ("zvbmpsx3.bmp", 128, 16, "mode icons"),
    ("zvbmpsx4.bmp", 300, 24, "candidate bar"),
    ("zvbmpsx5.bmp", 24, 24, "button"),
    ("zvbmpsx6.bmp", 100, 20, "composition bar"),
    ("zvbmpsx7.bmp", 32, 32, "logo"),
)


def shade(colour, amount):
    return tuple(max(0, min(255, part + amount)) for part in colour)


def piece_picture(width, height, base, accent, index, mark):
    """A panel in the skin's colours: a vertical gradient, a frame, and a
    pattern of squares that differs from piece to piece."""
    canvas = Canvas(width, height)
    canvas.vertical_gradient(0, height, shade(base, 30), shade(base, -30))
    canvas.frame(0, 0, width, height, accent)
    step = 6 + 2 * index
    for x in range(3, width - 4, step):
        canvas.fill_rect(x, height // 2 - 1, x + 3, height // 2 + 2, accent)
    if height >= 16:
        draw_text(canvas, 3, 2, mark, 2 if height >= 20 else 1, shade(accent, -20))
    return bmp_bytes(canvas)


def skin_description(title, base, accent):
    """zvbmp8.zvh: the skin's name and colours as GBK key lines."""
    lines = [
        f"ZVSKINNAME={title}",
        "ZVSKINVER=7.8",
        "ZVSKINCOLOR=%02X%02X%02X" % base,
        "ZVSKINTEXT=%02X%02X%02X" % accent,
    ]
    lines += [f"ZVSKINBMP{n}=zvbmpsx{n}.bmp" for n in range(1, 8)]
    return ("\r\n".join(lines) + "\r\n").encode("gbk")


def skin_files(title, base, accent, mark):
    files = [(b"zvbmp8.zvh", skin_description(title, base, accent))]
    for index, (name, width, height, _) in enumerate(PIECES):
        picture = piece_picture(width, height, base, accent, index, mark)
        files.append((name.encode("ascii"), picture))
    return files


def check_skin(name, files, archive):
    for record_name, content in files:
        if len(zlib_stream(content)) > len(content):
            raise ContainerError(
                f"{name}: {record_name!r} compresses to more than its size; the "
                "installer's size check of the unpacked file would fail"
            )
    if len(archive) >= SKIN_ARCHIVE_ROOM:
        raise ContainerError(f"{name} is {len(archive)} bytes, over the skin archive limit")


def skin_archives():
    """[(GBK file name, archive bytes)] for the three skins."""
    archives = []
    for name, title, base, accent, mark in SKINS:
        files = skin_files(title, base, accent, mark)
        archive = plain_container(files)
        check_skin(name, files, archive)
        archives.append((name.encode("gbk"), archive))
    return archives
