#include "frame/FrameHitTest.h"

#include <windows.h>

namespace quenlor {

int32_t FrameHitTest(int32_t x, int32_t y, int32_t width, int32_t height,
                     const FrameMargins& margins, bool sizable, int32_t captionHeight) {
    if (x < 0 || y < 0 || x >= width || y >= height) return HTCLIENT;
    const int32_t border = margins.bottom;
    // Sizing edges and corners, which a fixed frame does not have.
    const auto edge = [sizable](int32_t code) { return sizable ? code : HTCLIENT; };
    if (x <= margins.left) {
        if (y <= border) return edge(HTTOPLEFT);
        if (y >= height - border) return edge(HTBOTTOMLEFT);
        return edge(HTLEFT);
    }
    if (x >= width - margins.right) {
        if (y <= border) return edge(HTTOPRIGHT);
        if (y >= height - border) return edge(HTBOTTOMRIGHT);
        return edge(HTRIGHT);
    }
    if (y <= border) return edge(HTTOP);
    if (y >= height - border) return edge(HTBOTTOM);
    if (y > margins.top) return HTCLIENT;
    if (y <= border + captionHeight) return x <= captionHeight ? HTSYSMENU : HTCAPTION;
    return HTCLIENT;  // the menu row
}

}  // namespace quenlor
