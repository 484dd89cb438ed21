#!/usr/bin/env python3
"""Draws the two skin pictures of the main window's frame, pixel by pixel (no fonts, no randomness,
so the output is the same on every machine):

  PicCaption.bmp  640 x 48, 24 bits: the caption band active from x 0 and inactive from x 400 (left
                  end 0-89 with the emblem, middle 91-142, right end 140-240), and the caption
                  button images at x 241 (close), 259 (restore), 278 (maximise), 297 (minimise),
                  19 x 20 each, normal at y 0 and pressed at y 20.
  PicBorder.bmp   70 x 10, 8 bits: 10 x 10 tiles, 0 left edge, 2 bottom-left corner, 3 bottom edge,
                  4 right edge, 6 bottom-right corner (1 and 5 unused).

  make-skin.py OUTPUT_DIR
"""
import math
import struct
import sys

W, H = 640, 48
B = 10
SPLIT = 24  # the menu row (lower half of the band) starts here
INACTIVE = 400


def hexrgb(s):
    return tuple(int(s[i:i + 2], 16) for i in (1, 3, 5))


def mix(a, b, t):
    return tuple(round(a[i] + (b[i] - a[i]) * t) for i in range(3))


# The border, from the outside in: outline, highlight, body, shadow, inner light.
BORDER = [hexrgb(c) for c in ("#262b33", "#7d8796", "#4e5766", "#4e5766", "#4e5766", "#4e5766",
                              "#4a5361", "#465060", "#2f353e", "#d8dadd")]

STATES = {
    "active": dict(outline=hexrgb("#1b2a40"), light=hexrgb("#7fa6d8"),
                   top=hexrgb("#3d71b5"), bottom=hexrgb("#22508f")),
    "inactive": dict(outline=hexrgb("#2e3238"), light=hexrgb("#b4bac3"),
                     top=hexrgb("#8e96a2"), bottom=hexrgb("#6c7481")),
}
MENU_TOP, MENU_BOTTOM = hexrgb("#f6f6f4"), hexrgb("#e3e1dc")
MENU_SHADOW, MENU_LIGHT = hexrgb("#a0a4aa"), hexrgb("#ffffff")


def band_pixel(state, x, y, right):
    """Colour of the band at (x, y); `right` counts columns from the band's right edge (None in the
    left end and the middle)."""
    s = STATES[state]
    # Distance to the outer edge at the sides: the left end's first columns, the right end's last.
    edge = x if right is None else right
    if y >= SPLIT:
        if edge < B:
            return BORDER[edge]
        if y == H - 2:
            return MENU_SHADOW
        if y == H - 1:
            return MENU_LIGHT
        return mix(MENU_TOP, MENU_BOTTOM, (y - SPLIT) / (H - 3 - SPLIT))
    if y == 0 or edge == 0:
        return s["outline"]
    if y == 1 or edge == 1:
        return s["light"]
    if y == SPLIT - 1:
        return mix(s["bottom"], s["outline"], 0.5)
    return mix(s["top"], s["bottom"], (y - 2) / (SPLIT - 4))


def coverage(f, x, y, n=4):
    """Share of the pixel (x, y) inside the shape f(px, py), by n x n samples."""
    inside = 0
    for i in range(n):
        for j in range(n):
            inside += f(x + (i + 0.5) / n, y + (j + 0.5) / n)
    return inside / (n * n)


def emblem(x, y, base):
    """The program's emblem (a navy tile with a yellow ring and a red play mark) over `base`, in the
    icon area: a 26 x 26 tile at (14, 12)."""
    cx, cy, r = 27.0, 25.0, 13.0

    def tile(px, py):
        dx, dy = max(abs(px - cx) - (r - 4), 0), max(abs(py - cy) - (r - 4), 0)
        return dx * dx + dy * dy <= 16

    def ring(px, py):
        d = math.hypot(px - cx, py - (cy - 1))
        return 6.2 <= d <= 9.0 or (abs((px - cx) - (py - cy)) <= 1.6 and 4 <= px - cx <= 10.5)

    def play(px, py):
        return px >= cx - 2.5 and abs(py - (cy - 1)) <= (cx + 3.5 - px) * 0.6

    c = base
    c = mix(c, hexrgb("#1c2c6b"), coverage(tile, x, y))
    c = mix(c, hexrgb("#f2c230"), coverage(ring, x, y))
    c = mix(c, hexrgb("#d8362f"), coverage(play, x, y))
    return c


