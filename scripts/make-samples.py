#!/usr/bin/env python3
"""Makes the demo camera's photos in samples/: DSC00001.JPG to DSC00007.JPG.

Each photo is a landscape drawn here (no picture comes from anywhere else), 640 x 480,
saved as a baseline JPEG of quality 80. DSC00001 to DSC00006 carry the block a camera
writes: an APP1 "Exif" segment right after SOI, built byte by byte below, whose TIFF block
holds IFD0 (Make "Lumora", Model, Orientation 1, resolution, DateTime) and IFD1
(Compression 6, JPEGInterchangeFormat 0x0201 and JPEGInterchangeFormatLength 0x0202) with a
160 x 120 JPEG thumbnail of the same scene. The odd-numbered ones are little-endian
("II*\\0"), the even-numbered ones big-endian ("MM\\0*"). DSC00007 has no EXIF block, so a
viewer must decode the whole file for its picture.

Everything is drawn from fixed seeds, so a second run writes the same bytes (a file that
already holds them is left as it is). Afterwards every photo is read back by a parser of
its own to check the thumbnail, the byte order and the sizes.

Run through scripts/make-samples.sh, which installs Debian's python3-pil when missing.
"""
import io
import math
import os
import random
import struct
import sys

from PIL import Image, ImageChops, ImageDraw

WIDTH, HEIGHT = 640, 480
THUMB_SIZE = (160, 120)
SUPERSAMPLE = 2          # scenes are drawn at twice the size and scaled down: smooth edges
QUALITY = 80
THUMB_QUALITY = 75
MAX_FILE_BYTES = 80 * 1024
WHOLE_IMAGE_LIMIT = 524288  # a photo without a thumbnail is pictured from all its bytes

SAMPLES = os.path.join(os.path.dirname(os.path.abspath(__file__)), os.pardir, "samples")


class Canvas:
    """A scene being drawn: coordinates in the photo's 640 x 480 pixels, colours blended."""

    def __init__(self, seed):
        self.image = Image.new("RGB", (WIDTH * SUPERSAMPLE, HEIGHT * SUPERSAMPLE))
        self.draw = ImageDraw.Draw(self.image, "RGBA")
        self.rng = random.Random(seed)

    def xy(self, points):
        """Photo coordinates to the drawing's."""
        return [(x * SUPERSAMPLE, y * SUPERSAMPLE) for x, y in points]

    def box(self, x0, y0, x1, y1):
        return [x0 * SUPERSAMPLE, y0 * SUPERSAMPLE, x1 * SUPERSAMPLE, y1 * SUPERSAMPLE]

    def gradient(self, top, bottom, stops):
        """Horizontal bands from y = top to bottom through (position 0..1, colour) stops."""
        for row in range(top * SUPERSAMPLE, bottom * SUPERSAMPLE):
            t = (row - top * SUPERSAMPLE) / max(1, (bottom - top) * SUPERSAMPLE - 1)
            self.draw.line([(0, row), (WIDTH * SUPERSAMPLE, row)], fill=blend_stops(stops, t))

    def polygon(self, points, fill):
        self.draw.polygon(self.xy(points), fill=fill)

    def ellipse(self, x0, y0, x1, y1, fill):
        self.draw.ellipse(self.box(x0, y0, x1, y1), fill=fill)

    def rect(self, x0, y0, x1, y1, fill):
        self.draw.rectangle(self.box(x0, y0, x1, y1), fill=fill)

    def line(self, points, fill, width):
        self.draw.line(self.xy(points), fill=fill, width=max(1, round(width * SUPERSAMPLE)))

    def circle(self, cx, cy, r, fill):
        self.ellipse(cx - r, cy - r, cx + r, cy + r, fill)

    def glow(self, cx, cy, r, colour, rings=12, reach=3.0, core=True):
        """A soft halo of faint discs around a bright one (sun, moon)."""
        for i in range(rings, 0, -1):
            radius = r * (1 + (reach - 1) * i / rings)
            self.circle(cx, cy, radius, colour + (int(60 / rings) + 2,))
        if core:
            self.circle(cx, cy, r, colour)

    def ridge(self, base, waves, fill, step=4):
        """A band of land from a wavy top line down to the photo's bottom."""
        points = [(0, HEIGHT)]
        for x in range(0, WIDTH + step, step):
            y = base + sum(a * math.sin(2 * math.pi * x / period + phase) for a, period, phase in waves)
            points.append((x, y))
        points.append((WIDTH, HEIGHT))
        self.polygon(points, fill)

    def waves(self, count, amplitude, shortest, longest):
        """Random sine terms for a ridge, from the canvas's seed."""
        return [(amplitude * self.rng.uniform(0.4, 1.0), self.rng.uniform(shortest, longest),
                 self.rng.uniform(0, 2 * math.pi)) for _ in range(count)]

    def reflect(self, waterline, depth, tint, alpha):
        """Mirrors what stands above the waterline into the water below it, tinted."""
        s = SUPERSAMPLE
        above = self.image.crop((0, (waterline - depth) * s, WIDTH * s, waterline * s))
        self.image.paste(above.transpose(Image.Transpose.FLIP_TOP_BOTTOM), (0, waterline * s))
        self.rect(0, waterline, WIDTH, waterline + depth, tint + (alpha,))
        for _ in range(60):
            y = self.rng.uniform(waterline + 3, waterline + depth)
            x = self.rng.uniform(-40, WIDTH)
            self.line([(x, y), (x + self.rng.uniform(20, 90), y)], (255, 255, 255, 40), 1)

    def photo(self):
        """The finished 640 x 480 picture."""
        return self.image.resize((WIDTH, HEIGHT), Image.Resampling.LANCZOS)


