#!/usr/bin/env python3
"""Draws the Inkwarden icon (a page of ink strokes with a red seal) as a .ico."""
import struct
import sys


def pixel(size, x, y):
    """RGBA of one pixel of the icon at the given size; y counts from the top."""
    margin = size // 8
    if not (margin <= x < size - margin and 1 <= y < size - 1):
        return (0, 0, 0, 0)
    if x in (margin, size - margin - 1) or y in (1, size - 2):
        return (90, 90, 90, 255)
    seal = size // 4
    if margin + 2 <= x < margin + 2 + seal and size - 3 - seal <= y < size - 3:
        return (200, 30, 30, 255)
    stroke_step = max(3, size // 6)
    column = size - margin - 3 - x
    if column >= 0 and column % stroke_step == 0 and 4 <= y < size - 5 - (column // stroke_step) * 2:
        return (20, 20, 20, 255)
    return (250, 248, 240, 255)


def dib(size):
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    rows = []
    for y in reversed(range(size)):
        rows.append(b''.join(bytes((b, g, r, a)) for r, g, b, a in
                             (pixel(size, x, y) for x in range(size))))
    mask_row = b'\0' * (((size + 31) // 32) * 4)
    return header + b''.join(rows) + mask_row * size


def icon(sizes):
    images = [dib(s) for s in sizes]
    out = struct.pack('<HHH', 0, 1, len(sizes))
    offset = 6 + 16 * len(sizes)
    for s, data in zip(sizes, images):
        out += struct.pack('<BBBBHHII', s, s, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    return out + b''.join(images)


if __name__ == '__main__':
    with open(sys.argv[1], 'wb') as f:
        f.write(icon([16, 32, 48]))
