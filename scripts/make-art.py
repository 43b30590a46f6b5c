#!/usr/bin/env python3
"""Draws Pexor's pictures from the text grids below into res/.

Each grid is one picture, one character a pixel, in the 16 standard colours
(see PALETTE). Run it after changing a grid and commit the grid and the
written files together; the build only uses the written files.
"""
import os
import struct

# The 16 colours of the standard VGA palette, the ones every Windows display shows.
PALETTE = [
    (0x00, 0x00, 0x00), (0x80, 0x00, 0x00), (0x00, 0x80, 0x00), (0x80, 0x80, 0x00),
    (0x00, 0x00, 0x80), (0x80, 0x00, 0x80), (0x00, 0x80, 0x80), (0xC0, 0xC0, 0xC0),
    (0x80, 0x80, 0x80), (0xFF, 0x00, 0x00), (0x00, 0xFF, 0x00), (0xFF, 0xFF, 0x00),
    (0x00, 0x00, 0xFF), (0xFF, 0x00, 0xFF), (0x00, 0xFF, 0xFF), (0xFF, 0xFF, 0xFF),
]
# Grid characters; "." is transparent in icons and cursors.
COLOURS = {"k": 0, "r": 1, "G": 2, "o": 3, "n": 4, "p": 5, "t": 6, "s": 7,
           "g": 8, "R": 9, "l": 10, "y": 11, "b": 12, "f": 13, "a": 14, "w": 15, ".": 0}

ICON_32 = """
...kkkkkkkkkkkkkkkkkkkkkkkkkk...
.kknnnnnnnnnnnnnnnnnnnnnnnnnnkk.
.knnnnnnnnnnnnnnnnnnnnnnnnnnnnk.
knnnnnnnnnnnnnnnnnnnnnnnnnnnnnnk
knnnbbbbbbbbbbbbbbbbbbbbbbbbnnnk
knnnbbbbbbbbbbbbbbbbbbbbbbbbnnnk
knnnbbbbbbbbbbbbbbbbbbbbbbbbnnnk
knnnbbbbbbbbbbbbbbbbbbbbbbbbnnnk
knnnbbbbbbbbbbbbbbbbbbbbbbbbnnnk
knnnnnnnnnnnnnnnnnnnnnnnnnnnnnnk
knnnnnnnnnnnnnnnnnnnnnnnnnnnnnnk
knnnnnnwwwwnnnnnnnnnnnnnnnnnnnnk
knnnnnnnwwwwnnnnnnnnnnnnnnnnnnnk
knnnnnnnnwwwwnnnnnnnnnnnnnnnnnnk
knnnnnnnnnwwwwnnnnnnnnnnnnnnnnnk
knnnnnnnnnnwwwwnnnnnnnnnnnnnnnnk
knnnnnnnnnnnwwwwnnnnnnnnnnnnnnnk
knnnnnnnnnnnnwwwwnnnnnnnnnnnnnnk
knnnnnnnnnnnnnwwwwnnnnnnnnnnnnnk
knnnnnnnnnnnnwwwwnnnnnnnnnnnnnnk
knnnnnnnnnnnwwwwnnnnnnnnnnnnnnnk
knnnnnnnnnnwwwwnnnnnnnnnnnnnnnnk
knnnnnnnnnwwwwnnnnnnnnnnnnnnnnnk
knnnnnnnnwwwwnnnnyyyyyyyyynnnnnk
knnnnnnnwwwwnnnnnyyyyyyyyynnnnnk
knnnnnnwwwwnnnnnnyyyyyyyyynnnnnk
knnnnnnnnnnnnnnnnnnnnnnnnnnnnnnk
knnnnnnnnnnnnnnnnnnnnnnnnnnnnnnk
knnnnnnnnnnnnnnnnnnnnnnnnnnnnnnk
.knnnnnnnnnnnnnnnnnnnnnnnnnnnnk.
.kknnnnnnnnnnnnnnnnnnnnnnnnnnkk.
...kkkkkkkkkkkkkkkkkkkkkkkkkk...
"""

ICON_16 = """
.kkkkkkkkkkkkkk.
kknnnnnnnnnnnnkk
knbbbbbbbbbbbbnk
knbbbbbbbbbbbbnk
knbbbbbbbbbbbbnk
knnnnnnnnnnnnnnk
knnwwnnnnnnnnnnk
knnnwwnnnnnnnnnk
knnnnwwnnnnnnnnk
knnnnnwwnnnnnnnk
knnnnwwnnnnnnnnk
knnnwwnnnnnnnnnk
knnwwnnnyyyyynnk
knnnnnnnnnnnnnnk
kknnnnnnnnnnnnkk
.kkkkkkkkkkkkkk.
"""

# The move grip at the bar's left edge: two rows of raised dots on the
# button face.
GRIP = """
ssssssss
ssssssss
swsswsss
sgssgsss
ssssssss
swsswsss
sgssgsss
ssssssss
swsswsss
sgssgsss
ssssssss
swsswsss
sgssgsss
ssssssss
swsswsss
sgssgsss
ssssssss
swsswsss
sgssgsss
ssssssss
"""


def rows(grid):
    lines = [line for line in grid.strip("\n").split("\n")]
    width = len(lines[0])
    assert all(len(line) == width for line in lines), "ragged grid"
    return lines


def palette_bytes():
    return b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in PALETTE)


def pack_4bit(lines):
    """Bottom-up rows of 4-bit pixels, each row padded to 4 bytes."""
    out = b""
    for line in reversed(lines):
        row = bytearray()
        for i in range(0, len(line), 2):
            hi = COLOURS[line[i]]
            lo = COLOURS[line[i + 1]] if i + 1 < len(line) else 0
            row.append(hi << 4 | lo)
        while len(row) % 4:
            row.append(0)
        out += bytes(row)
    return out


def pack_mask(lines):
    """Bottom-up 1-bit AND mask: 1 where the pixel is transparent."""
    out = b""
    for line in reversed(lines):
        bits = 0
        row = bytearray()
        for i, ch in enumerate(line):
            bits = bits << 1 | (1 if ch == "." else 0)
            if i % 8 == 7:
                row.append(bits)
                bits = 0
        if len(line) % 8:
            row.append(bits << (8 - len(line) % 8))
        while len(row) % 4:
            row.append(0)
        out += bytes(row)
    return out


def dib(lines, height_factor):
    width, height = len(lines[0]), len(lines)
    pixels = pack_4bit(lines)
    header = struct.pack("<IiiHHIIiiII", 40, width, height * height_factor, 1, 4, 0,
                         len(pixels), 0, 0, 16, 0)
    return header + palette_bytes() + pixels


def write_icon(path, grids):
    images = []
    for grid in grids:
        lines = rows(grid)
        images.append((len(lines[0]), len(lines), dib(lines, 2) + pack_mask(lines)))
    data = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for width, height, image in images:
        data += struct.pack("<BBBBHHII", width, height, 16, 0, 1, 4, len(image), offset)
        offset += len(image)
    for _, _, image in images:
        data += image
    with open(path, "wb") as f:
        f.write(data)


def write_bitmap(path, grid):
    body = dib(rows(grid), 1)
    with open(path, "wb") as f:
        f.write(struct.pack("<2sIHHI", b"BM", 14 + len(body), 0, 0, 14 + 40 + 64) + body)


def main():
    res = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "res")
    write_icon(os.path.join(res, "pexor.ico"), [ICON_32, ICON_16])
    write_bitmap(os.path.join(res, "grip.bmp"), GRIP)


if __name__ == "__main__":
    main()
