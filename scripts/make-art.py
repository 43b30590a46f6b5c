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


# The properties dialog's browse button: an open folder. The top-left pixel's
# colour (magenta here) is the transparent one.
BROWSE = """
ffffffffffffffff
ffffffffffffffff
ffffffffffffffff
ffkkkkffffffffff
fkyyyykkkkkkkfff
fkywwwwwwwwwkfff
fkyoooooooookfff
fkyoooooooookfff
fkyokkkkkkkkkkkk
fkykyyyyyyyyyykf
fkkyyyyyyyyyykff
fkyyyyyyyyyykfff
fkkkkkkkkkkkffff
ffffffffffffffff
ffffffffffffffff
ffffffffffffffff
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


# The hand over the About dialog's links: a black outline around a white hand
# whose index finger points up; the hotspot is its fingertip.
LINK_HAND = """
.....kk.........................
....kwwk........................
....kwwk........................
....kwwk........................
....kwwkkk......................
....kwwkwwkkk...................
....kwwkwwkwwkkk................
....kwwkwwkwwkwwk...............
.kk.kwwkwwkwwkwwk...............
kwwkkwwwwwwwwwwwk...............
kwwwkwwwwwwwwwwwk...............
.kwwwwwwwwwwwwwwk...............
.kwwwwwwwwwwwwwwk...............
..kwwwwwwwwwwwwwk...............
..kwwwwwwwwwwwwwk...............
...kwwwwwwwwwwwk................
...kwwwwwwwwwwwk................
....kwwwwwwwwwk.................
....kwwwwwwwwwk.................
....kkkkkkkkkkk.................
................................
................................
................................
................................
................................
................................
................................
................................
................................
................................
................................
................................
"""
LINK_HAND_HOTSPOT = (5, 0)

# Letters of the About dialog's title banner, one "#" a pixel: capitals 17
# rows high, small letters 12, all standing on the same base line.
TITLE_GLYPHS = {
    ">": """
###.....
.###....
..###...
...###..
....###.
.....###
.....###
....###.
...###..
..###...
.###....
###.....
""",
    "P": """
##########...
###########..
###.....####.
###......###.
###......###.
###......###.
###.....####.
###########..
##########...
###..........
###..........
###..........
###..........
###..........
###..........
###..........
###..........
""",
    "e": """
...######...
..########..
.###....###.
###......###
############
############
###.........
###.........
###......###
.###....###.
..########..
...######...
""",
    "x": """
###......###
.###....###.
.###....###.
..###..###..
...######...
....####....
....####....
...######...
..###..###..
.###....###.
.###....###.
###......###
""",
    "o": """
...######...
..########..
.###....###.
###......###
###......###
###......###
###......###
###......###
###......###
.###....###.
..########..
...######...
""",
    "r": """
