"""A small, dependency-free toolkit for the suite's generated artwork.

Shapes are signed distance functions in pixel units (negative inside, the
pixel grid's centres at i + 0.5), turned into anti-aliased coverage and
composited with the "over" operator onto a canvas kept in premultiplied
floating point. Images are written as 8-bit straight-alpha RGBA PNGs, or
gathered into ICO files. Every output depends only on the inputs, so a run
reproduces the same bytes.
"""

import math
import os
import struct
import sys
import zlib

# --- signed distance functions ------------------------------------------------
# Each returns f(x, y) -> distance in pixels to the outline, negative inside.


def circle(cx, cy, radius):
    def sdf(x, y):
        return math.hypot(x - cx, y - cy) - radius
    return sdf


def rounded_rect(left, top, right, bottom, radius):
    """Axis-aligned rectangle with corners rounded by radius."""
    cx, cy = (left + right) / 2, (top + bottom) / 2
    hw, hh = (right - left) / 2 - radius, (bottom - top) / 2 - radius

    def sdf(x, y):
        qx, qy = abs(x - cx) - hw, abs(y - cy) - hh
        outside = math.hypot(max(qx, 0.0), max(qy, 0.0))
        return outside + min(max(qx, qy), 0.0) - radius
    return sdf


def segment(x0, y0, x1, y1, half_width):
    """A stroke with round caps between two points."""
    dx, dy = x1 - x0, y1 - y0
    length2 = dx * dx + dy * dy

    def sdf(x, y):
        t = 0.0 if length2 == 0 else ((x - x0) * dx + (y - y0) * dy) / length2
        t = min(max(t, 0.0), 1.0)
        return math.hypot(x - (x0 + t * dx), y - (y0 + t * dy)) - half_width
    return sdf


def polygon(points):
    """A simple polygon, points in order (either winding)."""
    pts = list(points)

    def sdf(x, y):
        best = float("inf")
        inside = False
        for i, (ax, ay) in enumerate(pts):
            bx, by = pts[i - 1]
            ex, ey = bx - ax, by - ay
            wx, wy = x - ax, y - ay
            t = min(max((wx * ex + wy * ey) / (ex * ex + ey * ey), 0.0), 1.0)
            best = min(best, math.hypot(wx - ex * t, wy - ey * t))
            if (ay > y) != (by > y) and x < ax + (y - ay) * ex / ey:
                inside = not inside
        return -best if inside else best
    return sdf


def rounded(shape, radius):
    """Grows a shape by radius: a shrunken outline passed in comes back with round corners."""
    return lambda x, y: shape(x, y) - radius


def union(*shapes):
    return lambda x, y: min(s(x, y) for s in shapes)


def intersection(*shapes):
    return lambda x, y: max(s(x, y) for s in shapes)


def subtract(shape, *holes):
    return lambda x, y: max([shape(x, y)] + [-h(x, y) for h in holes])


def ring(cx, cy, radius, half_width):
    base = circle(cx, cy, radius)
    return lambda x, y: abs(base(x, y)) - half_width


def transformed(shape, scale, dx=0.0, dy=0.0):
    """A shape designed on one grid, drawn scaled by scale and moved by (dx, dy)."""
    return lambda x, y: shape((x - dx) / scale, (y - dy) / scale) * scale


# --- coverage and colour --------------------------------------------------------


def coverage(shape, x, y, samples=3):
    """Fraction of pixel (x, y) inside shape: the mean of samples x samples
    sub-pixel points, each anti-aliased over its own width."""
    # A pixel whose centre lies farther than half its diagonal from the
    # outline is wholly inside or outside. The combined shapes only ever
    # underestimate the distance, so this holds for them too.
    centre = shape(x + 0.5, y + 0.5)
    if centre >= 0.75:
        return 0.0
    if centre <= -0.75:
        return 1.0
    step = 1.0 / samples
    total = 0.0
    for j in range(samples):
        for i in range(samples):
            d = shape(x + (i + 0.5) * step, y + (j + 0.5) * step)
            total += min(max(0.5 - d / step, 0.0), 1.0)
    return total / (samples * samples)


def hex_colour(text, alpha=255):
    """'#RRGGBB' to an (r, g, b, a) tuple of 0-255 integers."""
    text = text.lstrip("#")
    return (int(text[0:2], 16), int(text[2:4], 16), int(text[4:6], 16), alpha)


def vertical_gradient(top, bottom, y0, y1):
    """A paint (x, y) -> (r, g, b, a) from colour top at y0 to bottom at y1."""
    def paint(_x, y):
        t = min(max((y - y0) / (y1 - y0), 0.0), 1.0)
        return tuple(a + (b - a) * t for a, b in zip(top, bottom))
    return paint


