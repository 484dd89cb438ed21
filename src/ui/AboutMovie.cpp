#include "ui/AboutMovie.h"

#include <algorithm>
#include <cmath>

#include "win/ResourceOwners.h"

namespace quenlor {
namespace {

constexpr COLORREF kStage = RGB(0, 0, 128);
constexpr COLORREF kStrip = RGB(0, 0, 64);
constexpr COLORREF kHole = RGB(192, 192, 192);
constexpr COLORREF kRing = RGB(255, 255, 0);
constexpr COLORREF kPlay = RGB(255, 0, 0);
constexpr COLORREF kSpark = RGB(255, 255, 255);

void Fill(HDC dc, const RECT& rect, COLORREF colour) {
    SetBkColor(dc, colour);
    ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &rect, nullptr, 0, nullptr);
}

}  // namespace

void AboutMovie::Draw(HDC dc, const RECT& area) const {
    const int width = area.right - area.left, height = area.bottom - area.top;
    if (width <= 0 || height <= 0) return;
    Fill(dc, area, kStage);

    // The film strip along the top and bottom edges, its holes moving left two pixels a frame.
    const int strip = std::max(4, height / 8);
    const int hole = std::max(2, strip / 2);
    for (const int top : {area.top, area.bottom - strip}) {
        Fill(dc, RECT{area.left, top, area.right, top + strip}, kStrip);
        for (int x = area.left - (frame_ * 2) % (hole * 2) + 1; x < area.right; x += hole * 2) {
            const RECT spot{std::max<LONG>(x, area.left), top + (strip - hole) / 2,
                            std::min<LONG>(x + hole, area.right), top + (strip + hole) / 2};
            if (spot.left < spot.right) Fill(dc, spot, kHole);
        }
    }

    // The ring and the play mark, in the middle of the stage between the strips.
    const POINT centre{area.left + width / 2, area.top + height / 2};
    const int radius = std::max(4, std::min(width, height - 2 * strip) / 2 - 4);
    {
        GdiHandle<HPEN> pen(CreatePen(PS_SOLID, std::max(2, radius / 6), kRing));
        SelectScope usePen(dc, pen.get());
        SelectScope noFill(dc, GetStockObject(NULL_BRUSH));
        Ellipse(dc, centre.x - radius, centre.y - radius, centre.x + radius + 1,
                centre.y + radius + 1);
    }
    {
        GdiHandle<HBRUSH> brush(CreateSolidBrush(kPlay));
        SelectScope useBrush(dc, brush.get());
        SelectScope noPen(dc, GetStockObject(NULL_PEN));
        const int r = radius / 2;
        const POINT play[] = {{centre.x - r / 2, centre.y - r},
                              {centre.x - r / 2, centre.y + r},
                              {centre.x + r, centre.y}};
        Polygon(dc, play, 3);
    }

    // The spark: once round the ring in twelve frames.
    const double angle = 2 * 3.14159265358979 * frame_ / kFrames;
    const int sx = centre.x + static_cast<int>(std::lround(radius * std::cos(angle)));
    const int sy = centre.y - static_cast<int>(std::lround(radius * std::sin(angle)));
    const int s = std::max(1, radius / 5);
    Fill(dc, RECT{sx - s, sy - s, sx + s + 1, sy + s + 1}, kSpark);
}

}  // namespace quenlor
