#!/usr/bin/env python3
"""Draws Morvane's pictures and writes them as Windows resource files.

    python3 tools/make-art.py           write the files
    python3 tools/make-art.py --check   exit 1 when a committed file differs

Files (paths relative to the repository root):
    app/Morvane.ico       16 x 16 and 32 x 32 images, 8 bits per pixel
    app/MorvaneSmall.ico  the 16 x 16 image alone (window icon)
    app/MorvaneLarge.ico  the 32 x 32 image alone (program icon)
    about/AboutImage.bmp  32 x 32, 8 bits per pixel; its bottom-left pixel is
                          the light grey the about window keys out

The icon shows a filing cabinet with a globe in front of it (stored pages
from the web); the about picture a document page with a clock face in front
of it. Everything is drawn here from plain shapes and a few small hand-drawn
pixel maps, so the output is identical on every run. Standard library only.
"""

import math
import struct
import sys
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent

BLACK = (0, 0, 0)
WHITE = (255, 255, 255)
KEY_GREY = (192, 192, 192)  # transparent colour of the about picture


class Canvas:
    """A small RGB picture; None marks a transparent pixel."""

    def __init__(self, width, height, fill=None):
        self.width = width
        self.height = height
        self.pixels = [[fill] * width for _ in range(height)]

    def put(self, x, y, colour):
        if 0 <= x < self.width and 0 <= y < self.height:
            self.pixels[y][x] = colour

    def get(self, x, y):
        return self.pixels[y][x]

    def rect(self, x0, y0, x1, y1, colour):
        """Fills the rectangle with corners (x0, y0) and (x1, y1), inclusive."""
        for y in range(y0, y1 + 1):
            for x in range(x0, x1 + 1):
                self.put(x, y, colour)

    def frame(self, x0, y0, x1, y1, colour):
        self.rect(x0, y0, x1, y0, colour)
        self.rect(x0, y1, x1, y1, colour)
        self.rect(x0, y0, x0, y1, colour)
        self.rect(x1, y0, x1, y1, colour)

    def line(self, x0, y0, x1, y1, colour):
        dx, dy = abs(x1 - x0), -abs(y1 - y0)
        sx, sy = (1 if x0 < x1 else -1), (1 if y0 < y1 else -1)
        err = dx + dy
        while True:
            self.put(x0, y0, colour)
            if x0 == x1 and y0 == y1:
                return
            e2 = 2 * err
            if e2 >= dy:
                err += dy
                x0 += sx
            if e2 <= dx:
                err += dx
                y0 += sy

    def stamp(self, x0, y0, rows, colours):
        """Paints a hand-drawn pixel map; '.' leaves the pixel as it is."""
        for dy, row in enumerate(rows):
            for dx, ch in enumerate(row):
                if ch != '.':
                    self.put(x0 + dx, y0 + dy, colours[ch])


def in_disc(x, y, cx, cy, r):
    """True when the centre of pixel (x, y) lies inside the circle."""
    return (x + 0.5 - cx) ** 2 + (y + 0.5 - cy) ** 2 <= r * r


# ---------------------------------------------------------------- the globe

# Coastlines, much simplified, as (latitude, longitude) polygons in degrees
# (north and east positive). Only the side of the earth that faces the viewer
# matters: the Americas and the Atlantic coasts of Europe and Africa.
CONTINENTS = [
    # North and Central America
    [(71, -156), (70, -141), (69, -130), (70, -115), (68, -100), (67, -90),
     (60, -94), (57, -92), (52, -80), (56, -77), (62, -78), (60, -64),
     (53, -56), (47, -53), (45, -61), (44, -66), (42, -70), (41, -72),
     (35, -76), (32, -81), (30, -81), (25, -80), (27, -82), (30, -84),
     (29, -89), (29, -95), (26, -97), (22, -98), (19, -96), (18, -94),
     (21, -90), (21, -87), (16, -88), (15, -83), (11, -83), (9, -79),
     (8, -77), (8, -80), (13, -88), (16, -95), (20, -105), (23, -110),
     (32, -117), (34, -120), (40, -124), (48, -125), (55, -131), (59, -138),
     (60, -146), (58, -153), (55, -162), (60, -165), (65, -168)],
    # Arctic islands of Canada
    [(82, -90), (83, -65), (78, -72), (73, -78), (70, -70), (66, -62),
     (62, -66), (64, -78), (70, -88), (72, -96), (74, -100), (76, -118),
     (79, -110)],
    # South America
    [(12, -72), (11, -64), (10, -62), (5, -52), (0, -50), (-2, -44),
     (-5, -35), (-8, -35), (-13, -39), (-23, -43), (-25, -48), (-33, -53),
     (-35, -57), (-39, -62), (-42, -64), (-47, -66), (-52, -69), (-55, -67),
     (-54, -72), (-47, -75), (-40, -74), (-30, -71), (-18, -70), (-14, -76),
     (-5, -81), (0, -80), (2, -78), (7, -77), (9, -76), (11, -74)],
    # Greenland
    [(83, -35), (82, -20), (76, -18), (70, -22), (65, -38), (60, -43),
     (64, -51), (70, -54), (76, -68), (78, -72), (82, -60)],
    # Iceland
    [(64, -22), (66, -23), (66, -14), (64, -14)],
    # Europe, its western part
    [(36, -9), (43, -9), (43, -2), (48, -5), (51, 2), (54, 9), (58, 6),
     (64, 10), (71, 26), (70, 40), (45, 40), (40, 26), (37, 15), (38, 0),
     (36, -5)],
    # Great Britain and Ireland
    [(50, -5), (51, 1), (53, 0), (58, -2), (58, -6), (55, -6), (54, -10),
     (52, -10)],
    # Africa
    [(37, 10), (33, 11), (31, 20), (31, 32), (22, 37), (12, 44), (11, 51),
     (2, 46), (-5, 39), (-15, 41), (-25, 35), (-34, 26), (-34, 18), (-29, 16),
     (-17, 12), (-9, 13), (-1, 9), (4, 9), (4, 2), (5, -4), (5, -8),
     (8, -13), (15, -17), (21, -17), (28, -13), (33, -8), (36, -6)],
]


