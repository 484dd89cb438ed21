#!/usr/bin/env python3
"""Writes the link's hand cursor: a 32 x 32 monochrome cursor file drawn from the picture below
('#' black, 'o' white, '.' transparent), hot spot at the tip of the pointing finger. Usage:
  make-cursor.py OUT.cur"""
import struct
import sys

HAND = """
.....##
....#oo#
....#oo#
....#oo#
....#oo#
....#oo###
....#oo#oo###
....#oo#oo#oo##
.##.#oo#oo#oo#oo#
#oo##oo#oo#oo#oo#
#ooo#ooooooooooo#
.#oo#ooooooooooo#
..#ooooooooooooo#
..#ooooooooooooo#
...#oooooooooooo#
...#ooooooooooo#
....#oooooooooo#
....#oooooooooo#
.....#oooooooo#
.....#oooooooo#
.....##########
"""
SIZE = 32
HOT_SPOT = (5, 0)


def main(out):
    rows = [line for line in HAND.strip("\n").split("\n")]
    assert len(rows) <= SIZE and all(len(r) <= SIZE for r in rows)
    pixel = lambda x, y: rows[y][x] if y < len(rows) and x < len(rows[y]) else "."
    stride = SIZE // 8
    xor_mask, and_mask = bytearray(), bytearray()
    for y in reversed(range(SIZE)):  # bottom-up rows
        xor_row, and_row = bytearray(stride), bytearray(stride)
        for x in range(SIZE):
            bit = 0x80 >> (x % 8)
            if pixel(x, y) == "o":
                xor_row[x // 8] |= bit
            elif pixel(x, y) == ".":
                and_row[x // 8] |= bit
        xor_mask += xor_row
        and_mask += and_row
    # Height counts the colour image and the mask; colour 0 black, colour 1 white.
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE * 2, 1, 1, 0, len(xor_mask) * 2, 0, 0, 2, 0)
    image = header + bytes([0, 0, 0, 0, 255, 255, 255, 0]) + bytes(xor_mask) + bytes(and_mask)
    directory = struct.pack("<HHH", 0, 2, 1)
    entry = struct.pack("<BBBBHHII", SIZE, SIZE, 2, 0, HOT_SPOT[0], HOT_SPOT[1], len(image), 6 + 16)
    with open(out, "wb") as f:
        f.write(directory + entry + image)


if __name__ == "__main__":
    main(sys.argv[1])
