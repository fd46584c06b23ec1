"""Writes the settings program's images into a folder:

  BKGND.png                377 x 182 RGB: white, the title (program icon and
                           "Lensbeacon") in the band above row 56, and a thin
                           grey rule in rows 56 to 58 (153 grey in row 57)
  BTN_CLOSE_NORMAL.png     34 x 34: a mid-grey "X" centred, clear elsewhere
  BTN_CLOSE_DOWN.png       34 x 34: the "X" darker over a faint rounded backdrop
  SLIDER_BKGND_NORMAL.png  100 x 34: the switch track, a rounded bar whose left
                           part is the accent colour with an "I" (seen when
                           the knob is right: On) and whose right part is
                           light grey with an "O" (seen when the knob is
                           left: Off)
  SLIDER_BKGND_DOWN.png    100 x 34: the same track a shade darker, while pressed
  SLIDER_BTN_NORMAL.png    53 x 34: the knob, a white block with the track's
                           outline at its ends, so that it hides the track
                           exactly where it lies; it travels 47 pixels
  SHADOW_LEFT.png          9 x 182  \\
  SHADOW_RIGHT.png         9 x 182   | the soft black shadow round the dialog,
  SHADOW_TOP.png           395 x 9   | cut from one field, so the strips meet
  SHADOW_BOTTOM.png        395 x 9  /  without seams
  lensdial.ico             the program icon at 16, 32, 48 and 256 pixels

usage: settings.py OUTPUT_FOLDER [--preview]
--preview also writes preview.png: the dialog mocked up over a mid-grey
desktop at 1x and 2x, Off and On, and the images enlarged.

The title is rasterised with PIL (Debian's python3-pil) from a TrueType font
of Debian's font packages; everything else is drawn by png.py. Run it with
the system interpreter, /usr/bin/python3.
"""

import math
import os
import sys

# The build runs this from the source tree: leave no bytecode caches there.
sys.dont_write_bytecode = True
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import png  # noqa: E402
import indicator  # noqa: E402

from PIL import Image, ImageDraw, ImageFont  # noqa: E402

WHITE = (255, 255, 255, 255)
ACCENT = indicator.ACCENT                      # #2B6CB0, the suite's accent
ACCENT_DOWN = png.hex_colour("#245A93")
OFF_FILL = png.hex_colour("#DFE3E8")
OFF_FILL_DOWN = png.hex_colour("#CDD2D9")
OFF_MARK = png.hex_colour("#7B8591")
TITLE_TEXT = png.hex_colour("#1F2328")
DESKTOP = png.hex_colour("#808080")

# The dialog's geometry at scale 1.0.
DIALOG_W, DIALOG_H = 377, 182
RULE_ROW = 57                 # the title band (the drag area) ends here
CLOSE_X, CLOSE_SIZE = 343, 34
TRACK_W, TRACK_H = 100, 34
KNOB_W, KNOB_H = 53, 34
TRAVEL = TRACK_W - KNOB_W     # 47: knob x is 0 for Off and 47 for On
SWITCH_X, SWITCH_Y = 260, 136
LABEL_BOX = (168, 136, 72, 34)
DESCRIPTION_BOX = (0, 72, 340, 128)
SHADOW = 9

# The track and the knob share one outline: a rectangle with corners of this
# radius. With the knob at either end its outline lies exactly on the
# track's, and the colour boundary at x 50 stays under the knob at both ends.
CORNER = 8.0
SPLIT_X = TRACK_W / 2.0

FONT_DIRS = ("/usr/share/fonts/truetype/liberation", "/usr/share/fonts/truetype/dejavu")
TITLE_FONTS = ("LiberationSans-Bold.ttf", "DejaVuSans-Bold.ttf")
TEXT_FONTS = ("LiberationSans-Regular.ttf", "DejaVuSans.ttf")


def font_path(names):
    for folder in FONT_DIRS:
        for name in names:
            path = os.path.join(folder, name)
            if os.path.exists(path):
                return path
    raise SystemExit("no TrueType font found: install fonts-liberation or fonts-dejavu-core")


def text_mask(text, path, size):
    """The text's coverage as a png.Canvas.fill_mask mask, cropped to its ink,
    and the ink box's offset from the pen position (left, top)."""
    font = ImageFont.truetype(path, size)
    left, top, right, bottom = font.getbbox(text)
    image = Image.new("L", (right - left, bottom - top), 0)
    ImageDraw.Draw(image).text((-left, -top), text, fill=255, font=font)
    return (image.width, image.height, image.tobytes()), (left, top)


# --- the program's mark -------------------------------------------------------------


