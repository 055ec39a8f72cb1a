"""kpmt1.bmp: the picture at the top of the installer's welcome page.

The bitmap is 401 x 310 pixels, 24 bits per pixel.  The welcome page shows
its top 400 x 190 pixels: a sky with a sun, two mountains over a lake, the
word DEMO in the top right corner, and the title panel.  The installer
covers the panel (128 x 35 pixels at (73, 90)) by stretching the panel's
top two rows over it and writes its own title there, so those two rows are
plain panel colour and the blocky title "ZAVO" starts below them.  The
hidden rest of the bitmap (rows 190 to 309 and column 400) is a dark
ground, so a picture drawn from the wrong rows is plain to see.
"""

from bitmaps import Canvas, bmp_bytes
from pixel_font import draw_text, text_width

WIDTH = 401
HEIGHT = 310
SHOWN_WIDTH = 400
SHOWN_HEIGHT = 190

# The title panel that the installer covers: (left, top, width, height).
TITLE_PANEL = (73, 90, 128, 35)
TITLE_TEXT = "ZAVO"
TITLE_SCALE = 4
TITLE_TOP_MARGIN = 4  # the panel's rows above the title stay plain

SKY_TOP = (40, 90, 200)
SKY_HORIZON = (170, 210, 250)
SUN = (255, 210, 60)
FAR_MOUNTAIN = (90, 110, 150)
NEAR_MOUNTAIN = (50, 120, 80)
SNOW = (245, 245, 250)
LAKE = (60, 140, 190)
LAKE_RIPPLE = (120, 180, 220)
PANEL = (235, 235, 245)
PANEL_EDGE = (96, 96, 128)
TITLE = (200, 40, 40)
TITLE_SHADOW = (120, 120, 140)
DEMO_MARK = (255, 255, 255)
GROUND = (30, 50, 30)


def draw_landscape(canvas):
    canvas.vertical_gradient(0, 150, SKY_TOP, SKY_HORIZON)
    canvas.disc(330, 48, 24, SUN)
    canvas.mountain(120, 70, 150, 110, FAR_MOUNTAIN)
    canvas.mountain(290, 55, 150, 130, FAR_MOUNTAIN)
    canvas.mountain(290, 55, 75, 26, SNOW)
    canvas.mountain(200, 95, 150, 120, NEAR_MOUNTAIN)
    canvas.fill_rect(0, 150, SHOWN_WIDTH, SHOWN_HEIGHT, LAKE)
    for y in range(156, SHOWN_HEIGHT, 8):
        for x in range((y * 7) % 40, SHOWN_WIDTH, 40):
            canvas.fill_rect(x, y, x + 18, y + 2, LAKE_RIPPLE)


def draw_title_panel(canvas):
    left, top, width, height = TITLE_PANEL
    canvas.fill_rect(left, top, left + width, top + height, PANEL)
    title_left = left + (width - text_width(TITLE_TEXT, TITLE_SCALE)) // 2
    title_top = top + TITLE_TOP_MARGIN
    draw_text(canvas, title_left + 2, title_top + 2, TITLE_TEXT, TITLE_SCALE, TITLE_SHADOW)
    draw_text(canvas, title_left, title_top, TITLE_TEXT, TITLE_SCALE, TITLE)
    # An edge along the sides and the bottom only: the top rows stay plain.
    canvas.fill_rect(left, top + height - 1, left + width, top + height, PANEL_EDGE)
    canvas.fill_rect(left, top + TITLE_TOP_MARGIN, left + 1, top + height, PANEL_EDGE)
    canvas.fill_rect(left + width - 1, top + TITLE_TOP_MARGIN, left + width, top + height,
                     PANEL_EDGE)


def welcome_picture():
    """The bytes of kpmt1.bmp."""
    canvas = Canvas(WIDTH, HEIGHT, GROUND)
    draw_landscape(canvas)
    draw_text(canvas, 352, 8, "DEMO", 2, DEMO_MARK)
    draw_title_panel(canvas)
    # Only the shown area carries the picture; column 400 stays ground.
    canvas.fill_rect(SHOWN_WIDTH, 0, WIDTH, HEIGHT, GROUND)
    return bmp_bytes(canvas)
