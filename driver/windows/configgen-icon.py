#!/usr/bin/env python3
"""Draws the configgen application icon and writes it as a Windows icon file.

The picture: a steel gear, the machine tool, behind a sheet of paper with lines of settings, the
configuration file that the tool writes for it. One image of 256x256 pixels, 32-bit RGBA, stored
PNG-compressed inside the .ico as Windows expects for that size. Only the standard library is
used, so anybody can change the picture and draw it again:

    python3 configgen-icon.py [OUTPUT.ico]     (default: configgen.ico beside this script)
"""

import math
import struct
import sys
import zlib
from pathlib import Path

SIZE = 256

# Colours, straight RGB.
TILE_TOP, TILE_BOTTOM = (45, 90, 135), (27, 51, 80)
STEEL, HUB = (205, 215, 225), (160, 176, 193)
PAPER, FOLD, INK, MARK = (247, 249, 251), (196, 206, 218), (31, 59, 92), (242, 140, 40)

GEAR_CENTRE, GEAR_TIP, GEAR_ROOT, GEAR_TEETH, GEAR_HOLE, HUB_RADIUS = (98.0, 100.0), 76.0, 60.0, 10, 20.0, 34.0
SHEET, SHEET_FOLD = (118.0, 96.0, 226.0, 232.0), 28.0
# Lines written on the sheet: (top, right end); every line starts at the same left edge.
SHEET_LINES = [(134.0, 190.0), (154.0, 210.0), (174.0, 176.0), (194.0, 204.0), (214.0, 186.0)]
MARKED_LINE = 2  # the work-offset line, in the accent colour


def rounded_box(x, y, left, top, right, bottom, radius):
    """Signed distance from (x, y) to a box with rounded corners: negative inside."""
    qx = abs(x - (left + right) / 2) - ((right - left) / 2 - radius)
    qy = abs(y - (top + bottom) / 2) - ((bottom - top) / 2 - radius)
    return math.hypot(max(qx, 0.0), max(qy, 0.0)) + min(max(qx, qy), 0.0) - radius


def gear(x, y):
    """Signed distance (approximate on the flanks) to the gear with its bore."""
    dx, dy = x - GEAR_CENTRE[0], y - GEAR_CENTRE[1]
    r = math.hypot(dx, dy)
    # u runs from 0 in the middle of a gap to 1 in the middle of a tooth.
    turn = (math.atan2(dy, dx) / (2 * math.pi) * GEAR_TEETH + 0.25) % 1.0
    u = abs(turn - 0.5) * 2
    rise = min(max((u - 0.3) / 0.3, 0.0), 1.0)
    outline = GEAR_ROOT + (GEAR_TIP - GEAR_ROOT) * rise
    distance = r - outline
    if 0.0 < rise < 1.0:  # on a flank the outline slopes: scale to a true distance
        slope = (GEAR_TIP - GEAR_ROOT) * GEAR_TEETH / (0.3 * math.pi * max(r, 1.0))
        distance /= math.hypot(1.0, slope)
    return max(distance, GEAR_HOLE - r)


def fold_line(x, y):
    """Signed distance to the diagonal along which the top right corner of the sheet is folded:
    positive on the side of the corner that is folded away."""
    _, top, right, _ = SHEET
    return (x - y - (right - SHEET_FOLD - top)) / math.sqrt(2)


def sheet(x, y):
    """The sheet of paper without its folded corner."""
    return max(rounded_box(x, y, *SHEET, 8.0), fold_line(x, y))


def fold(x, y):
    """The folded-over corner: a right triangle that lies on the sheet below the fold line."""
    _, top, right, _ = SHEET
    return max(right - SHEET_FOLD - x, y - (top + SHEET_FOLD), fold_line(x, y))


def layers(x, y):
    """Yields (coverage, colour, opacity) for each layer under a pixel centre, back to front."""
    def cover(distance):
        return min(max(0.5 - distance, 0.0), 1.0)

    shade = y / SIZE
    tile = tuple(round(a + (b - a) * shade) for a, b in zip(TILE_TOP, TILE_BOTTOM))
    yield cover(rounded_box(x, y, 8, 8, 248, 248, 44)), tile, 1.0
    yield cover(gear(x, y)), STEEL, 1.0
    hub = math.hypot(x - GEAR_CENTRE[0], y - GEAR_CENTRE[1])
    yield cover(max(hub - HUB_RADIUS, GEAR_HOLE - hub)), HUB, 1.0
    # A soft shadow lifts the sheet off the gear.
    yield min(max(0.5 - sheet(x - 4, y - 5) / 4, 0.0), 1.0), (0, 0, 0), 0.35
    yield cover(sheet(x, y)), PAPER, 1.0
    yield cover(fold(x, y)), FOLD, 1.0
    for index, (line_top, line_end) in enumerate(SHEET_LINES):
        colour = MARK if index == MARKED_LINE else INK
        yield cover(rounded_box(x, y, 134, line_top, line_end, line_top + 9, 4.5)), colour, 1.0


def pixel(x, y):
    """Composites the layers at one pixel; returns straight RGBA bytes."""
    red = green = blue = alpha = 0.0  # premultiplied
    for coverage, colour, opacity in layers(x + 0.5, y + 0.5):
        a = coverage * opacity
        red, green, blue = (c * a + d * (1 - a) for c, d in zip(colour, (red, green, blue)))
        alpha = a + alpha * (1 - a)
    if alpha == 0.0:
        return bytes(4)
    return bytes(round(min(c / alpha, 255.0)) for c in (red, green, blue)) + bytes([round(alpha * 255)])


def png(width, height, rows):
    """A PNG image, 8-bit RGBA, from rows of RGBA bytes."""
    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))

    header = struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)
    pixels = b"".join(b"\x00" + row for row in rows)  # filter type 0 on every row
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(pixels, 9))
            + chunk(b"IEND", b""))


def ico(image):
    """An icon file with one PNG-encoded 256x256 image of 32 bits per pixel."""
    directory = struct.pack("<HHH", 0, 1, 1)  # reserved, type 1 = icon, one image
    # Width and height 0 stand for 256; no palette; one plane; 32 bits; size; offset of the image.
    entry = struct.pack("<BBBBHHII", 0, 0, 0, 0, 1, 32, len(image), len(directory) + 16)
    return directory + entry + image


def main():
    output = Path(sys.argv[1]) if len(sys.argv) > 1 else Path(__file__).with_name("configgen.ico")
    rows = [b"".join(pixel(x, y) for x in range(SIZE)) for y in range(SIZE)]
    output.write_bytes(ico(png(SIZE, SIZE, rows)))


if __name__ == "__main__":
    main()
