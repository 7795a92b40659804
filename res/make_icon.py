#!/usr/bin/env python3
"""Draws the program icon (a three-bladed fan in a dark rounded square) into ventrasol.ico.

Run it again only to change the icon; the .ico it writes is committed so the build needs
nothing beyond windres. Sizes 16, 32 and 48 are 32-bit DIBs, 256 is PNG, as Windows expects.
"""
import math
import struct
import sys
import zlib

BACKGROUND = (28, 28, 34)
RIM = (40, 44, 56)
ACCENT = (100, 210, 255)
HUB = (235, 240, 250)


def coverage(size, inside, samples=4):
    """Antialiased coverage of a shape given as inside(x, y) in unit coordinates (-1..1)."""
    out = []
    for py in range(size):
        row = []
        for px in range(size):
            hits = 0
            for sy in range(samples):
                for sx in range(samples):
                    x = ((px + (sx + 0.5) / samples) / size) * 2 - 1
                    y = ((py + (sy + 0.5) / samples) / size) * 2 - 1
                    hits += inside(x, y)
            row.append(hits / (samples * samples))
        out.append(row)
    return out


def rounded_square(x, y, r=0.32):
    ax, ay = abs(x) - (1 - r), abs(y) - (1 - r)
    if ax <= 0 or ay <= 0:
        return abs(x) <= 0.98 and abs(y) <= 0.98
    return math.hypot(ax, ay) <= r - 0.02


def blade(x, y):
    radius = math.hypot(x, y)
    if radius < 0.18 or radius > 0.78:
        return False
    angle = math.atan2(y, x)
    # Three blades that sweep with the radius.
    phase = (angle - 1.6 * radius) * 3 / (2 * math.pi)
    frac = phase - math.floor(phase)
    width = 0.30 + 0.12 * radius
    return frac < width


def hub(x, y):
    return math.hypot(x, y) <= 0.2


def ring(x, y):
    return 0.82 <= math.hypot(x, y) <= 0.88


def render(size):
    layers = [
        (coverage(size, rounded_square), BACKGROUND),
        (coverage(size, ring), RIM),
        (coverage(size, blade), ACCENT),
        (coverage(size, hub), HUB),
    ]
    pixels = []
    alpha = layers[0][0]
    for py in range(size):
        row = []
        for px in range(size):
            r, g, b = 0.0, 0.0, 0.0
            for cov, colour in layers:
                c = cov[py][px]
                r, g, b = (r * (1 - c) + colour[0] * c, g * (1 - c) + colour[1] * c,
                           b * (1 - c) + colour[2] * c)
            a = alpha[py][px]
            row.append((round(r), round(g), round(b), round(255 * a)))
        pixels.append(row)
    return pixels


def dib(pixels):
    size = len(pixels)
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    xor = b''.join(bytes((b, g, r, a)) for row in reversed(pixels) for (r, g, b, a) in row)
    stride = ((size + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(pixels):
        bits = bytearray(stride)
        for x, (_, _, _, a) in enumerate(row):
            if a == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    return header + xor + bytes(mask)


def png(pixels):
    size = len(pixels)
    raw = b''.join(b'\0' + b''.join(bytes(p) for p in row) for row in pixels)

    def chunk(kind, data):
        body = kind + data
        return struct.pack('>I', len(data)) + body + struct.pack('>I', zlib.crc32(body))

    ihdr = struct.pack('>IIBBBBB', size, size, 8, 6, 0, 0, 0)
    return (b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', ihdr) + chunk(b'IDAT', zlib.compress(raw, 9)) +
            chunk(b'IEND', b''))


def main(path):
    images = [(s, dib(render(s))) for s in (16, 32, 48)] + [(256, png(render(256)))]
    directory = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    entries, blobs = b'', b''
    for size, data in images:
        entries += struct.pack('<BBBBHHII', size % 256, size % 256, 0, 0, 1, 32, len(data),
                               offset + len(blobs))
        blobs += data
    with open(path, 'wb') as f:
        f.write(directory + entries + blobs)


if __name__ == '__main__':
    main(sys.argv[1] if len(sys.argv) > 1 else 'ventrasol.ico')