def camera_mark(size, left=0.0, top=0.0, lens=True):
    """The indicator's white camera glyph scaled to a square of size pixels at
    (left, top), with the lens cut out when asked."""
    scale = size / indicator.GLYPH_GRID
    grow = 1.2
    offset_x = left + size * (1 - grow) / 2
    offset_y = top + size * (1 - grow) / 2
    glyph = png.transformed(indicator.camera_body(), scale * grow, offset_x, offset_y)
    if lens:
        glyph = png.subtract(glyph, png.transformed(indicator.camera_lens(), scale * grow,
                                                    offset_x, offset_y))
    return glyph


def draw_mark(canvas, left, top, size):
    """The accent square with the camera, as on the program icon."""
    canvas.fill(png.rounded_rect(left, top, left + size, top + size, size * 0.2), ACCENT,
                samples=4, bounds=(int(left), int(top), int(left + size) + 1, int(top + size) + 1))
    canvas.fill(camera_mark(size, left, top, lens=size >= 20), WHITE, samples=4,
                bounds=(int(left), int(top), int(left + size) + 1, int(top + size) + 1))


def icon_sizes():
    """The settings program wears the indicator's icon, so the suite reads as one."""
    return indicator.icon_sizes()


# --- the dialog background ------------------------------------------------------------

TITLE_MARK = (16, 16, 24)        # left, top, size: centred on row 28 of the band
TITLE_TEXT_X = 50
TITLE_SIZE = 17


def background():
    image = png.Canvas(DIALOG_W, DIALOG_H, fill=WHITE)
    left, top, size = TITLE_MARK
    draw_mark(image, left, top, size)
    mask, _ = text_mask("Lensbeacon", font_path(TITLE_FONTS), TITLE_SIZE)
    # The ink is centred on the mark's middle row.
    ink_top = top + size // 2 - mask[1] // 2
    image.fill_mask(mask, TITLE_TEXT_X, ink_top, TITLE_TEXT)
    # The rule: 153 grey in row 57, a quarter of that darkness in rows 56 and
    # 58, so it reads as one fine line at 1x and scales smoothly to 1.25.
    for row, grey in ((RULE_ROW - 1, 230), (RULE_ROW, 153), (RULE_ROW + 1, 230)):
        for x in range(DIALOG_W):
            image.pixels[row * DIALOG_W + x] = [grey / 255.0] * 3 + [1.0]
    return image


# --- the close button ----------------------------------------------------------------


def close_cross(half_width):
    c = CLOSE_SIZE / 2.0
    arm = 5.0
    return png.union(png.segment(c - arm, c - arm, c + arm, c + arm, half_width),
                     png.segment(c + arm, c - arm, c - arm, c + arm, half_width))


def close_normal():
    image = png.Canvas(CLOSE_SIZE, CLOSE_SIZE)
    image.fill(close_cross(0.75), png.hex_colour("#6E7681"), samples=5)
    return image


def close_down():
    image = png.Canvas(CLOSE_SIZE, CLOSE_SIZE)
    image.fill(png.rounded_rect(4, 4, 30, 30, 5), (0, 0, 0, 22), samples=4)
    image.fill(close_cross(0.8), png.hex_colour("#24292F"), samples=5)
    return image


# --- the switch ---------------------------------------------------------------------------


def outline(left, width):
    return png.rounded_rect(left, 0, left + width, TRACK_H, CORNER)


def edge_band(shape, width=1.0):
    """The innermost width pixels of a shape."""
    return png.intersection(shape, lambda x, y: -shape(x, y) - width)


def track_shape():
    """The track's outline less two shallow notches in its top and bottom
    edges at the colour boundary: there the knob's free corners leave the
    track uncovered at both ends of the travel, so no colour there would be
    right for both; clear, it reads as the gap beside the knob's corner."""
    knob_off, knob_on = outline(0, KNOB_W), outline(TRAVEL, KNOB_W)
    # Grown by a little more than half a pixel, so that no anti-aliased
    # fringe of the wrong colour is left beside the knob either.
    gaps = png.rounded(png.intersection(lambda x, y: -knob_off(x, y), lambda x, y: -knob_on(x, y),
                                        lambda x, y: abs(x - SPLIT_X) - 10.0), 0.7)
    return png.subtract(outline(0, TRACK_W), gaps)


