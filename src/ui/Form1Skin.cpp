// The main window's skin: its caption, border, caption buttons and menu bar are painted by the
// caption painter from the two skin pictures instead of by the system.
#include "Form1.h"
#include "res/resource.h"

namespace quenlor {
namespace {

// OLE colours: the window's background is the button-face system colour.
constexpr uint32_t kWhite = 0xFFFFFF;
constexpr uint32_t kBlack = 0;
constexpr uint32_t kWindowBackground = 0x80000000u | COLOR_BTNFACE;

}  // namespace

void Form1::ApplySkin(cNeoCaption& painter) {
    painter.ActiveCaptionColor(kWhite);
    painter.InActiveCaptionColor(kWindowBackground);
    painter.ActiveMenuColor(kBlack);
    painter.ActiveMenuColorOver(kBlack);
    painter.InActiveMenuColor(kBlack);
    painter.MenuBackgroundColor(kWindowBackground);
    for (StdFont* font : {&painter.CaptionFont(), &painter.MenuFont()}) {
        font->Name(L"宋体");
        font->Size(9);
    }
    if (!picCaption_)
        picCaption_.Reset(static_cast<HBITMAP>(LoadImageW(
            instance_, MAKEINTRESOURCEW(IDB_PICCAPTION), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    if (!picBorder_)
        picBorder_.Reset(static_cast<HBITMAP>(LoadImageW(instance_, MAKEINTRESOURCEW(IDB_PICBORDER),
                                                         IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    // Without its pictures the skin would paint nothing: the standard frame and menu stay.
    if (!picCaption_ || !picBorder_) return;
    painter.Attach(hwnd_, picCaption_.get(), picBorder_.get(), 19, 20, 90, 140, 240, 400);
}

}  // namespace quenlor