def blend(a, b, t):
    return tuple(round(x + (y - x) * t) for x, y in zip(a, b))


def blend_stops(stops, t):
    for (p0, c0), (p1, c1) in zip(stops, stops[1:]):
        if t <= p1:
            return blend(c0, c1, (t - p0) / max(1e-9, p1 - p0))
    return stops[-1][1]


def cloud(c, cx, cy, size, colour=(255, 255, 255, 225)):
    """A cumulus of overlapping puffs."""
    for dx, dy, r in ((-1.0, 0.15, 0.55), (-0.35, -0.25, 0.7), (0.35, -0.1, 0.65), (1.0, 0.2, 0.5), (0, 0.25, 0.6)):
        c.ellipse(cx + dx * size - r * size, cy + dy * size - r * size * 0.8,
                  cx + dx * size + r * size, cy + dy * size + r * size * 0.8, colour)


def round_tree(c, x, ground, height, crown=(46, 120, 40)):
    """A broad-leaved tree: trunk and three-puff crown."""
    c.rect(x - height * 0.06, ground - height * 0.45, x + height * 0.06, ground, (92, 62, 36))
    r = height * 0.3
    dark = blend(crown, (0, 0, 0), 0.25)
    c.circle(x - r * 0.55, ground - height * 0.55, r * 0.8, dark)
    c.circle(x + r * 0.55, ground - height * 0.58, r * 0.8, dark)
    c.circle(x, ground - height * 0.75, r, crown)


def pine(c, x, ground, height, colour=(28, 78, 46), snow=False):
    """A conifer of three stacked tiers, white-tipped in winter."""
    c.rect(x - height * 0.04, ground - height * 0.15, x + height * 0.04, ground, (80, 52, 30))
    for tier in range(3):
        bottom = ground - height * (0.12 + tier * 0.25)
        half = height * (0.32 - tier * 0.08)
        top = bottom - height * 0.42
        c.polygon([(x - half, bottom), (x + half, bottom), (x, top)], colour)
        if snow:
            c.polygon([(x - half * 0.45, top + (bottom - top) * 0.45), (x + half * 0.45, top + (bottom - top) * 0.45),
                       (x, top)], (240, 244, 250))


def house(c, x, ground, width, wall, roof):
    """A cottage: walls, pitched roof, door, two windows and a chimney."""
    height = width * 0.62
    top = ground - height
    c.rect(x + width * 0.62, top - width * 0.42, x + width * 0.74, top - width * 0.1, (120, 70, 56))
    c.rect(x, top, x + width, ground, wall)
    c.polygon([(x - width * 0.1, top + 2), (x + width * 1.1, top + 2), (x + width * 0.5, top - width * 0.45)], roof)
    c.rect(x + width * 0.42, ground - height * 0.55, x + width * 0.58, ground, (96, 60, 40))
    for wx in (0.12, 0.7):
        c.rect(x + width * wx, top + height * 0.22, x + width * (wx + 0.18), top + height * 0.5, (250, 226, 120))
        c.line([(x + width * (wx + 0.09), top + height * 0.22), (x + width * (wx + 0.09), top + height * 0.5)],
               (90, 70, 60), 1.5)


