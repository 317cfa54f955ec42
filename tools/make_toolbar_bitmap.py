#!/usr/bin/env python3
"""Writes res/toolbar.bmp, the toolbar's 17 button images, from the character grids below.

Each image is 16 x 15 pixels; one character is one pixel of the 16-colour palette.
The same images at 24 x 24 and 32 x 32 pixels, for scaled displays, go to
res/toolbar24.bmp and res/toolbar32.bmp: they are scaled from the grids with pixel-art
rules that round off diagonal steps instead of blowing them up into blocks.
Run with --check to verify that the committed bitmaps match the grids.
"""
import argparse
import os
import struct
import sys

# The standard 16-colour palette. The toolbar maps silver to the button face, grey to
# the button shadow, white to the highlight and black to the button text, so '.' (silver)
# is the transparent background.
PALETTE = [
    ("k", (0x00, 0x00, 0x00)),  # black
    ("R", (0x80, 0x00, 0x00)),  # maroon
    ("G", (0x00, 0x80, 0x00)),  # green
    ("Y", (0x80, 0x80, 0x00)),  # olive
    ("B", (0x00, 0x00, 0x80)),  # navy
    ("M", (0x80, 0x00, 0x80)),  # purple
    ("C", (0x00, 0x80, 0x80)),  # teal
    (".", (0xC0, 0xC0, 0xC0)),  # silver
    ("g", (0x80, 0x80, 0x80)),  # grey
    ("r", (0xFF, 0x00, 0x00)),  # red
    ("l", (0x00, 0xFF, 0x00)),  # lime
    ("y", (0xFF, 0xFF, 0x00)),  # yellow
    ("b", (0x00, 0x00, 0xFF)),  # blue
    ("m", (0xFF, 0x00, 0xFF)),  # fuchsia
    ("c", (0x00, 0xFF, 0xFF)),  # aqua
    ("w", (0xFF, 0xFF, 0xFF)),  # white
]

WIDTH = 16
HEIGHT = 15

