"""Draws the two skin pictures of the main window's frame, pixel by pixel (no fonts, no randomness,
so the output is the same on every machine), for 96 dots per inch and for 120, 144 and 192 (125,
150 and 200 %). At 96 DPI:

  PicCaption.bmp  640 x 48, 24 bits: the caption band active from x 0 and inactive from x 400 (left
                  end 0-89 with the emblem, middle 91-142, right end 140-240), and the caption
                  button images at x 241 (close), 259 (restore), 278 (maximise), 297 (minimise),
                  19 x 20 each, normal at y 0 and pressed at y 20.
  PicBorder.bmp   70 x 10, 8 bits: 10 x 10 tiles, 0 left edge, 2 bottom-left corner, 3 bottom edge,
                  4 right edge, 6 bottom-right corner (1 and 5 unused).

At DPI d (PicCaptionD.bmp, PicBorderD.bmp) every one of these numbers n becomes n * d / 96 in whole
pixels, halves up (the program scales its own distances the same way). Shapes (the emblem, the
button glyphs) are drawn again at the new size; lines and stripes are widened by whole pixels.

  make-skin.py OUTPUT_DIR
"""
import math
import struct
import sys

DPIS = (96, 120, 144, 192)
DPI = 96


def px(n, dpi=None):
    """n pixels of the 96-DPI design at the current DPI: whole pixels, halves up."""
    return (n * (dpi or DPI) + 48) // 96


def set_dpi(dpi):
    global DPI, W, H, B, SPLIT, INACTIVE, LINE
    DPI = dpi
    W, H, B = px(640), px(48), px(10)
    SPLIT = px(24)  # the menu row (lower half of the band) starts here
    INACTIVE = px(400)
    LINE = px(1)  # a one-pixel line of the design


set_dpi(96)


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


def stripe(d):
    """The design's stripe (pixel column) that pixel d of a widened edge belongs to."""
    i = 0
    while px(i + 1) <= d:
        i += 1
    return i


def band_pixel(state, x, y, right):
    """Colour of the band at (x, y); `right` counts columns from the band's right edge (None in the
    left end and the middle)."""
    s = STATES[state]
    # Distance to the outer edge at the sides: the left end's first columns, the right end's last.
    edge = x if right is None else right
    if y >= SPLIT:
        if edge < B:
            return BORDER[stripe(edge)]
        if H - 2 * LINE <= y < H - LINE:
            return MENU_SHADOW
        if y >= H - LINE:
            return MENU_LIGHT
        return mix(MENU_TOP, MENU_BOTTOM, (y - SPLIT) / (H - 2 * LINE - 1 - SPLIT))
    if y < LINE or edge < LINE:
        return s["outline"]
    if y < 2 * LINE or edge < 2 * LINE:
        return s["light"]
    if y >= SPLIT - LINE:
        return mix(s["bottom"], s["outline"], 0.5)
    return mix(s["top"], s["bottom"], (y - 2 * LINE) / (SPLIT - 4 * LINE))


def coverage(f, x, y, sx=1.0, sy=1.0, n=4):
    """Share of the pixel (x, y) inside the shape f(px, py), by n x n samples; the shape is given in
    the design's pixels, sx and sy design pixels to the pixel."""
    inside = 0
    for i in range(n):
        for j in range(n):
            inside += f((x + (i + 0.5) / n) / sx, (y + (j + 0.5) / n) / sy)
    return inside / (n * n)


def emblem(x, y, base):
    """The program's emblem (a navy tile with a yellow ring and a red play mark) over `base`, in the
    icon area: a 26 x 26 tile at (14, 12) of the design."""
    cx, cy, r = 27.0, 25.0, 13.0
    scale = DPI / 96

    def tile(px_, py):
        dx, dy = max(abs(px_ - cx) - (r - 4), 0), max(abs(py - cy) - (r - 4), 0)
        return dx * dx + dy * dy <= 16

    def ring(px_, py):
        d = math.hypot(px_ - cx, py - (cy - 1))
        return 6.2 <= d <= 9.0 or (abs((px_ - cx) - (py - cy)) <= 1.6 and 4 <= px_ - cx <= 10.5)

    def play(px_, py):
        return px_ >= cx - 2.5 and abs(py - (cy - 1)) <= (cx + 3.5 - px_) * 0.6

    c = base
    c = mix(c, hexrgb("#1c2c6b"), coverage(tile, x, y, scale, scale))
    c = mix(c, hexrgb("#f2c230"), coverage(ring, x, y, scale, scale))
    c = mix(c, hexrgb("#d8362f"), coverage(play, x, y, scale, scale))
    return c


