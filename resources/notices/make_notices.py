#!/usr/bin/env python3
"""Draws the pages' notice marks (32 x 26) and the requirement results' marks (24 x 24),
24-bit BMPs, into this folder.

Not part of the build: run it by hand after changing a mark, then commit the .bmp files.
order.bmp marks an order, warning.bmp a re-installation or a shortfall that only warns,
error.bmp a shortfall that stops; met.bmp, notmet.bmp and below.bmp mark a requirement
that is met, not met, or below the recommended value; banner.ico (16 x 16) is the
contract list's banner icon.

vendor-terms.bmp, the frame's header band while the vendor's licence terms show, is not drawn
here: it is ../background.bmp with its hue turned
(convert background.bmp -modulate 100,100,60 BMP3:notices/vendor-terms.bmp).
"""

import os
import struct

PAGE = (255, 255, 255)


def write_bmp(path, pixel, size=(32, 26)):
    WIDTH, HEIGHT = size
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


def error_mark(x, y):
    # A red disc with a white cross: the customer cannot go on.
    cx, cy, r = 12, 12, 11
    if (x - cx) ** 2 + (y - cy) ** 2 > r * r:
        return PAGE
    if abs(abs(x - cx) - abs(y - cy)) <= 1 and abs(x - cx) <= 5:
        return PAGE
    return (210, 30, 30)


def met_mark(x, y):
    # A green tick.
    if (4 <= x <= 9 and abs(y - (x + 8)) <= 1) or (9 <= x <= 20 and abs(y - (26 - x)) <= 1):
        return (30, 150, 60)
    return PAGE


def notmet_mark(x, y):
    # A red cross.
    if 4 <= x <= 19 and 4 <= y <= 19 and (abs(x - y) <= 1 or abs(x + y - 23) <= 1):
        return (210, 30, 30)
    return PAGE


def below_mark(x, y):
    # An amber triangle: it works, but below the recommended value.
    top, bottom = 3, 20
    if not top <= y <= bottom or abs(x - 11.5) > (y - top) / 2 + 0.5:
        return PAGE
    if 11 <= x <= 12 and (8 <= y <= 14 or 17 <= y <= 18):
        return (40, 40, 40)
    return (240, 170, 0)


def write_ico(path, pixel, size=16):
    # One 32-bit image; its alpha channel makes the page show through, so the mask is empty.
    rows = []
    for y in range(size - 1, -1, -1):
        row = bytearray()
        for x in range(size):
            rgba = pixel(x, y)
            row += bytes((rgba[2], rgba[1], rgba[0], rgba[3]))
        rows.append(bytes(row))
    mask_row = ((size + 31) // 32) * 4
    image = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    image += b"".join(rows) + b"\0" * (mask_row * size)
    head = struct.pack("<HHH", 0, 1, 1) + struct.pack("<BBBBHHII", size, size, 0, 0, 1, 32, len(image), 22)
    with open(path, "wb") as out:
        out.write(head + image)


def banner_mark(x, y):
    # A blue "i" in a disc: the hint that the banner gives.
    cx, cy = 7.5, 7.5
    if (x - cx) ** 2 + (y - cy) ** 2 > 7.6 ** 2:
        return (0, 0, 0, 0)
    if 7 <= x <= 8 and (y in (3, 4) or 6 <= y <= 12):
        return (255, 255, 255, 255)
    return (0, 90, 200, 255)


if __name__ == "__main__":
    here = os.path.dirname(os.path.abspath(__file__))
    write_bmp(os.path.join(here, "order.bmp"), order_mark)
    write_bmp(os.path.join(here, "warning.bmp"), warning_mark)
    write_bmp(os.path.join(here, "error.bmp"), error_mark)
    for name, mark in (("met.bmp", met_mark), ("notmet.bmp", notmet_mark), ("below.bmp", below_mark)):
        write_bmp(os.path.join(here, name), mark, (24, 24))
    write_ico(os.path.join(here, "banner.ico"), banner_mark)
