#!/usr/bin/env python3
"""Draws the setup program's pictures and writes them as Windows resources.

    python3 resources/art/make_art.py [output folder]   (default: resources/)

Writes logo.bmp (64 x 64, its own palette of at most 256 colours) and
menu.bmp (317 x 120, 16 colours), each also at 150 % and 200 % (logo-150.bmp
96 x 96, logo-200.bmp 128 x 128, menu-150.bmp 476 x 180, menu-200.bmp
634 x 240), each in the smallest form LoadImage takes (plain or run-length
encoded), setup.ico (48, 32 and 16 px, each in 16 colours, 256 colours and
32-bit with alpha) and small.ico (32 x 32, 16 colours).

Pure Python 3 standard library. The only outside help is ImageMagick's
`convert`, used to rasterise the Chinese menu texts with the WenQuanYi Zen
Hei font; everything else (shapes, anti-aliasing, quantising, the BMP and
ICO file formats) is done here, so the output is the same on every run.
"""

import os
import struct
import subprocess
import sys

FONT = "/usr/share/fonts/truetype/wqy/wqy-zenhei.ttc"

# The dialog's background; the logo sits on it.
DIALOG_GREEN = (170, 210, 150)
# The dialog's title colour; the brand's dark green.
BRAND_DARK = (10, 70, 40)

# The standard 16-colour palette of Windows, in its usual index order.
VGA16 = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
BLACK, GREEN, SILVER, GRAY = VGA16[0], VGA16[2], VGA16[7], VGA16[8]
NAVY, RED, LIME, WHITE = VGA16[4], VGA16[9], VGA16[10], VGA16[15]
YELLOW, BLUE, AQUA = VGA16[11], VGA16[12], VGA16[14]


# ---------------------------------------------------------------- drawing


TEXT_CONTRAST = 1.35


