#!/usr/bin/env python3
"""Draws the tracking button's two bitmaps as 4-bit BMP files.

tracking_on.bmp (resource 101): an open eye, white with a black outline and pupil.
tracking_off.bmp (resource 102): a closed eye, two black lid arcs.
Both are 48 x 48 pixels on a light grey ground, with the standard 16-colour palette.

Run from anywhere: python3 make_tracking_bitmaps.py [output folder]
"""

import struct
import sys
from pathlib import Path

SIZE = 48
CENTRE = 23.5  # pixel centres run from 0.5 to 47.5

# The standard 16-colour palette as (red, green, blue), in its usual index order.
PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
BLACK, GREY, WHITE = 0, 7, 15

EYE_HALF_WIDTH = 20.0   # from the centre to each corner of the eye
EYE_HALF_HEIGHT = 11.0  # from the centre to the upper and lower lid of the open eye
OUTLINE = 1.5           # thickness of the open eye's outline
PUPIL_RADIUS = 6.0
LID_THICKNESS = 1.2     # half thickness of each closed lid arc


def lid_height(dx):
    """How far the open lids are from the eye's middle line at horizontal offset dx."""
    t = dx / EYE_HALF_WIDTH
    return EYE_HALF_HEIGHT * (1.0 - t * t) if abs(t) < 1.0 else -1.0


def open_eye(x, y):
    dx, dy = x + 0.5 - CENTRE, y + 0.5 - CENTRE
    h = lid_height(dx)
    if h < 0 or abs(dy) > h:
        return GREY
    if dx * dx + dy * dy <= PUPIL_RADIUS * PUPIL_RADIUS or h - abs(dy) < OUTLINE:
        return BLACK
    return WHITE


def closed_eye(x, y):
    """Two lids drawn as arcs that sag below the middle line and meet at the corners."""
    dx, dy = x + 0.5 - CENTRE, y + 0.5 - CENTRE
    t = dx / EYE_HALF_WIDTH
    if abs(t) > 1.0:
        return GREY
    sag = 1.0 - t * t
    for depth in (4.0, 8.0):  # upper lid, lower lid
        if abs(dy - depth * sag) <= LID_THICKNESS:
            return BLACK
    return GREY


def bmp(pixel):
    """A bottom-up 4-bit BMP of the image that pixel(x, y) draws (y = 0 is the top row)."""
    row_bytes = ((SIZE * 4 + 31) // 32) * 4
    rows = []
    for y in reversed(range(SIZE)):
        indexes = [pixel(x, y) for x in range(SIZE)]
        packed = bytes((indexes[i] << 4) | indexes[i + 1] for i in range(0, SIZE, 2))
        rows.append(packed.ljust(row_bytes, b"\0"))
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in PALETTE)
    pixels = b"".join(rows)
    offset = 14 + 40 + len(palette)
    file_header = struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset)
    info_header = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE, 1, 4, 0, len(pixels),
                              2835, 2835, len(PALETTE), 0)
    return file_header + info_header + palette + pixels


def main():
    folder = Path(sys.argv[1]) if len(sys.argv) > 1 else Path(__file__).resolve().parent
    (folder / "tracking_on.bmp").write_bytes(bmp(open_eye))
    (folder / "tracking_off.bmp").write_bytes(bmp(closed_eye))


if __name__ == "__main__":
    main()
