#!/usr/bin/env python3
"""The skinned main window's frame, from a screenshot, against what the two skin bitmaps put there.

  skin_pixels.py frame  SHOT.rgb WIDTH HEIGHT CAPTION.rgb BORDER.rgb
      Compares the band's ends, the caption buttons (normal), the side columns and the bottom row
      of the active frame; prints "frame ok N" or the first wrong pixels, exits 1 on a mismatch.
  skin_pixels.py items  SHOT.rgb WIDTH HEIGHT CAPTION.rgb BORDER.rgb
      Prints "item LEFT RIGHT" (window x, inclusive) for each run of menu-row columns whose pixels
      differ from the bare band: the ink of the bar's items.
Files are raw 8-bit RGB (ImageMagick "rgb:-"); the caption bitmap is 640 x 48, the border 70 x 10.
"""
import sys

C, B = 48, 10                      # caption bitmap height, border tile size
BUTTON_W, BUTTON_H = 19, 20
LEFT_END, RIGHT_START, RIGHT_END = 90, 140, 240
MIDDLE_AT, MIDDLE_W = 90, 52


def load(path, width, height):
    data = open(path, "rb").read()
    if len(data) != width * height * 3:
        sys.exit(f"{path}: {len(data)} bytes, expected {width} x {height} RGB")
    return lambda x, y: data[3 * (y * width + x):3 * (y * width + x) + 3]


def expected_frame(width, height, caption, border):
    """(x, y) -> expected RGB for the compared frame pixels of an active window."""
    cw = RIGHT_END - RIGHT_START + 1
    xr = width - cw + 1
    close_left = xr + cw - B + 4 - (BUTTON_W + 1)
    buttons = [(close_left, 241), (close_left - (BUTTON_W + 1), 240 + 3 * BUTTON_W)]
    title_right = width - 96
    pixels = {}
    for y in range(C):
        for x in list(range(LEFT_END - 10)) + list(range(title_right + 4, width)):
            source = (x, y) if x < LEFT_END else (RIGHT_START + x - xr, y)
            for left, sx in buttons:
                if left <= x < left + BUTTON_W and 5 <= y < 5 + BUTTON_H:
                    source = (sx + x - left, y - 5)
            pixels[(x, y)] = caption(*source)
    for y in range(C, height - B):
        for x in range(B):
            pixels[(x, y)] = border(x, (y - C) % B)
            pixels[(width - B + x, y)] = border(4 * B + x, (y - C) % B)
    for y in range(height - B, height):
        row = y - (height - B)
        for x in range(width):
            if x < B:
                pixels[(x, y)] = border(2 * B + x, row)
            elif x >= width - B:
                pixels[(x, y)] = border(6 * B + x - (width - B), row)
            else:
                pixels[(x, y)] = border(3 * B + (x - B) % B, row)
    return pixels


def bare_band(x, y, width, caption):
    """The band behind the menu row, before the bar draws into it."""
    if x < LEFT_END:
        return caption(x, y)
    return caption(LEFT_END + 1 + (x - MIDDLE_AT) % MIDDLE_W, y)


def main():
    mode, shot, width, height, caption, border = sys.argv[1:7]
    width, height = int(width), int(height)
    shown = load(shot, width, height)
    caption = load(caption, 640, C)
    border = load(border, 70, B)
    if mode == "frame":
        wrong = [(x, y, shown(x, y).hex(), want.hex())
                 for (x, y), want in expected_frame(width, height, caption, border).items()
                 if shown(x, y) != want]
        for x, y, got, want in wrong[:8]:
            print(f"pixel {x},{y} is {got}, the skin puts {want}")
        if wrong:
            xs, ys = [w[0] for w in wrong], [w[1] for w in wrong]
            print(f"wrong pixels within x {min(xs)}..{max(xs)}, y {min(ys)}..{max(ys)}")
        compared = len(expected_frame(width, height, caption, border))
        print(f"frame {'ok' if not wrong else 'WRONG'} {compared - len(wrong)}/{compared}")
        return 1 if wrong else 0
    # items: the menu row runs from x = LEFT_END - 10 to the band's right end, rows C/2 + 2 on.
    cw = RIGHT_END - RIGHT_START + 1
    xr = width - cw + 1
    ink = [x for x in range(LEFT_END - 10, xr)
           if any(shown(x, y) != bare_band(x, y, width, caption) for y in range(C // 2 + 2, C))]
    runs = []
    for x in ink:
        if runs and x - runs[-1][1] <= 4:
            runs[-1][1] = x
        else:
            runs.append([x, x])
    for left, right in runs:
        print(f"item {left} {right}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
