#!/usr/bin/env python3
"""Draws the configgen application icon and writes it as a Windows icon file.

The picture: a steel gear, the machine tool, behind a sheet of paper with lines of settings, the
configuration file that the tool writes for it. It is drawn once for every size Windows shows:
256x256, stored PNG-compressed as Windows expects for that size, and 48, 32, 24 and 16 pixels
(Explorer's lists, the title bar, the taskbar), stored as 32-bit bitmaps with their AND masks.
All images are 32-bit RGBA, and each is drawn at its own size, not scaled down from the large
one. Only the standard library is used, so anybody can change the picture and draw it again:

    python3 configgen-icon.py [OUTPUT.ico]     (default: configgen.ico beside this script)
"""

import math
import struct
import sys
import zlib
from pathlib import Path

SIZE = 256  # the drawing's units: one a pixel in the largest image
SIZES = (16, 24, 32, 48, 256)

# Colours, straight RGB.
TILE_TOP, TILE_BOTTOM = (45, 90, 135), (27, 51, 80)
STEEL, HUB = (205, 215, 225), (160, 176, 193)
PAPER, FOLD, INK, MARK = (247, 249, 251), (196, 206, 218), (31, 59, 92), (242, 140, 40)

TILE, TILE_RADIUS = (8.0, 8.0, 248.0, 248.0), 44.0
GEAR_CENTRE, GEAR_TIP, GEAR_ROOT, GEAR_TEETH, GEAR_HOLE, HUB_RADIUS = (98.0, 100.0), 76.0, 60.0, 10, 20.0, 34.0
SHEET, SHEET_FOLD = (118.0, 96.0, 226.0, 232.0), 28.0
# Lines written on the sheet, top one first: all start at LINE_LEFT, each ends where given; the
# lowest keeps LINE_MARGIN above the sheet's bottom edge.
LINE_LEFT, LINE_TOP, LINE_PITCH, LINE_HEIGHT, LINE_RADIUS, LINE_MARGIN = 134.0, 134.0, 20.0, 9.0, 4.5, 9.0
LINE_ENDS = (190.0, 210.0, 176.0, 204.0, 186.0)
MARKED_LINE = 2  # the work-offset line, in the accent colour


class Layout:
    """Where the straight-edged shapes lie in an image of one size, in the drawing's units.

    In a small image they are moved to the nearest pixel edges, a line keeps at least one pixel of
    height and one pixel between it and the next, and the lines that then no longer fit on the
    sheet are left out: otherwise edges and lines would fade into grey. At 256 pixels every edge
    already lies on a pixel edge and nothing moves."""

    def __init__(self, size):
        self.scale = size / SIZE
        pixel = 1 / self.scale
        self.tile = tuple(map(self.snap, TILE))
        self.sheet = tuple(map(self.snap, SHEET))
        self.sheet_fold = self.snap(SHEET_FOLD)
        height = max(self.snap(LINE_HEIGHT), pixel)
        pitch = max(self.snap(LINE_PITCH), height + pixel)
        top, lowest = self.snap(LINE_TOP), self.sheet[3] - max(self.snap(LINE_MARGIN), pixel)
        left = self.snap(LINE_LEFT)
        # Rounded ends narrower than a pixel would only blur the ends of the lines.
        self.line_radius = LINE_RADIUS if LINE_RADIUS * self.scale >= 1 else 0.0
        self.lines = [(index, (left, top + index * pitch, self.snap(end), top + index * pitch + height))
                      for index, end in enumerate(LINE_ENDS) if top + index * pitch + height <= lowest]

    def snap(self, units):
        return round(units * self.scale) / self.scale


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


def fold_line(layout, x, y):
    """Signed distance to the diagonal along which the top right corner of the sheet is folded:
    positive on the side of the corner that is folded away."""
    _, top, right, _ = layout.sheet
    return (x - y - (right - layout.sheet_fold - top)) / math.sqrt(2)


def sheet(layout, x, y):
    """The sheet of paper without its folded corner."""
    return max(rounded_box(x, y, *layout.sheet, 8.0), fold_line(layout, x, y))


def fold(layout, x, y):
    """The folded-over corner: a right triangle that lies on the sheet below the fold line."""
    _, top, right, _ = layout.sheet
    return max(right - layout.sheet_fold - x, y - (top + layout.sheet_fold), fold_line(layout, x, y))