def crescent(c, cx, cy, r, colour):
    """A waxing moon: a faint halo, then the disc less the part in the earth's shadow."""
    c.glow(cx, cy, r, colour, reach=2.2, core=False)
    lit = Image.new("L", c.image.size, 0)
    ImageDraw.Draw(lit).ellipse(c.box(cx - r, cy - r, cx + r, cy + r), fill=255)
    ImageDraw.Draw(lit).ellipse(c.box(cx - r * 0.55, cy - r * 1.25, cx + r * 1.45, cy + r * 0.75), fill=0)
    c.image.paste(colour, mask=lit)


def birds(c, count, x0, x1, y0, y1, colour=(30, 20, 30)):
    for _ in range(count):
        x, y, s = c.rng.uniform(x0, x1), c.rng.uniform(y0, y1), c.rng.uniform(5, 10)
        c.line([(x - s, y - s * 0.4), (x, y), (x + s, y - s * 0.4)], colour, 1.6)


def meadow(c):
    """Summer noon: blue sky, sun, clouds, green hills, a red-roofed cottage and trees."""
    c.gradient(0, 300, [(0, (52, 112, 206)), (1, (170, 210, 245))])
    c.glow(535, 80, 38, (255, 236, 120))
    cloud(c, 150, 90, 45)
    cloud(c, 350, 60, 32)
    c.ridge(270, c.waves(3, 22, 180, 500), (120, 176, 92))
    c.ridge(330, c.waves(3, 18, 220, 600), (84, 156, 60))
    house(c, 250, 360, 120, (244, 236, 220), (186, 48, 38))
    round_tree(c, 140, 372, 130)
    round_tree(c, 450, 360, 110, (60, 138, 48))
    round_tree(c, 560, 380, 150)
    c.polygon([(300, 362), (330, 362), (420, 480), (330, 480)], (196, 170, 120))
    for _ in range(500):
        x, y = c.rng.uniform(0, WIDTH), c.rng.uniform(380, HEIGHT)
        c.line([(x, y), (x + c.rng.uniform(-2, 2), y - c.rng.uniform(4, 10))], (50, 120, 40, 160), 1)
    for _ in range(50):
        x, y = c.rng.uniform(0, WIDTH), c.rng.uniform(390, HEIGHT)
        c.circle(x, y, 2.2, c.rng.choice([(250, 240, 90), (250, 250, 250), (230, 90, 120)]))


def lake(c):
    """Mountain lake: snow-capped peaks and a pine shore mirrored in still water."""
    c.gradient(0, 300, [(0, (110, 160, 220)), (1, (214, 232, 246))])
    peaks = [(-40, 300), (80, 120), (170, 210), (290, 70), (410, 190), (500, 110), (680, 300)]
    c.polygon(peaks, (106, 118, 146))
    for (x0, y0), (x1, y1), (x2, y2) in zip(peaks, peaks[1:], peaks[2:]):
        if y1 < y0 and y1 < y2:
            c.polygon([(x1 + (x0 - x1) * 0.3, y1 + (y0 - y1) * 0.3), (x1, y1),
                       (x1 + (x2 - x1) * 0.3, y1 + (y2 - y1) * 0.3), (x1, y1 + (y2 - y1) * 0.18)], (244, 246, 252))
    c.ridge(262, c.waves(2, 10, 150, 400), (70, 110, 78))
    for i in range(26):
        x = i * 26 + c.rng.uniform(-6, 6)
        pine(c, x, 300, c.rng.uniform(50, 90), (30, 72, 50))
    c.reflect(300, 180, (40, 84, 120), 110)
    c.rect(0, 300, WIDTH, 304, (200, 220, 235, 120))


