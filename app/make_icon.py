#!/usr/bin/env python3
"""Draws the program's icon and writes app/favpage.ico: a 32 x 32 image in the 16 standard
colours and a 32 x 32 monochrome image, each with its transparency mask.

The picture: a page of links (blue underlined lines on a white sheet with a folded corner) with a
gold star, the sign of a favorite, over its top-left corner. Run it again after changing the
drawing; the .ico is kept in the repository so that the build needs no Python.
"""
import math
import struct
import sys
from pathlib import Path

SIZE = 32

# The 16 standard colours, by index, as (red, green, blue).
PALETTE16 = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
BLACK, OLIVE, NAVY, SILVER, GREY, YELLOW, BLUE, WHITE = 0, 3, 4, 7, 8, 11, 12, 15


def star_polygon(cx, cy, outer, inner):
    points = []
    for i in range(10):
        radius = outer if i % 2 == 0 else inner
        angle = math.pi / 2 + i * math.pi / 5
        points.append((cx + radius * math.cos(angle), cy - radius * math.sin(angle)))
    return points


def inside(polygon, x, y):
    result = False
    for i in range(len(polygon)):
        (x1, y1), (x2, y2) = polygon[i], polygon[i - 1]
        if (y1 > y) != (y2 > y) and x < x1 + (y - y1) * (x2 - x1) / (y2 - y1):
            result = not result
    return result


def draw(mono):
    """Returns a 32 x 32 grid of palette indices, None where the icon is transparent."""
    ink = BLACK
    grid = [[None] * SIZE for _ in range(SIZE)]
    # The page with its folded top-right corner.
    left, top, right, bottom, fold = 7, 2, 27, 30, 6
    for y in range(top, bottom + 1):
        for x in range(left, right + 1):
            if x - (right - fold) > y - top:
                continue  # cut off by the fold
            edge = x in (left, right) or y in (top, bottom) or x - (right - fold) == y - top
            grid[y][x] = ink if edge else WHITE
    for i in range(fold + 1):  # the folded-over flap
        for x in range(right - fold, right - fold + i + 1):
            y = top + i
            grid[y][x] = ink if x == right - fold or i == fold or x == right - fold + i else (
                WHITE if mono else SILVER)
    # Lines of links: underlined text in link blue.
    for y, x_end, gap in ((14, 24, 15), (18, 21, 13), (22, 24, 18), (26, 20, 0)):
        for x in range(left + 4, x_end + 1):
            if x != gap:
                grid[y - 1][x] = ink if mono else NAVY
            grid[y][x] = ink if mono else BLUE
    # The star, with a one-pixel dark outline so it reads on any background.
    star = star_polygon(9.5, 10.0, 9.4, 3.9)
    filled = {(x, y) for y in range(SIZE) for x in range(SIZE) if inside(star, x + 0.5, y + 0.5)}
    for (x, y) in filled:
        edge = any((x + dx, y + dy) not in filled for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1)))
        if edge:
            grid[y][x] = ink if mono else OLIVE
        else:
            grid[y][x] = WHITE if mono else YELLOW
    return grid


def image_bytes(grid, bits):
    """A DIB as an icon holds it: header, palette, colour bits, then the AND mask."""
    palette = PALETTE16 if bits == 4 else [(0, 0, 0), (255, 255, 255)]
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, 2 * SIZE, 1, bits, 0, 0, 0, 0, 0, 0)
    colours = b"".join(struct.pack("<BBBB", b, g, r, 0) for (r, g, b) in palette)
    xor_rows, and_rows = [], []
    for y in reversed(range(SIZE)):  # bottom-up
        row = grid[y]
        if bits == 4:
            values = [(c if c is not None else 0) for c in row]
            xor_rows.append(bytes((values[i] << 4) | values[i + 1] for i in range(0, SIZE, 2)))
        else:
            value = 0
            for c in row:
                value = (value << 1) | (1 if c == WHITE else 0)
            xor_rows.append(value.to_bytes(4, "big"))
        mask = 0
        for c in row:
            mask = (mask << 1) | (1 if c is None else 0)
        and_rows.append(mask.to_bytes(4, "big"))
    return header + colours + b"".join(xor_rows) + b"".join(and_rows)


def main():
    images = [(image_bytes(draw(False), 4), 16, 4), (image_bytes(draw(True), 1), 2, 1)]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for data, colour_count, bits in images:
        out += struct.pack("<BBBBHHII", SIZE, SIZE, colour_count, 0, 1, bits, len(data), offset)
        offset += len(data)
    out += b"".join(data for data, _, _ in images)
    target = Path(sys.argv[1]) if len(sys.argv) > 1 else Path(__file__).with_name("favpage.ico")
    target.write_bytes(out)


if __name__ == "__main__":
    main()