class Canvas:
    """RGBA picture; colours 0..255, alpha 0..1, not premultiplied."""

    def __init__(self, width, height, fill=(0, 0, 0), alpha=0.0):
        self.width = width
        self.height = height
        self.rgb = [list(fill) for _ in range(width * height)]
        self.alpha = [alpha] * (width * height)

    def blend(self, x, y, colour, cover):
        if cover <= 0 or not (0 <= x < self.width and 0 <= y < self.height):
            return
        i = y * self.width + x
        a0 = self.alpha[i]
        a = cover + a0 * (1 - cover)
        old = self.rgb[i]
        self.rgb[i] = [(c * cover + o * a0 * (1 - cover)) / a for c, o in zip(colour, old)]
        self.alpha[i] = a

    def fill(self, inside, bbox, colour, scale=1.0, samples=4):
        """Fills the shape `inside(x, y)` (design units; one pixel is `scale`
        units wide) with a colour or a colour function of (x, y). With one
        sample per pixel the edges stay hard, for palette pictures."""
        x0, y0, x1, y1 = bbox
        px0 = max(0, int(x0 * scale) - 1)
        py0 = max(0, int(y0 * scale) - 1)
        px1 = min(self.width, int(x1 * scale) + 2)
        py1 = min(self.height, int(y1 * scale) + 2)
        step = 1.0 / samples
        offsets = [(i + 0.5) * step for i in range(samples)]
        for py in range(py0, py1):
            for px in range(px0, px1):
                hits = 0
                for oy in offsets:
                    for ox in offsets:
                        if inside((px + ox) / scale, (py + oy) / scale):
                            hits += 1
                if hits:
                    cx, cy = (px + 0.5) / scale, (py + 0.5) / scale
                    c = colour(cx, cy) if callable(colour) else colour
                    self.blend(px, py, c, hits / (samples * samples))

    def blit_mask(self, mask, mw, mh, x, y, colour):
        """Paints a coverage mask (0..255 per pixel) in one colour. Coverage is
        lifted a little: at 12 px, half-covered stems would otherwise fade to
        grey once the picture is cut down to 16 colours."""
        for my in range(mh):
            for mx in range(mw):
                cover = min(1.0, mask[my * mw + mx] / 255.0 * TEXT_CONTRAST)
                if cover > 0:
                    self.blend(x + mx, y + my, colour, cover)

    def scaled(self, factor):
        """Nearest-neighbour enlargement, for looking at the result."""
        out = Canvas(self.width * factor, self.height * factor)
        for y in range(out.height):
            for x in range(out.width):
                i = (y // factor) * self.width + x // factor
                out.rgb[y * out.width + x] = self.rgb[i]
                out.alpha[y * out.width + x] = self.alpha[i]
        return out


def rect(x0, y0, x1, y1):
    return (lambda x, y: x0 <= x < x1 and y0 <= y < y1), (x0, y0, x1, y1)


def round_rect(x0, y0, x1, y1, r):
    def inside(x, y):
        if not (x0 <= x < x1 and y0 <= y < y1):
            return False
        cx = min(max(x, x0 + r), x1 - r)
        cy = min(max(y, y0 + r), y1 - r)
        return (x - cx) ** 2 + (y - cy) ** 2 <= r * r

    return inside, (x0, y0, x1, y1)


def polygon(points):
    def inside(x, y):
        result = False
        j = len(points) - 1
        for i in range(len(points)):
            xi, yi = points[i]
            xj, yj = points[j]
            if (yi > y) != (yj > y) and x < (xj - xi) * (y - yi) / (yj - yi) + xi:
                result = not result
            j = i
        return result

    xs = [p[0] for p in points]
    ys = [p[1] for p in points]
    return inside, (min(xs), min(ys), max(xs), max(ys))


def disc(cx, cy, r):
    return (lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r * r), (cx - r, cy - r, cx + r, cy + r)


def ring(shape_outer, shape_inner):
    """The outer shape less the inner one: an outline of even width."""
    outer, box = shape_outer
    inner, _ = shape_inner
    return (lambda x, y: outer(x, y) and not inner(x, y)), box


def vertical_gradient(top_colour, bottom_colour, y0, y1):
    def colour(_x, y):
        t = min(max((y - y0) / (y1 - y0), 0.0), 1.0)
        return [a + (b - a) * t for a, b in zip(top_colour, bottom_colour)]

    return colour


def text_mask(text, pixel_size):
    """Rasterises a text with ImageMagick: (coverage bytes, width, height)."""
    pgm = subprocess.run(
        ["convert", "-font", FONT, "-pointsize", str(pixel_size), "-background", "black",
         "-fill", "white", "label:" + text, "-depth", "8", "pgm:-"],
        check=True, capture_output=True).stdout
    fields = []
    pos = 0
    while len(fields) < 4:  # magic, width, height, maxval
        while pgm[pos:pos + 1].isspace():
            pos += 1
        start = pos
        while not pgm[pos:pos + 1].isspace():
            pos += 1
        fields.append(pgm[start:pos])
    if fields[0] != b"P5" or fields[3] != b"255":
        raise RuntimeError("unexpected output from convert")
    width, height = int(fields[1]), int(fields[2])
    data = pgm[pos + 1:pos + 1 + width * height]
    return data, width, height


# ------------------------------------------------------------- colours


def nearest(colour, palette):
    r, g, b = colour
    best, best_d = 0, None
    for i, (pr, pg, pb) in enumerate(palette):
        # Weighted like the eye: green counts most, blue least.
        d = 3 * (r - pr) ** 2 + 4 * (g - pg) ** 2 + 2 * (b - pb) ** 2
        if best_d is None or d < best_d:
            best, best_d = i, d
    return best


def median_cut(colours, count):
    """A palette of at most `count` colours for the given list of colours."""
    boxes = [sorted(set(colours))]
    while len(boxes) < count:
        boxes.sort(key=lambda b: -max(max(c[k] for c in b) - min(c[k] for c in b)
                                      for k in range(3)) if len(b) > 1 else 1)
        box = boxes[0]
        if len(box) < 2:
            break
        channel = max(range(3), key=lambda k: max(c[k] for c in box) - min(c[k] for c in box))
        box.sort(key=lambda c: c[channel])
        half = len(box) // 2
        boxes[0:1] = [box[:half], box[half:]]
    return [tuple(round(sum(c[k] for c in b) / len(b)) for k in range(3)) for b in boxes]


def opaque_colours(canvas):
    return [tuple(round(v) for v in c) for c, a in zip(canvas.rgb, canvas.alpha) if a >= 0.5]


def as_bytes(colour):
    return tuple(max(0, min(255, round(v))) for v in colour)


# ------------------------------------------------------------- file formats


def row_padding(byte_count):
    return b"\0" * ((4 - byte_count % 4) % 4)


def pack_indices(indices, bits):
    out = bytearray()
    per_byte = 8 // bits
    for i in range(0, len(indices), per_byte):
        byte = 0
        for j in range(per_byte):
            value = indices[i + j] if i + j < len(indices) else 0
            byte |= value << (8 - bits * (j + 1))
        out.append(byte)
    return bytes(out)


def palette_bytes(palette, size):
    padded = list(palette) + [(0, 0, 0)] * (size - len(palette))
    return b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in padded)


