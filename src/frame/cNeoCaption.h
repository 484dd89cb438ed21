// cNeoCaption: the skinned caption and border. Paints the caption band, the three caption buttons
// with their pressed look, the title and the menu row from a caption picture, and the side and
// bottom borders from a picture of border tiles. It creates and owns the non-client engine that
// calls it (cNCCalcSize) and the menu bar it draws into the band (cMenuBar).
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>

#include "frame/CaptionLayout.h"
#include "frame/INCAreaModifier.h"
#include "frame/StdFont.h"
#include "frame/cMenuBar.h"
#include "frame/cNCCalcSize.h"
#include "controls/cMemDC.h"

namespace quenlor {

class cNeoCaption final : public INCAreaModifier {
  public:
    cNeoCaption() = default;
    ~cNeoCaption() = default;  // the engine and the menu bar detach as they go
    cNeoCaption(const cNeoCaption&) = delete;
    cNeoCaption& operator=(const cNeoCaption&) = delete;

    // Detaches the engine and the menu bar and puts the real menu back on the window; harmless
    // when not attached.
    void Detach();
    // Skins `form`: copies the two pictures (the caller keeps them), creates the menu bar and the
    // engine, and has the system recompute and repaint the frame. Colours and MenuFont must be set
    // before: the menu bar receives them here.
    void Attach(HWND form, HBITMAP PicCaption, HBITMAP PicBorder, int32_t lButtonWidth,
                int32_t lButtonHeight, int32_t lActiveLeftEnd, int32_t lActiveRightStart,
                int32_t lActiveRightEnd, int32_t lInactiveOffset);

    // The resolution the skin pictures are drawn for (96 unless set before Attach): the painter's
    // own distances (button row, title, icon area, menu bar) scale with it.
    int32_t Dpi() const { return dpi_; }
    void Dpi(int32_t dpi) { dpi_ = dpi > 0 ? dpi : kDesignDpi; }

    // Colours (OLE colours): the title's, and the menu bar's.
    uint32_t MenuBackgroundColor() const { return menuBackgroundColor_; }
    void MenuBackgroundColor(uint32_t oColor) { menuBackgroundColor_ = oColor; }
    uint32_t ActiveCaptionColor() const { return activeCaptionColor_; }
    void ActiveCaptionColor(uint32_t oColor) { activeCaptionColor_ = oColor; }
    uint32_t InActiveCaptionColor() const { return inActiveCaptionColor_; }
    void InActiveCaptionColor(uint32_t oColor) { inActiveCaptionColor_ = oColor; }
    uint32_t ActiveMenuColor() const { return activeMenuColor_; }
    void ActiveMenuColor(uint32_t oColor) { activeMenuColor_ = oColor; }
    uint32_t ActiveMenuColorOver() const { return activeMenuColorOver_; }
    void ActiveMenuColorOver(uint32_t oColor) { activeMenuColorOver_ = oColor; }
    uint32_t InActiveMenuColor() const { return inActiveMenuColor_; }
    void InActiveMenuColor(uint32_t oColor) { inActiveMenuColor_ = oColor; }
    // Fonts, changed in place or replaced.
    StdFont& CaptionFont() { return captionFont_; }
    void CaptionFont(const StdFont& iFnt) { captionFont_ = iFnt; }
    StdFont& MenuFont() { return menuFont_; }
    void MenuFont(const StdFont& iFnt) { menuFont_ = iFnt; }

    // The engine (null before the first Attach) and the layout of the last paint.
    cNCCalcSize* Engine() const { return engine_.get(); }
    cMenuBar* MenuBar() const { return menuBar_.get(); }
    const CaptionLayout& Layout() const { return layout_; }
    const SkinMetrics& Skin() const { return skin_; }

    // Draws a present button's image, normal (state 0) or pressed (1), into `hdc`.
    void DrawCaptionButton(HDC hdc, int index, int state);

    // INCAreaModifier
    HWND hWnd() override { return hwnd_; }
    void GetTopMarginHeight(int32_t& cy) override { cy = skin_.captionHeight; }
    void GetLeftMarginWidth(int32_t& cx) override { cx = skin_.borderSize; }
    void GetRightMarginWidth(int32_t& cx) override { cx = skin_.borderSize; }
    void GetBottomMarginHeight(int32_t& cy) override { cy = skin_.borderSize; }
    void NCPaint(HDC hdc, int32_t lLeft, int32_t lTop, int32_t lRight, int32_t lBottom) override;
    void HitTest(int32_t x, int32_t y, int32_t& eHitTest) override;
    void NCMouseDown(int32_t x, int32_t y, bool& bHandled, HDC hdc, int32_t lLeft, int32_t lTop,
                     int32_t lRight, int32_t lBottom) override;
    void NCMouseUp(int32_t x, int32_t y, HDC hdc, int32_t lLeft, int32_t lTop, int32_t lRight,
                   int32_t lBottom) override;
    void InitMenuPopup(WPARAM wParam, LPARAM lParam) override;
    void ExitMenuLoop() override;
    bool AltKeyAccelerator(int32_t vKey) override;

  private:
    void PaintSides(HDC hdc, int32_t lLeft, int32_t lTop, int32_t lRight, int32_t lBottom);
    void PaintBottom(HDC hdc, int32_t lLeft, int32_t lRight, int32_t lBottom);

    HWND hwnd_ = nullptr;
    int32_t dpi_ = kDesignDpi;
    SkinMetrics skin_;
    CaptionLayout layout_;
    bool pressed_[kButtonCount] = {};
    cMemDC captionSkin_, borderSkin_;  // copies of the two pictures
    cMemDC captionWork_, sideWork_;    // the band and the side columns are composed here
    uint32_t activeCaptionColor_ = 0xCCCCCC;
    uint32_t inActiveCaptionColor_ = 0x999999;
    uint32_t activeMenuColor_ = 0;
    uint32_t activeMenuColorOver_ = 0;
    uint32_t inActiveMenuColor_ = 0x808080;
    uint32_t menuBackgroundColor_ = 0xFFFFFF;
    StdFont captionFont_;
    StdFont menuFont_;
    // Declared last so they go first: both detach from the window before the surfaces go.
    std::unique_ptr<cMenuBar> menuBar_;
    std::unique_ptr<cNCCalcSize> engine_;
};

// The LOGFONT of `font` for the device `hdc` (its LOGPIXELSY).
LOGFONTW FontToLogFont(const StdFont& font, HDC hdc);

}  // namespace quenlor
