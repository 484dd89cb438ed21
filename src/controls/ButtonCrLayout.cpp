#include "controls/ButtonCrLayout.h"

#include <cmath>

namespace quenlor {
namespace {

constexpr double kTwipsPerInch = 1440.0;
constexpr double kFringeTwips = 10.0;  // offset of the caption's light copy
constexpr double kLineTwips = 8.0;     // distance of a frame line's centre from the edge
constexpr int kLinePixels = 2;

double PixelsToTwips(int pixels, int dpi) {
    return pixels * kTwipsPerInch / dpi;
}

// A line of kLinePixels centred on `centre`: [centre - 1, centre + 1).
LONG BandStart(int centre) {
    return centre - kLinePixels / 2;
}

}  // namespace

int TwipsToPixels(double twips, int dpi) {
    return static_cast<int>(std::floor(twips * dpi / kTwipsPerInch + 0.5));
}

ButtonCrLayout LayOutButtonCr(int width, int height, int textWidth, int textHeight, bool enabled,
                              int dpiX, int dpiY) {
    const double w = PixelsToTwips(width, dpiX);
    const double h = PixelsToTwips(height, dpiY);
    const double x = (w - PixelsToTwips(textWidth, dpiX)) / 2;
    const double y = (h - PixelsToTwips(textHeight, dpiY)) / 2;

    ButtonCrLayout layout;
    if (enabled) {
        // Light copy first, 10 twips to the left; the text colour copy over it.
        layout.first = {TwipsToPixels(x - kFringeTwips, dpiX), TwipsToPixels(y, dpiY)};
        layout.second = {TwipsToPixels(x, dpiX), TwipsToPixels(y, dpiY)};
    } else {
        // Light copy in place; the shadow copy over it, 10 twips up and to the left.
        layout.first = {TwipsToPixels(x, dpiX), TwipsToPixels(y, dpiY)};
        layout.second = {TwipsToPixels(x - kFringeTwips, dpiX),
                         TwipsToPixels(y - kFringeTwips, dpiY)};
    }

    const LONG left = BandStart(TwipsToPixels(kLineTwips, dpiX));
    const LONG top = BandStart(TwipsToPixels(kLineTwips, dpiY));
    const LONG right = BandStart(TwipsToPixels(w - kLineTwips, dpiX));
    const LONG bottom = BandStart(TwipsToPixels(h - kLineTwips, dpiY));
    layout.lines = {{
        {left, 0, left + kLinePixels, height},
        {0, top, width, top + kLinePixels},
        {right, 0, right + kLinePixels, height},
        {0, bottom, width, bottom + kLinePixels},
    }};
    return layout;
}

}  // namespace quenlor