def info_header(width, height, bits, image_size, colours_used=0, compression=0):
    return struct.pack("<IiiHHIIiiII", 40, width, height, 1, bits, compression, image_size, 0, 0,
                       colours_used, 0)


def index_rows(canvas, palette):
    """The picture's rows, bottom-up, as palette indices. Masked-out icon
    pixels are black in the colour bitmap."""
    exact = {}
    for i, colour in enumerate(palette):
        exact.setdefault(colour, i)  # the first of equal entries, as nearest() finds

    def index_of(colour):
        return exact[colour] if colour in exact else nearest(colour, palette)

    rows = []
    for y in reversed(range(canvas.height)):
        line = [as_bytes(canvas.rgb[y * canvas.width + x]) for x in range(canvas.width)]
        alphas = [canvas.alpha[y * canvas.width + x] for x in range(canvas.width)]
        rows.append([index_of(c) if a >= 0.5 else index_of(BLACK) for c, a in zip(line, alphas)])
    return rows


def bitmap_rows(canvas, bits, palette=None):
    """The picture's rows, bottom-up, as a BMP stores them."""
    if palette:
        rows = [pack_indices(indices, bits) for indices in index_rows(canvas, palette)]
        return b"".join(data + row_padding(len(data)) for data in rows)
    rows = []
    for y in reversed(range(canvas.height)):
        line = [as_bytes(canvas.rgb[y * canvas.width + x]) for x in range(canvas.width)]
        alphas = [canvas.alpha[y * canvas.width + x] for x in range(canvas.width)]
        if bits == 24:
            data = b"".join(struct.pack("<BBB", b, g, r) for r, g, b in line)
        else:
            data = b"".join(struct.pack("<BBBB", b, g, r, round(a * 255))
                            for (r, g, b), a in zip(line, alphas))
        rows.append(data + row_padding(len(data)))
    return b"".join(rows)


# Run-length encodings of palette bitmaps (BI_RLE8, BI_RLE4): a row is a
# sequence of runs (a count and a colour, for RLE4 two colours taking turns)
# and literal stretches (0, a count of 3 to 255, the packed pixels padded to
# an even byte count), then 0 0 at the end of a row or 0 1 at the end of the
# picture.
RLE_CODES = {8: 1, 4: 2}  # BI_RLE8, BI_RLE4
MAX_COUNT = 255
MIN_LITERAL = 3


def literal_size(count, bits):
    data = (count * bits + 7) // 8
    return 2 + data + data % 2


def run_lengths(indices, bits):
    """The longest run from each pixel: one colour for RLE8, two colours
    taking turns for RLE4."""
    n = len(indices)
    period = 8 // bits
    # From each pixel on, how many in a row equal the one a period before.
    repeats = [0] * (n + period + 1)
    for k in reversed(range(period, n)):
        repeats[k] = repeats[k + 1] + 1 if indices[k] == indices[k - period] else 0
    return [min(n - i, period + repeats[i + period]) for i in range(n)]


def rle_row(indices, bits):
    """One row in its shortest encoding: from each pixel, the cheapest of a
    run as long as it goes and every literal stretch (dynamic programming
    from the row's end)."""
    n = len(indices)
    runs = run_lengths(indices, bits)
    literal = [literal_size(m, bits) for m in range(MAX_COUNT + 1)]
    cost = [0] * (n + 1)  # bytes for the pixels from here to the row's end
    step = [0] * n  # pixels the cheapest first piece covers; negative for a literal
    for i in reversed(range(n)):
        run = min(runs[i], MAX_COUNT)
        cost[i], step[i] = 2 + cost[i + run], run
        top = min(MAX_COUNT, n - i)
        if top >= MIN_LITERAL:
            sizes = [a + b for a, b in zip(literal[MIN_LITERAL:top + 1],
                                           cost[i + MIN_LITERAL:i + top + 1])]
            best = min(sizes)
            if best < cost[i]:
                cost[i], step[i] = best, -(sizes.index(best) + MIN_LITERAL)
    out = bytearray()
    i = 0
    while i < n:
        count = abs(step[i])
        if step[i] > 0 and bits == 8:
            out += bytes((count, indices[i]))
        elif step[i] > 0:
            second = indices[i + 1] if count > 1 else 0
            out += bytes((count, indices[i] << 4 | second))
        else:
            data = pack_indices(indices[i:i + count], bits)
            out += bytes((0, count)) + data + b"\0" * (len(data) % 2)
        i += count
    return bytes(out)


