// Where ButtonCr puts its caption copies and frame lines, in client pixels. The face is laid out in
// twips (1440 per inch) and converted at the display's dots per inch, so the frame stays on the
// outermost two pixels and the caption's fringe stays one pixel wide at 96, 120 and 144 DPI.
#pragma once

#include <windows.h>

#include <array>

namespace quenlor {

// Twips to pixels at `dpi` dots per inch, rounded to the nearest pixel (halves go up).
int TwipsToPixels(double twips, int dpi);

struct ButtonCrLayout {
    // The caption is drawn twice; `second` is drawn over `first`.
    POINT first{};
    POINT second{};
    // Two-pixel lines in drawing order: left, top (top-left colour), right, bottom (bottom-right
    // colour). Later lines cover earlier ones where they cross.
    std::array<RECT, 4> lines{};
};

// `width`/`height`: the face, `textWidth`/`textHeight`: the caption's extent, all in pixels.
ButtonCrLayout LayOutButtonCr(int width, int height, int textWidth, int textHeight, bool enabled,
                              int dpiX, int dpiY);

}  // namespace quenlor
