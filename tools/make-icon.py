#!/usr/bin/env python3
"""Packs an icon file from raw RGBA pictures: sizes up to 32 as 16-colour (4 bits per pixel) images
with a transparency mask, 48 as 32-bit, 256 as PNG. Usage:
  make-icon.py OUT.ico PALETTE.rgb SIZE:FILE.rgba ... 256:FILE.png
PALETTE.rgb holds the 16 colours as 48 raw bytes; FILE.rgba holds SIZE x SIZE raw RGBA pixels whose
opaque colours all come from the palette when SIZE <= 32."""
import struct
import sys


def mask_rows(size, alpha):
    rows = []
    stride = ((size + 31) // 32) * 4
    for y in reversed(range(size)):
        bits = bytearray(stride)
        for x in range(size):
            if alpha(x, y) < 128:
                bits[x // 8] |= 0x80 >> (x % 8)
        rows.append(bytes(bits))
    return b"".join(rows)


def bitmap_header(size, bpp, colours, image_bytes):
    # Height counts the colour image and the mask.
    return struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, bpp, 0, image_bytes, 0, 0, colours, 0)


def four_bit(size, rgba, palette):
    index = {palette[i]: i for i in range(16)}
    px = lambda x, y: rgba[(y * size + x) * 4:(y * size + x) * 4 + 4]
    stride = ((size * 4 + 31) // 32) * 4
    rows = []
    for y in reversed(range(size)):
        row = bytearray(stride)
        for x in range(size):
            r, g, b, a = px(x, y)
            i = index[(r, g, b)] if a >= 128 else 0
            row[x // 2] |= i << (4 if x % 2 == 0 else 0)
        rows.append(bytes(row))
    xor = b"".join(rows)
    andm = mask_rows(size, lambda x, y: px(x, y)[3])
    table = b"".join(struct.pack("<BBBB", b, g, r, 0) for (r, g, b) in palette)
    return bitmap_header(size, 4, 16, len(xor) + len(andm)) + table + xor + andm, 16, 4


def thirty_two_bit(size, rgba):
    px = lambda x, y: rgba[(y * size + x) * 4:(y * size + x) * 4 + 4]
    xor = b"".join(
        bytes((px(x, y)[2], px(x, y)[1], px(x, y)[0], px(x, y)[3]))
        for y in reversed(range(size)) for x in range(size))
    andm = mask_rows(size, lambda x, y: px(x, y)[3])
    return bitmap_header(size, 32, 0, len(xor) + len(andm)) + xor + andm, 0, 32


def main():
    out, palette_file, *entries = sys.argv[1:]
    raw = open(palette_file, "rb").read()
    palette = [tuple(raw[i * 3:i * 3 + 3]) for i in range(16)]
    images = []
    for entry in entries:
        size_text, path = entry.split(":", 1)
        size = int(size_text)
        data = open(path, "rb").read()
        if path.endswith(".png"):
            images.append((size, data, 0, 32))
        elif size <= 32:
            images.append((size,) + four_bit(size, data, palette))
        else:
            images.append((size,) + thirty_two_bit(size, data))
    header = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    directory, blobs = b"", b""
    for size, blob, colours, bpp in images:
        directory += struct.pack("<BBBBHHII", size % 256, size % 256, colours, 0, 1, bpp, len(blob),
                                 offset + len(blobs))
        blobs += blob
    open(out, "wb").write(header + directory + blobs)


if __name__ == "__main__":
    main()