def is_land(lat, lon):
    inside = False
    for outline in CONTINENTS:
        n = len(outline)
        for i in range(n):
            (la0, lo0), (la1, lo1) = outline[i], outline[(i + 1) % n]
            if (la0 > lat) != (la1 > lat):
                if lon < lo0 + (lat - la0) * (lo1 - lo0) / (la1 - la0):
                    inside = not inside
    return inside


OCEAN = [(24, 56, 168), (32, 96, 216), (72, 144, 240), (168, 208, 255)]
LAND = [(0, 100, 0), (24, 152, 24), (96, 200, 56), (176, 232, 128)]
GLOBE_RIM = (0, 24, 96)


def land_at(x, y, centre_lon, c0):
    """Whether the globe point seen at (x, y) of the unit disc is land
    (inverse orthographic projection)."""
    z = math.sqrt(max(0.0, 1.0 - x * x - y * y))
    lat = math.asin(max(-1.0, min(1.0, z * math.sin(c0) - y * math.cos(c0))))
    lon = centre_lon + math.degrees(math.atan2(x, z * math.cos(c0) + y * math.sin(c0)))
    return is_land(math.degrees(lat), (lon + 180.0) % 360.0 - 180.0)


def draw_globe(canvas, x0, y0, size, centre_lon, centre_lat, land_override=None):
    """Draws a shaded globe filling the size x size square at (x0, y0).

    Each pixel inside the disc is turned back into a latitude and longitude
    (orthographic view centred on the given point) and looked up in CONTINENTS,
    then lit from the top left. land_override, when given, is a hand-drawn
    land map (rows of '#' and '.') used instead of the projection; very small
    globes read better drawn by hand.
    """
    r = size / 2.0
    c0 = math.radians(centre_lat)
    light = (-0.55, -0.6, 0.58)
    norm = math.sqrt(sum(v * v for v in light))
    light = tuple(v / norm for v in light)
    for py in range(size):
        for px in range(size):
            if not in_disc(px, py, r, r, r):
                continue
            x = (px + 0.5 - r) / r
            y = (py + 0.5 - r) / r
            z = math.sqrt(max(0.0, 1.0 - x * x - y * y))
            edge = any(not in_disc(px + dx, py + dy, r, r, r)
                       for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1)))
            if edge:
                canvas.put(x0 + px, y0 + py, GLOBE_RIM)
                continue
            if land_override is not None:
                land = land_override[py][px] == '#'
            else:
                votes = 0
                for sy in (0.2, 0.5, 0.8):
                    for sx in (0.2, 0.5, 0.8):
                        votes += land_at((px + sx - r) / r, (py + sy - r) / r,
                                         centre_lon, c0)
                land = votes >= 5
            lit = x * light[0] + y * light[1] + z * light[2]
            level = 0 if lit < 0.25 else 1 if lit < 0.62 else 2 if lit < 0.93 else 3
            canvas.put(x0 + px, y0 + py, (LAND if land else OCEAN)[level])


# --------------------------------------------------------- the filing cabinet

CAB_EDGE = (40, 32, 24)
CAB_LIGHT = (248, 236, 200)
CAB_FACE = (224, 200, 144)
CAB_SHADE = (176, 144, 88)
CAB_DARK = (120, 92, 48)
HANDLE = (64, 64, 72)
HANDLE_LIGHT = (150, 150, 160)
LABEL = WHITE


