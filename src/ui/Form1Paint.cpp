// The parts of the main window that have no window of their own: the banner picture, the etched
// separator lines, the box around the status line and the engraved labels. Each label is drawn
// twice, a light copy one pixel up and to the left of the copy in the text colour.
#include "ui/Form1.h"

#include <algorithm>

namespace quenlor {
namespace {

struct LabelCopy {
    int left, top;
    int colour;  // system colour index
};

void DrawLine(HDC dc, int colour, POINT from, POINT to) {
    GdiHandle<HPEN> pen(CreatePen(PS_SOLID, 1, GetSysColor(colour)));
    SelectScope select(dc, pen.get());
    MoveToEx(dc, from.x, from.y, nullptr);
    LineTo(dc, to.x, to.y);
}

}  // namespace

constexpr int kClientHeight = 5370;  // twips

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
    const POINT top_left{t.ToPixels(45), t.ToPixels(4890)};
    const POINT bottom_right{t.ToPixels(6000), t.ToPixels(5115)};
    DrawLine(dc, COLOR_WINDOWTEXT, top_left, {bottom_right.x, top_left.y});
    DrawLine(dc, COLOR_WINDOWTEXT, top_left, {top_left.x, bottom_right.y});
    DrawLine(dc, COLOR_3DHIGHLIGHT, {top_left.x, bottom_right.y},
             {bottom_right.x + 1, bottom_right.y});
    DrawLine(dc, COLOR_3DHIGHLIGHT, {bottom_right.x, top_left.y}, bottom_right);

    SelectScope select_font(dc, font_.get());
    SetBkMode(dc, TRANSPARENT);
    auto draw_pair = [&](const std::wstring& text, LabelCopy light, LabelCopy dark, int width,
                         int height) {
        for (const LabelCopy& copy : {light, dark}) {
            SetTextColor(dc, GetSysColor(copy.colour));
            if (width > 0) {
                // Clipped at the label's width only, so that a font taller than 宋体 (a
                // substitute) keeps its descenders.
                RECT box = t.Rect(copy.left, copy.top, width, height);
                box.bottom = std::max<LONG>(box.bottom, t.ToPixels(kClientHeight));
                DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &box,
                          DT_LEFT | DT_TOP | DT_SINGLELINE | DT_NOPREFIX);
            } else {
                RECT box = t.Rect(copy.left, copy.top, 0, 0);
                DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &box,
                          DT_LEFT | DT_TOP | DT_SINGLELINE | DT_NOPREFIX | DT_NOCLIP);
            }
        }
    };
    draw_pair(L"保存目录：", {225, 885, COLOR_3DHIGHLIGHT}, {240, 900, COLOR_BTNTEXT}, 0, 0);
    draw_pair(L"自动保存", {3720, 1410, COLOR_HIGHLIGHTTEXT}, {3735, 1425, COLOR_BTNTEXT}, 0, 0);
    draw_pair(L"删除原文件", {4920, 1410, COLOR_HIGHLIGHTTEXT}, {4935, 1425, COLOR_BTNTEXT}, 0, 0);
    draw_pair(status_, {120, 4920, COLOR_3DHIGHLIGHT}, {135, 4935, COLOR_BTNTEXT}, 5850, 180);
}

}  // namespace quenlor
