#!/usr/bin/python3
"""Draws the program icon (a white cloud with an upward arrow on a teal
rounded square) as norvo.png, sizes 48 and 256. Standard library only."""
import struct
import sys
import zlib

TEAL = (31, 111, 139)
WHITE = (255, 255, 255)


def inside_rounded_square(x, y, radius=0.18):
    cx, cy = min(max(x, radius), 1 - radius), min(max(y, radius), 1 - radius)
    return (x - cx) ** 2 + (y - cy) ** 2 <= radius ** 2 and 0 <= x <= 1 and 0 <= y <= 1


def inside_cloud(x, y):
    circles = [(0.36, 0.52, 0.15), (0.55, 0.43, 0.19), (0.72, 0.56, 0.12)]
    if any((x - cx) ** 2 + (y - cy) ** 2 <= r ** 2 for cx, cy, r in circles):
        return True
    return 0.22 <= x <= 0.82 and 0.52 <= y <= 0.68


def inside_arrow(x, y):
    shaft = 0.47 <= x <= 0.59 and 0.50 <= y <= 0.63
    head = 0.36 <= y <= 0.52 and abs(x - 0.53) <= (y - 0.36) * 1.1
    return shaft or head


def colour(x, y):
    if not inside_rounded_square(x, y):
        return None
    if inside_arrow(x, y):
        return TEAL if inside_cloud(x, y) else WHITE
    return WHITE if inside_cloud(x, y) else TEAL


def pixel(px, py, size, samples=4):
    hits = []
    for sy in range(samples):
        for sx in range(samples):
            c = colour((px + (sx + 0.5) / samples) / size, (py + (sy + 0.5) / samples) / size)
            if c:
                hits.append(c)
    if not hits:
        return (0, 0, 0, 0)
    rgb = [sum(c[i] for c in hits) // len(hits) for i in range(3)]
    return (*rgb, 255 * len(hits) // samples ** 2)


def png(size):
    rows = b"".join(b"\0" + b"".join(bytes(pixel(x, y, size)) for x in range(size)) for y in range(size))

    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))

    header = struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)
    return b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(rows, 9)) + chunk(b"IEND", b"")


if __name__ == "__main__":
    for size in (48, 256):
        with open(f"norvo-{size}.png", "wb") as out:
            out.write(png(size))
    sys.exit(0)
