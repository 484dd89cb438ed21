#include "CaptionLayout.h"

#include <algorithm>

namespace quenlor {
namespace {

// The middle pieces always start here, whatever the left end's width.
constexpr int32_t kMiddleStart = 90;
constexpr int32_t kMiddlePieceWidth = 52;
// Button images sit in a row from this x of the caption picture; close is one pixel further in.
constexpr int32_t kButtonImagesX = 240;

}  // namespace

CaptionLayout ComputeCaptionLayout(const SkinMetrics& skin, int32_t width, int32_t height,
                                   DWORD style, bool active) {
    CaptionLayout l;
    const int32_t C = skin.captionHeight, B = skin.borderSize;
    l.sourceOffset = active ? 0 : skin.inactiveOffset;

    l.cw = skin.activeRightEnd - skin.activeRightStart + 1;
    l.xr = width - l.cw + 1;
    if (l.xr < l.cw) {
        l.xr = l.cw;
        l.narrow = true;
    }

    const bool maximized = (style & WS_MAXIMIZE) != 0;
    auto& close = l.buttons[kCloseButton];
    auto& max = l.buttons[kMaxButton];
    auto& min = l.buttons[kMinButton];
    close.present = (style & WS_SYSMENU) != 0;
    max.present = (style & WS_MAXIMIZEBOX) != 0;
    min.present = (style & WS_MINIMIZEBOX) != 0;
    close.sourceX = kButtonImagesX + 1;
    close.command = SC_CLOSE;
    max.sourceX = kButtonImagesX + (maximized ? 1 : 2) * skin.buttonWidth;
    max.command = maximized ? SC_RESTORE : SC_MAXIMIZE;
    min.sourceX = kButtonImagesX + 3 * skin.buttonWidth;
    min.command = SC_MINIMIZE;
    // Right to left; an absent button leaves its place to the next one.
    int32_t left = l.xr + l.cw - B + 4;
    for (auto& button : l.buttons) {
        if (!button.present) continue;
        left -= skin.buttonWidth + 1;
        button.rect = {left, 5, left + skin.buttonWidth + 1, 5 + skin.buttonHeight};
    }

    for (int32_t x = kMiddleStart; x < l.xr; x += kMiddlePieceWidth)
        l.middle.push_back({x, std::min(kMiddlePieceWidth, l.xr - x)});

    l.title = {92, B + 1, width - 96, B + 1 + (C - B - 2) / 2};
    l.menu = {skin.activeLeftEnd - 10, C / 2, l.xr - skin.activeLeftEnd, C / 2, 2 - C / 2};
    l.sideTop = C;
    l.bottomY = std::max(height - B, C);
    return l;
}

}  // namespace quenlor