def track(down):
    image = png.Canvas(TRACK_W, TRACK_H)
    shape = track_shape()
    on_fill, off_fill = (ACCENT_DOWN, OFF_FILL_DOWN) if down else (ACCENT, OFF_FILL)
    on_part = png.intersection(shape, lambda x, y: x - SPLIT_X)
    off_part = png.intersection(shape, lambda x, y: SPLIT_X - x)
    image.fill(on_part, on_fill, samples=4)
    image.fill(off_part, off_fill, samples=4)
    # A faint inner edge keeps the light grey part apart from the white dialog.
    image.fill(edge_band(shape), (0, 0, 0, 24), samples=4, atop=True)
    # "I" in the middle of what shows at On, "O" in the middle of what shows at Off.
    on_centre = TRAVEL / 2.0
    off_centre = KNOB_W + TRAVEL / 2.0
    image.fill(png.segment(on_centre, 11.5, on_centre, 22.5, 1.1), WHITE, samples=4)
    image.fill(png.ring(off_centre, 17.0, 5.4, 1.1), OFF_MARK, samples=4)
    return image


def knob():
    image = png.Canvas(KNOB_W, KNOB_H)
    shape = outline(0, KNOB_W)
    image.fill(shape, png.vertical_gradient(WHITE, png.hex_colour("#F1F3F5"), 0, KNOB_H),
               samples=4)
    # Its rim darkens towards the bottom, like a key lit from above.
    image.fill(edge_band(shape), png.vertical_gradient((0, 0, 0, 40), (0, 0, 0, 80), 0, KNOB_H),
               samples=4, atop=True)
    # Three short grip lines in the middle say that it can be dragged.
    for dx in (-4.0, 0.0, 4.0):
        x = KNOB_W / 2.0 + dx
        image.fill(png.segment(x, 12.5, x, 21.5, 0.6), png.hex_colour("#B9C0C8"), samples=4)
    return image


# --- the shadow -------------------------------------------------------------------------

SHADOW_SIGMA = 3.0
SHADOW_STRENGTH = 0.6
SHADOW_DROP = 1.0       # the light comes from a little above


def shadow_field():
    """The shadow of the dialog, blurred, over the dialog and its 9-pixel rim:
    a canvas of 395 x 200 with the dialog at (9, 9)."""
    width, height = DIALOG_W + 2 * SHADOW, DIALOG_H + 2 * SHADOW
    field = png.Canvas(width, height)
    k = 1.0 / (SHADOW_SIGMA * math.sqrt(2.0))

    def spread(t, low, high):
        return 0.5 * (math.erf((t - low) * k) - math.erf((t - high) * k))

    for y in range(height):
        gy = spread(y + 0.5, SHADOW + SHADOW_DROP, SHADOW + DIALOG_H + SHADOW_DROP)
        for x in range(width):
            gx = spread(x + 0.5, SHADOW, SHADOW + DIALOG_W)
            a = SHADOW_STRENGTH * gx * gy
            # Fades to nothing at the rim's outer edge.
            d = min(x + 0.5, width - x - 0.5, y + 0.5, height - y - 0.5)
            a *= min(1.0, d / 2.0)
            field.pixels[y * width + x] = [0.0, 0.0, 0.0, a]
    return field


def shadow_strips():
    field = shadow_field()
    width, height = field.width, field.height
    return {
        "SHADOW_LEFT": field.crop(0, SHADOW, SHADOW, DIALOG_H),
        "SHADOW_RIGHT": field.crop(width - SHADOW, SHADOW, SHADOW, DIALOG_H),
        "SHADOW_TOP": field.crop(0, 0, width, SHADOW),
        "SHADOW_BOTTOM": field.crop(0, height - SHADOW, width, SHADOW),
    }


# --- checks ---------------------------------------------------------------------------------

SIZES = {
    "BKGND": (377, 182, 2),
    "BTN_CLOSE_NORMAL": (34, 34, 6),
    "BTN_CLOSE_DOWN": (34, 34, 6),
    "SLIDER_BKGND_NORMAL": (100, 34, 6),
    "SLIDER_BKGND_DOWN": (100, 34, 6),
    "SLIDER_BTN_NORMAL": (53, 34, 6),
    "SHADOW_LEFT": (9, 182, 6),
    "SHADOW_RIGHT": (9, 182, 6),
    "SHADOW_TOP": (395, 9, 6),
    "SHADOW_BOTTOM": (395, 9, 6),
}


def pixels(image):
    data = image.rgba()
    return [tuple(data[i:i + 4]) for i in range(0, len(data), 4)]


