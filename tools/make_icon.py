#!/usr/bin/env python3
"""Writes resources/brisome.ico: one 32 x 32 icon, 32 bits per pixel (BGRA + AND mask).

The picture is a small television set: a dark cabinet, a blue screen with a
lighter band, two antenna rods. Run it again only to change the drawing."""
import struct
import sys

W = H = 32


def pixel(x, y):
    # Antenna rods, drawn as two diagonals meeting above the cabinet.
    if y < 8:
        if abs((15 - x) - (7 - y)) <= 0 and x < 16 or abs((x - 16) - (7 - y)) <= 0 and x >= 16:
            return (40, 40, 40, 255)
        return (0, 0, 0, 0)
    if 8 <= y <= 28 and 2 <= x <= 29:
        if 11 <= y <= 25 and 5 <= x <= 22:
            if 15 <= y <= 18:
                return (235, 200, 120, 255)  # lighter band (B, G, R, A)
            return (200, 110, 30, 255)        # screen blue
        if 24 <= x <= 27 and y in (12, 13, 16, 17):
            return (60, 200, 240, 255)        # knobs
        return (50, 50, 60, 255)              # cabinet
    if y in (29, 30) and (x in (6, 7) or x in (24, 25)):
        return (40, 40, 40, 255)              # feet
    return (0, 0, 0, 0)


def main(path):
    xor = bytearray()
    for y in range(H - 1, -1, -1):  # bottom-up rows
        for x in range(W):
            b, g, r, a = pixel(x, y)
            xor += bytes((b, g, r, a))
    mask = bytearray()
    for y in range(H - 1, -1, -1):
        row = 0
        for x in range(W):
            if pixel(x, y)[3] == 0:
                row |= 1 << (31 - x)
        mask += struct.pack(">I", row)
    header = struct.pack("<IiiHHIIiiII", 40, W, H * 2, 1, 32, 0, len(xor) + len(mask), 0, 0, 0, 0)
    image = header + xor + mask
    icondir = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", W, H, 0, 0, 1, 32, len(image), 6 + 16)
    with open(path, "wb") as f:
        f.write(icondir + entry + image)


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else "resources/brisome.ico")