def rle_bitmap(rows, bits):
    encoded = [rle_row(indices, bits) for indices in rows]
    return b"\0\0".join(encoded) + b"\0\1"


def write_bmp(path, width, height, bits, pixels, palette=(), compression=0):
    colours = palette_bytes(palette, len(palette))
    header_size = 14 + 40 + len(colours)
    file_header = struct.pack("<2sIHHI", b"BM", header_size + len(pixels), 0, 0, header_size)
    header = info_header(width, height, bits, len(pixels), len(palette), compression)
    with open(path, "wb") as f:
        f.write(file_header + header + colours + pixels)


def write_smallest_bmp(path, canvas, palette):
    """The picture in the smallest form LoadImage takes, pixel for pixel:
    with its palette in the fewest bits that hold it, plain or run-length
    encoded, whichever is shorter; 24-bit when no palette holds it."""
    if palette is None:
        write_bmp(path, canvas.width, canvas.height, 24, bitmap_rows(canvas, 24))
        return
    rows = index_rows(canvas, palette)
    forms = []
    for bits in (4, 8):
        if len(palette) <= 1 << bits:
            packed = [pack_indices(indices, bits) for indices in rows]
            forms.append((bits, 0, b"".join(data + row_padding(len(data)) for data in packed)))
            forms.append((bits, RLE_CODES[bits], rle_bitmap(rows, bits)))
    bits, compression, pixels = min(forms, key=lambda form: len(form[2]))
    write_bmp(path, canvas.width, canvas.height, bits, pixels, palette, compression)


def own_palette(canvas):
    """Every colour of an opaque picture, when a palette can hold them all."""
    colours = sorted(set(as_bytes(c) for c in canvas.rgb))
    return colours if len(colours) <= 1 << 8 else None


def icon_image(canvas, bits, palette=None):
    """One icon image: header, palette, colour bitmap and AND mask."""
    xor = bitmap_rows(canvas, bits, palette)
    mask_rows = []
    for y in reversed(range(canvas.height)):
        transparent = [1 if canvas.alpha[y * canvas.width + x] < 0.5 else 0
                       for x in range(canvas.width)]
        data = pack_indices(transparent, 1)
        mask_rows.append(data + row_padding(len(data)))
    mask = b"".join(mask_rows)
    colours = palette_bytes(palette, 1 << bits) if palette else b""
    header = info_header(canvas.width, canvas.height * 2, bits, len(xor) + len(mask))
    return header + colours + xor + mask


def write_ico(path, images):
    """images: list of (canvas, bits, palette)."""
    blobs = [icon_image(c, bits, pal) for c, bits, pal in images]
    directory = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for (canvas, bits, _), blob in zip(images, blobs):
        colour_count = 16 if bits == 4 else 0
        directory += struct.pack("<BBBBHHII", canvas.width % 256, canvas.height % 256,
                                 colour_count, 0, 1, bits, len(blob), offset)
        offset += len(blob)
    with open(path, "wb") as f:
        f.write(directory + b"".join(blobs))


def write_png(path, canvas, background=(255, 255, 255)):
    """A preview (flattened on a background) for looking at the art."""
    import zlib

    raw = bytearray()
    for y in range(canvas.height):
        raw.append(0)
        for x in range(canvas.width):
            i = y * canvas.width + x
            a = canvas.alpha[i]
            raw.extend(as_bytes([c * a + b * (1 - a) for c, b in zip(canvas.rgb[i], background)]))

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))

    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n")
        f.write(chunk(b"IHDR", struct.pack(">IIBBBBB", canvas.width, canvas.height, 8, 2, 0, 0, 0)))
        f.write(chunk(b"IDAT", zlib.compress(bytes(raw), 9)))
        f.write(chunk(b"IEND", b""))


