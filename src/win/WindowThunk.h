// WindowThunk<Window>: the one window procedure of every window class of ours. The object that
// creates a window passes itself as the creation parameter; WM_NCCREATE binds the window to it,
// every message then goes to its member HandleMessage, and WM_NCDESTROY unbinds it. The calls run
// behind the callback barrier: an exception from a handler is reported and the message gets the
// system's default processing.
//
// A Window class provides:
//   void BindWindow(HWND hwnd);      // WM_NCCREATE, before any handler runs: the window is ours
//   LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);  // every message
//   void UnbindWindow();             // after WM_NCDESTROY's handler: the window is gone
// UnbindWindow is the object's last call from the thunk; it may end the object's life.
#pragma once

#include <windows.h>

#include "win/CallbackBarrier.h"

namespace quenlor {

template <typename Window>
LRESULT CALLBACK WindowThunk(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    const auto fallback = [&] { return DefWindowProcW(hwnd, message, wParam, lParam); };
    Window* self = nullptr;
    if (message == WM_NCCREATE) {
        self = static_cast<Window*>(reinterpret_cast<const CREATESTRUCTW*>(lParam)->lpCreateParams);
        if (self == nullptr) return FALSE;  // only the class's own Create makes these windows
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        self->BindWindow(hwnd);
    } else {
        self = reinterpret_cast<Window*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    }
    if (self == nullptr) return fallback();  // messages before WM_NCCREATE or after unbinding

    const auto handle = [&] { return self->HandleMessage(message, wParam, lParam); };
    if (message != WM_NCDESTROY) return RunGuarded("WindowProc", handle, fallback);

    // The link goes first, so that nothing reaches the object through this window any more.
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    const LRESULT result = RunGuarded("WindowProc", handle, fallback);
    RunGuarded(
        "WindowProc", [&] { return (self->UnbindWindow(), 0); }, [] { return 0; });
    return result;
}

}  // namespace quenlor
