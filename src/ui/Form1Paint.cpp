// The parts of the main window that have no window of their own: the banner picture, the etched
// separator lines, the box around the status line, the engraved labels and the check boxes' focus
// cues. Each label is drawn twice, a light copy one pixel up and to the left of the copy in the
// text colour.
#include "ui/Form1.h"

#include <algorithm>

namespace quenlor {
namespace {

constexpr int kClientWidth = 6255;  // twips

struct LabelCopy {
    int left, top;
    int colour;  // system colour index
};

// An engraved label: the light copy and the copy in the text colour, one pixel apart.
struct LabelPair {
    const wchar_t* text;
    LabelCopy light, dark;
};

constexpr LabelPair kSaveDirLabel{
    L"保存目录：", {225, 885, COLOR_3DHIGHLIGHT}, {240, 900, COLOR_BTNTEXT}};
constexpr LabelPair kAutoSaveLabel{
    L"自动保存", {3720, 1410, COLOR_HIGHLIGHTTEXT}, {3735, 1425, COLOR_BTNTEXT}};
constexpr LabelPair kDeleteSourceLabel{
    L"删除原文件", {4920, 1410, COLOR_HIGHLIGHTTEXT}, {4935, 1425, COLOR_BTNTEXT}};
constexpr LabelCopy kStatusLight{120, 4920, COLOR_3DHIGHLIGHT};
constexpr LabelCopy kStatusDark{135, 4935, COLOR_BTNTEXT};

void DrawLine(HDC dc, int colour, POINT from, POINT to) {
    GdiHandle<HPEN> pen(CreatePen(PS_SOLID, 1, GetSysColor(colour)));
    SelectScope select(dc, pen.get());
    MoveToEx(dc, from.x, from.y, nullptr);
    LineTo(dc, to.x, to.y);
}

SIZE ExtentOf(HDC dc, const std::wstring& text) {
    SIZE extent = {};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &extent);
    return extent;
}

// Both copies of a label, the font selected into `dc`: the focus cue's place.
RECT LabelBox(HDC dc, const Twips& t, const LabelPair& label) {
    const SIZE extent = ExtentOf(dc, label.text);
    return RECT{t.ToPixels(label.light.left) - 1, t.ToPixels(label.light.top),
                t.ToPixels(label.dark.left) + extent.cx + 1,
                t.ToPixels(label.dark.top) + extent.cy};
}

// How far the status line's glyphs reach above and below the baseline, and the font's ascent.
struct InkReach {
    int above, below, ascent;
};

// Measured on a full-height Chinese character and the Latin descenders, so that every text sits
// at the same height; the font's em square when its outlines cannot be read.
InkReach InkReachOf(HDC dc) {
    TEXTMETRICW metrics = {};
    GetTextMetricsW(dc, &metrics);
    InkReach ink{metrics.tmAscent - metrics.tmInternalLeading, metrics.tmDescent, metrics.tmAscent};
    const MAT2 identity = {{0, 1}, {0, 0}, {0, 0}, {0, 1}};
    int above = 0, below = 0;
    bool measured = false;
    for (const wchar_t glyph : {L'首', L'链', L'g', L'p'}) {
        GLYPHMETRICS outline = {};
        if (GetGlyphOutlineW(dc, glyph, GGO_METRICS, &outline, 0, nullptr, &identity) == GDI_ERROR)
            continue;
        above = std::max<int>(above, outline.gmptGlyphOrigin.y);
        below =
            std::max<int>(below, static_cast<int>(outline.gmBlackBoxY) - outline.gmptGlyphOrigin.y);
        measured = true;
    }
    if (measured) {
        ink.above = above;
        ink.below = below;
    }
    return ink;
}

}  // namespace

RECT Form1::StatusBox() const {
    // From the layout's left margin to the same margin short of the client's right edge; the
    // edges are the box's outermost pixels.
    const Twips& t = twips_;
    const int margin = t.ToPixels(45);
    return RECT{margin, t.ToPixels(4890), t.ToPixels(kClientWidth) - margin, t.ToPixels(5115) + 1};
}

RECT Form1::StatusTextBox() const {
    RECT inside = StatusBox();
    InflateRect(&inside, -1, -1);
    return inside;
}

std::wstring Form1::StatusTip() const {
    if (!hwnd_ || status_.empty()) return std::wstring();
    const WindowDC dc(hwnd_);
    const SelectScope select(dc.get(), font_.get());
    const int end = twips_.ToPixels(kStatusDark.left) + ExtentOf(dc.get(), status_).cx;
    return end > StatusTextBox().right ? status_ : std::wstring();
}