# ------------------------------------------------------------- the brand mark


# Colours of the mark, in full colour and in the 16-colour palette.
TRUE_SCHEME = {
    "badge_top": (60, 150, 84), "badge_bottom": (18, 88, 50), "badge_rim": BRAND_DARK,
    "paper": (255, 255, 255), "paper_edge": (150, 170, 150),
    "body_top": (246, 250, 244), "body_bottom": (196, 214, 192), "body_rim": (20, 60, 36),
    "slot": (28, 52, 36), "led": (120, 230, 90), "letter": BRAND_DARK,
}
VGA_SCHEME = {
    "badge_top": GREEN, "badge_bottom": GREEN, "badge_rim": BLACK,
    "paper": WHITE, "paper_edge": GRAY,
    "body_top": SILVER, "body_bottom": SILVER, "body_rim": BLACK,
    "slot": BLACK, "led": LIME, "letter": GREEN,
}


def draw_mark(canvas, size, scheme, samples):
    """The brand mark: a green badge with a printer on it, a stack of paper
    going in at the top and a sheet with a bold T coming out at the bottom.
    Drawn in 64 design units, on even units so that edges fall on whole
    pixels at 32 and 64 px. 16 px has its own pixel drawing: scaled down,
    the stack and the lamp would only blur the letter."""
    if size <= 16:
        draw_small_mark(canvas, size, scheme, samples)
        return
    s = size / 64.0

    def fill(shape, colour):
        inside, box = shape
        canvas.fill(inside, box, colour, s, samples)

    fill(round_rect(0, 0, 64, 64, 12), scheme["badge_rim"])
    fill(round_rect(2, 2, 62, 62, 10),
         vertical_gradient(scheme["badge_top"], scheme["badge_bottom"], 2, 62))

    # Paper going in: three sheets, each a little further forward.
    for x, y in [(26, 6), (22, 10), (18, 14)]:
        fill(rect(x - 2, y - 2, x + 26, y + 14), scheme["paper_edge"])
        fill(rect(x, y, x + 24, y + 14), scheme["paper"])

    # The printer body, with its lamp and the output slot.
    fill(round_rect(6, 24, 58, 46, 6), scheme["body_rim"])
    fill(round_rect(8, 26, 56, 44, 4), vertical_gradient(scheme["body_top"], scheme["body_bottom"], 26, 44))
    fill(round_rect(46, 30, 52, 34, 1), scheme["led"])
    fill(rect(12, 38, 52, 40), scheme["slot"])

    # The sheet coming out, with the brand letter.
    fill(rect(14, 40, 50, 60), scheme["paper_edge"])
    fill(rect(16, 40, 48, 60), scheme["paper"])
    fill(rect(20, 44, 44, 50), scheme["letter"])  # bar of the T
    fill(rect(28, 44, 36, 58), scheme["letter"])  # stem


def draw_small_mark(canvas, size, scheme, samples):
    """The 16 px mark, drawn pixel by pixel."""
    s = size / 16.0

    def fill(shape, colour):
        inside, box = shape
        canvas.fill(inside, box, colour, s, samples)

    fill(round_rect(0, 0, 16, 16, 3), scheme["badge_rim"])
    fill(round_rect(1, 1, 15, 15, 2), vertical_gradient(scheme["badge_top"], scheme["badge_bottom"], 1, 15))
    fill(rect(5, 2, 12, 6), scheme["paper_edge"])
    fill(rect(5, 2, 11, 6), scheme["paper"])
    fill(rect(2, 6, 14, 11), scheme["body_rim"])
    fill(rect(3, 6, 13, 9), scheme["body_top"])
    fill(rect(3, 10, 13, 15), scheme["paper"])
    fill(rect(4, 11, 12, 13), scheme["letter"])
    fill(rect(7, 11, 9, 15), scheme["letter"])


def mark_canvas(size, scheme, samples, background=None):
    if background is None:
        canvas = Canvas(size, size)
    else:
        canvas = Canvas(size, size, background, 1.0)
    draw_mark(canvas, size, scheme, samples)
    return canvas


