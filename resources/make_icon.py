#!/usr/bin/env python3
"""Writes a 32 x 32, 16-colour .ico with a transparency mask from a text drawing.

Usage: make_icon.py DRAWING.txt OUT.ico
The drawing has 32 rows of 32 characters (lines starting with '#' are comments).
'.' is transparent; every other character names a colour of the palette below.
"""
import struct
import sys

# The standard 16-colour palette, as (character, (red, green, blue)).
PALETTE = [
    ('K', (0, 0, 0)), ('r', (128, 0, 0)), ('g', (0, 128, 0)), ('y', (128, 128, 0)),
    ('b', (0, 0, 128)), ('m', (128, 0, 128)), ('c', (0, 128, 128)), ('G', (192, 192, 192)),
    ('D', (128, 128, 128)), ('R', (255, 0, 0)), ('L', (0, 255, 0)), ('Y', (255, 255, 0)),
    ('B', (0, 0, 255)), ('M', (255, 0, 255)), ('C', (0, 255, 255)), ('W', (255, 255, 255)),
]
SIZE = 32


def read_drawing(path):
    rows = [line.rstrip('\n') for line in open(path, encoding='ascii') if not line.startswith('#')]
    rows = [row for row in rows if row]
    if len(rows) != SIZE or any(len(row) != SIZE for row in rows):
        sys.exit(f'{path}: need {SIZE} rows of {SIZE} characters')
    return rows


def build_ico(rows):
    index = {ch: i for i, (ch, _) in enumerate(PALETTE)}
    xor = bytearray()
    mask = bytearray()
    for row in reversed(rows):  # bitmaps are stored bottom-up
        pixels = [index.get(ch, 0) for ch in row]
        for x in range(0, SIZE, 2):
            xor.append((pixels[x] << 4) | pixels[x + 1])
        bits = 0
        for x, ch in enumerate(row):
            if ch == '.':
                bits |= 1 << (SIZE - 1 - x)
            elif ch not in index:
                sys.exit(f'unknown colour character {ch!r}')
        mask += struct.pack('>I', bits)  # 32 pixels: exactly one 4-byte row
    palette = b''.join(struct.pack('<BBBB', b, g, r, 0) for _, (r, g, b) in PALETTE)
    header = struct.pack('<IiiHHIIiiII', 40, SIZE, SIZE * 2, 1, 4, 0, len(xor) + len(mask), 0, 0, 16, 0)
    image = header + palette + bytes(xor) + bytes(mask)
    icondir = struct.pack('<HHH', 0, 1, 1)
    entry = struct.pack('<BBBBHHII', SIZE, SIZE, 16, 0, 1, 4, len(image), 6 + 16)
    return icondir + entry + image


if __name__ == '__main__':
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    with open(sys.argv[2], 'wb') as out:
        out.write(build_ico(read_drawing(sys.argv[1])))