def sunset(c):
    """Sunset at sea: purple to orange sky, a setting sun, its glitter and a dark headland."""
    c.gradient(0, 300, [(0, (58, 34, 96)), (0.45, (196, 70, 92)), (0.8, (246, 150, 70)), (1, (255, 210, 110))])
    c.glow(330, 300, 62, (255, 200, 90), reach=2.4)
    c.gradient(300, HEIGHT, [(0, (120, 60, 90)), (1, (24, 20, 52))])
    for _ in range(160):
        y = c.rng.uniform(304, HEIGHT)
        spread = 30 + (y - 300) * 0.9
        x = 330 + c.rng.gauss(0, spread * 0.45)
        length = c.rng.uniform(8, 30) * (0.5 + (y - 300) / 180)
        c.line([(x - length / 2, y), (x + length / 2, y)], (255, 190, 100, 170), 1.6)
    c.polygon([(0, 240), (60, 226), (130, 250), (190, 300), (0, 320)], (28, 16, 34))
    c.rect(66, 176, 80, 230, (28, 16, 34))
    c.polygon([(62, 178), (84, 178), (73, 164)], (28, 16, 34))
    c.rect(68, 182, 78, 190, (255, 224, 140))
    birds(c, 7, 380, 600, 90, 190)


def winter(c):
    """Winter morning: pale sky, snowy hills, pines and a snow-roofed cabin, falling snow."""
    c.gradient(0, 280, [(0, (150, 170, 196)), (1, (222, 228, 236))])
    c.glow(140, 110, 26, (250, 248, 236), reach=2.5)
    c.ridge(250, c.waves(3, 20, 200, 500), (200, 212, 230))
    for i in range(14):
        pine(c, 20 + i * 46 + c.rng.uniform(-10, 10), 262, c.rng.uniform(50, 80), (40, 74, 62), snow=True)
    c.ridge(320, c.waves(3, 16, 250, 650), (236, 240, 248))
    house(c, 380, 350, 110, (132, 84, 54), (240, 244, 250))
    for x, h in ((90, 160), (200, 120), (560, 150)):
        pine(c, x, 380 + h * 0.1, h, (24, 64, 44), snow=True)
    c.polygon([(0, 430), (260, 400), (640, 440), (640, 480), (0, 480)], (214, 224, 240))
    for _ in range(260):
        c.circle(c.rng.uniform(0, WIDTH), c.rng.uniform(0, HEIGHT), c.rng.uniform(1, 2.6), (255, 255, 255, 210))


def night_city(c):
    """Night over a city: crescent moon, stars, lit windows and their reflection in a river."""
    c.gradient(0, 360, [(0, (6, 10, 34)), (1, (34, 46, 96))])
    for _ in range(140):
        c.circle(c.rng.uniform(0, WIDTH), c.rng.uniform(0, 250), c.rng.uniform(0.6, 1.6), (255, 255, 235))
    crescent(c, 500, 80, 34, (246, 240, 200))
    x = -10
    while x < WIDTH:
        w, h = c.rng.uniform(40, 80), c.rng.uniform(90, 250)
        shade = c.rng.randint(18, 40)
        c.rect(x, 340 - h, x + w, 340, (shade, shade, shade + 14))
        for wy in range(int(340 - h) + 10, 330, 14):
            for wx in range(int(x) + 6, int(x + w) - 8, 11):
                if c.rng.random() < 0.45:
                    c.rect(wx, wy, wx + 6, wy + 7, c.rng.choice([(255, 214, 110), (255, 240, 170), (200, 220, 255)]))
        x += w + c.rng.uniform(2, 10)
    c.reflect(340, 140, (10, 16, 44), 150)


