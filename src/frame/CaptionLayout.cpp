#include "frame/CaptionLayout.h"

#include <algorithm>

namespace quenlor {
namespace {

// The middle pieces always start here, whatever the left end's width.
constexpr int32_t kMiddleStart = 90;
constexpr int32_t kMiddlePieceWidth = 52;
// Button images sit in a row from this x of the caption picture; close is one pixel further in.
constexpr int32_t kButtonImagesX = 240;
constexpr RECT kIconArea = {12, 11, 42, 43};

}  // namespace

int32_t ScalePixels(int32_t pixels, int32_t dpi) {
    if (dpi <= 0 || dpi == kDesignDpi) return pixels;
    return MulDiv(pixels, dpi, kDesignDpi);
}

SkinMetrics ScaleSkin(const SkinMetrics& design, int32_t dpi) {
    const auto s = [dpi](int32_t pixels) { return ScalePixels(pixels, dpi); };
    SkinMetrics skin = design;
    skin.captionHeight = s(design.captionHeight);
    skin.borderSize = s(design.borderSize);
    skin.buttonWidth = s(design.buttonWidth);
    skin.buttonHeight = s(design.buttonHeight);
    skin.activeLeftEnd = s(design.activeLeftEnd);
    skin.activeRightStart = s(design.activeRightStart);
    skin.activeRightEnd = s(design.activeRightEnd);
    skin.inactiveOffset = s(design.inactiveOffset);
    skin.dpi = dpi > 0 ? dpi : kDesignDpi;
    return skin;
}

SkinChoice ChooseSkin(int32_t dpi, const std::vector<int32_t>& drawn) {
    if (drawn.empty()) return {};
    if (std::find(drawn.begin(), drawn.end(), dpi) != drawn.end()) return {dpi, 1};
    if (dpi > kDesignDpi && dpi % kDesignDpi == 0) return {kDesignDpi, dpi / kDesignDpi};
    SkinChoice choice{drawn.front(), 1};
    for (int32_t candidate : drawn)
        if (candidate < dpi) choice.drawnDpi = candidate;
    return choice;
}

MenuMetrics ComputeMenuMetrics(int32_t dpi) {
    const auto s = [dpi](int32_t pixels) { return ScalePixels(pixels, dpi); };
    const MenuMetrics d;
    MenuMetrics m;
    for (auto field :
         {&MenuMetrics::bandTop, &MenuMetrics::textTop, &MenuMetrics::firstItemX,
          &MenuMetrics::itemGap, &MenuMetrics::frameMargin, &MenuMetrics::captionX,
          &MenuMetrics::acceleratorGap, &MenuMetrics::rightMargin, &MenuMetrics::separatorHeight,
          &MenuMetrics::separatorInset, &MenuMetrics::textPadding, &MenuMetrics::checkInset,
          &MenuMetrics::checkShift, &MenuMetrics::highlightInset, &MenuMetrics::arrowSize,
          &MenuMetrics::arrowRight})
        m.*field = s(d.*field);
    m.dpi = dpi > 0 ? dpi : kDesignDpi;
    return m;
}

int32_t ButtonImageX(const SkinMetrics& skin, int button, bool maximized) {
    const int32_t imagesX = ScalePixels(kButtonImagesX, skin.dpi);
    switch (button) {
        case kCloseButton:
            return imagesX + 1;
        case kMaxButton:
            return imagesX + (maximized ? 1 : 2) * skin.buttonWidth;
        default:
            return imagesX + 3 * skin.buttonWidth;
    }
}

CaptionLayout ComputeCaptionLayout(const SkinMetrics& skin, int32_t width, int32_t height,
                                   DWORD style, bool active) {
    CaptionLayout l;
    const int32_t C = skin.captionHeight, B = skin.borderSize;
    const auto s = [&skin](int32_t pixels) { return ScalePixels(pixels, skin.dpi); };
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
    for (int i = 0; i < kButtonCount; ++i) l.buttons[i].sourceX = ButtonImageX(skin, i, maximized);
    close.command = SC_CLOSE;
    max.command = maximized ? SC_RESTORE : SC_MAXIMIZE;
    min.command = SC_MINIMIZE;
    // Right to left, a gap after each image; an absent button leaves its place to the next one.
    const int32_t top = s(5), step = skin.buttonWidth + s(1);
    int32_t left = l.xr + l.cw - B + s(4);
    for (auto& button : l.buttons) {
        if (!button.present) continue;
        left -= step;
        button.rect = {left, top, left + step, top + skin.buttonHeight};
    }

    const int32_t pieceWidth = s(kMiddlePieceWidth);
    for (int32_t x = s(kMiddleStart); x < l.xr; x += pieceWidth)
        l.middle.push_back({x, std::min(pieceWidth, l.xr - x)});

    const int32_t line = s(1);
    l.title = {s(92), B + line, width - s(96), B + line + (C - B - 2 * line) / 2};
    l.iconArea = {s(kIconArea.left), s(kIconArea.top), s(kIconArea.right), s(kIconArea.bottom)};
    const int32_t bandTop = ComputeMenuMetrics(skin.dpi).bandTop;
    l.menu = {skin.activeLeftEnd - s(10), C / 2, l.xr - skin.activeLeftEnd, C / 2, bandTop - C / 2};
    l.sideTop = C;
    l.bottomY = std::max(height - B, C);
    return l;
}

RECT FitTitle(const CaptionLayout& layout, const SkinMetrics& skin, int32_t textHeight) {
    RECT title = layout.title;
    const int32_t excess = title.top + textHeight - skin.captionHeight / 2;
    const int32_t highest = 2 * ScalePixels(1, skin.dpi);  // below the outline and its light
    if (excess > 0) OffsetRect(&title, 0, -std::min<int32_t>(excess, title.top - highest));
    return title;
}

}  // namespace quenlor