# The images in bitmap order; the name is the command the button runs.
ICONS = [
    ("open log file", [
        "................",
        "................",
        "..........kkk...",
        ".........k...k.k",
        ".............kk.",
        ".kkkk.......kkk.",
        "kyyyykkkkkkk....",
        "kyyyyyyyyyyk....",
        "kyyyykkkkkkkkkkk",
        "kyyykYYYYYYYYYk.",
        "kyykYYYYYYYYYk..",
        "kykYYYYYYYYYk...",
        "kkYYYYYYYYYk....",
        "kkkkkkkkkkk.....",
        "................",
    ]),
    ("save to csv file", [
        "................",
        "kkkkkkkkkk......",
        "kGGkGGkGGk......",
        "kkkkkkkkkk......",
        "kwwgwwgwwk......",
        "kggggggggk..bb..",
        "kwwgwwgwwk..bb..",
        "kggggggggk..bb..",
        "kwwgwwgwwk..bb..",
        "kggggggggk..bb..",
        "kwwgwwgwwkbbbbbb",
        "kggggggggk.bbbb.",
        "kwwgwwgwwk..bb..",
        "kkkkkkkkkk......",
        "................",
    ]),
    ("copy", [
        "................",
        ".kkkkkk.........",
        ".kwwwwkk........",
        ".kwkkwkwk.......",
        ".kwwwwkkkkkk....",
        ".kwkkkkwwwwkk...",
        ".kwwwwkwkkwkwk..",
        ".kwkkkkwwwwkkkk.",
        ".kwwwwkwkkkkwwk.",
        ".kkkkkkwwwwwwwk.",
        "......kwkkkkkwk.",
        "......kwwwwwwwk.",
        "......kwkkkkkwk.",
        "......kwwwwwwwk.",
        "......kkkkkkkkk.",
    ]),
    ("search", [
        "................",
        "...kkkkk........",
        "..kwwccck.......",
        ".kwwcccccck.....",
        ".kwccccccck.....",
        ".kcccccccck.....",
        ".kcccccccck.....",
        ".kcccccccck.....",
        "..kcccccck......",
        "...kkkkkkkk.....",
        "........kkkk....",
        ".........kkkk...",
        "..........kkkk..",
        "...........kkk..",
        "................",
    ]),
    ("previous search", [
        "...........b....",
        "..kkkkk...bbb...",
        ".kwwccck.bbbbb..",
        "kwcccccck.bbb...",
        "kcccccccck.bb...",
        "kcccccccck.bb...",
        "kcccccccck.bb...",
        ".kccccccck.bb...",
        "..kkkkkkkk......",
        ".......kkk......",
        "........kkk.....",
        ".........kkk....",
        "..........kkk...",
        "...........kk...",
        "................",
    ]),
    ("next search", [
        "................",
        "..kkkkk....bb...",
        ".kwwccck...bb...",
        "kwcccccck..bb...",
        "kcccccccck.bb...",
        "kcccccccck.bb...",
        "kcccccccck.bb...",
        ".kccccccckbbbbb.",
        "..kkkkkkkk.bbb..",
        ".......kkk..b...",
        "........kkk.....",
        ".........kkk....",
        "..........kkk...",
        "...........kk...",
        "................",
    ]),
    ("highlight search string", [
        "................",
        ".........k......",
        ".........k......",
        "...kkkk..k......",
        ".......k.kkkkk..",
        "...kkkkk.k....k.",
        "..k....k.k....k.",
        "..k....k.k....k.",
        "...kkkkk.kkkkk..",
        "................",
        "YYYYYYYYYYYYYYYY",
        "YyyyyyyyyyyyyyyY",
        "YyyyyyyyyyyyyyyY",
        "YYYYYYYYYYYYYYYY",
        "................",
    ]),
    ("extraction", [
        "................",
        "kkkkkkkkkkkkkkk.",
        "kwwwwwwwwwwwwwk.",
        ".kcccccccccccck.",
        "..kcccccccccck..",
        "...kcccccccck...",
        "....kcccccck....",
        ".....kcccck.....",
        "......kcck......",
        "......kcck......",
        "......kcck......",
        "......kcck......",
        "......kcck......",
        "......kkkk......",
        "................",
    ]),
    ("compare", [
        "................",
        "kkkkkkk..kkkkkkk",
        "kwwwwwk..kwwwwwk",
        "kwgggwk..kwgggwk",
        "kwwwwwk..kwwwwwk",
        "kwgggwk..kwrrrwk",
        "kwwwwwk..kwwwwwk",
        "kwrrrwk..kwgggwk",
        "kwwwwwk..kwwwwwk",
        "kwgggwk..kwgggwk",
        "kwwwwwk..kwwwwwk",
        "kwgggwk..kwrrrwk",
        "kwwwwwk..kwwwwwk",
        "kkkkkkk..kkkkkkk",
        "................",
    ]),
    ("jump to line", [
        "................",
        "........kkkkkkkk",
        "........kwwwwwwk",
        "........kwggggwk",
        "........kwwwwwwk",
        "........kwggggwk",
        "....b...kwwwwwwk",
        "....bb..kkkkkkkk",
        "bbbbbbb.kyyyyyyk",
        "....bb..kkkkkkkk",
        "....b...kwwwwwwk",
        "........kwggggwk",
        "........kwwwwwwk",
        "........kkkkkkkk",
        "................",
    ]),
    ("jump to top", [
        "................",
        ".kkkkkkkkkkkkkk.",
        ".kkkkkkkkkkkkkk.",
        "................",
        ".......bb.......",
        "......bbbb......",
        ".....bbbbbb.....",
        "....bbbbbbbb....",
        "...bbbbbbbbbb...",
        "......bbbb......",
        "......bbbb......",
        "......bbbb......",
        "......bbbb......",
        "......bbbb......",
        "................",
    ]),
    ("jump to end", [
        "................",
        "......bbbb......",
        "......bbbb......",
        "......bbbb......",
        "......bbbb......",
        "......bbbb......",
        "...bbbbbbbbbb...",
        "....bbbbbbbb....",
        ".....bbbbbb.....",
        "......bbbb......",
        ".......bb.......",
        "................",
        ".kkkkkkkkkkkkkk.",
        ".kkkkkkkkkkkkkk.",
        "................",
    ]),
    ("marker list", [
        "................",
        "................",
        ".kkk............",
        ".klk.kkkkkkkkkk.",
        ".kkk............",
        "................",
        ".kkk............",
        ".klk.kkkkkkkkkk.",
        ".kkk............",
        "................",
        ".kkk............",
        ".klk.kkkkkkkkkk.",
        ".kkk............",
        "................",
        "................",
    ]),
    ("previous marker", [
        "................",
        ".......bb.......",
        "......bbbb......",
        ".....bbbbbb.....",
        "....bbbbbbbb....",
        ".......bb.......",
        ".......bb.......",
        "................",
        ".kkkkkkkkkkkkkk.",
        ".kllllllllllllk.",
        ".kllkkkkkkkkllk.",
        ".kllllllllllllk.",
        ".kkkkkkkkkkkkkk.",
        "................",
        "................",
    ]),
    ("next marker", [
        "................",
        "................",
        ".kkkkkkkkkkkkkk.",
        ".kllllllllllllk.",
        ".kllkkkkkkkkllk.",
        ".kllllllllllllk.",
        ".kkkkkkkkkkkkkk.",
        "................",
        ".......bb.......",
        ".......bb.......",
        "....bbbbbbbb....",
        ".....bbbbbb.....",
        "......bbbb......",
        ".......bb.......",
        "................",
    ]),
    ("help", [
        "................",
        ".....bbbbbb.....",
        "...bbbbbbbbbb...",
        "..bbbbwwwwbbbb..",
        "..bbbwwbbwwbbb..",
        ".bbbbbbbbwwbbbb.",
        ".bbbbbbbwwbbbbb.",
        ".bbbbbbwwbbbbbb.",
        ".bbbbbbwwbbbbbb.",
        "..bbbbbbbbbbbb..",
        "..bbbbbwwbbbbb..",
        "...bbbbwwbbbb...",
        ".....bbbbbb.....",
        "................",
        "................",
    ]),
    ("print", [
        "................",
        "....kkkkkkkk....",
        "....kwwwwwwk....",
        "....kwkkkkwk....",
        "....kwwwwwwk....",
        ".kkkkkkkkkkkkkk.",
        "k..............k",
        "k..........lly.k",
        "k..............k",
        "kkkkkkkkkkkkkkkk",
        "kggkwwwwwwwwkggk",
        ".kkkwkkkkkkwkkk.",
        "....kwwwwwwk....",
        "....kkkkkkkk....",
        "................",
    ]),
    ("follow", [
        "................",
        ".kkkkkkkkk......",
        ".kwwwwwwwkk.....",
        ".kwkkkkkwkwk....",
        ".kwwwwwwwkkkk...",
        ".kwkkkkkkkwwk...",
        ".kwwwwwwwwwwk...",
        ".kwkkkkkkkkwk...",
        ".kwwwwwwwwwwk...",
        ".kwkkkkkkGGGGG..",
        ".kwwwwwwwGGGGG..",
        ".kkkkkkGGGGGGGGG",
        "........GGGGGGG.",
        ".........GGGGG..",
        "..........GGG...",
    ]),
]