def beach(c):
    """Beach at noon: turquoise sea, sand, a palm tree, a sailboat and a striped parasol."""
    c.gradient(0, 250, [(0, (40, 130, 220)), (1, (180, 226, 250))])
    c.glow(120, 70, 30, (255, 250, 200))
    cloud(c, 450, 80, 36)
    c.gradient(250, 360, [(0, (20, 120, 170)), (1, (60, 200, 200))])
    c.polygon([(0, 340), (200, 330), (420, 346), (640, 326), (640, 480), (0, 480)], (236, 214, 160))
    c.polygon([(0, 340), (200, 330), (420, 346), (640, 326), (640, 334), (420, 352), (200, 338), (0, 348)],
              (250, 250, 250, 200))
    c.polygon([(300, 270), (380, 270), (370, 282), (310, 282)], (250, 250, 250))
    c.polygon([(340, 266), (340, 180), (384, 264)], (252, 252, 246))
    c.polygon([(336, 266), (336, 200), (304, 264)], (232, 92, 70))
    c.line([(338, 270), (338, 176)], (90, 70, 60), 2)
    trunk = [(520 - 30 * math.sin(t / 10 * math.pi / 2) ** 1.5, 420 - t * 25) for t in range(11)]
    for (x0, y0), (x1, y1) in zip(trunk, trunk[1:]):
        c.line([(x0, y0), (x1, y1)], (122, 86, 50), 14)
    top_x, top_y = trunk[-1]
    for angle in (-170, -140, -110, -70, -40, -10, 20, 200):
        a = math.radians(angle)
        tip = (top_x + 110 * math.cos(a), top_y + 50 * math.sin(a) + 40)
        mid = (top_x + 60 * math.cos(a), top_y + 30 * math.sin(a) - 5)
        c.polygon([(top_x, top_y), mid, tip, (mid[0], mid[1] + 14)], (36, 130, 52))
    c.circle(top_x, top_y + 8, 9, (100, 70, 40))
    c.line([(170, 440), (190, 360)], (90, 80, 70), 3)
    for i in range(6):
        a0, a1 = math.pi + i * math.pi / 6, math.pi + (i + 1) * math.pi / 6
        c.polygon([(190, 360), (190 + 80 * math.cos(a0), 372 + 30 * math.sin(a0)),
                   (190 + 80 * math.cos(a1), 372 + 30 * math.sin(a1))], (220, 40, 40) if i % 2 else (250, 250, 250))


def balloon(c):
    """A hot-air balloon over a patchwork of fields."""
    c.gradient(0, 280, [(0, (90, 160, 230)), (1, (200, 226, 244))])
    cloud(c, 130, 70, 30)
    cloud(c, 520, 130, 40)
    colours = [(110, 170, 70), (210, 190, 80), (80, 140, 60), (160, 190, 90), (190, 150, 70)]
    for band in range(7):
        y0, y1 = 280 + band * band * 4, HEIGHT if band == 6 else 280 + (band + 1) * (band + 1) * 4
        for col in range(-8, 9):
            x0t, x1t = 320 + col * 60, 320 + (col + 1) * 60
            spread0, spread1 = 1 + band * 0.6, 1 + (band + 1) * 0.6
            c.polygon([(320 + (x0t - 320) * spread0, y0), (320 + (x1t - 320) * spread0, y0),
                       (320 + (x1t - 320) * spread1, y1), (320 + (x0t - 320) * spread1, y1)],
                      colours[(band * 3 + col) % len(colours)])
    cx, cy, r = 300, 150, 95
    stripes = [(220, 40, 40), (250, 200, 40), (40, 90, 200), (250, 250, 250)]
    shape = Image.new("L", c.image.size, 0)
    outline = ImageDraw.Draw(shape)
    outline.ellipse(c.box(cx - r, cy - r, cx + r, cy + r), fill=255)
    outline.polygon(c.xy([(cx - r * 0.97, cy + r * 0.25), (cx + r * 0.97, cy + r * 0.25),
                          (cx + r * 0.3, cy + r * 1.35), (cx - r * 0.3, cy + r * 1.35)]), fill=255)
    for i in range(8):
        band = Image.new("L", c.image.size, 0)
        ImageDraw.Draw(band).rectangle(c.box(cx - r + i * r / 4, cy - r, cx - r + (i + 1) * r / 4, cy + r * 1.4), fill=255)
        c.image.paste(stripes[i % len(stripes)], mask=ImageChops.multiply(shape, band))
    for dx in (-0.3, 0.3):
        c.line([(cx + r * dx, cy + r * 1.35), (cx + r * dx * 0.7, cy + r * 1.62)], (70, 50, 40), 1.6)
    c.rect(cx - r * 0.24, cy + r * 1.6, cx + r * 0.24, cy + r * 1.85, (130, 90, 50))
    birds(c, 4, 430, 600, 200, 260)


# The photos: file, scene, seed, the TIFF block's byte order (None: no EXIF block), DateTime.
PHOTOS = [
    ("DSC00001.JPG", meadow, 101, "<", "2026:06:14 11:02:37"),
    ("DSC00002.JPG", lake, 202, ">", "2026:07:03 08:45:10"),
    ("DSC00003.JPG", sunset, 303, "<", "2026:07:03 21:17:52"),
    ("DSC00004.JPG", winter, 404, ">", "2026:01:22 09:31:04"),
    ("DSC00005.JPG", night_city, 505, "<", "2026:02:09 22:48:19"),
    ("DSC00006.JPG", beach, 606, ">", "2026:08:17 13:05:44"),
    ("DSC00007.JPG", balloon, 707, None, None),
]
MAKE = "Lumora"
MODEL = "Lumora DC-640"