def faults_of(images):
    """What would break the dialog's composition, as messages."""
    faults = []
    px = {name: pixels(image) for name, image in images.items()}

    def at(name, x, y):
        return px[name][y * images[name].width + x]

    for name, (w, h, _) in SIZES.items():
        if (images[name].width, images[name].height) != (w, h):
            faults.append("%s: size is not %d x %d" % (name, w, h))
    if faults:
        return faults

    bg = "BKGND"
    if any(p[3] != 255 for p in px[bg]):
        faults.append("BKGND: not opaque")
    if any(at(bg, x, RULE_ROW) != (153, 153, 153, 255) for x in range(DIALOG_W)):
        faults.append("BKGND: row 57 is not grey 153 across the whole width")
    for row in (RULE_ROW - 1, RULE_ROW + 1):
        if any(not 153 < at(bg, x, row)[0] < 255 for x in range(DIALOG_W)):
            faults.append("BKGND: row %d does not blend the rule into white" % row)
    # Below the rule the dialog composes its text and controls over white.
    if any(p != WHITE for p in px[bg][(RULE_ROW + 2) * DIALOG_W:]):
        faults.append("BKGND: below the rule it is not plain white")
    if any(at(bg, x, y) != WHITE for y in range(CLOSE_SIZE) for x in range(CLOSE_X, DIALOG_W)):
        faults.append("BKGND: the close button's corner is not plain white")
    if not any(at(bg, x, y) != WHITE for y in range(RULE_ROW - 1) for x in range(CLOSE_X)):
        faults.append("BKGND: no title")

    for name in ("BTN_CLOSE_NORMAL", "BTN_CLOSE_DOWN"):
        if at(name, 17, 17)[3] < 200:
            faults.append("%s: no mark in the middle" % name)
        if any(at(name, x, y)[3] for y in range(34) for x in range(34)
               if min(x, y, 33 - x, 33 - y) < 3):
            faults.append("%s: the border is not clear" % name)

    knob_px = px["SLIDER_BTN_NORMAL"]
    for name in ("SLIDER_BKGND_NORMAL", "SLIDER_BKGND_DOWN"):
        if at(name, 0, 0)[3] != 0 or at(name, 50, 17)[3] != 255:
            faults.append("%s: corners not clear or middle not opaque" % name)
        # The knob's outline lies on the track's at both ends of its travel.
        for knob_x in (0, TRAVEL):
            for y in range(TRACK_H):
                for x in range(KNOB_W):
                    if abs(at(name, knob_x + x, y)[3] - knob_px[y * KNOB_W + x][3]) > 1 and (
                            x < CORNER + 1 if knob_x == 0 else x >= KNOB_W - CORNER - 1):
                        faults.append("%s: the knob's outline leaves the track's at x %d"
                                      % (name, knob_x))
                        break
                else:
                    continue
                break
    # The colour boundary stays covered by the knob at both ends.
    for knob_x in (0, TRAVEL):
        if any(knob_px[y * KNOB_W + int(SPLIT_X) - knob_x][3] != 255 for y in range(4, 30)):
            faults.append("SLIDER_BTN_NORMAL: does not cover the track's middle at x %d" % knob_x)

    strips = ("SHADOW_LEFT", "SHADOW_RIGHT", "SHADOW_TOP", "SHADOW_BOTTOM")
    for name in strips:
        if any(p[:3] != (0, 0, 0) for p in px[name] if p[3]):
            faults.append("%s: not black" % name)
        if max(p[3] for p in px[name]) > 120:
            faults.append("%s: too dark" % name)
    # The strips fade outward: the edge row or column next to the dialog is
    # the darkest, the outer one nearly clear.
    if at("SHADOW_LEFT", 8, 91)[3] <= at("SHADOW_LEFT", 0, 91)[3] or at("SHADOW_LEFT", 0, 91)[3] > 3:
        faults.append("SHADOW_LEFT: does not fade outward")
    if at("SHADOW_BOTTOM", 197, 0)[3] <= at("SHADOW_BOTTOM", 197, 8)[3]:
        faults.append("SHADOW_BOTTOM: does not fade outward")
    return faults


# --- preview ----------------------------------------------------------------------------------

DESCRIPTION = ("Lensbeacon is an on-screen display that shows your camera is in use. "
               "You may turn on or off this function.")


def mock_text(canvas):
    """The description and the Off/On word as the dialog draws them at run
    time (approximately: 12 and 13 pixels, grey 102)."""
    path = font_path(TEXT_FONTS)
    font = ImageFont.truetype(path, 12)
    words, lines, line = DESCRIPTION.split(), [], ""
    for word in words:
        trial = (line + " " + word).strip()
        if font.getlength(trial) <= DESCRIPTION_BOX[2]:
            line = trial
        else:
            lines.append(line)
            line = word
    lines.append(line)
    width = int(max(font.getlength(t) for t in lines) + 0.5)
    line_height = 16
    top = DESCRIPTION_BOX[1] + (DESCRIPTION_BOX[3] - DESCRIPTION_BOX[1] - line_height * len(lines)) // 2
    left = (DIALOG_W - width) // 2
    grey = (102, 102, 102, 255)
    for i, text in enumerate(lines):
        mask, (ox, oy) = text_mask(text, path, 12)
        canvas.fill_mask(mask, left + ox, top + i * line_height + oy + 2, grey)


