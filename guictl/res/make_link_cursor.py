#!/usr/bin/env python3
"""Writes Kestrelu's link cursor (32 x 32, monochrome): a pointing hand,
black with a white outline, hot spot at the finger tip. Run once; the .cur
file is kept in the tree."""
import os, struct, sys

def shape_hand():
    s = set()
    for y in range(2, 14):            # the index finger
        for x in range(10, 14):
            s.add((x, y))
    for y in range(10, 26):           # the palm
        for x in range(6, 23):
            s.add((x, y))
    for y in range(8, 11):            # the knuckles of the other fingers
        for x in (15, 16, 18, 19, 21, 22):
            s.add((x, y))
    for y in range(14, 20):           # the thumb
        for x in range(3, 6):
            s.add((x, y))
    return s

def write_cursor(path, shape, hotspot):
    outline = set()
    for (x, y) in shape:
        for dx in (-1, 0, 1):
            for dy in (-1, 0, 1):
                p = (x + dx, y + dy)
                if p not in shape and 0 <= p[0] < 32 and 0 <= p[1] < 32:
                    outline.add(p)
    xor_rows, and_rows = [], []
    for y in range(31, -1, -1):  # bottom-up rows
        xor_bits = and_bits = 0
        for x in range(32):
            bit = 1 << (31 - x)
            if (x, y) in outline:
                xor_bits |= bit
            elif (x, y) not in shape:
                and_bits |= bit
        xor_rows.append(struct.pack(">I", xor_bits))
        and_rows.append(struct.pack(">I", and_bits))
    header = struct.pack("<IiiHHIIiiII", 40, 32, 64, 1, 1, 0, 0, 0, 0, 2, 0)
    palette = struct.pack("<II", 0x000000, 0xFFFFFF)
    image = header + palette + b"".join(xor_rows) + b"".join(and_rows)
    directory = struct.pack("<HHH", 0, 2, 1) + struct.pack("<BBBBHHII", 32, 32, 0, 0, hotspot[0], hotspot[1],
                                                          len(image), 22)
    with open(path, "wb") as f:
        f.write(directory + image)

here = os.path.dirname(os.path.abspath(sys.argv[0]))
write_cursor(os.path.join(here, "link.cur"), shape_hand(), (11, 2))
