// Window layouts are given in twips (1440 per inch); controls are placed in pixels at the display's
// resolution, so the layout keeps its proportions at 96, 120 or 144 dots per inch.
#pragma once

#include <windows.h>

namespace quenlor {

class Twips {
  public:
    explicit Twips(int dpi) : dpi_(dpi) {}

    int dpi() const { return dpi_; }
    int ToPixels(int twips) const { return MulDiv(twips, dpi_, 1440); }
    // A rectangle given as left, top, width and height in twips.
    RECT Rect(int left, int top, int width, int height) const {
        const int x = ToPixels(left), y = ToPixels(top);
        return RECT{x, y, x + ToPixels(width), y + ToPixels(height)};
    }

    // The resolution the system reports for the screen (the manifest makes the program DPI aware).
    static int SystemDpi();

  private:
    int dpi_;
};

}  // namespace quenlor
