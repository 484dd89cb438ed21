// The main window's skin: its caption, border, caption buttons and menu bar are painted by the
// caption painter from the two skin pictures instead of by the system, in the pictures drawn for
// the screen's resolution.
#include "ui/Form1.h"
#include "frame/SkinPicture.h"
#include "ui/res/resource.h"

namespace quenlor {
namespace {

// OLE colours: the window's background is the button-face system colour.
constexpr uint32_t kWhite = 0xFFFFFF;
constexpr uint32_t kBlack = 0;
constexpr uint32_t kWindowBackground = 0x80000000u | COLOR_BTNFACE;

// The skin as designed for 96 DPI: caption picture 48 high, border tiles 10, and the six numbers.
constexpr SkinMetrics kDesignSkin = {48, 10, 19, 20, 90, 140, 240, 400, kDesignDpi};

struct SkinArt {
    int32_t dpi;
    int caption, border;
};
constexpr SkinArt kDrawnSkins[] = {
    {96, IDB_PICCAPTION, IDB_PICBORDER},
    {120, IDB_PICCAPTION_120, IDB_PICBORDER_120},
    {144, IDB_PICCAPTION_144, IDB_PICBORDER_144},
    {192, IDB_PICCAPTION_192, IDB_PICBORDER_192},
};

// A skin picture, enlarged `factor` times pixel for pixel when above 1.
GdiHandle<HBITMAP> LoadSkinPicture(HINSTANCE instance, int id, int32_t factor) {
    GdiHandle<HBITMAP> picture(static_cast<HBITMAP>(
        LoadImageW(instance, MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    return factor > 1 ? EnlargePicture(picture.get(), factor) : std::move(picture);
}

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
    std::vector<int32_t> drawn;
    for (const SkinArt& art : kDrawnSkins) drawn.push_back(art.dpi);
    const SkinChoice choice = ChooseSkin(twips_.dpi(), drawn);
    const SkinArt* art = &kDrawnSkins[0];
    for (const SkinArt& candidate : kDrawnSkins)
        if (candidate.dpi == choice.drawnDpi) art = &candidate;
    if (!picCaption_) picCaption_ = LoadSkinPicture(instance_, art->caption, choice.factor);
    if (!picBorder_) picBorder_ = LoadSkinPicture(instance_, art->border, choice.factor);
    // Without its pictures the skin would paint nothing: the standard frame and menu stay.
    if (!picCaption_ || !picBorder_) return;
    // The caption is the skin's. A window that keeps WS_CAPTION has its top rows left to the window
    // manager by Wine's X11 driver (drawn over, or not drawn at all without one); the system menu
    // and the minimise box stay, and with them the taskbar button, Alt+Space and minimising.
    SetWindowLongPtrW(hwnd_, GWL_STYLE,
                      GetWindowLongPtrW(hwnd_, GWL_STYLE) & ~LONG_PTR(WS_CAPTION));
    const SkinMetrics s = ScaleSkin(kDesignSkin, choice.dpi());
    painter.Dpi(choice.dpi());
    painter.Attach(hwnd_, picCaption_.get(), picBorder_.get(), s.buttonWidth, s.buttonHeight,
                   s.activeLeftEnd, s.activeRightStart, s.activeRightEnd, s.inactiveOffset);
}

}  // namespace quenlor