# ------------------------------------------------------------- the menu picture

LOGO_SIZE = 64
PICTURE_SCALES = [(1, ""), (1.5, "-150"), (2, "-200")]
MENU_W, MENU_H = 317, 120
MENU_BAR_H = 20
MENU_FONT = 12
MENU_ITEMS = ["修改(M)", "窗口(W)", "帮助(H)"]
PLUGIN_MENU = "T_批打印"
PLUGIN_ENTRIES = ["单张打印到文件", "批量打印到文件", "按图框批量打印"]


def draw_text(canvas, text, x, y, colour, size=MENU_FONT):
    mask, w, h = text_mask(text, size)
    canvas.blit_mask(mask, w, h, x, y, colour)
    return w, h


def text_width(text, size=MENU_FONT):
    return text_mask(text, size)[1]


def bevel(canvas, x0, y0, x1, y1, light, dark, darker=None, width=1):
    """A classic raised 3-D frame: light top and left, dark bottom and right,
    in lines `width` pixels wide."""
    w = width

    def line(shape, colour):
        inside, box = shape
        canvas.fill(inside, box, colour, 1.0, 1)

    if darker:
        line(rect(x0, y1 - w, x1, y1), darker)
        line(rect(x1 - w, y0, x1, y1), darker)
        x1, y1 = x1 - w, y1 - w
    line(rect(x0, y0, x1, y0 + w), light)
    line(rect(x0, y0, x0 + w, y1), light)
    line(rect(x0, y1 - w, x1, y1), dark)
    line(rect(x1 - w, y0, x1, y1), dark)


