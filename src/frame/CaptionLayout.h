// Where the caption painter puts each piece of the skin for a window of a given size and style:
// a pure computation, so the layout can be checked without a window.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

namespace quenlor {

// The skin's geometry: picture heights and the six numbers handed to the painter's Attach.
struct SkinMetrics {
    int32_t captionHeight = 0;  // C: height of the caption picture, the top margin
    int32_t borderSize = 0;     // B: height of the border picture, its tile size, the other margins
    int32_t buttonWidth = 0, buttonHeight = 0;
    int32_t activeLeftEnd = 0, activeRightStart = 0, activeRightEnd = 0;
    int32_t inactiveOffset = 0;
};

enum CaptionButton : int { kCloseButton = 0, kMaxButton = 1, kMinButton = 2, kButtonCount = 3 };

struct CaptionLayout {
    int32_t cw = 0;            // width of the band's right end
    int32_t xr = 0;            // where the right end starts
    bool narrow = false;       // too narrow for both ends: right end pushed to cw, no title
    int32_t sourceOffset = 0;  // added to the band's source x (0 active, inactiveOffset inactive)

    struct Button {
        bool present = false;
        RECT rect = {};       // hit area; the image (buttonWidth x buttonHeight) at its top-left
        int32_t sourceX = 0;  // image in the caption picture (normal at y 0, pressed below)
        UINT command = 0;     // SC_... posted when it is clicked
    };
    Button buttons[kButtonCount];

    struct Piece {
        int32_t x = 0, width = 0;
    };
    std::vector<Piece> middle;  // middle pieces, each from the band's source x activeLeftEnd + 1
    RECT title = {};            // title text rectangle (only drawn when not narrow)

    struct MenuRow {
        int32_t left = 0, top = 0, width = 0, height = 0, yOffset = 0;
    } menu;  // the menu bar's Render arguments

    int32_t sideTop = 0;  // side columns run from here to the bottom row
    int32_t bottomY = 0;  // top of the bottom border row
};

// The layout of a window `width` x `height` pixels with window style `style` (WS_SYSMENU,
// WS_MAXIMIZEBOX, WS_MINIMIZEBOX choose the buttons, WS_MAXIMIZE the restore image), drawn
// `active` or not.
CaptionLayout ComputeCaptionLayout(const SkinMetrics& skin, int32_t width, int32_t height,
                                   DWORD style, bool active);

}  // namespace quenlor
