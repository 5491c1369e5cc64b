#!/usr/bin/env python3
"""Draws the saver's icon, resources/quillara.ico: one 32x32 image with a
16-colour palette (4 bits per pixel, 1 plane).  White stars and red, green
and blue balls on dark grey, the saver at a glance.  Run it again after
changing the picture; the .ico is committed so builds need no Python."""
import os
import struct

SIZE = 32

# Palette index -> (red, green, blue).
PALETTE = [
    (0, 0, 0),        # 0 black (unused, transparent pixels)
    (48, 48, 52),     # 1 dark grey background
    (80, 80, 86),     # 2 lighter grey rim
    (255, 255, 255),  # 3 white star
    (200, 200, 210),  # 4 star glow
    (220, 30, 30),    # 5 red ball
    (255, 140, 140),  # 6 red highlight
    (30, 190, 40),    # 7 green ball
    (150, 255, 150),  # 8 green highlight
    (40, 70, 230),    # 9 blue ball
    (150, 170, 255),  # 10 blue highlight
    (120, 20, 20),    # 11 red shade
    (15, 100, 20),    # 12 green shade
    (20, 35, 130),    # 13 blue shade
    (0, 0, 0),
    (0, 0, 0),
]


def draw():
    pixels = [[1] * SIZE for _ in range(SIZE)]
    transparent = [[False] * SIZE for _ in range(SIZE)]
    # Rounded corners: three pixels cut at each corner.
    for y in range(SIZE):
        for x in range(SIZE):
            cx = min(x, SIZE - 1 - x)
            cy = min(y, SIZE - 1 - y)
            if cx + cy < 2:
                transparent[y][x] = True
            elif cx == 0 or cy == 0:
                pixels[y][x] = 2

    def disc(cx, cy, r, colour, shade, light):
        for y in range(SIZE):
            for x in range(SIZE):
                dx, dy = x + 0.5 - cx, y + 0.5 - cy
                d2 = dx * dx + dy * dy
                if d2 <= r * r:
                    pixels[y][x] = colour
                    if dx + dy > r * 0.9:
                        pixels[y][x] = shade
                    hx, hy = dx + r * 0.35, dy + r * 0.35
                    if hx * hx + hy * hy <= (r * 0.35) ** 2:
                        pixels[y][x] = light

    def star(cx, cy, arm):
        for d in range(-arm, arm + 1):
            for (x, y) in ((cx + d, cy), (cx, cy + d)):
                if 0 <= x < SIZE and 0 <= y < SIZE:
                    pixels[y][x] = 3 if abs(d) < arm else 4
        for (x, y) in ((cx - 1, cy - 1), (cx + 1, cy - 1), (cx - 1, cy + 1), (cx + 1, cy + 1)):
            pixels[y][x] = 4

    star(9, 9, 4)
    star(23, 21, 3)
    star(25, 6, 2)
    disc(20.0, 11.0, 4.5, 5, 11, 6)   # red ball
    disc(9.5, 23.0, 5.0, 7, 12, 8)    # green ball
    disc(24.0, 28.0, 3.0, 9, 13, 10)  # blue ball
    disc(15.0, 17.0, 2.5, 9, 13, 10)  # a second blue ball falling in
    for y in range(SIZE):
        for x in range(SIZE):
            if transparent[y][x]:
                pixels[y][x] = 0
    return pixels, transparent


def encode(pixels, transparent):
    xor_rows = []
    and_rows = []
    for y in reversed(range(SIZE)):  # bottom-up rows
        row = bytearray()
        for x in range(0, SIZE, 2):
            row.append((pixels[y][x] << 4) | pixels[y][x + 1])
        xor_rows.append(bytes(row))  # 16 bytes: already a multiple of 4
        mask = 0
        for x in range(SIZE):
            if transparent[y][x]:
                mask |= 1 << (31 - x)
        and_rows.append(struct.pack(">I", mask))
    xor = b"".join(xor_rows)
    and_mask = b"".join(and_rows)
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE * 2, 1, 4, 0,
                         len(xor) + len(and_mask), 0, 0, 16, 0)
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for (r, g, b) in PALETTE)
    image = header + palette + xor + and_mask
    directory = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", SIZE, SIZE, 16, 0, 1, 4, len(image), 6 + 16)
    return directory + entry + image


if __name__ == "__main__":
    here = os.path.dirname(os.path.abspath(__file__))
    data = encode(*draw())
    with open(os.path.join(here, "quillara.ico"), "wb") as out:
        out.write(data)
    print(len(data), "bytes")