ASCII, SHORT, LONG, RATIONAL = 2, 3, 4, 5


def tiff_value(order, kind, value):
    """The count and bytes of one tag's value."""
    if kind == ASCII:
        data = value.encode("ascii") + b"\0"
        return len(data), data
    values = value if isinstance(value, (list, tuple)) else [value]
    if kind == RATIONAL:
        return len(values), b"".join(struct.pack(order + "II", n, d) for n, d in values)
    code = "H" if kind == SHORT else "I"
    return len(values), b"".join(struct.pack(order + code, v) for v in values)


def tiff_ifd(order, entries, offset, next_offset):
    """An IFD placed at offset in the TIFF block, followed by its values longer than 4 bytes."""
    entries = sorted(entries, key=lambda e: e[0])
    data_start = offset + 2 + 12 * len(entries) + 4
    table, data = struct.pack(order + "H", len(entries)), b""
    for tag, kind, value in entries:
        count, payload = tiff_value(order, kind, value)
        if len(payload) <= 4:
            field = payload.ljust(4, b"\0")
        else:
            field = struct.pack(order + "I", data_start + len(data))
            data += payload + b"\0" * (len(payload) % 2)  # values start on word boundaries
        table += struct.pack(order + "HHI", tag, kind, count) + field
    return table + struct.pack(order + "I", next_offset) + data


def exif_segment(order, date_time, thumbnail):
    """The APP1 segment: "Exif", the TIFF header, IFD0, IFD1 and the thumbnail."""
    resolution = [(0x011A, RATIONAL, [(72, 1)]), (0x011B, RATIONAL, [(72, 1)]), (0x0128, SHORT, 2)]
    ifd0_entries = resolution + [(0x010F, ASCII, MAKE), (0x0110, ASCII, MODEL), (0x0112, SHORT, 1),
                                 (0x0132, ASCII, date_time), (0x0213, SHORT, 1)]
    header = (b"II" if order == "<" else b"MM") + struct.pack(order + "HI", 42, 8)
    ifd1_offset = len(header) + len(tiff_ifd(order, ifd0_entries, 8, 0))
    ifd0 = tiff_ifd(order, ifd0_entries, 8, ifd1_offset)

    def ifd1(thumbnail_offset):
        return tiff_ifd(order, resolution + [(0x0103, SHORT, 6), (0x0201, LONG, thumbnail_offset),
                                             (0x0202, LONG, len(thumbnail))], ifd1_offset, 0)

    thumbnail_offset = ifd1_offset + len(ifd1(0))
    tiff = header + ifd0 + ifd1(thumbnail_offset) + thumbnail
    payload = b"Exif\0\0" + tiff
    if len(payload) + 2 > 0xFFFF:
        sys.exit("make-samples: the EXIF block does not fit in one segment")
    return b"\xff\xe1" + struct.pack(">H", len(payload) + 2) + payload


def jpeg_bytes(image, quality):
    """A baseline JPEG without the JFIF APP0 segment (a camera writes none)."""
    out = io.BytesIO()
    image.save(out, "JPEG", quality=quality, optimize=True)
    data = out.getvalue()
    if data[2:4] == b"\xff\xe0":
        data = data[:2] + data[4 + struct.unpack(">H", data[4:6])[0]:]
    return data


def make_photo(scene, seed, order, date_time):
    """The file's bytes: the scene as a JPEG, with its EXIF block right after SOI when ordered."""
    canvas = Canvas(seed)
    scene(canvas)
    image = canvas.photo()
    if order is None:
        out = io.BytesIO()
        image.save(out, "JPEG", quality=QUALITY, optimize=True)
        return out.getvalue()
    thumbnail = jpeg_bytes(image.resize(THUMB_SIZE, Image.Resampling.LANCZOS), THUMB_QUALITY)
    main = jpeg_bytes(image, QUALITY)
    return main[:2] + exif_segment(order, date_time, thumbnail) + main[2:]