def draw_cabinet_32(c):
    x0, y0, x1, y1 = 2, 1, 22, 29
    # body with a lit left edge and a shaded right edge
    c.rect(x0, y0, x1, y1, CAB_FACE)
    c.frame(x0, y0, x1, y1, CAB_EDGE)
    for top, bottom in ((y0 + 1, 14), (16, y1 - 2)):
        # one drawer: a raised front with a label holder and a handle
        dx0, dx1 = x0 + 2, x1 - 2
        c.rect(dx0, top + 1, dx1, bottom, CAB_FACE)
        c.rect(dx0, top + 1, dx1, top + 1, CAB_LIGHT)
        c.rect(dx0, top + 1, dx0, bottom, CAB_LIGHT)
        c.rect(dx0, bottom, dx1, bottom, CAB_DARK)
        c.rect(dx1, top + 1, dx1, bottom, CAB_DARK)
        c.rect(dx0 + 1, bottom - 1, dx1 - 1, bottom - 1, CAB_SHADE)
        mid = (dx0 + dx1) // 2
        c.frame(mid - 3, top + 3, mid + 3, top + 6, CAB_DARK)
        c.rect(mid - 2, top + 4, mid + 2, top + 5, LABEL)
        c.rect(mid - 3, top + 9, mid + 3, top + 10, HANDLE)
        c.rect(mid - 2, top + 9, mid + 2, top + 9, HANDLE_LIGHT)
    # gaps between the drawers and the body
    c.rect(x0 + 1, 15, x1 - 1, 15, CAB_SHADE)
    c.rect(x0 + 1, y1 - 1, x1 - 1, y1 - 1, CAB_SHADE)
    c.rect(x0 + 1, y0 + 1, x0 + 1, y1 - 1, CAB_LIGHT)
    c.rect(x1 - 1, y0 + 1, x1 - 1, y1 - 1, CAB_SHADE)


CABINET_16 = [
    "kkkkkkkkkk",
    "khhhhhhhhk",
    "khcwwwwcdk",
    "khccccccdk",
    "khcmmmmcdk",
    "kddddddddk",
    "kkkkkkkkkk",
    "khhhhhhhhk",
    "khcwwwwcdk",
    "khccccccdk",
    "khcmmmmcdk",
    "kddddddddk",
    "kkkkkkkkkk",
]

# the small globe's land, drawn by hand ('#'); the rim is drawn over the border
GLOBE_LAND_9 = [
    ".........",
    "..###....",
    ".####..#.",
    ".###..##.",
    "..#...##.",
    "....#.#..",
    "....##...",
    ".....#...",
    ".........",
]


def draw_icon_16():
    c = Canvas(16, 16)
    c.stamp(1, 1, CABINET_16, {
        'k': CAB_EDGE, 'h': CAB_LIGHT, 'c': CAB_FACE, 'd': CAB_SHADE,
        'w': LABEL, 'm': HANDLE,
    })
    draw_globe(c, 7, 7, 9, -60, 20, GLOBE_LAND_9)
    return c


def draw_icon_32():
    c = Canvas(32, 32)
    draw_cabinet_32(c)
    draw_globe(c, 13, 13, 19, -60, 20)
    return c


# ------------------------------------------------------- the about picture

PAGE_EDGE = (96, 96, 96)
PAGE_FOLD = (224, 224, 224)
TEXT_LINE = (144, 144, 144)
RIM_DARK = (160, 120, 0)
RIM = (255, 208, 0)
RIM_LIGHT = (255, 240, 128)
RIM_SHADE = (224, 168, 0)
TICK = (96, 96, 96)


def draw_about():
    c = Canvas(32, 32)
    # the page, with its top-right corner folded over
    x0, y0, x1, y1, fold = 3, 1, 22, 27, 6
    c.rect(x0, y0, x1, y1, WHITE)
    c.frame(x0, y0, x1, y1, PAGE_EDGE)
    for i in range(fold):
        c.rect(x1 - fold + 1 + i, y0, x1, y0 + i, None)
    c.line(x1 - fold, y0, x1, y0 + fold, PAGE_EDGE)
    for i in range(fold):
        c.rect(x1 - fold, y0 + i, x1 - fold + i, y0 + i, PAGE_FOLD)
    c.rect(x1 - fold, y0, x1 - fold, y0 + fold, PAGE_EDGE)
    c.rect(x1 - fold, y0 + fold, x1, y0 + fold, PAGE_EDGE)
    for y, xa, xb in ((4, 6, 14), (7, 6, 19), (10, 6, 17), (13, 6, 19),
                      (16, 6, 12), (19, 6, 11), (22, 6, 10)):
        c.rect(xa, y, xb, y, TEXT_LINE)

    # the clock in front of the page's bottom right
    cx, cy, r = 22.5, 22.5, 9.5
    for y in range(32):
        for x in range(32):
            if in_disc(x, y, cx, cy, r):
                c.put(x, y, RIM_DARK)
            if in_disc(x, y, cx, cy, r - 1):
                lit = (x + 0.5 - cx) + (y + 0.5 - cy)
                c.put(x, y, RIM_LIGHT if lit < -6 else RIM if lit < 6 else RIM_SHADE)
            if in_disc(x, y, cx, cy, r - 2.2):
                c.put(x, y, RIM_DARK)
            if in_disc(x, y, cx, cy, r - 3.0):
                c.put(x, y, WHITE)
    ox, oy = int(cx), int(cy)
    for dx, dy in ((0, -6), (6, 0), (0, 6), (-6, 0)):
        c.put(ox + dx, oy + dy, TICK)
    c.rect(ox, oy - 4, ox, oy, BLACK)       # minute hand at twelve
    c.rect(ox, oy, ox + 3, oy, BLACK)       # hour hand at three
    return c


