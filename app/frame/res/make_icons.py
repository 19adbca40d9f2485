#!/usr/bin/env python3
"""Writes the main frame's icons (32-bit BMP-based .ico files) into a folder.

The program icon is a blue disc with a white book line; the tray icons add a
green (on) or grey (off) mark for the cursor and clipboard translators.
"""
import struct
import sys


def disc(size, x, y, cx, cy, r):
    dx, dy = x + 0.5 - cx, y + 0.5 - cy
    return dx * dx + dy * dy <= r * r


def pixels(size, grab, clip):
    rows = []
    for y in range(size):
        row = []
        for x in range(size):
            c = (0, 0, 0, 0)
            if disc(size, x, y, size / 2, size / 2, size / 2 - 0.5):
                c = (0xC0, 0x70, 0x30, 0xFF)  # blue, green, red, alpha
                if size // 4 <= x < size - size // 4 and abs(y - size // 2) <= max(1, size // 16):
                    c = (0xFF, 0xFF, 0xFF, 0xFF)
            for on, corner in ((grab, 0), (clip, 1)):
                if on is None:
                    continue
                ccx = size * (0.22 if corner == 0 else 0.78)
                if disc(size, x, y, ccx, size * 0.8, size * 0.2):
                    c = (0x30, 0xB0, 0x30, 0xFF) if on else (0x90, 0x90, 0x90, 0xFF)
            row.append(c)
        rows.append(row)
    return rows


def icon(size, grab=None, clip=None):
    rows = pixels(size, grab, clip)
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    body = b''.join(bytes(p) for row in reversed(rows) for p in row)
    mask_row = ((size + 31) // 32) * 4
    mask = b'\0' * (mask_row * size)
    image = header + body + mask
    return struct.pack('<HHH', 0, 1, 1) + struct.pack('<BBBBHHII', size % 256, size % 256, 0, 0, 1, 32,
                                                       len(image), 22) + image


def main(folder):
    files = {
        'main.ico': icon(32),
        'tray_grab_clip.ico': icon(16, True, True),
        'tray_off.ico': icon(16, False, False),
        'tray_grab.ico': icon(16, True, False),
        'tray_clip.ico': icon(16, False, True),
    }
    for name, data in files.items():
        with open(folder + '/' + name, 'wb') as f:
            f.write(data)


if __name__ == '__main__':
    main(sys.argv[1])
