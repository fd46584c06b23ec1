"""Writes the indicator's images into a folder:

  BKGND.png       60 x 60, the camera glyph cut out of a white rounded square;
                  every pixel outside the white is white at alpha 3, so the
                  whole square catches the pointer on a layered window
  BTN_NORMAL.png  34 x 34, a light grey-to-white 15 x 15 "X" in the top-left
                  corner, transparent elsewhere
  BTN_DOWN.png    34 x 34, the same "X" dark grey at alpha 179, white at
                  alpha 2 elsewhere
  lenspop.ico     the program icon: the glyph in white on an accent square

and the same three images drawn for 1.5x and 2x displays, named with
_150 and _200 (BKGND_150.png is 90 x 90, BTN_NORMAL_200.png 68 x 68): each
drawn from its shapes at that size, not enlarged from the 1x pixels.

usage: indicator.py OUTPUT_FOLDER [--preview]
--preview also writes preview.png: the images 4x over mid-grey, and the
glyph and a mock of the window at 1x.
"""

import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import png  # noqa: E402

GLYPH_GRID = 60.0
WHITE = (255, 255, 255, 255)
ACCENT = png.hex_colour("#2B6CB0")
GREY = png.hex_colour("#808080")


def camera_body():
    """A video camera seen from the side, on a 60-pixel grid: the body and,
    to its right, the widening lens housing."""
    body = png.rounded_rect(10.5, 19.0, 38.5, 41.0, 5.0)
    housing = png.rounded(
        png.polygon([(42.5, 27.0), (48.0, 23.0), (48.0, 37.0), (42.5, 33.0)]), 1.5)
    return png.union(body, housing)


def camera_lens():
    """The lens ring drawn inside the body."""
    return png.ring(24.5, 30.0, 5.0, 1.6)


# The white square sits in the top of the image with clear pixels below it,
# so the caption, whose line starts at row 52 of the window, reads apart
# from it; the glyph is drawn a little smaller and centred in the square.
SQUARE = (6.0, 2.0, 54.0, 50.0)
GLYPH_SCALE = 0.85


def in_square(shape):
    centre_x = (SQUARE[0] + SQUARE[2]) / 2
    centre_y = (SQUARE[1] + SQUARE[3]) / 2
    return png.transformed(shape, GLYPH_SCALE, centre_x - 30.0 * GLYPH_SCALE,
                           centre_y - 30.0 * GLYPH_SCALE)


# The scales the images are drawn at, with the suffix of their names.
SCALES = ((1, ""), (1.5, "_150"), (2, "_200"))


def side(length, scale):
    """A length of the 1x design at scale, rounded as the window rounds its
    layout: (int)(length * scale + 0.5)."""
    return int(length * scale + 0.5)


def at_scale(shape, scale):
    """A shape of the 1x design drawn at scale (the 1x shape itself at 1)."""
    return shape if scale == 1 else png.transformed(shape, scale)


def background(scale=1):
    image = png.Canvas(side(60, scale), side(60, scale), fill=(255, 255, 255, 3))
    square = png.rounded_rect(*SQUARE, 10.0)
    shape = png.union(png.subtract(square, in_square(camera_body())),
                      in_square(camera_lens()))
    image.fill(at_scale(shape, scale), WHITE, samples=4)
    return image


def close_mark(image, paint, scale=1):
    """The 15 x 15 "X" in the top-left corner: two 2-pixel strokes, in place
    of the ground, so that its opacity is the paint's own."""
    strokes = png.union(png.segment(1.5, 1.5, 13.5, 13.5, 1.05),
                        png.segment(13.5, 1.5, 1.5, 13.5, 1.05))
    mark = side(15, scale)
    image.fill(at_scale(strokes, scale), paint, samples=4, bounds=(0, 0, mark, mark),
               replace=True)


def button_normal(scale=1):
    image = png.Canvas(side(34, scale), side(34, scale))
    close_mark(image, png.vertical_gradient(png.hex_colour("#D0D0D0"), WHITE, 0.5 * scale,
                                            14.5 * scale), scale)
    return image


def button_down(scale=1):
    image = png.Canvas(side(34, scale), side(34, scale), fill=(255, 255, 255, 2))
    close_mark(image, png.hex_colour("#404040", 179), scale)
    return image


