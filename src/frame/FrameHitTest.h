// Hit testing of a frame from its margins alone, before the painter has its say.
#pragma once

#include <cstdint>

namespace quenlor {

struct FrameMargins {
    int32_t left = 0, top = 0, right = 0, bottom = 0;
};

// The hit-test code (HT...) of the point (x, y) in window coordinates of a window `width` x
// `height` with the given margins. The top border is taken to be as thick as the bottom one; below
// it a caption line `captionHeight` high (HTCAPTION, HTSYSMENU over its left end) and then the menu
// row, which answers HTCLIENT. Edge and corner codes only for a `sizable` window; points outside
// the window give HTCLIENT too.
int32_t FrameHitTest(int32_t x, int32_t y, int32_t width, int32_t height,
                     const FrameMargins& margins, bool sizable, int32_t captionHeight);

}  // namespace quenlor
