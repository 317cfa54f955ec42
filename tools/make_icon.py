#!/usr/bin/env python3
"""Writes res/quillon.ico, the program icon (32 x 32 and 16 x 16, 16 colours), from the grids below.

One character is one pixel of the toolbar's palette; a space is transparent.
Run with --check to verify that the committed icon matches the grids.
"""
import argparse
import os
import struct
import sys

sys.dont_write_bytecode = True  # no __pycache__ beside the scripts
from make_toolbar_bitmap import PALETTE, check_grids, write_or_check  # noqa: E402

TRANSPARENT = " "

# A log page with a highlighted line, and a quill.
ICON_32 = [
    "                              B ",
    "  kkkkkkkkkkkkkkk          BBB  ",
    "  kwwwwwwwwwwwwwkk       BBCBB  ",
    "  kwwwwwwwwwwwwwkwk    BBCCBBc  ",
    "  kwwgggggggggwwkwwk  BCCCBBcB  ",
    "  kwwwwwwwwwwwwwkwwwkBCCCCBccB  ",
    "  kwwwwwwwwwwwwwkkkkBCCCCBcccB  ",
    "  kwwgggggggggggwwwBCCCCBcccB   ",
    "  kwwwwwwwwwwwwwwwBCCCCBccccB   ",
    "  kwwwwwwwwwwwwwwBCCCCBBcccB    ",
    "  kwwgggggggggggBBCCCBBccccB    ",
    "  kwwwwwwwwwwwwwBCCCCBccccB     ",
    "  kwwwwwwwwwwwwBCCCCBccccB      ",
    "  kwwggggggggwwBCCCBccccBB      ",
    "  kwwwwwwwwwwwwBCCBccccBB       ",
    "  kyyyyyyyyyyyBCCBBcccBB        ",
    "  kyyrrrrrrrryBCBBcccBB         ",
    "  kyyyyyyyyyyyBCBccBBk          ",
    "  kwwwwwwwwwwwBBccBBwk          ",
    "  kwwgggggggggBBBBgwwk          ",
    "  kwwwwwwwwwwBwwwwwwwk          ",
    "  kwwwwwwwwwBBwwwwwwwk          ",
    "  kwwgggggggkwgwwwwwwk          ",
    "  kwwwwwwwwkwwwwwwwwwk          ",
    "  kwwwwwwwkwwwwwwwwwwk          ",
    "  kwwggggkgggggggwwwwk          ",
    "  kwwwwwwwwwwwwwwwwwwk          ",
    "  kwwwwwwwwwwwwwwwwwwk          ",
    "  kwwgggggggwwwwwwwwwk          ",
    "  kwwwwwwwwwwwwwwwwwwk          ",
    "  kkkkkkkkkkkkkkkkkkkk          ",
    "                                ",
]

ICON_16 = [
    "              BB",
    " kkkkkkkk   BCBB",
    " kwwwwwwkkBBCBc ",
    " kwgggwwkBBCBcB ",
    " kwwwwwwkBCBBcB ",
    " kwgggggBCBBcB  ",
    " kwwwwwBCBBcBB  ",
    " kwggggBCBcBB   ",
    " kwwwwwBBcBB    ",
    " kyrrrrBBByk    ",
    " kwwwwBwwwwk    ",
    " kwggkgwwwwk    ",
    " kwwkwwwwwwk    ",
    " kwgggggwwwk    ",
    " kwwwwwwwwwk    ",
    " kkkkkkkkkkk    ",
]


def check_grid(name, rows, size):
    """Returns a list of problems with one square grid."""
    return check_grids([(name, rows)], size, size, list(PALETTE) + [(TRANSPARENT, None)])


def icon_image(rows):
    """The DIB of one icon image: header, palette, 4-bit colour bits, 1-bit AND mask."""
    index = {c: i for i, (c, _) in enumerate(PALETTE)}
    size = len(rows)
    xor_stride = ((size * 4 + 31) // 32) * 4
    and_stride = ((size + 31) // 32) * 4
    xor = bytearray()
    mask = bytearray()
    for row in reversed(rows):  # bottom-up
        line = bytearray(xor_stride)
        bits = bytearray(and_stride)
        for x, ch in enumerate(row):
            if ch == TRANSPARENT:
                bits[x // 8] |= 0x80 >> (x % 8)
                continue
            value = index[ch]
            line[x // 2] |= value << 4 if x % 2 == 0 else value
        xor += line
        mask += bits
    colours = b"".join(struct.pack("<BBBB", b, g, r, 0) for _, (r, g, b) in PALETTE)
    # The height counts the colour bits and the mask together.
    info = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 4, 0, len(xor) + len(mask),
                       0, 0, len(PALETTE), 0)
    return info + colours + bytes(xor) + bytes(mask)


def ico_file(images):
    """An .ico file holding the given grids, largest first."""
    header = struct.pack("<HHH", 0, 1, len(images))
    offset = len(header) + 16 * len(images)
    directory = b""
    data = b""
    for rows in images:
        image = icon_image(rows)
        size = len(rows)
        directory += struct.pack("<BBBBHHII", size % 256, size % 256, len(PALETTE), 0, 1, 4,
                                 len(image), offset + len(data))
        data += image
    return header + directory + data


def main():
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--output", default=os.path.join(root, "res", "quillon.ico"))
    parser.add_argument("--check", action="store_true",
                        help="compare with the existing file instead of writing it")
    args = parser.parse_args()

    problems = check_grid("32 x 32", ICON_32, 32) + check_grid("16 x 16", ICON_16, 16)
    if problems:
        for p in problems:
            print(p, file=sys.stderr)
        return 2

    data = ico_file([ICON_32, ICON_16])
    return write_or_check(args.output, data, args.check, os.path.basename(__file__))


if __name__ == "__main__":
    sys.exit(main())
