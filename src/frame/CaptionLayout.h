// Where the caption painter puts each piece of the skin for a window of a given size and style,
// and how large the drawn menu bar and its popup items are: pure computations of the resolution,
// so the layout can be checked without a window. The design's numbers are for 96 dots per inch;
// at other resolutions every distance is scaled by dpi / 96 in whole pixels.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

namespace quenlor {

// The resolution the design's pixel numbers are given for.
constexpr int32_t kDesignDpi = 96;

// `pixels` of the design at `dpi` dots per inch: whole pixels, halves away from zero.
int32_t ScalePixels(int32_t pixels, int32_t dpi);

// The skin's geometry: picture heights and the six numbers handed to the painter's Attach.
struct SkinMetrics {
    int32_t captionHeight = 0;  // C: height of the caption picture, the top margin
    int32_t borderSize = 0;     // B: height of the border picture, its tile size, the other margins
    int32_t buttonWidth = 0, buttonHeight = 0;
    int32_t activeLeftEnd = 0, activeRightStart = 0, activeRightEnd = 0;
    int32_t inactiveOffset = 0;
    int32_t dpi = kDesignDpi;  // the resolution the pictures are drawn for
};

// A skin of the design (96 DPI) as its pictures are drawn for `dpi`: every number scaled.
SkinMetrics ScaleSkin(const SkinMetrics& design, int32_t dpi);

// Which of the skins drawn for the resolutions `drawn` (ascending, 96 among them) serves a screen
// of `dpi`: the one drawn for it; else, at a whole multiple of 96, the 96-DPI skin enlarged that
// many times pixel for pixel; else the largest drawn below it (the smallest when none is).
struct SkinChoice {
    int32_t drawnDpi = kDesignDpi;
    int32_t factor = 1;  // whole-pixel enlargement of the drawn pictures
    int32_t dpi() const { return drawnDpi * factor; }
};
SkinChoice ChooseSkin(int32_t dpi, const std::vector<int32_t>& drawn);

// The drawn menu bar and its owner-drawn popup items, in pixels.
struct MenuMetrics {
    // The bar: the band starts bandTop below the menu row's top; texts sit textTop below the band's
    // top, the first firstItemX from its left, the next itemGap after the previous text; the
    // frame of a hot or open item is its text box grown by frameMargin.
    int32_t bandTop = 2, textTop = 2, firstItemX = 8, itemGap = 11, frameMargin = 2;
    // Popup items: caption column, gap before the accelerator column, room after the last column,
    // separator height and inset, height added to the text's, check box inset and shift, and the
    // inset of the highlight frame; the submenu arrow (arrowSize wide, twice as high less one),
    // its right edge arrowRight from the item's.
    int32_t captionX = 24, acceleratorGap = 18, rightMargin = 6;
    int32_t separatorHeight = 6, separatorInset = 8, textPadding = 8;
    int32_t checkInset = 4, checkShift = 2, highlightInset = 2;
    int32_t arrowSize = 4, arrowRight = 6;
    int32_t dpi = kDesignDpi;  // the resolution these are for (the glyphs' font is made for it)
};

// The menu metrics at `dpi` (the design's at 96).
MenuMetrics ComputeMenuMetrics(int32_t dpi);

enum CaptionButton : int { kCloseButton = 0, kMaxButton = 1, kMinButton = 2, kButtonCount = 3 };

// Source x of a caption button's image in the caption picture (the maximise button shows the
// restore image when `maximized`).
int32_t ButtonImageX(const SkinMetrics& skin, int button, bool maximized);

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
    RECT iconArea = {};         // a click here opens the window menu

    struct MenuRow {
        int32_t left = 0, top = 0, width = 0, height = 0, yOffset = 0;
    } menu;  // the menu bar's Render arguments

    int32_t sideTop = 0;  // side columns run from here to the bottom row
    int32_t bottomY = 0;  // top of the bottom border row
};

// The layout of a window `width` x `height` pixels with window style `style` (WS_SYSMENU,
// WS_MAXIMIZEBOX, WS_MINIMIZEBOX choose the buttons, WS_MAXIMIZE the restore image), drawn
// `active` or not, with the painter's own distances at the skin's resolution.
CaptionLayout ComputeCaptionLayout(const SkinMetrics& skin, int32_t width, int32_t height,
                                   DWORD style, bool active);

// The title rectangle for a font whose lines are `textHeight` high: the layout's, moved up as far
// as needed (never onto the band's top edge) for the line to end where the menu row starts, so a
// tall face is not cut by the menu bar.
RECT FitTitle(const CaptionLayout& layout, const SkinMetrics& skin, int32_t textHeight);

}  // namespace quenlor
