#!/usr/bin/env python3
"""Draws the application's 32x32 icon (a dog's face, 16-colour VGA palette)
and writes it as resources/nemirou.png. Standard library only."""
import os
import struct
import zlib

# The classic 16-colour palette (only some entries are used).
PALETTE = {
    ".": None,               # transparent
    "k": (0, 0, 0),          # black
    "n": (128, 0, 0),        # maroon (dark brown)
    "y": (128, 128, 0),      # olive (brown)
    "w": (255, 255, 255),    # white
    "r": (255, 0, 0),        # red
    "Y": (255, 255, 0),      # yellow
    "s": (192, 192, 192),    # silver
}

W = H = 32


def draw():
    px = [["." for _ in range(W)] for _ in range(H)]

    def ellipse(cx, cy, rx, ry, c):
        for y in range(H):
            for x in range(W):
                if ((x + 0.5 - cx) / rx) ** 2 + ((y + 0.5 - cy) / ry) ** 2 <= 1.0:
                    px[y][x] = c

    # Ears first, the head covers their roots.
    ellipse(6.5, 11, 4.5, 8.5, "n")
    ellipse(25.5, 11, 4.5, 8.5, "n")
    ellipse(16, 16, 11, 12, "y")       # head
    ellipse(16, 22, 7, 6, "Y")         # muzzle
    ellipse(11.5, 13.5, 2, 2.5, "w")   # eyes
    ellipse(20.5, 13.5, 2, 2.5, "w")
    ellipse(11.8, 14, 1.1, 1.4, "k")
    ellipse(20.8, 14, 1.1, 1.4, "k")
    ellipse(16, 19.5, 2.6, 1.8, "k")   # nose
    px[19][15] = "s"                   # shine on the nose
    for x in range(13, 20):            # mouth
        if x in (13, 19):
            px[24][x] = "k"
        elif x != 16:
            px[25][x] = "k"
    px[22][16] = px[23][16] = px[24][16] = "k"
    ellipse(16, 27, 1.6, 1.4, "r")     # tongue
    # Outline: a black edge around every drawn pixel that borders
    # transparency, so the face reads on any background.
    out = [row[:] for row in px]
    for y in range(H):
        for x in range(W):
            if px[y][x] == ".":
                continue
            for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1)):
                nx, ny = x + dx, y + dy
                if not (0 <= nx < W and 0 <= ny < H) or px[ny][nx] == ".":
                    out[y][x] = "k"
    return out


def png(rows):
    raw = b""
    for row in rows:
        raw += b"\x00"
        for c in row:
            rgb = PALETTE[c]
            raw += bytes(rgb + (255,)) if rgb else b"\x00\x00\x00\x00"

    def chunk(tag, data):
        body = tag + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))

    header = struct.pack(">IIBBBBB", W, H, 8, 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header)
            + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


if __name__ == "__main__":
    here = os.path.dirname(os.path.abspath(__file__))
    with open(os.path.join(here, "nemirou.png"), "wb") as f:
        f.write(png(draw()))
