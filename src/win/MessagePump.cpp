#include "win/MessagePump.h"

namespace quenlor {

void MessagePump::Dispatch(HWND dialog_window, MSG& message) {
    if (dialog_window && IsWindow(dialog_window)) {
        // Shortcuts first: the dialog keys would take Esc and Enter otherwise.
        const bool in_window =
            message.hwnd == dialog_window || IsChild(dialog_window, message.hwnd);
        if (message.message == WM_KEYDOWN && in_window &&
            SendMessageW(dialog_window, kTranslateShortcut, 0,
                         reinterpret_cast<LPARAM>(&message)) != 0)
            return;
        if (IsDialogMessageW(dialog_window, &message)) return;
    }
    TranslateMessage(&message);
    DispatchMessageW(&message);
}

void MessagePump::Pump() {
    PumpPending(window_);
}

bool MessagePump::PumpPending(HWND dialog_window) {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            // Leave the quit request for the main loop, which is below us on the stack.
            PostQuitMessage(static_cast<int>(message.wParam));
            return false;
        }
        Dispatch(dialog_window, message);
    }
    return true;
}

}  // namespace quenlor
