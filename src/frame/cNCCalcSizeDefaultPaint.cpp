// The engine's own frame, drawn when no painter is attached: system colours, the standard caption
// with its icon, title and buttons, and a raised edge.
#include "frame/cNCCalcSize.h"

namespace quenlor {

void cNCCalcSize::DefaultNCPaint(HDC hdc, int32_t lLeft, int32_t lTop, int32_t lRight,
                                 int32_t lBottom) {
    const int32_t CX = GetSystemMetrics(SM_CXFRAME), CY = GetSystemMetrics(SM_CYFRAME);
    const int32_t C = GetSystemMetrics(SM_CYCAPTION);
    const HBRUSH caption =
        GetSysColorBrush(windowActive_ ? COLOR_ACTIVECAPTION : COLOR_INACTIVECAPTION);
    const HBRUSH border =
        GetSysColorBrush(windowActive_ ? COLOR_ACTIVEBORDER : COLOR_INACTIVEBORDER);
    const RECT strips[] = {{lLeft, CY, CX, lBottom - CY},
                           {lLeft, lTop, lRight, CY},
                           {lRight - CX, CY, lRight, lBottom - CY},
                           {lLeft, lBottom - CY, lRight, lBottom},
                           {lLeft, CX + C - 1, lRight, CX + C}};
    for (const RECT& strip : strips) FillRect(hdc, &strip, border);

    RECT band = {lLeft + CX, lTop + CY, lRight - CX, lTop + CY + C - 1};
    const int32_t w = band.right - band.left, h = band.bottom - band.top;
    defaultSurface_.Width(w);
    defaultSurface_.Height(h);
    const HDC memory = defaultSurface_.hdc();
    if (memory && w > 0 && h > 0 && hwnd_) {
        RECT text = {0, 0, w - 3 * h - 2, h};
        DrawCaption(hwnd_, memory, &text, DC_ICON | DC_TEXT | (windowActive_ ? DC_ACTIVE : 0));
        RECT rest = {w - 3 * h - 2, 0, w, h};
        FillRect(memory, &rest, caption);
        RECT button = {w - h, 2, w - 2, h - 2};
        DrawFrameControl(memory, &button, DFC_CAPTION, DFCS_CAPTIONCLOSE);
        const int32_t step = button.right - button.left;
        OffsetRect(&button, -(step + 2), 0);
        DrawFrameControl(memory, &button, DFC_CAPTION,
                         IsZoomed(hwnd_) ? DFCS_CAPTIONRESTORE : DFCS_CAPTIONMAX);
        OffsetRect(&button, -step, 0);
        DrawFrameControl(memory, &button, DFC_CAPTION, DFCS_CAPTIONMIN);
        BitBlt(hdc, band.left, band.top, w, h, memory, 0, 0, SRCCOPY);
    }
    RECT edge = {lLeft, lTop, lRight, lBottom};
    DrawEdge(hdc, &edge, EDGE_RAISED, BF_RECT);
}

}  // namespace quenlor
