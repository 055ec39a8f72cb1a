"""The package's pictures besides the skins: the welcome picture, the
about-box picture, the logo and the default status window."""

from bitmaps import Canvas, bmp_bytes
from pixel_font import draw_text
from welcome_picture import welcome_picture


def about_picture():
    """kpmt2.bmp: 200 x 120, a framed title on a gradient."""
    canvas = Canvas(200, 120)
    canvas.vertical_gradient(0, 120, (250, 250, 255), (150, 170, 220))
    canvas.frame(0, 0, 200, 120, (60, 60, 100))
    draw_text(canvas, 40, 30, "ZAVO", 5, (96, 96, 128))
    draw_text(canvas, 70, 80, "7.8", 3, (0, 0, 192))
    return bmp_bytes(canvas)


def logo_picture():
    """zvlogo.bmp: 64 x 64, a disc with the letter Z."""
    canvas = Canvas(64, 64, (255, 255, 255))
    canvas.disc(32, 32, 30, (200, 40, 40))
    draw_text(canvas, 17, 11, "Z", 6, (255, 255, 255))
    return bmp_bytes(canvas)


def status_picture():
    """zvstatus.bmp: 240 x 28, the status window without a skin."""
    canvas = Canvas(240, 28)
    canvas.vertical_gradient(0, 28, (240, 240, 240), (200, 200, 200))
    canvas.frame(0, 0, 240, 28, (128, 128, 128))
    for x in range(30, 240, 40):
        canvas.fill_rect(x, 6, x + 16, 22, (96, 96, 128))
    return bmp_bytes(canvas)


def picture_files():
    return [
        ("kpmt1.bmp", welcome_picture()),
        ("kpmt2.bmp", about_picture()),
        ("zvlogo.bmp", logo_picture()),
        ("zvstatus.bmp", status_picture()),
    ]
