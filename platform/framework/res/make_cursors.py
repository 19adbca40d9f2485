#!/usr/bin/env python3
"""Writes the framework's two splitter cursors (32 x 32, monochrome): a
double arrow across a double bar, black with a white outline. Run once; the
.cur files are kept in the tree."""
import struct, sys, os

def shape_horizontal():
    # Arrows pointing left and right across two vertical bars.
    s = set()
    for y in range(8, 24):
        s.add((14, y)); s.add((17, y))
    for x in range(5, 27):
        s.add((x, 15)); s.add((x, 16))
    for d in range(5):
        for y in range(15 - d, 17 + d):
            s.add((4 + d, y)); s.add((27 - d, y))
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
                xor_bits |= bit          # white
            elif (x, y) not in shape:
                and_bits |= bit          # transparent
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
h = shape_horizontal()
write_cursor(os.path.join(here, "hsplit.cur"), h, (16, 16))
write_cursor(os.path.join(here, "vsplit.cur"), {(y, x) for (x, y) in h}, (16, 16))
