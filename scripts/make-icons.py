#!/usr/bin/env python3
"""Draws pxrun's icon at the sizes of the hicolor theme and writes them as
PNG files under data/icons/hicolor/SIZExSIZE/apps/pxrun.png.

The icon: a rounded square in deep blue, a pale play triangle, and three
square "pixels" stepping up beside it. Every size is drawn from the same
shapes with 4 x 4 supersampling, so small sizes stay crisp enough."""
import os
import struct
import zlib

SIZES = [16, 22, 24, 32, 48, 64, 128, 256]
ROOT = os.path.join(os.path.dirname(__file__), "..", "data", "icons", "hicolor")

BACK_TOP = (40, 74, 160)
BACK_BOTTOM = (22, 38, 96)
TRIANGLE = (236, 242, 255)
PIXELS = [(255, 196, 64), (255, 128, 64), (96, 220, 140)]


def inside_rounded_square(x, y, radius):
    # Unit square [0, 1]^2 with rounded corners of the given radius.
    cx = min(max(x, radius), 1 - radius)
    cy = min(max(y, radius), 1 - radius)
    return (x - cx) ** 2 + (y - cy) ** 2 <= radius * radius and 0 <= x <= 1 and 0 <= y <= 1


def inside_triangle(x, y):
    # Pointing right: left edge at x = 0.22, tip at x = 0.62, y from 0.22 to 0.78.
    if x < 0.22 or x > 0.62:
        return False
    half = 0.28 * (0.62 - x) / 0.40
    return abs(y - 0.5) <= half


def pixel_at(x, y):
    boxes = [(0.66, 0.62), (0.66, 0.44), (0.66, 0.26)]
    for colour, (bx, by) in zip(PIXELS, boxes):
        if bx <= x <= bx + 0.14 and by <= y <= by + 0.14:
            return colour
    return None


def shade(x, y):
    """The colour and coverage (0 or 1) at a point of the unit square."""
    margin = 0.04
    u = (x - margin) / (1 - 2 * margin)
    v = (y - margin) / (1 - 2 * margin)
    if not inside_rounded_square(u, v, 0.2):
        return None
    if inside_triangle(u, v):
        return TRIANGLE
    p = pixel_at(u, v)
    if p:
        return p
    t = max(0.0, min(1.0, v))
    return tuple(round(a + (b - a) * t) for a, b in zip(BACK_TOP, BACK_BOTTOM))


def render(size):
    samples = 4
    rows = []
    for py in range(size):
        row = bytearray([0])  # filter type: none
        for px in range(size):
            r = g = b = a = 0
            for sy in range(samples):
                for sx in range(samples):
                    c = shade((px + (sx + 0.5) / samples) / size, (py + (sy + 0.5) / samples) / size)
                    if c:
                        r += c[0]
                        g += c[1]
                        b += c[2]
                        a += 1
            n = samples * samples
            if a:
                row += bytes([round(r / a), round(g / a), round(b / a), round(255 * a / n)])
            else:
                row += bytes([0, 0, 0, 0])
        rows.append(bytes(row))
    return b"".join(rows)


def png(size, raw):
    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

    header = struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) +
            chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def main():
    for size in SIZES:
        folder = os.path.join(ROOT, f"{size}x{size}", "apps")
        os.makedirs(folder, exist_ok=True)
        with open(os.path.join(folder, "pxrun.png"), "wb") as f:
            f.write(png(size, render(size)))


if __name__ == "__main__":
    main()
