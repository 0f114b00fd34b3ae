#!/usr/bin/env python3
"""Draws the order confirmation's notice marks (32 x 26, 24-bit BMP) into this folder.

Not part of the build: run it by hand after changing a mark, then commit the .bmp files.
order.bmp marks an order, warning.bmp a re-installation.
"""

import os
import struct

WIDTH, HEIGHT = 32, 26
PAGE = (255, 255, 255)


def write_bmp(path, pixel):
    row_size = (WIDTH * 3 + 3) & ~3
    rows = []
    for y in range(HEIGHT - 1, -1, -1):  # bottom-up
        row = bytearray()
        for x in range(WIDTH):
            r, g, b = pixel(x, y)
            row += bytes((b, g, r))
        row += b"\0" * (row_size - len(row))
        rows.append(bytes(row))
    image = b"".join(rows)
    header = struct.pack("<2sIHHI", b"BM", 54 + len(image), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, WIDTH, HEIGHT, 1, 24, 0, len(image), 2835, 2835, 0, 0)
    with open(path, "wb") as out:
        out.write(header + info + image)


def order_mark(x, y):
    # A blue disc with a white bar: something to read before going on.
    cx, cy, r = 12, 12, 11
    inside = (x - cx) ** 2 + (y - cy) ** 2 <= r * r
    if not inside:
        return PAGE
    if cx - 1 <= x <= cx + 1 and (5 <= y <= 6 or 9 <= y <= 18):
        return PAGE
    return (0, 90, 200)


def warning_mark(x, y):
    # An amber triangle with a dark bar: the customer's installation is replaced.
    top, bottom = 1, 23
    if not top <= y <= bottom:
        return PAGE
    half = (y - top) / 2
    if abs(x - 12) > half:
        return PAGE
    if 11 <= x <= 13 and (8 <= y <= 16 or 19 <= y <= 20):
        return (40, 40, 40)
    return (240, 170, 0)


if __name__ == "__main__":
    here = os.path.dirname(os.path.abspath(__file__))
    write_bmp(os.path.join(here, "order.bmp"), order_mark)
    write_bmp(os.path.join(here, "warning.bmp"), warning_mark)
