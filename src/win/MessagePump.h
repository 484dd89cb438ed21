// Lets every pending message of the user-interface thread run and returns; the long loops (the
// search, the conversion, a caption drag) call it so the window stays usable while they work.
#pragma once

#include <windows.h>

#include "quenlor/Host.h"

namespace quenlor {

// Sent to the dialog window for every key press in it before the press is dispatched, with the
// MSG in lParam; a non-zero answer means the window used the key as a shortcut.
constexpr UINT kTranslateShortcut = WM_APP + 2;

class MessagePump : public IMessagePump {
  public:
    // Keyboard navigation between the controls of `dialog_window` is kept while pumping.
    explicit MessagePump(HWND dialog_window = nullptr) : window_(dialog_window) {}
    void SetWindow(HWND dialog_window) { window_ = dialog_window; }

    void Pump() override;
    // A check costs about a tenth of a millisecond under Wine while a window is shown, more than
    // a search spends on most files; nobody notices a message waiting this long.
    std::chrono::microseconds CheckGap() const override { return kCheckGap; }
    static constexpr std::chrono::microseconds kCheckGap{2000};

    // Lets every pending message run (through `dialog_window`'s shortcuts and keyboard navigation
    // when given); false when WM_QUIT came, which is posted again for the program's own loop.
    static bool PumpPending(HWND dialog_window = nullptr);

    // One message as the program's main loop handles it.
    static void Dispatch(HWND dialog_window, MSG& message);

  private:
    HWND window_;
};

}  // namespace quenlor