# ------------------------------------------------------------ file writers

def palette_of(canvases, first):
    """A 256-entry palette: `first` at index 0, then every colour in use."""
    colours = {first}
    for canvas in canvases:
        for row in canvas.pixels:
            colours.update(p for p in row if p is not None)
    ordered = [first] + sorted(colours - {first})
    if len(ordered) > 256:
        raise SystemExit("too many colours: %d" % len(ordered))
    return ordered + [BLACK] * (256 - len(ordered))


def dib(canvas, palette, with_mask):
    """BITMAPINFOHEADER, palette and bottom-up 8-bit rows (plus AND mask)."""
    index = {}
    for i, colour in enumerate(palette):
        index.setdefault(colour, i)
    w, h = canvas.width, canvas.height
    stride = (w + 3) & ~3
    pixels = bytearray()
    for y in reversed(range(h)):
        row = bytes(0 if p is None else index[p] for p in canvas.pixels[y])
        pixels += row + bytes(stride - w)
    mask = bytearray()
    if with_mask:
        mask_stride = ((w + 31) // 32) * 4
        for y in reversed(range(h)):
            bits = bytearray(mask_stride)
            for x, p in enumerate(canvas.pixels[y]):
                if p is None:
                    bits[x // 8] |= 0x80 >> (x % 8)
            mask += bits
    header = struct.pack('<IiiHHIIiiII', 40, w, h * 2 if with_mask else h, 1, 8, 0,
                         len(pixels) + len(mask), 0, 0, 256, 0)
    table = b''.join(struct.pack('<BBBB', b, g, r, 0) for r, g, b in palette)
    return header + table + bytes(pixels) + bytes(mask)


def ico(canvases):
    """A classic ICO file holding each picture as an 8-bit DIB with a mask."""
    images = [dib(c, palette_of([c], BLACK), True) for c in canvases]
    out = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for canvas, image in zip(canvases, images):
        out += struct.pack('<BBBBHHII', canvas.width, canvas.height, 0, 0, 1, 8,
                           len(image), offset)
        offset += len(image)
    return out + b''.join(images)


def bmp(canvas, background):
    """A Windows BMP, 8 bits per pixel; transparent pixels get `background`,
    which nothing else in the picture may use."""
    flat = Canvas(canvas.width, canvas.height)
    for y in range(canvas.height):
        for x in range(canvas.width):
            p = canvas.get(x, y)
            if p == background:
                raise SystemExit("the background colour is used at (%d, %d)" % (x, y))
            flat.put(x, y, background if p is None else p)
    body = dib(flat, palette_of([flat], background), False)
    offset = 14 + 40 + 256 * 4
    return struct.pack('<2sIHHI', b'BM', 14 + len(body), 0, 0, offset) + body


def build():
    small, large = draw_icon_16(), draw_icon_32()
    about = draw_about()
    if about.get(0, about.height - 1) is not None:
        raise SystemExit("the about picture's bottom-left pixel must be background")
    return {
        'app/Morvane.ico': ico([small, large]),
        'app/MorvaneSmall.ico': ico([small]),
        'app/MorvaneLarge.ico': ico([large]),
        'about/AboutImage.bmp': bmp(about, KEY_GREY),
    }


def main(argv):
    check = argv[1:] == ['--check']
    if argv[1:] and not check:
        print("usage: make-art.py [--check]", file=sys.stderr)
        return 2
    failed = False
    for name, data in build().items():
        path = ROOT / name
        if check:
            if not path.exists() or path.read_bytes() != data:
                print("differs from the generator: " + name, file=sys.stderr)
                failed = True
        else:
            path.write_bytes(data)
            print("wrote %s (%d bytes)" % (name, len(data)))
    return 1 if failed else 0


if __name__ == '__main__':
    sys.exit(main(sys.argv))
