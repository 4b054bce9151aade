#!/usr/bin/env python3
"""Draws the program icon (a wheel rim with three spokes and a top marker on
a dark disc) at 16, 32 and 48 pixels and writes it as a Windows .ico file."""
import math
import struct
import sys

DISC = (0x38, 0x2A, 0x1E)    # BGR
RIM = (0x28, 0x8C, 0xF2)
SPOKE = (0xC8, 0xC8, 0xC8)
MARK = (0xFF, 0xFF, 0xFF)


def colour_at(x, y):
    """Colour (BGR) of the point (x, y) in the unit square, or None outside."""
    dx, dy = x - 0.5, y - 0.5
    r = math.hypot(dx, dy)
    if r > 0.48:
        return None
    angle = math.degrees(math.atan2(dy, dx))  # y grows downwards: 90 is straight down
    if 0.34 <= r <= 0.45:
        return MARK if abs(angle + 90) < 9 else RIM
    if r <= 0.10:
        return SPOKE
    if r < 0.34:
        for spoke in (0.0, 180.0, 90.0):
            diff = abs((angle - spoke + 180) % 360 - 180)
            if r * math.radians(diff) < 0.045:
                return SPOKE
    return DISC


def image(size, samples=4):
    rows = []
    for py in range(size):
        row = []
        for px in range(size):
            acc = [0, 0, 0]
            hits = 0
            for sy in range(samples):
                for sx in range(samples):
                    c = colour_at((px + (sx + 0.5) / samples) / size, (py + (sy + 0.5) / samples) / size)
                    if c:
                        hits += 1
                        acc = [a + b for a, b in zip(acc, c)]
            n = samples * samples
            if hits:
                row.append(bytes([acc[0] // hits, acc[1] // hits, acc[2] // hits, 255 * hits // n]))
            else:
                row.append(bytes(4))
        rows.append(b"".join(row))
    pixels = b"".join(reversed(rows))  # bottom-up
    mask_row = ((size + 31) // 32) * 4
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, len(pixels), 0, 0, 0, 0)
    return header + pixels + bytes(mask_row * size)


def main(path):
    sizes = (16, 32, 48)
    images = [image(s) for s in sizes]
    out = struct.pack("<HHH", 0, 1, len(sizes))
    offset = 6 + 16 * len(sizes)
    for s, data in zip(sizes, images):
        out += struct.pack("<BBBBHHII", s, s, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    with open(path, "wb") as f:
        f.write(out + b"".join(images))


if __name__ == "__main__":
    main(sys.argv[1])