def draw_menu_picture(scale=1.0):
    """The host's menu bar with the plug-in's menu opened over a drawing,
    and a red arrow pointing at it. Uses only the 16 standard colours.
    Designed in pixels at 100 %; at other scales every position is rounded
    to whole pixels, lines are as wide as the scale rounds to and the texts
    are drawn at the scaled size, so nothing is blurred by resampling."""

    def px(v):
        return int(v * scale + 0.5)

    lw = max(1, px(1))  # a line of the design
    font = px(MENU_FONT)
    canvas = Canvas(px(MENU_W), px(MENU_H), BLACK, 1.0)

    def flat(shape, colour, samples=1):
        inside, box = shape
        canvas.fill(inside, box, colour, 1.0, samples)

    def box(x0, y0, x1, y1):
        return rect(px(x0), px(y0), px(x1), px(y1))

    def frame(x0, y0, x1, y1):
        return ring(box(x0, y0, x1, y1), rect(px(x0) + lw, px(y0) + lw, px(x1) - lw, px(y1) - lw))

    def text(t, x, y, colour):
        return draw_text(canvas, t, x, y, colour, font)

    # A drawing in model space: a sheet frame with a title block, and a
    # part (a plate with a bore and its centre lines) in the host's colours.
    flat(frame(6, 26, 311, 117), GRAY)
    flat(frame(236, 98, 308, 114), GRAY)
    flat(rect(px(268), px(99), px(268) + lw, px(113)), GRAY)
    flat(frame(30, 84, 112, 110), WHITE)
    cx, cy, r = 71, 97, 8
    flat(ring(disc(cx * scale, cy * scale, r * scale), disc(cx * scale, cy * scale, r * scale - lw)),
         AQUA)
    flat(rect(px(cx - 13), px(cy), px(cx + 14), px(cy) + lw), YELLOW)
    flat(rect(px(cx), px(cy - 12), px(cx) + lw, px(cy + 13)), YELLOW)

    # The menu bar, in the classic style of the host's window.
    bar_h = px(MENU_BAR_H)
    flat(rect(0, 0, canvas.width, bar_h), SILVER)
    flat(rect(0, bar_h - lw, canvas.width, bar_h), GRAY)
    # The drawing's document icon at the left end of the bar.
    flat(box(5, 3, 16, 17), WHITE)
    flat(frame(5, 3, 16, 17), GRAY)
    flat(rect(px(7), px(13), px(14), px(13) + lw), BLUE)
    flat(polygon([(7 * scale, 13 * scale), (13 * scale, 6 * scale), (14 * scale, 7 * scale),
                  (8 * scale, 14 * scale)]), BLUE)

    x = px(22)
    for item in MENU_ITEMS:
        w, _ = text(item, x + px(6), px(4), BLACK)
        x += w + px(10)
    title_x0 = x
    title_w = text_width(PLUGIN_MENU, font) + px(12)
    # The opened menu's title: sunken, as a pressed classic menu title.
    bevel(canvas, title_x0, lw, title_x0 + title_w, bar_h - lw, GRAY, WHITE, width=lw)
    text(PLUGIN_MENU, title_x0 + px(7), px(5), BLACK)

    # The drop-down with the plug-in's three commands, the first one
    # highlighted as under the mouse.
    entry_h = px(22)
    width = max(text_width(e, font) for e in PLUGIN_ENTRIES) + px(40)
    x0, y0 = title_x0, bar_h - lw
    x1, y1 = x0 + width, y0 + 3 * entry_h + px(6)
    flat(rect(x0, y0, x1, y1), SILVER)
    bevel(canvas, x0, y0, x1, y1, WHITE, GRAY, BLACK, width=lw)
    for i, entry in enumerate(PLUGIN_ENTRIES):
        ey = y0 + px(3) + i * entry_h
        ink = BLACK
        if i == 0:
            flat(rect(x0 + px(3), ey, x1 - px(4), ey + entry_h), NAVY)
            ink = WHITE
        text(entry, x0 + px(24), ey + (entry_h - px(14)) // 2, ink)

    # The red arrow, pointing right at the opened menu.
    tip_x, mid_y = x0 - px(5), y0 + px(3) + entry_h + entry_h // 2
    shaft_x0, head_x0 = px(26), tip_x - px(22)
    half_shaft, half_head = px(6), px(16)
    arrow = polygon([(shaft_x0, mid_y - half_shaft), (head_x0, mid_y - half_shaft),
                     (head_x0, mid_y - half_head), (tip_x, mid_y), (head_x0, mid_y + half_head),
                     (head_x0, mid_y + half_shaft), (shaft_x0, mid_y + half_shaft)])
    flat(arrow, RED, 4)
    return canvas


def quantised(canvas, palette):
    out = Canvas(canvas.width, canvas.height)
    out.alpha = list(canvas.alpha)
    out.rgb = [list(palette[nearest(as_bytes(c), palette)]) for c in canvas.rgb]
    return out


# ------------------------------------------------------------- main


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.dirname(here)
    preview = os.environ.get("ART_PREVIEW")  # a folder for enlarged PNG previews

    # The two pictures of the dialog at 100 %, 150 % and 200 %: the dialog
    # shows the one that matches its display's scale.
    for scale, suffix in PICTURE_SCALES:
        logo = mark_canvas(round(LOGO_SIZE * scale), TRUE_SCHEME, 4, DIALOG_GREEN)
        write_smallest_bmp(os.path.join(out, "logo%s.bmp" % suffix), logo, own_palette(logo))
        menu = quantised(draw_menu_picture(scale), VGA16)
        write_smallest_bmp(os.path.join(out, "menu%s.bmp" % suffix), menu, VGA16)
        if preview:
            os.makedirs(preview, exist_ok=True)
            write_png(os.path.join(preview, "logo%s.png" % suffix), logo.scaled(3))
            write_png(os.path.join(preview, "menu%s.png" % suffix), menu.scaled(2))

    images = []
    for size in (48, 32, 16):
        images.append((mark_canvas(size, VGA_SCHEME, 1), 4, VGA16))
    for size in (48, 32, 16):
        full = mark_canvas(size, TRUE_SCHEME, 4)
        # Index 0 stays black: the colour of masked-out pixels.
        images.append((full, 8, [BLACK] + median_cut(opaque_colours(full), 255)))
    for size in (48, 32, 16):
        images.append((mark_canvas(size, TRUE_SCHEME, 4), 32, None))
    write_ico(os.path.join(out, "setup.ico"), images)
    write_ico(os.path.join(out, "small.ico"), [(mark_canvas(32, VGA_SCHEME, 1), 4, VGA16)])

    if preview:
        for i, (canvas, bits, palette) in enumerate(images):
            shown = quantised(canvas, palette) if palette else canvas
            write_png(os.path.join(preview, "icon%d_%d_%d.png" % (i, canvas.width, bits)),
                      shown.scaled(192 // canvas.width), DIALOG_GREEN)


if __name__ == "__main__":
    main()
