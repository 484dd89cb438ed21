// Placeholder so the caption painter links before the drawn menu bar lands: draws nothing and
// handles no message. Replaced whole by the menu bar's implementation.
#include "cMenuBar.h"

namespace quenlor {

cMenuBar::cMenuBar() = default;
cMenuBar::~cMenuBar() {
    Detach();
}
void cMenuBar::Attach(HWND lhWnd) {
    window_ = lhWnd;
}
void cMenuBar::Detach() {}
void cMenuBar::Render(HFONT, HDC, int32_t, int32_t, int32_t, int32_t, int32_t) {}
void cMenuBar::SetMenuFont(const StdFont&) {}
void cMenuBar::SetMenuColors(uint32_t, uint32_t, uint32_t, uint32_t) {}
bool cMenuBar::OpenByMnemonic(int32_t) {
    return false;
}
void cMenuBar::PreparePopup(HMENU) {}
void cMenuBar::RestorePopups() {}
LRESULT cMenuBar::WindowProc(HWND, UINT, WPARAM, LPARAM) {
    return 0;
}

}  // namespace quenlor