def button(kind, pressed, x, y):
    """Pixel (x, y) of a 19 x 20 caption button image."""
    bw, bh = 19, 20
    if x in (0, bw - 1) or y in (0, bh - 1):
        return hexrgb("#16243a")
    if kind == "close":
        top, bottom = (hexrgb("#e0665c"), hexrgb("#b23a33")) if not pressed else \
            (hexrgb("#9a2e28"), hexrgb("#c2453d"))
    else:
        top, bottom = (hexrgb("#6f9ad4"), hexrgb("#3e6aa9")) if not pressed else \
            (hexrgb("#28497a"), hexrgb("#3a5f96"))
    face = mix(top, bottom, (y - 1) / (bh - 3))
    if not pressed and (x == 1 or y == 1):
        face = mix(face, (255, 255, 255), 0.35)
    # The glyph, one pixel lower and to the right when pressed.
    gx, gy = x - (1 if pressed else 0), y - (1 if pressed else 0)

    def glyph(px, py):
        if kind == "close":
            return abs((px - 9.5) - (py - 10)) <= 1.1 and 5 <= px <= 14 and 5.5 <= py <= 14.5 or \
                abs((px - 9.5) + (py - 10)) <= 1.1 and 5 <= px <= 14 and 5.5 <= py <= 14.5
        if kind == "max":
            inside = 5 <= px <= 14 and 5 <= py <= 15
            hole = 6 <= px <= 13 and 8 <= py <= 14
            return inside and not hole
        if kind == "restore":
            back = 7 <= px <= 14 and 4 <= py <= 11 and not (8 <= px <= 13 and 6 <= py <= 10)
            front_area = 4 <= px <= 11 and 8 <= py <= 15
            front = front_area and not (5 <= px <= 10 and 10 <= py <= 14)
            return front or (back and not front_area)
        return 5 <= px <= 13 and 13 <= py <= 15  # minimise
    return mix(face, (255, 255, 255), coverage(glyph, gx, gy))


def caption():
    img = [[(0, 0, 0)] * W for _ in range(H)]
    for state, off in (("active", 0), ("inactive", INACTIVE)):
        for y in range(H):
            for x in range(0, 90):  # left end
                img[y][off + x] = band_pixel(state, x, y, None)
            for x in range(90, 140):  # middle (91-142), shared with the right end's start
                img[y][off + x] = band_pixel(state, 50, y, None)
            for x in range(140, 241):  # right end: column 239 is the window's last
                if off + x < W:
                    img[y][off + x] = band_pixel(state, 50, y, max(239 - x, 0))
        for y in range(11, 44):
            for x in range(12, 42):
                img[y][off + x] = emblem(x, y, img[y][off + x])
    # Button images (never shifted for the inactive state), then the unused rest.
    for x in range(241, 400):
        for y in range(H):
            img[y][x] = hexrgb("#d8dadd")
    for kind, sx in (("close", 241), ("restore", 259), ("max", 278), ("min", 297)):
        for pressed in (0, 1):
            for y in range(20):
                for x in range(19):
                    img[pressed * 20 + y][sx + x] = button(kind, pressed, x, y)
    return img


def border():
    img = [[BORDER[4]] * 70 for _ in range(B)]
    for y in range(B):
        for x in range(B):
            img[y][0 * B + x] = BORDER[x]                          # left edge
            img[y][2 * B + x] = BORDER[min(x, B - 1 - y)]          # bottom-left corner
            img[y][3 * B + x] = BORDER[B - 1 - y]                  # bottom edge
            img[y][4 * B + x] = BORDER[B - 1 - x]                  # right edge
            img[y][6 * B + x] = BORDER[min(B - 1 - x, B - 1 - y)]  # bottom-right corner
    return img


def write_bmp24(path, img):
    h, w = len(img), len(img[0])
    stride = (w * 3 + 3) & ~3
    rows = b""
    for row in reversed(img):
        line = b"".join(bytes((b, g, r)) for r, g, b in row)
        rows += line + b"\0" * (stride - len(line))
    header = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 24, 0, len(rows), 3780, 3780, 0, 0)
    with open(path, "wb") as f:
        f.write(b"BM" + struct.pack("<IHHI", 14 + 40 + len(rows), 0, 0, 14 + 40) + header + rows)


def write_bmp8(path, img):
    h, w = len(img), len(img[0])
    palette = sorted({c for row in img for c in row})
    index = {c: i for i, c in enumerate(palette)}
    stride = (w + 3) & ~3
    rows = b""
    for row in reversed(img):
        line = bytes(index[c] for c in row)
        rows += line + b"\0" * (stride - len(line))
    pal = b"".join(bytes((b, g, r, 0)) for r, g, b in palette)
    header = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 8, 0, len(rows), 3780, 3780, len(palette),
                         0)
    offset = 14 + 40 + len(pal)
    with open(path, "wb") as f:
        f.write(b"BM" + struct.pack("<IHHI", offset + len(rows), 0, 0, offset) + header + pal + rows)


if __name__ == "__main__":
    out = sys.argv[1]
    write_bmp24(f"{out}/PicCaption.bmp", caption())
    write_bmp8(f"{out}/PicBorder.bmp", border())