def icon(size):
    scale = size / GLYPH_GRID
    image = png.Canvas(size, size)
    # A margin of one pixel in 16 keeps the square clear of the icon's edge.
    inset = size / 32.0
    image.fill(png.rounded_rect(inset, inset, size - inset, size - inset, size * 0.2),
               ACCENT, samples=4)
    # Drawn a little larger than on the window, where the square is all glyph.
    grow = 1.2
    glyph = png.transformed(camera_body(), scale * grow, size * (1 - grow) / 2,
                            size * (1 - grow) / 2)
    if size >= 32:
        lens = png.transformed(camera_lens(), scale * grow, size * (1 - grow) / 2,
                               size * (1 - grow) / 2)
        glyph = png.subtract(glyph, lens)
    image.fill(glyph, WHITE, samples=4)
    return image


def icon_sizes():
    return [icon(size) for size in (16, 32, 48, 256)]


def window_mock(bg, button):
    """The window as composed on screen: the caption band (white at alpha 1),
    the glyph at (34, 0) and the close button at (94, 15)."""
    window = png.Canvas(128, 75)
    window.fill(png.rounded_rect(0, 52, 128, 97, 0), (255, 255, 255, 1), samples=1)
    window.draw(bg, 34, 0)
    window.draw(button, 94, 15)
    return window


def preview(images, icons):
    """Rows of (canvas, scale) laid out left to right over mid-grey."""
    bg, normal, down = images
    rows = [
        [(bg, 4), (normal, 4), (down, 4), (icons[3], 1)] + [(i, 1) for i in reversed(icons[:3])],
        [(window_mock(bg, normal), 1), (window_mock(bg, down), 1), (bg, 1),
         (window_mock(bg, normal), 2)],
    ]
    return png.contact_sheet(rows, GREY)


def alpha_rule_faults(name, image, scale=1):
    """What breaks the pointer hit areas the window relies on, as messages."""
    w, h = image.width, image.height
    data = image.rgba()
    px = [tuple(data[i:i + 4]) for i in range(0, len(data), 4)]
    at = lambda x, y: px[side(y, scale) * w + side(x, scale)]  # noqa: E731
    mark = side(15, scale)
    outside_mark = [px[y * w + x] for y in range(h) for x in range(w) if x >= mark or y >= mark]
    glyph, button = side(60, scale), side(34, scale)
    faults = []
    if name == "BKGND":
        if (w, h) != (glyph, glyph):
            faults.append("size is not %d x %d" % (glyph, glyph))
        if any(p[:3] != (255, 255, 255) or p[3] < 3 for p in px):
            faults.append("a pixel is not white at alpha 3 or more")
        if at(0, 0) != (255, 255, 255, 3) or at(8, 26)[3] != 255:
            faults.append("corner or square edge has the wrong alpha")
        if any(px[y * w + x][3] != 3 for y in range(side(52, scale), h) for x in range(w)):
            faults.append("the rows under the square, where the caption starts, are not clear")
        if min(px[side(26, scale) * w + x][3]
               for x in range(side(12, scale), side(48, scale))) != 3:
            faults.append("no glyph cut out of the square")
    elif name == "BTN_NORMAL":
        if (w, h) != (button, button):
            faults.append("size is not %d x %d" % (button, button))
        if any(p[3] != 0 for p in outside_mark) or at(7, 7)[3] != 255:
            faults.append("alpha outside or inside the mark is wrong")
    elif name == "BTN_DOWN":
        if (w, h) != (button, button):
            faults.append("size is not %d x %d" % (button, button))
        if any(p != (255, 255, 255, 2) for p in outside_mark):
            faults.append("a pixel outside the mark is not white at alpha 2")
        if at(7, 7)[3] != 179 or any(p[3] < 2 or p[3] > 179 for p in px):
            faults.append("the mark's alpha is not 179")
    return ["%s: %s" % (name, f) for f in faults]


def make():
    images = (background(), button_normal(), button_down())
    names = ("BKGND", "BTN_NORMAL", "BTN_DOWN")
    pictures, faults = [], []
    for scale, suffix in SCALES:
        drawn = images if scale == 1 else (background(scale), button_normal(scale),
                                           button_down(scale))
        # Nothing is written when an image would give the window wrong hit areas.
        faults += ["%s%s" % (suffix, f) if suffix else f
                   for n, i in zip(names, drawn) for f in alpha_rule_faults(n, i, scale)]
        pictures += [(name + suffix, image, 6) for name, image in zip(names, drawn)]
    icons = icon_sizes()
    return pictures, faults, "lenspop.ico", icons, lambda: preview(images, icons)


def main(argv):
    return png.artwork_main(argv, __doc__, make)


if __name__ == "__main__":
    sys.exit(main(sys.argv))