def mock_label(canvas, word):
    path = font_path(TEXT_FONTS)
    mask, _ = text_mask(word, path, 13)
    x, y, w, h = LABEL_BOX
    canvas.fill_mask(mask, x + (w - mask[0]) // 2, y + (h - mask[1]) // 2,
                     (102, 102, 102, 255))


def dialog_mock(images, knob_x, down=False, close="BTN_CLOSE_NORMAL"):
    """The dialog and its shadow on a mid-grey desktop, 9 pixels of rim round it."""
    sheet = png.Canvas(DIALOG_W + 2 * SHADOW + 24, DIALOG_H + 2 * SHADOW + 24, fill=DESKTOP)
    ox, oy = 12 + SHADOW, 12 + SHADOW
    sheet.draw(images["SHADOW_LEFT"], ox - SHADOW, oy)
    sheet.draw(images["SHADOW_RIGHT"], ox + DIALOG_W, oy)
    sheet.draw(images["SHADOW_TOP"], ox - SHADOW, oy - SHADOW)
    sheet.draw(images["SHADOW_BOTTOM"], ox - SHADOW, oy + DIALOG_H)
    dialog = png.Canvas(DIALOG_W, DIALOG_H)
    dialog.draw(images["BKGND"], 0, 0)
    mock_text(dialog)
    mock_label(dialog, "On" if knob_x >= TRAVEL else "Off")
    dialog.draw(images["SLIDER_BKGND_DOWN" if down else "SLIDER_BKGND_NORMAL"], SWITCH_X, SWITCH_Y)
    dialog.draw(images["SLIDER_BTN_NORMAL"], SWITCH_X + knob_x, SWITCH_Y)
    dialog.draw(images[close], CLOSE_X, 0)
    sheet.draw(dialog, ox, oy)
    return sheet


def switch_mock(images, knob_x, down=False):
    part = png.Canvas(TRACK_W, TRACK_H, fill=WHITE)
    part.draw(images["SLIDER_BKGND_DOWN" if down else "SLIDER_BKGND_NORMAL"], 0, 0)
    part.draw(images["SLIDER_BTN_NORMAL"], knob_x, 0)
    return part


def on_white(image):
    part = png.Canvas(image.width, image.height, fill=WHITE)
    part.draw(image, 0, 0)
    return part


def preview(images, icons):
    rows = [
        [(dialog_mock(images, 0), 1),
         (dialog_mock(images, TRAVEL, close="BTN_CLOSE_DOWN"), 1),
         (dialog_mock(images, 23, down=True), 1)],
        [(dialog_mock(images, TRAVEL), 2)],
        [(switch_mock(images, 0), 4), (switch_mock(images, TRAVEL), 4),
         (switch_mock(images, 24, down=True), 4)],
        [(on_white(images["SLIDER_BKGND_NORMAL"]), 4), (on_white(images["SLIDER_BTN_NORMAL"]), 4),
         (on_white(images["BTN_CLOSE_NORMAL"]), 4), (on_white(images["BTN_CLOSE_DOWN"]), 4),
         (icons[3], 1)] + [(i, 1) for i in reversed(icons[:3])],
    ]
    return png.contact_sheet(rows, png.hex_colour("#5A5A5A"))


def make():
    images = {
        "BKGND": background(),
        "BTN_CLOSE_NORMAL": close_normal(),
        "BTN_CLOSE_DOWN": close_down(),
        "SLIDER_BKGND_NORMAL": track(down=False),
        "SLIDER_BKGND_DOWN": track(down=True),
        "SLIDER_BTN_NORMAL": knob(),
    }
    images.update(shadow_strips())
    # Nothing is written when an image would not fit the dialog.
    faults = faults_of(images)
    icons = icon_sizes()
    pictures = [(name, images[name], colour_type) for name, (_, _, colour_type) in SIZES.items()]
    return pictures, faults, "lensdial.ico", icons, lambda: preview(images, icons)


def main(argv):
    return png.artwork_main(argv, __doc__, make)


if __name__ == "__main__":
    sys.exit(main(sys.argv))
