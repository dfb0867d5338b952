#!/usr/bin/env python3
"""Draws Skalaro's pictures and writes them into app/resources/:

  info_icon.png  the info button's picture: 24 x 24 RGBA, a white letter i
                 on a blue disc
  info_icon_detailed.png
                 the same picture at 48 x 48, from which the button takes
                 its picture on screens above 96 DPI
  skalaro.ico    the program's icon group: the same blue disc with a white
                 photo in front of a larger, paler one (a picture made
                 smaller), as 32-bit images of 128, 48, 32, 24 and 16 pixels

Shapes are described in unit coordinates and rendered with 8 x 8 samples per
pixel, so every size has smooth edges. The outputs are committed; run this
again only to change the pictures.
"""
import math
import os
import struct
import zlib

SAMPLES = 8
TOP_BLUE = (72, 152, 238)
BOTTOM_BLUE = (22, 92, 196)
RIM_BLUE = (16, 70, 160)
WHITE = (255, 255, 255)


def disc(cx, cy, r):
    return lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def rounded_rect(x0, y0, x1, y1, radius):
    def inside(x, y):
        if not (x0 <= x <= x1 and y0 <= y <= y1):
            return False
        dx = max(x0 + radius - x, 0, x - (x1 - radius))
        dy = max(y0 + radius - y, 0, y - (y1 - radius))
        return dx * dx + dy * dy <= radius * radius
    return inside


def triangle(a, b, c):
    def side(p, q, x, y):
        return (q[0] - p[0]) * (y - p[1]) - (q[1] - p[1]) * (x - p[0])

    def inside(x, y):
        s1, s2, s3 = side(a, b, x, y), side(b, c, x, y), side(c, a, x, y)
        return (s1 >= 0 and s2 >= 0 and s3 >= 0) or (s1 <= 0 and s2 <= 0 and s3 <= 0)
    return inside


def blue_at(y):
    t = min(max(y, 0.0), 1.0)
    return tuple(round(top + (bottom - top) * t) for top, bottom in zip(TOP_BLUE, BOTTOM_BLUE))


def render(size, layers):
    """layers: list of (shape, colour or None for the disc gradient, opacity),
    painted in order over transparency. Returns rows of (r, g, b, a), top row first."""
    rows = []
    for py in range(size):
        row = []
        for px in range(size):
            acc = [0.0, 0.0, 0.0, 0.0]  # premultiplied
            for sy in range(SAMPLES):
                for sx in range(SAMPLES):
                    x = (px + (sx + 0.5) / SAMPLES) / size
                    y = (py + (sy + 0.5) / SAMPLES) / size
                    r = g = b = a = 0.0
                    for shape, colour, opacity in layers:
                        if not shape(x, y):
                            continue
                        c = colour if colour is not None else blue_at(y)
                        r = c[0] * opacity + r * (1 - opacity)
                        g = c[1] * opacity + g * (1 - opacity)
                        b = c[2] * opacity + b * (1 - opacity)
                        a = opacity + a * (1 - opacity)
                    acc[0] += r
                    acc[1] += g
                    acc[2] += b
                    acc[3] += a
            n = SAMPLES * SAMPLES
            alpha = acc[3] / n
            if alpha <= 0:
                row.append((0, 0, 0, 0))
            else:
                row.append(tuple(round(acc[i] / n / alpha) for i in range(3)) + (round(alpha * 255),))
        rows.append(row)
    return rows


def blue_disc():
    return [(disc(0.5, 0.5, 0.48), RIM_BLUE, 1.0), (disc(0.5, 0.5, 0.44), None, 1.0)]


def info_layers():
    return blue_disc() + [
        (disc(0.5, 0.285, 0.083), WHITE, 1.0),
        (rounded_rect(0.43, 0.41, 0.57, 0.77, 0.03), WHITE, 1.0),
    ]


def program_layers():
    card = (0.27, 0.33, 0.79, 0.73)
    mountains = [
        (triangle((0.31, 0.68), (0.47, 0.45), (0.63, 0.68)), None, 1.0),
        (triangle((0.52, 0.68), (0.64, 0.53), (0.75, 0.68)), None, 1.0),
        (disc(0.67, 0.43, 0.045), None, 1.0),
    ]
    return blue_disc() + [
        (rounded_rect(0.17, 0.23, 0.69, 0.63, 0.035), WHITE, 0.45),
        (rounded_rect(*card, 0.035), WHITE, 1.0),
    ] + mountains


def png_bytes(rows):
    size = len(rows)
    raw = b"".join(b"\0" + bytes(v for pixel in row for v in pixel) for row in rows)

    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))

    header = struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(raw, 9)) +
            chunk(b"IEND", b""))


def dib_bytes(rows):
    """An icon image: a 32-bit bitmap (height doubled for the mask) with
    straight alpha, rows bottom first, then the 1-bit mask (set where the
    picture is fully transparent)."""
    size = len(rows)
    mask_pitch = ((size + 31) // 32) * 4
    pixels = b"".join(bytes((p[2], p[1], p[0], p[3])) for row in reversed(rows) for p in row)
    mask = b""
    for row in reversed(rows):
        bits = bytearray(mask_pitch)
        for x, p in enumerate(row):
            if p[3] == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bytes(bits)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, len(pixels) + len(mask),
                         0, 0, 0, 0)
    return header + pixels + mask


def ico_bytes(images):
    directory = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    entries, data = b"", b""
    for size, dib in images:
        entries += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 32, len(dib), offset)
        data += dib
        offset += len(dib)
    return directory + entries + data


def main():
    out = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "app", "resources")
    with open(os.path.join(out, "info_icon.png"), "wb") as f:
        f.write(png_bytes(render(24, info_layers())))
    with open(os.path.join(out, "info_icon_detailed.png"), "wb") as f:
        f.write(png_bytes(render(48, info_layers())))
    images = [(size, dib_bytes(render(size, program_layers()))) for size in (128, 48, 32, 24, 16)]
    with open(os.path.join(out, "skalaro.ico"), "wb") as f:
        f.write(ico_bytes(images))


if __name__ == "__main__":
    main()