###.#####
#########
#####....
####.....
###......
###......
###......
###......
###......
###......
###......
###......
""",
}
TITLE_SIZE = (171, 23)
TITLE_BASE_LINE = 18  # the last row of the letters


def about_title():
    """The banner: a prompt ">", the name and a yellow cursor, centred, in navy
    with a dark grey shadow on the 3-D face grey."""
    width, height = TITLE_SIZE
    canvas = [["s"] * width for _ in range(height)]
    parts = [(">", "b", 6), ("P", "n", 3), ("e", "n", 3), ("x", "n", 3), ("o", "n", 3), ("r", "n", 4)]
    cursor_width = 12
    total = sum(len(rows(TITLE_GLYPHS[c])[0]) + gap for c, _, gap in parts) + cursor_width
    x = (width - total) // 2

    def stamp(lines, left, top, colour):
        for dy, line in enumerate(lines):
            for dx, ch in enumerate(line):
                if ch == "#":
                    canvas[top + dy][left + dx] = colour

    placed = []
    for ch, colour, gap in parts:
        lines = rows(TITLE_GLYPHS[ch])
        top = TITLE_BASE_LINE - len(lines) + 1
        placed.append((lines, x, top, colour))
        x += len(lines[0]) + gap
    cursor = ["#" * cursor_width] * 3
    placed.append((cursor, x, TITLE_BASE_LINE - 2, "y"))
    for lines, left, top, _ in placed:
        stamp(lines, left + 2, top + 2, "g")
    for lines, left, top, colour in placed:
        stamp(lines, left, top, colour)
    return "\n".join("".join(row) for row in canvas)


def write_cursor(path, grid, hotspot):
    """A monochrome cursor: "k" black, "w" white, "." transparent."""
    lines = rows(grid)
    width, height = len(lines[0]), len(lines)
    xor = b""
    for line in reversed(lines):
        bits = bytearray(((width + 31) // 32) * 4)
        for i, ch in enumerate(line):
            if ch == "w":
                bits[i // 8] |= 0x80 >> (i % 8)
        xor += bytes(bits)
    header = struct.pack("<IiiHHIIiiII", 40, width, height * 2, 1, 1, 0, 0, 0, 0, 2, 0)
    image = header + struct.pack("<BBBBBBBB", 0, 0, 0, 0, 255, 255, 255, 0) + xor + pack_mask(lines)
    data = struct.pack("<HHH", 0, 2, 1)
    data += struct.pack("<BBBBHHII", width, height, 2, 0, hotspot[0], hotspot[1], len(image), 6 + 16)
    with open(path, "wb") as f:
        f.write(data + image)


def write_bitmap_256(path, pixels):
    """A 256-colour bitmap from rows of (r, g, b); the palette holds the
    colours in the order they first appear."""
    height, width = len(pixels), len(pixels[0])
    palette = []
    index = {}
    body = b""
    for row in reversed(pixels):
        line = bytearray()
        for colour in row:
            if colour not in index:
                index[colour] = len(palette)
                palette.append(colour)
            line.append(index[colour])
        while len(line) % 4:
            line.append(0)
        body += bytes(line)
    assert len(palette) <= 256, "%d colours" % len(palette)
    palette += [(0, 0, 0)] * (256 - len(palette))
    table = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in palette)
    header = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 8, 0, len(body), 0, 0, 256, 0)
    offset = 14 + len(header) + len(table)
    with open(path, "wb") as f:
        f.write(struct.pack("<2sIHHI", b"BM", offset + len(body), 0, 0, offset) + header + table + body)


# The About dialog's picture: the program's icon drawn large, a navy window
# with a title band, a white prompt ">" and a yellow cursor, casting a shadow.
# The exact greys 0x808080, 0xC0C0C0 and 0xDFDFDF follow the 3-D system
# colours when the dialog loads the picture; nothing else may use them.
FACE, SHADOW, LIGHT = (0xC0, 0xC0, 0xC0), (0x80, 0x80, 0x80), (0xDF, 0xDF, 0xDF)
LOGO_SIZE = 80


def mix(a, b, t):
    return tuple(int(round(x + (y - x) * t)) for x, y in zip(a, b))


def inside_rounded(x, y, left, top, size, radius):
    right, bottom = left + size - 1, top + size - 1
    cx = min(max(x, left + radius), right - radius)
    cy = min(max(y, top + radius), bottom - radius)
    return (x - cx) ** 2 + (y - cy) ** 2 <= radius * radius + radius * 0.8


def segment_distance(px, py, ax, ay, bx, by):
    dx, dy = bx - ax, by - ay
    t = max(0.0, min(1.0, ((px - ax) * dx + (py - ay) * dy) / float(dx * dx + dy * dy)))
    return ((px - ax - t * dx) ** 2 + (py - ay - t * dy) ** 2) ** 0.5


def about_logo():
    size, left, top, tile, radius, band = LOGO_SIZE, 5, 5, 66, 8, 15
    body_top, body_bottom = top + band + 1, top + tile - 1
    chevron = [(20, 35), (33, 48), (20, 61)]
    pixels = []
    for y in range(size):
        row = []
        for x in range(size):
            if inside_rounded(x, y, left, top, tile, radius):
                edge = not (inside_rounded(x - 1, y, left, top, tile, radius) and
                            inside_rounded(x + 1, y, left, top, tile, radius) and
                            inside_rounded(x, y - 1, left, top, tile, radius) and
                            inside_rounded(x, y + 1, left, top, tile, radius))
                if edge:
                    colour = (0, 0, 0)
                elif y < top + band:
                    # The title band: navy to light blue, left to right.
                    colour = mix((0, 0, 0x80), (0x10, 0x84, 0xD0), (x - left) / float(tile))
                    colour = tuple(c // 8 * 8 for c in colour)
                elif y == top + band:
                    colour = (0, 0, 0x40)
                else:
                    # The window: navy, darker towards the bottom, in steps of two rows.
                    step = (y - body_top) // 2 / float((body_bottom - body_top) // 2)
                    colour = mix((0x10, 0x10, 0x98), (0, 0, 0x50), step)
                    # The prompt, smoothed against the window in three steps.
                    hits = 0
                    for sy in range(4):
                        for sx in range(4):
                            px, py = x + (sx + 0.5) / 4, y + (sy + 0.5) / 4
                            d = min(segment_distance(px, py, *chevron[0], *chevron[1]),
                                    segment_distance(px, py, *chevron[1], *chevron[2]))
                            hits += d <= 2.8
                    colour = mix(colour, (0xFF, 0xFF, 0xFF), round(hits / 16.0 * 3) / 3.0)
                    if 40 <= x <= 57 and 57 <= y <= 61:
                        colour = (0xFF, 0xFF, 0x00)
            elif inside_rounded(x - 3, y - 3, left, top, tile, radius):
                colour = SHADOW
            else:
                colour = FACE
            row.append(colour)
        pixels.append(row)
    # Three window buttons at the right of the title band, in the 3-D colours.
    for i in range(3):
        bx, by = left + tile - 12 - i * 10, top + 4
        for y in range(by, by + 8):
            for x in range(bx, bx + 9):
                light = x == bx or y == by
                dark = x == bx + 8 or y == by + 7
                pixels[y][x] = (0, 0, 0) if dark else ((0xFF, 0xFF, 0xFF) if light else FACE)
                if (x == bx + 7 or y == by + 6) and not dark and not light:
                    pixels[y][x] = SHADOW
    cx, cy = left + tile - 12, top + 4  # the close button's cross
    for d in range(4):
        pixels[cy + 2 + d][cx + 2 + d] = (0, 0, 0)
        pixels[cy + 2 + d][cx + 5 - d] = (0, 0, 0)
    mx, my = left + tile - 22, top + 4  # maximise: a frame
    for x in range(mx + 2, mx + 7):
        pixels[my + 2][x] = pixels[my + 5][x] = (0, 0, 0)
    for y in range(my + 2, my + 6):
        pixels[y][mx + 2] = pixels[y][mx + 6] = (0, 0, 0)
    nx, ny = left + tile - 32, top + 4  # minimise: a bar
    for x in range(nx + 2, nx + 6):
        pixels[ny + 5][x] = (0, 0, 0)
    return pixels


def main():
    res = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "res")
    write_icon(os.path.join(res, "pexor.ico"), [ICON_32, ICON_16])
    write_bitmap(os.path.join(res, "grip.bmp"), GRIP)
    write_bitmap_256(os.path.join(res, "aboutlogo.bmp"), about_logo())
    write_bitmap(os.path.join(res, "abouttitle.bmp"), about_title())
    write_cursor(os.path.join(res, "linkhand.cur"), LINK_HAND, LINK_HAND_HOTSPOT)
    write_bitmap(os.path.join(res, "browse.bmp"), BROWSE)


if __name__ == "__main__":
    main()