class Canvas:
    """Premultiplied RGBA in floats 0-1, row by row from the top."""

    def __init__(self, width, height, fill=(0, 0, 0, 0)):
        self.width, self.height = width, height
        r, g, b, a = (c / 255.0 for c in fill)
        self.pixels = [[r * a, g * a, b * a, a] for _ in range(width * height)]

    def composite(self, x, y, r, g, b, a, cover=1.0, replace=False, atop=False):
        """Straight colour (0-255) at opacity a (0-1) onto pixel (x, y), over
        what is there or, with replace, in its place, on cover of its area.
        With atop the colour only tints what is there and keeps its alpha."""
        px = self.pixels[y * self.width + x]
        a *= cover
        if atop:
            keep = 1.0 - a
            px[0] = r / 255.0 * a * px[3] + px[0] * keep
            px[1] = g / 255.0 * a * px[3] + px[1] * keep
            px[2] = b / 255.0 * a * px[3] + px[2] * keep
            return
        keep = 1.0 - (cover if replace else a)
        px[0] = r / 255.0 * a + px[0] * keep
        px[1] = g / 255.0 * a + px[1] * keep
        px[2] = b / 255.0 * a + px[2] * keep
        px[3] = a + px[3] * keep

    def fill(self, shape, paint, samples=3, bounds=None, replace=False, atop=False):
        """Paints the shape with paint (a colour tuple or (x, y) -> colour):
        composited over the canvas, or with replace taking the place of what
        is there, so that a shape at alpha 179 stays at 179 over any ground,
        or with atop only where the canvas already is, keeping its alpha."""
        x0, y0, x1, y1 = bounds or (0, 0, self.width, self.height)
        for y in range(max(y0, 0), min(y1, self.height)):
            for x in range(max(x0, 0), min(x1, self.width)):
                c = coverage(shape, x, y, samples)
                if c <= 0.0:
                    continue
                r, g, b, a = paint(x + 0.5, y + 0.5) if callable(paint) else paint
                self.composite(x, y, r, g, b, a / 255.0, c, replace, atop)

    def draw(self, other, left, top, scale=1):
        """Composites another canvas at (left, top), enlarged by a whole scale."""
        for y in range(other.height * scale):
            ty = top + y
            if not 0 <= ty < self.height:
                continue
            for x in range(other.width * scale):
                tx = left + x
                if not 0 <= tx < self.width:
                    continue
                sr, sg, sb, sa = other.pixels[(y // scale) * other.width + x // scale]
                px = self.pixels[ty * self.width + tx]
                keep = 1.0 - sa
                px[0] = sr + px[0] * keep
                px[1] = sg + px[1] * keep
                px[2] = sb + px[2] * keep
                px[3] = sa + px[3] * keep

    def rgba(self):
        """Straight-alpha 8-bit RGBA, rounded; fully transparent pixels are black."""
        out = bytearray()
        for r, g, b, a in self.pixels:
            alpha = round(min(max(a, 0.0), 1.0) * 255)
            if alpha == 0:
                out += b"\0\0\0\0"
                continue
            out += bytes(min(255, round(c / a * 255)) for c in (r, g, b))
            out.append(alpha)
        return bytes(out)

    def rgb(self):
        """8-bit RGB of an opaque canvas, rounded; a pixel that is not fully
        opaque is an error, since a colour-type-2 image has nowhere to keep it."""
        out = bytearray()
        for r, g, b, a in self.pixels:
            if round(min(max(a, 0.0), 1.0) * 255) != 255:
                raise ValueError("an RGB image needs every pixel opaque")
            out += bytes(min(255, max(0, round(c / a * 255))) for c in (r, g, b))
        return bytes(out)

    def fill_mask(self, mask, left, top, colour):
        """Composites colour over the canvas through a coverage mask: mask is
        (width, height, bytes of 0-255 coverage, row by row), placed at
        (left, top). Used for text rasterised elsewhere."""
        width, height, data = mask
        r, g, b, a = colour
        for y in range(height):
            ty = top + y
            if not 0 <= ty < self.height:
                continue
            for x in range(width):
                tx = left + x
                c = data[y * width + x]
                if c and 0 <= tx < self.width:
                    self.composite(tx, ty, r, g, b, a / 255.0, c / 255.0)

    def crop(self, left, top, width, height):
        """A new canvas holding the given rectangle of this one."""
        part = Canvas(width, height)
        for y in range(height):
            for x in range(width):
                part.pixels[y * width + x] = list(self.pixels[(top + y) * self.width + left + x])
        return part

    def bgra_premultiplied(self):
        """8-bit premultiplied BGRA, as Windows keeps 32-bit bitmaps."""
        out = bytearray()
        for r, g, b, a in self.pixels:
            out += bytes(round(min(max(c, 0.0), 1.0) * 255) for c in (b, g, r, a))
        return bytes(out)


# --- file formats ------------------------------------------------------------------


def _chunk(kind, data):
    return (struct.pack(">I", len(data)) + kind + data +
            struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF))


def encode_png(width, height, rgba, colour_type=6):
    """An 8-bit PNG: colour type 6 from straight-alpha RGBA pixels, or colour
    type 2 from RGB pixels. No filter, fixed compression and no time or text
    chunks, so the same pixels always give the same bytes."""
    channels = {2: 3, 6: 4}.get(colour_type)
    if channels is None:
        raise ValueError("only colour types 2 and 6 are written")
    if len(rgba) != width * height * channels:
        raise ValueError("pixel data does not match the size")
    stride = width * channels
    raw = b"".join(b"\0" + rgba[y * stride:(y + 1) * stride] for y in range(height))
    header = struct.pack(">IIBBBBB", width, height, 8, colour_type, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + _chunk(b"IHDR", header) +
            _chunk(b"IDAT", zlib.compress(raw, 9)) + _chunk(b"IEND", b""))


def write_png(path, canvas, colour_type=6):
    """Writes the canvas as RGBA (colour type 6) or, when it is opaque, RGB (2)."""
    pixels = canvas.rgb() if colour_type == 2 else canvas.rgba()
    with open(path, "wb") as f:
        f.write(encode_png(canvas.width, canvas.height, pixels, colour_type))


def read_png_header(path):
    """(width, height, bit depth, colour type) from a PNG file's header."""
    with open(path, "rb") as f:
        head = f.read(29)
    if head[:8] != b"\x89PNG\r\n\x1a\n" or head[12:16] != b"IHDR":
        raise ValueError("not a PNG file")
    width, height, depth, colour_type = struct.unpack(">IIBB", head[16:26])
    return width, height, depth, colour_type


def _icon_bitmap(canvas):
    """A 32-bit icon image: header, bottom-up straight BGRA, AND mask."""
    w, h = canvas.width, canvas.height
    rgba = canvas.rgba()
    xor = bytearray()
    mask = bytearray()
    mask_stride = ((w + 31) // 32) * 4
    for y in reversed(range(h)):
        row_mask = bytearray(mask_stride)
        for x in range(w):
            r, g, b, a = rgba[(y * w + x) * 4:(y * w + x) * 4 + 4]
            xor += bytes((b, g, r, a))
            if a == 0:
                row_mask[x // 8] |= 0x80 >> (x % 8)
        mask += row_mask
    header = struct.pack("<IiiHHIIiiII", 40, w, h * 2, 1, 32, 0, len(xor) + len(mask), 0, 0, 0, 0)
    return header + bytes(xor) + bytes(mask)


def encode_ico(canvases):
    """An ICO of square images: 256 px as PNG, smaller ones as 32-bit bitmaps,
    which every Windows version reads."""
    images = []
    for c in canvases:
        if c.width != c.height or not 1 <= c.width <= 256:
            raise ValueError("icon images are squares of 1 to 256 pixels")
        data = encode_png(c.width, c.height, c.rgba()) if c.width == 256 else _icon_bitmap(c)
        images.append((c.width, data))
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, data in images:
        dim = 0 if size == 256 else size
        out += struct.pack("<BBBBHHII", dim, dim, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    return out + b"".join(data for _, data in images)


def write_ico(path, canvases):
    with open(path, "wb") as f:
        f.write(encode_ico(canvases))


def contact_sheet(rows, fill, gap=16):
    """Rows of (canvas, scale) laid out left to right, top to bottom, `gap`
    pixels apart, on a canvas of `fill`: the scripts' preview sheets."""
    width = max(gap + sum(c.width * k + gap for c, k in row) for row in rows)
    height = gap + sum(max(c.height * k for c, k in row) + gap for row in rows)
    sheet = Canvas(width, height, fill=fill)
    y = gap
    for row in rows:
        x = gap
        for canvas, scale in row:
            sheet.draw(canvas, x, y, scale)
            x += canvas.width * scale + gap
        y += max(c.height * k for c, k in row) + gap
    return sheet


# --- the command line of the artwork scripts --------------------------------


def artwork_main(argv, usage, make):
    """Runs `script FOLDER [--preview]`. make() returns (pictures, faults,
    icon_file, icons, preview): pictures as (name, canvas, colour_type), the
    faults that forbid writing anything, the icon file's name and canvases,
    and a function that draws the preview sheet."""
    args = [a for a in argv[1:] if a != "--preview"]
    if len(args) != 1:
        sys.stderr.write(usage)
        return 2
    folder = args[0]
    pictures, faults, icon_file, icons, preview = make()
    if faults:
        sys.stderr.write("\n".join(faults) + "\n")
        return 1
    os.makedirs(folder, exist_ok=True)
    for name, canvas, colour_type in pictures:
        write_png(os.path.join(folder, name + ".png"), canvas, colour_type)
    write_ico(os.path.join(folder, icon_file), icons)
    if "--preview" in argv[1:]:
        write_png(os.path.join(folder, "preview.png"), preview())
    return 0