def button(kind, pressed, x, y):
    """Pixel (x, y) of a caption button image (19 x 20 in the design)."""
    bw, bh = px(19), px(20)
    if x < LINE or x >= bw - LINE or y < LINE or y >= bh - LINE:
        return hexrgb("#16243a")
    if kind == "close":
        top, bottom = (hexrgb("#e0665c"), hexrgb("#b23a33")) if not pressed else \
            (hexrgb("#9a2e28"), hexrgb("#c2453d"))
    else:
        top, bottom = (hexrgb("#6f9ad4"), hexrgb("#3e6aa9")) if not pressed else \
            (hexrgb("#28497a"), hexrgb("#3a5f96"))
    face = mix(top, bottom, (y - LINE) / (bh - 3 * LINE))
    if not pressed and (x < 2 * LINE or y < 2 * LINE):
        face = mix(face, (255, 255, 255), 0.35)
    # The glyph, one design pixel lower and to the right when pressed.
    shift = LINE if pressed else 0
    gx, gy = x - shift, y - shift

    def glyph(px_, py):
        if kind == "close":
            return abs((px_ - 9.5) - (py - 10)) <= 1.1 and 5 <= px_ <= 14 and 5.5 <= py <= 14.5 or \
                abs((px_ - 9.5) + (py - 10)) <= 1.1 and 5 <= px_ <= 14 and 5.5 <= py <= 14.5
        if kind == "max":
            inside = 5 <= px_ <= 14 and 5 <= py <= 15
            hole = 6 <= px_ <= 13 and 8 <= py <= 14
            return inside and not hole
        if kind == "restore":
            back = 7 <= px_ <= 14 and 4 <= py <= 11 and not (8 <= px_ <= 13 and 6 <= py <= 10)
            front_area = 4 <= px_ <= 11 and 8 <= py <= 15
            front = front_area and not (5 <= px_ <= 10 and 10 <= py <= 14)
            return front or (back and not front_area)
        return 5 <= px_ <= 13 and 13 <= py <= 15  # minimise
    return mix(face, (255, 255, 255), coverage(glyph, gx, gy, bw / 19, bh / 20))


def caption():
    img = [[(0, 0, 0)] * W for _ in range(H)]
    left_end, right_start, right_end = px(90), px(140), px(240)
    for state, off in (("active", 0), ("inactive", INACTIVE)):
        for y in range(H):
            for x in range(0, left_end):  # left end
                img[y][off + x] = band_pixel(state, x, y, None)
            for x in range(left_end, right_start):  # middle, shared with the right end's start
                img[y][off + x] = band_pixel(state, px(50), y, None)
            for x in range(right_start, right_end + 1):  # the column before the last is the
                if off + x < W:                          # window's last
                    img[y][off + x] = band_pixel(state, px(50), y, max(right_end - 1 - x, 0))
        for y in range(px(11), px(44)):
            for x in range(px(12), px(42)):
                img[y][off + x] = emblem(x, y, img[y][off + x])
    # Button images (never shifted for the inactive state), then the unused rest.
    for x in range(right_end + 1, INACTIVE):
        for y in range(H):
            img[y][x] = hexrgb("#d8dadd")
    bw, bh = px(19), px(20)
    images = right_end
    for kind, sx in (("close", images + 1), ("restore", images + bw), ("max", images + 2 * bw),
                     ("min", images + 3 * bw)):
        for pressed in (0, 1):
            for y in range(bh):
                for x in range(bw):
                    img[pressed * bh + y][sx + x] = button(kind, pressed, x, y)
    return img


def border():
    img = [[BORDER[4]] * (7 * B) for _ in range(B)]
    for y in range(B):
        for x in range(B):
            img[y][0 * B + x] = BORDER[stripe(x)]                          # left edge
            img[y][2 * B + x] = BORDER[stripe(min(x, B - 1 - y))]          # bottom-left corner
            img[y][3 * B + x] = BORDER[stripe(B - 1 - y)]                  # bottom edge
            img[y][4 * B + x] = BORDER[stripe(B - 1 - x)]                  # right edge
            img[y][6 * B + x] = BORDER[stripe(min(B - 1 - x, B - 1 - y))]  # bottom-right corner
    return img


def pixels_per_metre():
    return round(DPI / 0.0254)


def write_bmp24(path, img):
    h, w = len(img), len(img[0])
    PPM = pixels_per_metre()
    stride = (w * 3 + 3) & ~3
    rows = b""
    for row in reversed(img):
        line = b"".join(bytes((b, g, r)) for r, g, b in row)
        rows += line + b"\0" * (stride - len(line))
    header = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 24, 0, len(rows), PPM, PPM, 0, 0)
    with open(path, "wb") as f:
        f.write(b"BM" + struct.pack("<IHHI", 14 + 40 + len(rows), 0, 0, 14 + 40) + header + rows)


def write_bmp8(path, img):
    h, w = len(img), len(img[0])
    PPM = pixels_per_metre()
    palette = sorted({c for row in img for c in row})
    index = {c: i for i, c in enumerate(palette)}
    stride = (w + 3) & ~3
    rows = b""
    for row in reversed(img):
        line = bytes(index[c] for c in row)
        rows += line + b"\0" * (stride - len(line))
    pal = b"".join(bytes((b, g, r, 0)) for r, g, b in palette)
    header = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 8, 0, len(rows), PPM, PPM, len(palette),
                         0)
    offset = 14 + 40 + len(pal)
    with open(path, "wb") as f:
        f.write(b"BM" + struct.pack("<IHHI", offset + len(rows), 0, 0, offset) + header + pal + rows)


if __name__ == "__main__":
    out = sys.argv[1]
    for dpi in DPIS:
        set_dpi(dpi)
        suffix = "" if dpi == 96 else str(dpi)
        write_bmp24(f"{out}/PicCaption{suffix}.bmp", caption())
        write_bmp8(f"{out}/PicBorder{suffix}.bmp", border())
