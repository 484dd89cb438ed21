#include "MessagePump.h"

namespace quenlor {

void MessagePump::Dispatch(HWND dialog_window, MSG& message) {
    if (dialog_window && IsWindow(dialog_window) && IsDialogMessageW(dialog_window, &message))
        return;
    TranslateMessage(&message);
    DispatchMessageW(&message);
}

void MessagePump::Pump() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            // Leave the quit request for the main loop, which is below us on the stack.
            PostQuitMessage(static_cast<int>(message.wParam));
            return;
        }
        Dispatch(window_, message);
    }
}

}  // namespace quenlor
