// The About window's surface: the raised frame, the engraved title, the notice, the link and the
// animation at the movie's place. The labels have no windows of their own.
#include <algorithm>
#include <string>

#include "ui/Form2.h"
#include "ui/HomePage.h"
#include "quenlor/Version.h"

namespace quenlor {
namespace {

constexpr const wchar_t* kTitle = L"Quenlor转换器";
constexpr const wchar_t* kNotice =
    L"本软件是免费软件，您可以自由复制、传播\n"
    L"并分享给他人使用，无需支付任何费用。\n"
    L"复制与传播时请保持软件完整。";
constexpr const wchar_t* kLinkLabel = L"首页链接:";
constexpr const wchar_t* kVersion = L"版本 " QUENLOR_VERSION;

void Line(HDC dc, int colour, POINT from, POINT to) {
    GdiHandle<HPEN> pen(CreatePen(PS_SOLID, 1, GetSysColor(colour)));
    SelectScope select(dc, pen.get());
    MoveToEx(dc, from.x, from.y, nullptr);
    LineTo(dc, to.x, to.y);
}

void Text(HDC dc, const std::wstring& text, RECT box, COLORREF colour, UINT format) {
    SetTextColor(dc, colour);
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &box, format | DT_NOPREFIX);
}

}  // namespace

void Form2::Paint(HDC dc) {
    const Twips& t = twips_;

    // The raised frame: light top and left, grey bottom and right.
    const POINT tl{t.ToPixels(120), t.ToPixels(120)}, br{t.ToPixels(4320), t.ToPixels(2880)};
    Line(dc, COLOR_HIGHLIGHTTEXT, tl, {br.x, tl.y});
    Line(dc, COLOR_3DHIGHLIGHT, tl, {tl.x, br.y});
    Line(dc, COLOR_GRAYTEXT, {tl.x, br.y}, {br.x + 1, br.y});
    Line(dc, COLOR_GRAYTEXT, {br.x, tl.y}, br);

    SetBkMode(dc, TRANSPARENT);
    {
        // The title, engraved: a light copy one pixel up and left of the dark red one. Centred on
        // its label's place, so a wider substitute face still sits in the middle.
        SelectScope font(dc, titleFont_.get());
        const UINT format = DT_CENTER | DT_TOP | DT_SINGLELINE | DT_NOCLIP;
        RECT dark = t.Rect(1800, 360, 900, 315);
        RECT light = dark;
        OffsetRect(&light, -1, -1);
        Text(dc, kTitle, light, GetSysColor(COLOR_3DHIGHLIGHT), format);
        Text(dc, kTitle, dark, RGB(192, 0, 0), format);
    }
    {
        SelectScope font(dc, font_.get());
        const COLORREF text = GetSysColor(COLOR_BTNTEXT);
        Text(dc, kNotice, t.Rect(240, 840, 3975, 735), text, DT_LEFT | DT_TOP | DT_NOCLIP);
        Text(dc, kLinkLabel, t.Rect(1680, 1680, 810, 180), text,
             DT_LEFT | DT_TOP | DT_SINGLELINE | DT_NOCLIP);
        // The version, small and grey, at the title's foot by the frame's right edge.
        Text(dc, kVersion, t.Rect(3000, 495, 1200, 180), GetSysColor(COLOR_GRAYTEXT),
             DT_RIGHT | DT_TOP | DT_SINGLELINE | DT_NOCLIP);
    }
    {
        SelectScope font(dc, linkFont_.get());
        Text(dc, kHomePage, label2_, linkColour_, DT_LEFT | DT_TOP | DT_SINGLELINE);
    }
    PaintMovie(dc);
}

SIZE Form2::FrameSize() {
    // The system's dialog frame: a raised edge (two pixels) and the face colour inside it.
    return SIZE{std::max(GetSystemMetrics(SM_CXDLGFRAME), 3),
                std::max(GetSystemMetrics(SM_CYDLGFRAME), 3)};
}

void Form2::PaintFrame(HDC windowDc) {
    RECT window{};
    GetWindowRect(hwnd_, &window);
    RECT ring{0, 0, window.right - window.left, window.bottom - window.top};
    DrawEdge(windowDc, &ring, EDGE_RAISED, BF_RECT | BF_ADJUST);
    const SIZE frame = FrameSize();
    const HBRUSH face = GetSysColorBrush(COLOR_3DFACE);
    for (int i = 2; i < std::min(frame.cx, frame.cy); ++i) {
        FrameRect(windowDc, &ring, face);
        InflateRect(&ring, -1, -1);
    }
}

void Form2::PaintMovie(HDC dc) {
    // Composed off screen and copied in one piece, so the running animation does not flicker.
    const RECT area = Picture1Bounds();
    const int width = area.right - area.left, height = area.bottom - area.top;
    if (!stage_.Resize(width, height)) return;
    movie_.Draw(stage_.dc(), RECT{0, 0, width, height});
    // The picture box's sunken edge around the stage.
    RECT edge{0, 0, width, height};
    DrawEdge(stage_.dc(), &edge, EDGE_SUNKEN, BF_RECT);
    stage_.CopyTo(dc, area.left, area.top);
}

}  // namespace quenlor
