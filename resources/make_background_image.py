#!/usr/bin/env python3
"""Draws the picture the demo shows as its image background, as a PNG file.

background.png: a sky over a distant haze, deep blue at the top to a pale horizon at the
bottom, with a few soft clouds, 512 x 256 pixels (the background stretches it over the view).
Smooth on purpose: text and instruments stay readable over it, and the file stays small.

Run from anywhere: python3 make_background_image.py [output folder]
"""

import math
import struct
import sys
import zlib
from pathlib import Path

WIDTH, HEIGHT = 512, 256
ZENITH = (38, 78, 150)    # the top row
HORIZON = (196, 214, 226)  # the bottom row
CLOUD = (245, 246, 248)

# Clouds as (centre x, centre y, half width, half height, opacity), in pixels from the top left.
CLOUDS = [
    (90, 70, 70, 14, 0.55), (150, 62, 50, 12, 0.45), (300, 110, 90, 16, 0.5),
    (380, 100, 60, 12, 0.4), (450, 50, 45, 10, 0.35), (220, 170, 110, 12, 0.3),
]


def mix(a, b, t):
    return tuple(round(x + (y - x) * t) for x, y in zip(a, b))


def pixel(x, y):
    # Lighter towards the horizon, faster near it, as a clear sky looks.
    sky = mix(ZENITH, HORIZON, (y / (HEIGHT - 1)) ** 1.6)
    cover = 0.0
    for cx, cy, rx, ry, opacity in CLOUDS:
        d = ((x - cx) / rx) ** 2 + ((y - cy) / ry) ** 2
        cover = max(cover, opacity * math.exp(-d))
    return mix(sky, CLOUD, cover)


def png(width, height, rows):
    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))

    raw = b"".join(b"\0" + bytes(c for p in row for c in p) for row in rows)
    header = struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)  # 8-bit RGB
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) +
            chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def main():
    folder = Path(sys.argv[1] if len(sys.argv) > 1 else Path(__file__).parent)
    rows = [[pixel(x, y) for x in range(WIDTH)] for y in range(HEIGHT)]
    (folder / "background.png").write_bytes(png(WIDTH, HEIGHT, rows))


if __name__ == "__main__":
    main()
