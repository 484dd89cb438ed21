#include "frame/cNeoCaption.h"
#include "frame/TranslateColor.h"

#include <olectl.h>

#include <string>

#include "win/ResourceOwners.h"

namespace quenlor {
namespace {

SIZE PictureSize(HBITMAP picture) {
    BITMAP info = {};
    if (!picture || !GetObjectW(picture, sizeof info, &info)) return {0, 0};
    return {info.bmWidth, info.bmHeight};
}

}  // namespace

LOGFONTW FontToLogFont(const StdFont& font, HDC hdc) {
    return font.ToLogFont(hdc ? GetDeviceCaps(hdc, LOGPIXELSY) : 0);
}

void cNeoCaption::Detach() {
    HMENU menu = engine_ ? engine_->hMenu() : nullptr;
    if (engine_) engine_->Detach();
    if (menuBar_) {
        if (!menu) menu = menuBar_->hMenu();
        menuBar_->Detach();
    }
    if (menu && hwnd_ && IsWindow(hwnd_) && GetMenu(hwnd_) != menu) SetMenu(hwnd_, menu);
}

void cNeoCaption::Attach(HWND form, HBITMAP PicCaption, HBITMAP PicBorder, int32_t lButtonWidth,
                         int32_t lButtonHeight, int32_t lActiveLeftEnd, int32_t lActiveRightStart,
                         int32_t lActiveRightEnd, int32_t lInactiveOffset) {
    // No window-update lock here: the frame is recomputed and painted once, by Display below.
    Detach();
    captionSkin_ = cMemDC();
    captionSkin_.CreateFromPicture(PicCaption);
    borderSkin_ = cMemDC();
    borderSkin_.CreateFromPicture(PicBorder);
    captionWork_ = cMemDC();
    sideWork_ = cMemDC();
    for (bool& pressed : pressed_) pressed = false;

    skin_.captionHeight = PictureSize(PicCaption).cy;
    skin_.borderSize = PictureSize(PicBorder).cy;
    skin_.buttonWidth = lButtonWidth;
    skin_.buttonHeight = lButtonHeight;
    skin_.activeLeftEnd = lActiveLeftEnd;
    skin_.activeRightStart = lActiveRightStart;
    skin_.activeRightEnd = lActiveRightEnd;
    skin_.inactiveOffset = lInactiveOffset;
    skin_.dpi = dpi_;
    hwnd_ = form;

    menuBar_ = std::make_unique<cMenuBar>();
    menuBar_->Attach(hwnd_);
    menuBar_->SetMenuFont(menuFont_);
    menuBar_->SetMenuColors(activeMenuColor_, activeMenuColorOver_, inActiveMenuColor_,
                            menuBackgroundColor_);
    menuBar_->CaptionHeight(skin_.captionHeight);
    menuBar_->Metrics(ComputeMenuMetrics(skin_.dpi));

    engine_ = std::make_unique<cNCCalcSize>();
    engine_->Attach(this);
    engine_->Display(hwnd_);

    if (IsWindowVisible(hwnd_)) {
        SetForegroundWindow(hwnd_);
        SetFocus(hwnd_);
        SendMessageW(hwnd_, WM_NCACTIVATE, TRUE, 0);
    }
}

void cNeoCaption::DrawCaptionButton(HDC hdc, int index, int state) {
    if (index < 0 || index >= kButtonCount || !layout_.buttons[index].present) return;
    const auto& button = layout_.buttons[index];
    int32_t sourceX = button.sourceX;
    if (index == kMaxButton) {
        const bool maximized = (GetWindowLongPtrW(hwnd_, GWL_STYLE) & WS_MAXIMIZE) != 0;
        sourceX = ButtonImageX(skin_, index, maximized);
    }
    BitBlt(hdc, button.rect.left, button.rect.top, skin_.buttonWidth, skin_.buttonHeight,
           captionSkin_.hdc(), sourceX, state == 1 ? skin_.buttonHeight : 0, SRCCOPY);
}

void cNeoCaption::NCPaint(HDC hdc, int32_t lLeft, int32_t lTop, int32_t lRight, int32_t lBottom) {
    const int32_t C = skin_.captionHeight, B = skin_.borderSize;
    if (!captionSkin_.hdc() || !borderSkin_.hdc() || C <= 0 || B <= 0) return;
    captionWork_.Width(lRight - lLeft + 1);
    captionWork_.Height(C);
    sideWork_.Width(2 * B);
    sideWork_.Height(lBottom - lTop + 1);
    const HDC work = captionWork_.hdc(), skin = captionSkin_.hdc();
    if (!work || !sideWork_.hdc()) return;

    LOGFONTW logFont = FontToLogFont(captionFont_, hdc);
    const GdiHandle<HFONT> captionFont(CreateFontIndirectW(&logFont));
    const SelectScope selectFont(work, captionFont.get());

    const bool active = engine_ && engine_->WindowActive();
    const DWORD style = static_cast<DWORD>(GetWindowLongPtrW(hwnd_, GWL_STYLE));
    layout_ = ComputeCaptionLayout(skin_, lRight - lLeft, lBottom - lTop, style, active);
    const int32_t off = layout_.sourceOffset;

    // The band: left end, right end, buttons, then the middle repeated in between.
    BitBlt(work, lLeft, lTop, lLeft + skin_.activeLeftEnd, C, skin, off, 0, SRCCOPY);
    BitBlt(work, layout_.xr, lTop, layout_.cw, C, skin, skin_.activeRightStart + off, 0, SRCCOPY);
    for (int i = 0; i < kButtonCount; ++i) DrawCaptionButton(work, i, 0);
    for (const auto& piece : layout_.middle)
        BitBlt(work, piece.x, 0, piece.width, C, skin, skin_.activeLeftEnd + off + 1, 0, SRCCOPY);

    if (!layout_.narrow) {
        const int length = GetWindowTextLengthW(hwnd_);
        if (length >= 1) {
            std::wstring title(static_cast<size_t>(length) + 1, L'\0');
            const int copied = GetWindowTextW(hwnd_, title.data(), length + 1);
            title.resize(copied > 0 ? static_cast<size_t>(copied) : 0);
            SetBkMode(work, TRANSPARENT);
            SetTextColor(work,
                         TranslateColor(active ? activeCaptionColor_ : inActiveCaptionColor_));
            TEXTMETRICW metrics = {};
            GetTextMetricsW(work, &metrics);
            RECT rect = FitTitle(layout_, skin_, metrics.tmHeight);
            DrawTextW(work, title.c_str(), -1, &rect,
                      DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
        }
    }

    if (menuBar_) {
        if (engine_) menuBar_->hMenu(engine_->hMenu());
        logFont.lfWeight = FW_NORMAL;
        const GdiHandle<HFONT> menuFont(CreateFontIndirectW(&logFont));
        const auto& m = layout_.menu;
        menuBar_->Render(menuFont.get(), work, m.left, m.top, m.width, m.height, m.yOffset);
    }

    BitBlt(hdc, 0, 0, captionWork_.Width(), captionWork_.Height(), work, 0, 0, SRCCOPY);
    PaintSides(hdc, lLeft, lTop, lRight, lBottom);
    PaintBottom(hdc, lLeft, lRight, lBottom);
}

void cNeoCaption::PaintSides(HDC hdc, int32_t lLeft, int32_t lTop, int32_t lRight,
                             int32_t lBottom) {
    const int32_t C = skin_.captionHeight, B = skin_.borderSize;
    const HDC side = sideWork_.hdc();
    const int32_t top = lTop + C;
    // One tile of each edge, then the part built so far copied below itself, doubling each time.
    BitBlt(side, 0, top, B, B, borderSkin_.hdc(), 0, 0, SRCCOPY);
    BitBlt(side, B, top, B, B, borderSkin_.hdc(), 4 * B, 0, SRCCOPY);
    int32_t next = top + B;
    for (int32_t band = B; next < lBottom - B; band *= 2) {
        BitBlt(side, 0, next, 2 * B, band, side, 0, top, SRCCOPY);
        next += band;
    }
    const int32_t height = lBottom - lTop - C;
    BitBlt(hdc, lLeft, top, B, height, side, 0, top, SRCCOPY);
    BitBlt(hdc, lRight - B, top, B, height, side, B, top, SRCCOPY);
}

void cNeoCaption::PaintBottom(HDC hdc, int32_t lLeft, int32_t lRight, int32_t lBottom) {
    const int32_t C = skin_.captionHeight, B = skin_.borderSize;
    const HDC work = captionWork_.hdc(), tiles = borderSkin_.hdc();
    // Built in the top rows of the band's surface, which has already been copied out.
    BitBlt(work, lLeft + B, 0, B, B, tiles, 3 * B, 0, SRCCOPY);
    for (int32_t x = lLeft + 2 * B; x < lRight - B; x += B)
        BitBlt(work, x, 0, B, B, work, x - B, 0, SRCCOPY);
    BitBlt(work, lLeft, 0, B, B, tiles, 2 * B, 0, SRCCOPY);
    BitBlt(work, lRight - B, 0, B, B, tiles, 6 * B, 0, SRCCOPY);
    const int32_t yb = lBottom - B < C ? C : lBottom - B;
    BitBlt(hdc, lLeft, yb, captionWork_.Width(), B, work, 0, 0, SRCCOPY);
}

void cNeoCaption::HitTest(int32_t x, int32_t y, int32_t& eHitTest) {
    const POINT point = {x, y};
    if (PtInRect(&layout_.iconArea, point)) {
        eHitTest = HTSYSMENU;
        return;
    }
    // The caption's drag zone ends where the menu row starts: the bar takes the clicks there.
    if (eHitTest == HTCAPTION && y >= layout_.menu.top) eHitTest = HTCLIENT;
    bool hover[kButtonCount] = {};
    for (int i = 0; i < kButtonCount; ++i) {
        if (!layout_.buttons[i].present) continue;
        hover[i] = PtInRect(&layout_.buttons[i].rect, point) != FALSE;
        // Over a button the engine must not start its own caption handling.
        if (hover[i]) eHitTest = HTSYSMENU;
    }
    // A pressed button the pointer has left looks released (and stays so if it comes back).
    WindowDC dc(hwnd_, DcArea::WholeWindow);
    if (!dc.get()) return;
    for (int i = 0; i < kButtonCount; ++i)
        if (layout_.buttons[i].present && hover[i] != pressed_[i])
            DrawCaptionButton(dc.get(), i, 0);
}

void cNeoCaption::NCMouseDown(int32_t x, int32_t y, bool& bHandled, HDC hdc, int32_t, int32_t,
                              int32_t, int32_t) {
    const POINT point = {x, y};
    for (int i = 0; i < kButtonCount; ++i) {
        if (!layout_.buttons[i].present || !PtInRect(&layout_.buttons[i].rect, point)) continue;
        DrawCaptionButton(hdc, i, 1);
        pressed_[i] = true;
        bHandled = true;
    }
}

void cNeoCaption::NCMouseUp(int32_t x, int32_t y, HDC hdc, int32_t, int32_t, int32_t, int32_t) {
    const POINT point = {x, y};
    for (int i = 0; i < kButtonCount; ++i) {
        const auto& button = layout_.buttons[i];
        if (!button.present || !pressed_[i] || !PtInRect(&button.rect, point)) continue;
        UINT command = button.command;
        if (i == kMaxButton)
            command =
                (GetWindowLongPtrW(hwnd_, GWL_STYLE) & WS_MAXIMIZE) ? SC_RESTORE : SC_MAXIMIZE;
        if (engine_) engine_->SysCommand(static_cast<int32_t>(command));
    }
    for (int i = 0; i < kButtonCount; ++i) {
        DrawCaptionButton(hdc, i, 0);
        pressed_[i] = false;
    }
}

void cNeoCaption::InitMenuPopup(WPARAM wParam, LPARAM) {
    if (menuBar_) menuBar_->PreparePopup(reinterpret_cast<HMENU>(wParam));
}

void cNeoCaption::ExitMenuLoop() {
    if (menuBar_) menuBar_->RestorePopups();
}

bool cNeoCaption::AltKeyAccelerator(int32_t vKey) {
    return menuBar_ && menuBar_->OpenByMnemonic(vKey);
}

}  // namespace quenlor