def layers(layout, x, y):
    """Yields (coverage, colour, opacity) for each layer under a pixel centre, back to front."""
    def cover(distance):
        """Coverage of a pixel by a shape at that distance in units: a one-pixel edge at any size."""
        return min(max(0.5 - distance * layout.scale, 0.0), 1.0)

    shade = y / SIZE
    tile = tuple(round(a + (b - a) * shade) for a, b in zip(TILE_TOP, TILE_BOTTOM))
    yield cover(rounded_box(x, y, *layout.tile, TILE_RADIUS)), tile, 1.0
    yield cover(gear(x, y)), STEEL, 1.0
    hub = math.hypot(x - GEAR_CENTRE[0], y - GEAR_CENTRE[1])
    yield cover(max(hub - HUB_RADIUS, GEAR_HOLE - hub)), HUB, 1.0
    # A soft shadow lifts the sheet off the gear.
    yield min(max(0.5 - sheet(layout, x - 4, y - 5) / 4, 0.0), 1.0), (0, 0, 0), 0.35
    yield cover(sheet(layout, x, y)), PAPER, 1.0
    yield cover(fold(layout, x, y)), FOLD, 1.0
    for index, box in layout.lines:
        yield cover(rounded_box(x, y, *box, layout.line_radius)), MARK if index == MARKED_LINE else INK, 1.0


def pixel(layout, x, y):
    """Composites the layers at one pixel; returns straight RGBA bytes."""
    red = green = blue = alpha = 0.0  # premultiplied
    for coverage, colour, opacity in layers(layout, (x + 0.5) / layout.scale, (y + 0.5) / layout.scale):
        a = coverage * opacity
        red, green, blue = (c * a + d * (1 - a) for c, d in zip(colour, (red, green, blue)))
        alpha = a + alpha * (1 - a)
    if alpha == 0.0:
        return bytes(4)
    return bytes(round(min(c / alpha, 255.0)) for c in (red, green, blue)) + bytes([round(alpha * 255)])


def draw(size):
    """The picture at one size: rows of RGBA bytes, top row first."""
    layout = Layout(size)
    return [b"".join(pixel(layout, x, y) for x in range(size)) for y in range(size)]


def png(size, rows):
    """A PNG image, 8-bit RGBA, from rows of RGBA bytes."""
    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))

    header = struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)
    pixels = b"".join(b"\x00" + row for row in rows)  # filter type 0 on every row
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(pixels, 9))
            + chunk(b"IEND", b""))


def bitmap(size, rows):
    """An icon image as Windows stores the small ones: a BITMAPINFOHEADER whose height counts the
    colour rows and the mask rows, BGRA rows bottom up, then an AND mask (1 = transparent) with its
    rows padded to 32 bits."""
    colours = b"".join(bytes((row[i + 2], row[i + 1], row[i], row[i + 3])) for row in reversed(rows)
                       for i in range(0, len(row), 4))
    stride = (size + 31) // 32 * 4
    mask = b"".join(sum(1 << (stride * 8 - 1 - x) for x in range(size) if row[4 * x + 3] == 0).to_bytes(stride, "big")
                    for row in reversed(rows))
    header = struct.pack("<IiiHHIIiiII", 40, size, 2 * size, 1, 32, 0, len(colours) + len(mask), 0, 0, 0, 0)
    return header + colours + mask


def ico(images):
    """An icon file of 32-bit images, given as (size, encoded image), smallest first."""
    directory = struct.pack("<HHH", 0, 1, len(images))  # reserved, type 1 = icon, image count
    offset = len(directory) + 16 * len(images)
    entries, data = b"", b""
    for size, image in images:
        # Width and height (0 stands for 256); no palette; one plane; 32 bits; size; offset.
        entries += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 32, len(image), offset + len(data))
        data += image
    return directory + entries + data


def main():
    output = Path(sys.argv[1]) if len(sys.argv) > 1 else Path(__file__).with_name("configgen.ico")
    images = [(size, (png if size == SIZE else bitmap)(size, draw(size))) for size in SIZES]
    output.write_bytes(ico(images))


if __name__ == "__main__":
    main()
