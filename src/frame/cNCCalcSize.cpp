#include "frame/cNCCalcSize.h"

#include <windowsx.h>

#include <cwchar>

#include "frame/NCKeyboardHook.h"
#include "win/MSubclass.h"

namespace quenlor {
namespace {

// The messages the engine handles, in the order they are registered.
constexpr UINT kMessages[] = {WM_NCCALCSIZE,  WM_NCPAINT,         WM_NCACTIVATE,   WM_NCLBUTTONDOWN,
                              WM_NCLBUTTONUP, WM_NCLBUTTONDBLCLK, WM_NCHITTEST,    WM_SETCURSOR,
                              WM_INITMENU,    WM_INITMENUPOPUP,   WM_STYLECHANGED, WM_SETTEXT,
                              WM_ACTIVATEAPP, WM_ENTERMENULOOP,   WM_EXITMENULOOP};

// Screen position of a mouse message; the coordinates are signed (a monitor left of or above the
// primary one has negative ones).
POINT PointOf(LPARAM lParam) {
    return {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
}

LRESULT PassOn(HWND hwnd, UINT iMsg, WPARAM wParam, LPARAM lParam) {
    return MSubclass::CallOldWindowProc(hwnd, iMsg, wParam, lParam);
}

bool IsMDIChildWindow(HWND hwnd) {
    wchar_t name[260] = {};
    GetClassNameW(GetParent(hwnd), name, 260);
    return std::wcscmp(name, L"MDIClient") == 0;
}

}  // namespace

cNCCalcSize::~cNCCalcSize() {
    Detach();
}

void cNCCalcSize::Redraw(HWND hWnd) {
    RedrawWindow(hWnd, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_INTERNALPAINT | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

void cNCCalcSize::Display(HWND form) {
    RedrawWindow(form, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    // Recomputing the frame never activates: a hidden window activated here would hold the focus
    // before it is shown, and the X input focus would not follow it under Wine.
    SetWindowPos(form, nullptr, 0, 0, 0, 0,
                 SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_FRAMECHANGED | SWP_NOOWNERZORDER |
                     SWP_NOACTIVATE);
}

void cNCCalcSize::TitleBarMouseDown() {
    if (!hwnd_) return;
    POINT cursor;
    GetCursorPos(&cursor);
    ReleaseCapture();
    SendMessageW(hwnd_, WM_NCLBUTTONDOWN, HTCAPTION,
                 MAKELPARAM(static_cast<WORD>(cursor.x), static_cast<WORD>(cursor.y)));
}

void cNCCalcSize::SysCommand(int32_t eCmd) {
    if (hwnd_) PostMessageW(hwnd_, WM_SYSCOMMAND, static_cast<WPARAM>(eCmd), 0);
}

void cNCCalcSize::Attach(INCAreaModifier* painter) {
    Detach();
    if (!painter) return;
    hwnd_ = painter->hWnd();
    hMenu_ = GetMenu(hwnd_);
    mdiChild_ = IsMDIChildWindow(hwnd_);
    for (UINT message : kMessages) registrations_.emplace_back(this, hwnd_, message);
    if (mdiChild_) registrations_.emplace_back(this, hwnd_, WM_SIZE);
    registrations_.emplace_back(this, hwnd_, WM_DESTROY);

    defaultSurface_.Width(GetSystemMetrics(SM_CXSCREEN));
    defaultSurface_.Height(4 * GetSystemMetrics(SM_CYCAPTION));
    implementation_.Set(hwnd_, kImplementationProperty, reinterpret_cast<HANDLE>(painter));
    NCKeyboardHook::AttachKeyboardHook(this);
}

void cNCCalcSize::Detach() {
    NCKeyboardHook::DetachKeyboardHook(this);
    for (auto& registration : registrations_) registration.Reset();
    registrations_.clear();
    mdiChild_ = false;
    defaultSurface_ = cMemDC();
    implementation_.Reset();
    hwnd_ = nullptr;
    hMenu_ = nullptr;
}

INCAreaModifier* cNCCalcSize::GetImplementation() const {
    if (!hwnd_) return nullptr;
    return reinterpret_cast<INCAreaModifier*>(GetPropW(hwnd_, kImplementationProperty));
}

bool cNCCalcSize::HandleAltKey(int32_t vKey) {
    INCAreaModifier* painter = GetImplementation();
    return painter && painter->AltKeyAccelerator(vKey);
}

EMsgResponse cNCCalcSize::MsgResponse() {
    switch (MSubclass::CurrentMessage()) {
        case WM_DESTROY:
        case WM_ACTIVATEAPP:
        case WM_NCLBUTTONUP:
            return mrCallOldBefore;
        default:
            // WM_NCCALCSIZE and WM_NCACTIVATE call the previous procedure themselves, once.
            return mrConsume;
    }
}

LRESULT cNCCalcSize::WindowProc(HWND hwnd, UINT iMsg, WPARAM wParam, LPARAM lParam) {
    switch (iMsg) {
        case WM_DESTROY:
            Detach();
            return 0;
        case WM_SIZE: {
            const LRESULT result = PassOn(hwnd, iMsg, wParam, lParam);
            RepaintFrame();
            return result;
        }
        case WM_SETTEXT:
        case WM_STYLECHANGED: {
            const LRESULT result = PassOn(hwnd, iMsg, wParam, lParam);
            if (!inSetCursor_) RepaintFrame();
            return result;
        }
        case WM_NCLBUTTONDBLCLK:
            return OnNCLButtonDblClk(hwnd, wParam, lParam);
        case WM_ACTIVATEAPP:
            appActive_ = wParam != 0;
            return 0;
        case WM_SETCURSOR:
            return OnSetCursor(hwnd, wParam, lParam);
        case WM_NCCALCSIZE:
            return OnNCCalcSize(hwnd, wParam, lParam);
        case WM_NCHITTEST: {
            if (IsIconic(hwnd)) return IconHitTest(hwnd, PointOf(lParam));
            if (!GetImplementation()) return PassOn(hwnd, iMsg, wParam, lParam);
            lastHitTest_ = ComputeHitTest(PointOf(lParam));
            return lastHitTest_ == HTMENU ? HTCLIENT : lastHitTest_;
        }
        case WM_NCPAINT:
            return OnNCPaint(hwnd, wParam, lParam);
        case WM_NCACTIVATE: {
            windowActive_ = wParam != 0;
            // lParam -1: the system keeps its own caption off the frame (the skin is painted next).
            const LRESULT result = PassOn(hwnd, iMsg, wParam, -1);
            RepaintFrame();
            return result;
        }
        case WM_NCLBUTTONDOWN:
            return OnNCLButtonDown(hwnd, wParam, lParam);
        case WM_NCLBUTTONUP:
            OnNCLButtonUp(lParam);
            return 0;
        case WM_INITMENU:
        case WM_ENTERMENULOOP:
        case WM_INITMENUPOPUP:
        case WM_EXITMENULOOP: {
            const std::weak_ptr<char> alive = alive_;
            const LRESULT result = PassOn(hwnd, iMsg, wParam, lParam);
            if (alive.expired()) return result;
            RepaintFrame();
            INCAreaModifier* painter = GetImplementation();
            if (painter && iMsg == WM_INITMENUPOPUP && HIWORD(lParam) == 0)
                painter->InitMenuPopup(wParam, lParam);
            if (painter && iMsg == WM_EXITMENULOOP) painter->ExitMenuLoop();
            return result;
        }
        default:
            return PassOn(hwnd, iMsg, wParam, lParam);
    }
}

LRESULT cNCCalcSize::IconHitTest(HWND hwnd, POINT screen) {
    // A minimised window is all caption, as the system's own are: a double click anywhere on it
    // restores it. (The system answers from a client rectangle that covers all of a window
    // without a standard caption.)
    RECT window = {};
    GetWindowRect(hwnd, &window);
    return PtInRect(&window, screen) ? HTCAPTION : HTNOWHERE;
}

bool cNCCalcSize::IsMaximizedMDIChild() const {
    return mdiChild_ && IsZoomed(hwnd_);
}

void cNCCalcSize::RepaintFrame() {
    if (hwnd_) WindowProc(hwnd_, WM_NCPAINT, 0, 0);
}

LRESULT cNCCalcSize::OnNCCalcSize(HWND hwnd, WPARAM wParam, LPARAM lParam) {
    const LRESULT previous = PassOn(hwnd, WM_NCCALCSIZE, wParam, lParam);
    maximizedMDIChild_ = IsMaximizedMDIChild();
    // A window coming back from its icon may have been activated while it was one, with no
    // WM_NCACTIVATE to follow: the skin is drawn as the window is now.
    const bool iconic = IsIconic(hwnd) != FALSE;
    if (iconic_ && !iconic) windowActive_ = GetActiveWindow() == hwnd;
    iconic_ = iconic;
    // A minimised window is the system's: its strip has no room for the skin's margins.
    if (wParam == 0 || iconic) return previous;
    auto* params = reinterpret_cast<NCCALCSIZE_PARAMS*>(lParam);
    if (!params || !params->lppos) return previous;
    const WINDOWPOS& pos = *params->lppos;
    RECT& client = params->rgrc[0];
    client = {pos.x, pos.y, pos.x + pos.cx, pos.y + pos.cy};

    const int32_t frameX = GetSystemMetrics(SM_CXFRAME), frameY = GetSystemMetrics(SM_CYFRAME);
    margins_ = {frameX, GetSystemMetrics(SM_CYCAPTION) + frameY, frameX, frameY};
    INCAreaModifier* painter = GetImplementation();
    if (!maximizedMDIChild_ && painter) {
        painter->GetLeftMarginWidth(margins_.left);
        painter->GetTopMarginHeight(margins_.top);
        painter->GetRightMarginWidth(margins_.right);
        painter->GetBottomMarginHeight(margins_.bottom);
    }
    client.left += margins_.left;
    client.top += margins_.top;
    client.right -= margins_.right;
    client.bottom -= margins_.bottom;
    params->rgrc[1] = client;
    return WVR_VALIDRECTS;
}

LRESULT cNCCalcSize::OnNCPaint(HWND hwnd, WPARAM wParam, LPARAM lParam) {
    if (!IsWindowVisible(hwnd)) return 0;
    maximizedMDIChild_ = IsMaximizedMDIChild();
    if (maximizedMDIChild_ || IsIconic(hwnd)) return PassOn(hwnd, WM_NCPAINT, wParam, lParam);
    WindowDC dc(hwnd, DcArea::WholeWindow);
    if (!dc.get()) return 0;
    RECT window;
    GetWindowRect(hwnd, &window);
    const int32_t width = window.right - window.left, height = window.bottom - window.top;
    if (INCAreaModifier* painter = GetImplementation()) {
        painter->NCPaint(dc.get(), 0, 0, width, height);
    } else {
        DefaultNCPaint(dc.get(), 0, 0, width, height);
    }
    return 0;
}

POINT cNCCalcSize::ToWindow(POINT screen, SIZE* size) const {
    RECT window = {};
    GetWindowRect(hwnd_, &window);
    if (size) *size = {window.right - window.left, window.bottom - window.top};
    return {screen.x - window.left, screen.y - window.top};
}

int32_t cNCCalcSize::ComputeHitTest(POINT screen) {
    INCAreaModifier* painter = GetImplementation();
    if (!painter) return 0;
    SIZE size;
    const POINT p = ToWindow(screen, &size);
    const bool sizable = (GetWindowLongPtrW(hwnd_, GWL_STYLE) & WS_THICKFRAME) != 0;
    int32_t code =
        FrameHitTest(p.x, p.y, size.cx, size.cy, margins_, sizable, GetSystemMetrics(SM_CYCAPTION));
    painter->HitTest(p.x, p.y, code);
    return code;
}

LRESULT cNCCalcSize::OnNCLButtonDown(HWND hwnd, WPARAM wParam, LPARAM lParam) {
    // On a minimised window a press does nothing of its own (the system would start a move loop
    // and open the window menu, which takes the second click of a double click): the double
    // click restores it, Alt+Space opens its menu.
    if (IsIconic(hwnd)) return 0;
    const POINT screen = PointOf(lParam);
    const int32_t code = ComputeHitTest(screen);
    INCAreaModifier* painter = GetImplementation();
    if (painter && (wParam == HTCAPTION || lastHitTest_ == HTCAPTION)) {
        if (!windowActive_) SetForegroundWindow(hwnd);
        DragWindow();
        return 0;
    }
    // Nudge the pointer by one pixel, back and forth on alternate clicks, so that the system
    // brings the hover state of what lies under it up to date. (Not for a caption drag: the
    // window would follow the nudge.)
    if (nudgeX_ == 0) nudgeX_ = 1;
    if (nudgeY_ == 0) nudgeY_ = 1;
    nudgeX_ = -nudgeX_;
    nudgeY_ = -nudgeY_;
    mouse_event(MOUSEEVENTF_MOVE, static_cast<DWORD>(nudgeX_), static_cast<DWORD>(nudgeY_), 0, 0);
    if (painter) {
        SIZE size;
        const POINT p = ToWindow(screen, &size);
        bool handled = false;
        {
            WindowDC dc(hwnd, DcArea::WholeWindow);
            painter->NCMouseDown(p.x, p.y, handled, dc.get(), 0, 0, size.cx, size.cy);
        }
        if (handled) {
            TrackButtonPress();
            return 0;
        }
    }
    const std::weak_ptr<char> alive = alive_;
    const LRESULT result = PassOn(hwnd, WM_NCLBUTTONDOWN, static_cast<WPARAM>(code), lParam);
    if (!alive.expired()) RepaintFrame();
    return result;
}

LRESULT cNCCalcSize::OnNCLButtonDblClk(HWND hwnd, WPARAM wParam, LPARAM lParam) {
    // A double click on a drawn caption button is a second press of that button, not a double
    // click on the system menu (which would close the window).
    INCAreaModifier* painter = IsIconic(hwnd) ? nullptr : GetImplementation();
    if (painter) {
        SIZE size;
        const POINT p = ToWindow(PointOf(lParam), &size);
        bool handled = false;
        {
            WindowDC dc(hwnd, DcArea::WholeWindow);
            painter->NCMouseDown(p.x, p.y, handled, dc.get(), 0, 0, size.cx, size.cy);
        }
        if (handled) {
            TrackButtonPress();
            return 0;
        }
    }
    const std::weak_ptr<char> alive = alive_;
    const LRESULT result = PassOn(hwnd, WM_NCLBUTTONDBLCLK, wParam, lParam);
    if (!alive.expired() && !inSetCursor_) RepaintFrame();
    return result;
}

void cNCCalcSize::OnNCLButtonUp(LPARAM lParam) {
    // A release alone is no click: a drawn button fires only for a press made on it (tracked by
    // TrackButtonPress), so the painter is not told of a press here.
    INCAreaModifier* painter = GetImplementation();
    if (!painter) return;
    SIZE size;
    const POINT p = ToWindow(PointOf(lParam), &size);
    WindowDC dc(hwnd_, DcArea::WholeWindow);
    painter->NCMouseUp(p.x, p.y, dc.get(), 0, 0, size.cx, size.cy);
}

LRESULT cNCCalcSize::OnSetCursor(HWND hwnd, WPARAM wParam, LPARAM lParam) {
    // The system may draw parts of its own frame while it sets the cursor: it runs with the
    // window marked invisible. The real menu comes off the window here; the painter's menu bar
    // shows it (hMenu) and the painter puts it back when it detaches.
    inSetCursor_ = true;
    const LONG_PTR style = GetWindowLongPtrW(hwnd, GWL_STYLE);
    SetWindowLongPtrW(hwnd, GWL_STYLE, style & ~static_cast<LONG_PTR>(WS_VISIBLE));
    const std::weak_ptr<char> alive = alive_;
    const LRESULT result = PassOn(hwnd, WM_SETCURSOR, wParam, lParam);
    if (GetMenu(hwnd)) SetMenu(hwnd, nullptr);
    SetWindowLongPtrW(hwnd, GWL_STYLE, style);
    if (!alive.expired()) inSetCursor_ = false;
    return result;
}

}  // namespace quenlor
