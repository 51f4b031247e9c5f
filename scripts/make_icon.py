#!/usr/bin/env python3
"""Draws the program icon (a blue tile with a clean white sheet and a small
sparkle) and writes it as a Windows .ico with 16 to 256 pixel images at 32
bits per pixel.

    python3 scripts/make_icon.py src/app/resources/slatewash.ico
"""
import struct
import sys

SIZES = [16, 24, 32, 48, 64, 128, 256]
SAMPLES = 4  # per axis, for anti-aliasing


def rounded_rect(x, y, left, top, right, bottom, radius):
    """True when (x, y) lies inside the rounded rectangle."""
    if x < left or x > right or y < top or y > bottom:
        return False
    cx = min(max(x, left + radius), right - radius)
    cy = min(max(y, top + radius), bottom - radius)
    return (x - cx) ** 2 + (y - cy) ** 2 <= radius ** 2


def sparkle(x, y, cx, cy, r):
    """A four-pointed star."""
    dx, dy = abs(x - cx), abs(y - cy)
    return (dx ** 0.5 + dy ** 0.5) <= r ** 0.5


def shade(u, v):
    """Colour (r, g, b, a) at unit coordinates (u, v) in [0, 1]."""
    if not rounded_rect(u, v, 0.02, 0.02, 0.98, 0.98, 0.2):
        return (0, 0, 0, 0)
    t = (u + v) / 2  # diagonal gradient from bright to deep blue
    tile = (int(59 - 30 * t), int(130 - 52 * t), int(246 - 30 * t), 255)
    if sparkle(u, v, 0.76, 0.25, 0.15):
        return (224, 242, 254, 255)
    if rounded_rect(u, v, 0.22, 0.24, 0.68, 0.82, 0.06):
        for top in (0.38, 0.50, 0.62):
            if 0.30 <= u <= 0.60 and top <= v <= top + 0.05:
                return (100, 116, 139, 255)
        return (255, 255, 255, 255)
    return tile


def render(size):
    """BGRA rows, bottom-up, as the icon's DIB wants them."""
    rows = []
    step = 1.0 / (size * SAMPLES)
    for py in range(size):
        row = bytearray()
        for px in range(size):
            r = g = b = a = 0
            for sy in range(SAMPLES):
                for sx in range(SAMPLES):
                    u = (px * SAMPLES + sx + 0.5) * step
                    v = (py * SAMPLES + sy + 0.5) * step
                    cr, cg, cb, ca = shade(u, v)
                    r += cr * ca
                    g += cg * ca
                    b += cb * ca
                    a += ca
            n = SAMPLES * SAMPLES
            alpha = a // n
            if a:
                row += bytes((b // a, g // a, r // a, alpha))  # straight alpha
            else:
                row += bytes((0, 0, 0, 0))
        rows.append(bytes(row))
    return b"".join(reversed(rows))


def dib(size):
    pixels = render(size)
    mask_row = ((size + 31) // 32) * 4
    mask = bytes(mask_row * size)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, len(pixels) + len(mask), 0, 0, 0, 0)
    return header + pixels + mask


def main(path):
    images = [dib(s) for s in SIZES]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, data in zip(SIZES, images):
        edge = 0 if size == 256 else size
        out += struct.pack("<BBBBHHII", edge, edge, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    with open(path, "wb") as f:
        f.write(out + b"".join(images))


if __name__ == "__main__":
    main(sys.argv[1])