def check_grids(icons, width, height, palette):
    """Returns a list of problems: wrong count, row lengths or unknown characters."""
    known = {c for c, _ in palette}
    problems = []
    for name, rows in icons:
        if len(rows) != height:
            problems.append(f"{name}: {len(rows)} rows, expected {height}")
        for y, row in enumerate(rows):
            if len(row) != width:
                problems.append(f"{name}, row {y}: {len(row)} pixels, expected {width}")
            bad = sorted(set(row) - known)
            if bad:
                problems.append(f"{name}, row {y}: unknown colours {''.join(bad)}")
    return problems


def bmp_4bit(rows, palette):
    """A 4-bit BI_RGB Windows bitmap (file header included) of the rows of palette characters."""
    index = {c: i for i, (c, _) in enumerate(palette)}
    height = len(rows)
    width = len(rows[0])
    stride = ((width * 4 + 31) // 32) * 4
    pixels = bytearray()
    for row in reversed(rows):  # bottom-up
        line = bytearray(stride)
        for x, ch in enumerate(row):
            value = index[ch]
            if x % 2 == 0:
                line[x // 2] |= value << 4
            else:
                line[x // 2] |= value
        pixels += line
    colours = b"".join(struct.pack("<BBBB", b, g, r, 0) for _, (r, g, b) in palette)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 4, 0, len(pixels),
                       2835, 2835, len(palette), 0)
    offset = 14 + len(info) + len(colours)
    header = struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset)
    return header + info + colours + bytes(pixels)


def strip_rows(icons):
    """The images side by side, as rows of one wide strip."""
    height = len(icons[0][1])
    return ["".join(rows[y] for _, rows in icons) for y in range(height)]


def pad_square(rows, background="."):
    """The rows with background rows added below, up to a square."""
    return rows + [background * len(rows[0])] * (len(rows[0]) - len(rows))


def _at(rows, x, y):
    """The pixel at (x, y), the nearest edge pixel outside the image."""
    y = min(max(y, 0), len(rows) - 1)
    x = min(max(x, 0), len(rows[0]) - 1)
    return rows[y][x]


def scale2x(rows):
    """Doubles an image: each pixel becomes four, a corner taking the colour of the two
    neighbours beside it when they agree (and the other two do not)."""
    out = []
    for y in range(len(rows)):
        top, bottom = [], []
        for x in range(len(rows[0])):
            p = rows[y][x]
            a, b = _at(rows, x, y - 1), _at(rows, x + 1, y)
            c, d = _at(rows, x - 1, y), _at(rows, x, y + 1)
            top += [a if c == a and c != d and a != b else p,
                    b if a == b and a != c and b != d else p]
            bottom += [c if d == c and d != b and c != a else p,
                       d if b == d and b != a and d != c else p]
        out += ["".join(top), "".join(bottom)]
    return out


def scale3x(rows):
    """Triples an image by the same rule as scale2x, over a 3 x 3 neighbourhood."""
    out = []
    for y in range(len(rows)):
        lines = [[], [], []]
        for x in range(len(rows[0])):
            a, b, c = _at(rows, x - 1, y - 1), _at(rows, x, y - 1), _at(rows, x + 1, y - 1)
            d, e, f = _at(rows, x - 1, y), rows[y][x], _at(rows, x + 1, y)
            g, h, i = _at(rows, x - 1, y + 1), _at(rows, x, y + 1), _at(rows, x + 1, y + 1)
            up_left = d == b and b != f and d != h
            up_right = b == f and b != d and f != h
            down_left = d == h and d != b and h != f
            down_right = h == f and d != h and b != f
            lines[0] += [d if up_left else e,
                         b if (up_left and e != c) or (up_right and e != a) else e,
                         f if up_right else e]
            lines[1] += [d if (up_left and e != g) or (down_left and e != a) else e,
                         e,
                         f if (up_right and e != i) or (down_right and e != c) else e]
            lines[2] += [d if down_left else e,
                         h if (down_left and e != i) or (down_right and e != g) else e,
                         f if down_right else e]
        out += ["".join(line) for line in lines]
    return out


def halve(rows, background="."):
    """Halves an image: each 2 x 2 block becomes its most frequent colour, a tie going to
    a colour other than the background, so that lines one pixel wide survive."""
    out = []
    for y in range(0, len(rows), 2):
        line = []
        for x in range(0, len(rows[0]), 2):
            block = [rows[y][x], rows[y][x + 1], rows[y + 1][x], rows[y + 1][x + 1]]
            best = max(block, key=lambda c: (block.count(c), c != background, -block.index(c)))
            line.append(best)
        out.append("".join(line))
    return out


def scaled_icons(icons, size):
    """The images at size x size pixels (24 or 32), from the 16 x 15 grids."""
    scale = {24: lambda rows: halve(scale3x(rows)), 32: scale2x}[size]
    return [(name, scale(pad_square(rows))) for name, rows in icons]


def write_or_check(path, data, check, script):
    """Writes data to path, or with check compares it with the file there (1 when it differs)."""
    if not check:
        with open(path, "wb") as f:
            f.write(data)
        return 0
    try:
        with open(path, "rb") as f:
            current = f.read()
    except OSError as e:
        print(f"{path}: {e.strerror}", file=sys.stderr)
        return 1
    if current != data:
        print(f"{path} is out of date; run {script}", file=sys.stderr)
        return 1
    return 0


def main():
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--output", default=os.path.join(root, "res", "toolbar.bmp"))
    parser.add_argument("--check", action="store_true",
                        help="compare with the existing file instead of writing it")
    args = parser.parse_args()

    problems = check_grids(ICONS, WIDTH, HEIGHT, PALETTE)
    if len(ICONS) != 18:
        problems.append(f"{len(ICONS)} images, expected 18")
    if problems:
        for p in problems:
            print(p, file=sys.stderr)
        return 2

    script = os.path.basename(__file__)
    folder = os.path.dirname(os.path.abspath(args.output))
    failed = write_or_check(args.output, bmp_4bit(strip_rows(ICONS), PALETTE), args.check, script)
    for size in (24, 32):
        data = bmp_4bit(strip_rows(scaled_icons(ICONS, size)), PALETTE)
        path = os.path.join(folder, f"toolbar{size}.bmp")
        failed |= write_or_check(path, data, args.check, script)
    return failed


if __name__ == "__main__":
    sys.exit(main())
