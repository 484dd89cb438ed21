// The engine's modal loops: the caption drag and the press on a drawn caption button. Both poll
// the primary mouse button and let the thread's messages run meanwhile.
#include "frame/MouseButtons.h"
#include "frame/cNCCalcSize.h"
#include "win/MessagePump.h"
#include "win/ResourceOwners.h"

namespace quenlor {

void cNCCalcSize::DragWindow() {
    const HWND hwnd = hwnd_;
    const auto windowRect = [hwnd] {
        RECT r = {};
        GetWindowRect(hwnd, &r);
        if (HWND parent = GetParent(hwnd))
            MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
        return r;
    };
    RECT r = windowRect();
    POINT last;
    GetCursorPos(&last);
    const std::weak_ptr<char> alive = alive_;
    while (PrimaryButtonDown() && windowActive_) {
        POINT cursor;
        GetCursorPos(&cursor);
        if (cursor.x != last.x || cursor.y != last.y) {
            SetWindowPos(hwnd, nullptr, r.left + cursor.x - last.x, r.top + cursor.y - last.y, 0, 0,
                         SWP_NOSIZE | SWP_NOZORDER | SWP_NOOWNERZORDER);
            last = cursor;
            r = windowRect();
        }
        const bool quit = !MessagePump::PumpPending();
        // The window or the engine may have gone while messages ran.
        if (quit || alive.expired() || hwnd_ != hwnd || !IsWindow(hwnd)) return;
        Sleep(1);
    }
}

void cNCCalcSize::TrackButtonPress() {
    // As the system does for its own caption buttons: the press is followed until the button goes
    // up, wherever the pointer is then; the painter redraws the button as the pointer leaves it and
    // fires it only when the release is over it.
    const HWND hwnd = hwnd_;
    const std::weak_ptr<char> alive = alive_;
    SetCapture(hwnd);
    const auto gone = [&] { return alive.expired() || hwnd_ != hwnd || !IsWindow(hwnd); };
    while (PrimaryButtonDown()) {
        if (!MessagePump::PumpPending() || gone()) return;
        INCAreaModifier* painter = GetImplementation();
        if (!painter) break;
        POINT cursor;
        GetCursorPos(&cursor);
        const POINT p = ToWindow(cursor, nullptr);
        int32_t code = HTCLIENT;
        painter->HitTest(p.x, p.y, code);
        Sleep(1);
    }
    if (GetCapture() == hwnd) ReleaseCapture();
    INCAreaModifier* painter = GetImplementation();
    if (!painter || gone()) return;
    POINT cursor;
    GetCursorPos(&cursor);
    SIZE size;
    const POINT p = ToWindow(cursor, &size);
    WindowDC dc(hwnd, DcArea::WholeWindow);
    painter->NCMouseUp(p.x, p.y, dc.get(), 0, 0, size.cx, size.cy);
}

}  // namespace quenlor