def find_exif_thumbnail(data):
    """Read back independently: (byte order, Make, thumbnail bytes) from the APP1 "Exif"
    segment before the first scan, or None without one. Fails on any inconsistency."""
    assert data[:2] == b"\xff\xd8", "no SOI"
    pos = 2
    while pos + 4 <= len(data):
        assert data[pos] == 0xFF, "marker expected at %d" % pos
        marker, length = data[pos + 1], struct.unpack(">H", data[pos + 2:pos + 4])[0]
        if marker == 0xDA:
            return None
        segment = data[pos + 4:pos + 2 + length]
        assert len(segment) == length - 2, "segment cut off"
        if marker == 0xE1 and segment[:6] == b"Exif\0\0":
            return parse_tiff(segment[6:])
        pos += 2 + length
    return None


def parse_tiff(tiff):
    order = {b"II": "<", b"MM": ">"}[tiff[:2]]
    assert struct.unpack(order + "H", tiff[2:4])[0] == 42, "not a TIFF header"

    def u16(at):
        return struct.unpack(order + "H", tiff[at:at + 2])[0]

    def u32(at):
        return struct.unpack(order + "I", tiff[at:at + 4])[0]

    def ifd(at):
        tags = {}
        for i in range(u16(at)):
            entry = at + 2 + 12 * i
            tags[u16(entry)] = (u16(entry + 2), u32(entry + 4), entry + 8)
        return tags, u32(at + 2 + 12 * u16(at))

    ifd0, ifd1_at = ifd(u32(4))
    assert ifd1_at, "no IFD1"
    ifd1, after = ifd(ifd1_at)
    assert after == 0, "an IFD after IFD1"
    kind, count, field = ifd0[0x010F]
    make = tiff[u32(field):u32(field) + count - 1].decode("ascii") if count > 4 else tiff[field:field + count - 1].decode()
    assert u16(ifd1[0x0103][2]) == 6, "IFD1's Compression is not 6"
    offset, length = u32(ifd1[0x0201][2]), u32(ifd1[0x0202][2])
    assert offset + length <= len(tiff), "thumbnail past the segment"
    thumbnail = tiff[offset:offset + length]
    assert thumbnail[:2] == b"\xff\xd8" and thumbnail[-2:] == b"\xff\xd9", "thumbnail is not SOI..EOI"
    return order, make, thumbnail


def check_photo(name, data, order):
    """The photo as a viewer would meet it; exits with a message on a fault."""
    problems = []
    if len(data) >= MAX_FILE_BYTES:
        problems.append("%d bytes, not under %d" % (len(data), MAX_FILE_BYTES))
    if Image.open(io.BytesIO(data)).size != (WIDTH, HEIGHT):
        problems.append("not %d x %d" % (WIDTH, HEIGHT))
    found = find_exif_thumbnail(data)
    if order is None:
        if found is not None:
            problems.append("has an EXIF block")
        if len(data) > WHOLE_IMAGE_LIMIT:
            problems.append("too large to be pictured whole")
    elif found is None:
        problems.append("no EXIF thumbnail")
    else:
        found_order, make, thumbnail = found
        if found_order != order or make != MAKE:
            problems.append("byte order %s, Make %r" % (found_order, make))
        if Image.open(io.BytesIO(thumbnail)).size != THUMB_SIZE:
            problems.append("thumbnail not %d x %d" % THUMB_SIZE)
    if problems:
        sys.exit("make-samples: %s: %s" % (name, "; ".join(problems)))
    return "%d-byte thumbnail, %s" % (len(found[2]), "II" if order == "<" else "MM") if found else "no EXIF"


def write_if_changed(path, data):
    """Writes the file unless it already holds these bytes; whether it wrote."""
    if os.path.exists(path):
        with open(path, "rb") as f:
            if f.read() == data:
                return False
    with open(path + ".tmp", "wb") as f:
        f.write(data)
    os.replace(path + ".tmp", path)
    return True


def main():
    for name, scene, seed, order, date_time in PHOTOS:
        data = make_photo(scene, seed, order, date_time)
        check_photo(name, data, order)
        path = os.path.join(SAMPLES, name)
        written = write_if_changed(path, data)
        with open(path, "rb") as f:
            summary = check_photo(name, f.read(), order)
        print("%s %6d bytes, %s%s" % (name, len(data), summary, "" if written else " (unchanged)"))


if __name__ == "__main__":
    main()
