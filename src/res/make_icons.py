#!/usr/bin/env python3
"""Draws the module's icons and writes them as .ico files.

Each icon is a few flat shapes in a unit square, rasterised with 4 x 4
supersampling at 16, 32 and 48 pixels (the application icon also at 80, the
size of the about box). Shapes are drawn thick enough to stay legible at 16.

usage: make_icons.py OUTPUT_DIR
"""
import math
import struct
import sys
from pathlib import Path

SAMPLES = 4


def rect(x0, y0, x1, y1):
    return lambda x, y: x0 <= x <= x1 and y0 <= y <= y1


def circle(cx, cy, r):
    return lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def ring(cx, cy, r0, r1, gap_from=None, gap_to=None):
    def inside(x, y):
        d = math.hypot(x - cx, y - cy)
        if not (r0 <= d <= r1):
            return False
        if gap_from is None:
            return True
        a = math.degrees(math.atan2(cy - y, x - cx)) % 360
        return not (gap_from <= a <= gap_to)
    return inside


def segment(x0, y0, x1, y1, w):
    def inside(x, y):
        dx, dy = x1 - x0, y1 - y0
        t = max(0.0, min(1.0, ((x - x0) * dx + (y - y0) * dy) / (dx * dx + dy * dy)))
        return math.hypot(x - (x0 + t * dx), y - (y0 + t * dy)) <= w / 2
    return inside


def polygon(points):
    def inside(x, y):
        result = False
        j = len(points) - 1
        for i, (xi, yi) in enumerate(points):
            xj, yj = points[j]
            if (yi > y) != (yj > y) and x < (xj - xi) * (y - yi) / (yj - yi) + xi:
                result = not result
            j = i
        return result
    return inside


def union(*shapes):
    return lambda x, y: any(s(x, y) for s in shapes)


def minus(shape, hole):
    return lambda x, y: shape(x, y) and not hole(x, y)


def gear():
    teeth = []
    for k in range(8):
        a = math.radians(k * 45)
        teeth.append(segment(0.5 + 0.28 * math.cos(a), 0.5 + 0.28 * math.sin(a),
                             0.5 + 0.46 * math.cos(a), 0.5 + 0.46 * math.sin(a), 0.16))
    return minus(union(circle(0.5, 0.5, 0.33), *teeth), circle(0.5, 0.5, 0.13))


def peak_curve(x, y):
    # A chromatographic peak on a base line, as a thick white stroke.
    base = 0.78
    h = base - 0.6 * math.exp(-((x - 0.5) / 0.11) ** 2)
    return 0.12 <= x <= 0.88 and abs(y - h) <= 0.06


GREEN, RED, BLUE, DARK = (40, 150, 60), (200, 40, 40), (30, 90, 180), (50, 50, 50)
YELLOW, WHITE, GREY = (230, 180, 40), (255, 255, 255), (110, 110, 120)

ICONS = {
    # The application: a peak on a blue tile.
    102: [(union(rect(0.06, 0.1, 0.94, 0.9), rect(0.1, 0.06, 0.9, 0.94)), BLUE), (peak_curve, WHITE)],
    # Add a chromatogram.
    104: [(union(rect(0.4, 0.1, 0.6, 0.9), rect(0.1, 0.4, 0.9, 0.6)), GREEN)],
    # Remove the selected one.
    105: [(rect(0.1, 0.4, 0.9, 0.6), RED)],
    # Remove all.
    106: [(union(segment(0.15, 0.15, 0.85, 0.85, 0.2), segment(0.85, 0.15, 0.15, 0.85, 0.2)), RED)],
    # Open in the host: a folder.
    107: [(union(rect(0.06, 0.25, 0.45, 0.4), rect(0.06, 0.32, 0.94, 0.85)), YELLOW),
          (rect(0.06, 0.45, 0.94, 0.5), DARK)],
    # Reload and recalculate: a circular arrow.
    111: [(ring(0.5, 0.5, 0.24, 0.4, 20, 80), BLUE),
          (polygon([(0.62, 0.02), (0.98, 0.3), (0.58, 0.42)]), BLUE)],
    # Settings: a gear.
    112: [(gear(), GREY)],
    # Report: a page with lines.
    117: [(rect(0.18, 0.06, 0.82, 0.94), DARK), (rect(0.24, 0.12, 0.76, 0.88), WHITE),
          (union(rect(0.32, 0.26, 0.68, 0.34), rect(0.32, 0.46, 0.68, 0.54), rect(0.32, 0.66, 0.6, 0.74)), BLUE)],
    # About: "i" in a circle.
    119: [(circle(0.5, 0.5, 0.46), BLUE), (union(rect(0.42, 0.42, 0.58, 0.8), circle(0.5, 0.26, 0.09)), WHITE)],
}


def render(layers, size):
    """Rows of (b, g, r, a) from the bottom up, as an icon's bitmap keeps them."""
    rows = []
    for py in range(size - 1, -1, -1):
        row = []
        for px in range(size):
            acc = [0.0, 0.0, 0.0, 0.0]
            for sy in range(SAMPLES):
                for sx in range(SAMPLES):
                    x = (px + (sx + 0.5) / SAMPLES) / size
                    y = (py + (sy + 0.5) / SAMPLES) / size
                    colour = None
                    for shape, c in layers:
                        if shape(x, y):
                            colour = c
                    if colour:
                        acc[0] += colour[0]
                        acc[1] += colour[1]
                        acc[2] += colour[2]
                        acc[3] += 1
            n = SAMPLES * SAMPLES
            if acc[3]:
                row.append((round(acc[2] / acc[3]), round(acc[1] / acc[3]), round(acc[0] / acc[3]),
                            round(255 * acc[3] / n)))
            else:
                row.append((0, 0, 0, 0))
        rows.append(row)
    return rows


def dib(rows, size):
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    pixels = b''.join(struct.pack('<BBBB', *p) for row in rows for p in row)
    mask_stride = ((size + 31) // 32) * 4
    mask = b''
    for row in rows:
        bits = bytearray(mask_stride)
        for i, p in enumerate(row):
            if p[3] == 0:
                bits[i // 8] |= 0x80 >> (i % 8)
        mask += bytes(bits)
    return header + pixels + mask


def ico(layers, sizes):
    images = [dib(render(layers, s), s) for s in sizes]
    out = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for s, data in zip(sizes, images):
        out += struct.pack('<BBBBHHII', s % 256, s % 256, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    return out + b''.join(images)


def main():
    out = Path(sys.argv[1])
    out.mkdir(parents=True, exist_ok=True)
    for ident, layers in ICONS.items():
        sizes = [16, 32, 48] + ([80] if ident == 102 else [])
        (out / f'icon_{ident}.ico').write_bytes(ico(layers, sizes))


if __name__ == '__main__':
    main()
