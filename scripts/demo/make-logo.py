#!/usr/bin/env python3
"""Writes the demo's receipt logo: a 24-bit Windows bitmap of a framed shop name in block
letters, as a shop's LogoCassa.bmp would be. Usage: make-logo.py OUTPUT.bmp"""
import struct
import sys

# 5 x 7 block letters, one string of five cells per row ("#" ink).
GLYPHS = {
    "B": ["#### ", "#   #", "#   #", "#### ", "#   #", "#   #", "#### "],
    "O": [" ### ", "#   #", "#   #", "#   #", "#   #", "#   #", " ### "],
    "R": ["#### ", "#   #", "#   #", "#### ", "# #  ", "#  # ", "#   #"],
    "E": ["#####", "#    ", "#    ", "#### ", "#    ", "#    ", "#####"],
    "A": [" ### ", "#   #", "#   #", "#####", "#   #", "#   #", "#   #"],
    " ": ["     "] * 7,
}
TEXT = "BOREA"
SCALE = 6  # pixels per cell
WIDTH, HEIGHT = 240, 64


def pixels():
    ink = [[False] * WIDTH for _ in range(HEIGHT)]
    text_w = len(TEXT) * 6 * SCALE - SCALE
    left, top = (WIDTH - text_w) // 2, (HEIGHT - 7 * SCALE) // 2
    for i, ch in enumerate(TEXT):
        for r, row in enumerate(GLYPHS[ch]):
            for c, cell in enumerate(row):
                if cell != "#":
                    continue
                for y in range(SCALE):
                    for x in range(SCALE):
                        ink[top + r * SCALE + y][left + (i * 6 + c) * SCALE + x] = True
    for x in range(WIDTH):  # a frame two pixels wide
        for y in (0, 1, HEIGHT - 2, HEIGHT - 1):
            ink[y][x] = True
    for y in range(HEIGHT):
        for x in (0, 1, WIDTH - 2, WIDTH - 1):
            ink[y][x] = True
    return ink


def bitmap(ink):
    row_bytes = (WIDTH * 3 + 3) // 4 * 4
    data = bytearray()
    for row in reversed(ink):  # bottom-up
        line = bytearray()
        for dark in row:
            line += b"\x00\x00\x00" if dark else b"\xff\xff\xff"
        data += line + b"\x00" * (row_bytes - len(line))
    header = struct.pack("<2sIHHI", b"BM", 54 + len(data), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, WIDTH, HEIGHT, 1, 24, 0, len(data), 3780, 3780, 0, 0)
    return header + info + bytes(data)


with open(sys.argv[1], "wb") as out:
    out.write(bitmap(pixels()))