RECT Form1::CheckCaptionBox(HWND check) const {
    const WindowDC dc(hwnd_);
    const SelectScope select(dc.get(), font_.get());
    return LabelBox(dc.get(), twips_,
                    check == controls_.Check1 ? kAutoSaveLabel : kDeleteSourceLabel);
}

void Form1::Paint(HDC dc) {
    const Twips& t = twips_;

    if (banner_) {
        BITMAP info = {};
        GetObjectW(banner_.get(), sizeof(info), &info);
        const MemoryDC memory(CreateCompatibleDC(dc));
        if (memory) {
            const SelectScope select(memory.get(), banner_.get());
            const RECT area = Picture1Bounds();
            SetStretchBltMode(dc, HALFTONE);
            StretchBlt(dc, area.left, area.top, area.right - area.left, area.bottom - area.top,
                       memory.get(), 0, 0, info.bmWidth, info.bmHeight, SRCCOPY);
        }
    }

    // Etched separators: a shadow line with a light line one pixel (15 twips) below it.
    struct Separator {
        int x1, x2, y;
    };
    for (const Separator& s :
         {Separator{0, 6300, 0}, Separator{0, 6300, 1200}, Separator{-60, 6240, 720}}) {
        DrawLine(dc, COLOR_BTNSHADOW, {t.ToPixels(s.x1), t.ToPixels(s.y)},
                 {t.ToPixels(s.x2), t.ToPixels(s.y)});
        DrawLine(dc, COLOR_3DHIGHLIGHT, {t.ToPixels(s.x1), t.ToPixels(s.y + 15)},
                 {t.ToPixels(s.x2), t.ToPixels(s.y + 15)});
    }

    // The sunken box around the status line: dark top and left, light bottom and right.
    const RECT box = StatusBox();
    const POINT top_left{box.left, box.top};
    const POINT bottom_right{box.right - 1, box.bottom - 1};
    DrawLine(dc, COLOR_WINDOWTEXT, top_left, {bottom_right.x, top_left.y});
    DrawLine(dc, COLOR_WINDOWTEXT, top_left, {top_left.x, bottom_right.y});
    DrawLine(dc, COLOR_3DHIGHLIGHT, {top_left.x, bottom_right.y},
             {bottom_right.x + 1, bottom_right.y});
    DrawLine(dc, COLOR_3DHIGHLIGHT, {bottom_right.x, top_left.y}, bottom_right);

    SelectScope select_font(dc, font_.get());
    SetBkMode(dc, TRANSPARENT);
    for (const LabelPair& label : {kSaveDirLabel, kAutoSaveLabel, kDeleteSourceLabel}) {
        for (const LabelCopy& copy : {label.light, label.dark}) {
            SetTextColor(dc, GetSysColor(copy.colour));
            RECT at = t.Rect(copy.left, copy.top, 0, 0);
            DrawTextW(dc, label.text, -1, &at,
                      DT_LEFT | DT_TOP | DT_SINGLELINE | DT_NOPREFIX | DT_NOCLIP);
        }
    }

    // The status text, centred in the box's height by its ink (both copies), cut at the box's
    // edges; the tip shows the rest.
    const RECT inside = StatusTextBox();
    const POINT offset{t.ToPixels(kStatusDark.left) - t.ToPixels(kStatusLight.left),
                       t.ToPixels(kStatusDark.top) - t.ToPixels(kStatusLight.top)};
    const InkReach ink = InkReachOf(dc);
    const int ink_top =
        inside.top + (inside.bottom - inside.top - ink.above - ink.below - offset.y) / 2;
    const int light_top = ink_top + ink.above - ink.ascent;
    for (const LabelCopy& copy : {kStatusLight, kStatusDark}) {
        SetTextColor(dc, GetSysColor(copy.colour));
        const int top = light_top + (copy.left == kStatusDark.left ? offset.y : 0);
        ExtTextOutW(dc, t.ToPixels(copy.left), top, ETO_CLIPPED, &inside, status_.c_str(),
                    static_cast<UINT>(status_.size()), nullptr);
    }

    // The check boxes have no caption of their own: the focus cue goes round their labels.
    const HWND focus = GetFocus();
    if ((focus == controls_.Check1 || focus == controls_.Check2) &&
        !(SendMessageW(hwnd_, WM_QUERYUISTATE, 0, 0) & UISF_HIDEFOCUS)) {
        const RECT cue =
            LabelBox(dc, t, focus == controls_.Check1 ? kAutoSaveLabel : kDeleteSourceLabel);
        SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
        SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
        DrawFocusRect(dc, &cue);
    }
}

}  // namespace quenlor
