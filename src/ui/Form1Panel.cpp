// What the commands read and set on the main window: the start check, the menu items, the status
// line and the batch options.
#include "ui/Form1.h"

#include <commctrl.h>

#include <utility>

#include "ui/DroppedFiles.h"
#include "ui/MainMenu.h"
#include "ui/Shortcuts.h"
#include "ui/SizeFormat.h"
#include "quenlor/FileSystem.h"
#include "quenlor/Text.h"
#include "ui/res/resource.h"

namespace quenlor {

void Form1::MABOUT_Click() {
    // One About window at a time: a second request brings the open one to the front.
    if (Form2* about = About()) {
        SetActiveWindow(about->hWnd());
        return;
    }
    if (!hwnd_) return;
    about_ = std::make_unique<Form2>(instance_, Form2::Options{open_address_, twips_.dpi()});
    about_->Show(hwnd_);
}

bool Form1::MayStart() const {
    // The About window, while open, keeps the main window's commands for itself.
    return hwnd_ && !Busy() && !unload_pending_ && !About();
}

void Form1::UpdateStartCommands() {
    const bool idle = !Busy();
    controls_.ButtonCr1.Enabled(idle);
    SetMenuEnabled(kMenuMOFDr, idle);
}

void Form1::SetMenuEnabled(UINT command, bool enabled) {
    if (menu_)
        EnableMenuItem(menu_.get(), command, MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
}

std::wstring Form1::TextOf(HWND control) const {
    if (!control) return std::wstring();
    const int length = GetWindowTextLengthW(control);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    const int copied = GetWindowTextW(control, text.data(), length + 1);
    text.resize(copied > 0 ? static_cast<size_t>(copied) : 0);
    return text;
}

void Form1::SetStatus(const std::wstring& text) {
    status_ = text;
    if (StatusChanged) StatusChanged(text);
    if (!hwnd_) return;
    if (status_held_) {  // the timer draws the latest text
        status_stale_ = true;
        return;
    }
    // A search or a conversion changes the line with every folder or file, faster than anyone
    // reads it, and each drawing is a paint of the window's panel: the line is drawn at once,
    // then at most every kStatusMilliseconds, and as it ends.
    if (Busy() && StartTimer(status_timer_, kStatusMilliseconds, [this] { ShowHeldStatus(); }))
        status_held_ = true;
    InvalidateStatus();
}

void Form1::ShowHeldStatus() {
    if (status_timer_) status_timer_->Interval(0);
    status_held_ = false;
    if (std::exchange(status_stale_, false) && hwnd_) InvalidateStatus();
}

void Form1::InvalidateStatus() {
    // Both copies of the engraved status line, with the box around them.
    const RECT area = StatusBox();
    InvalidateRect(hwnd_, &area, TRUE);
}

bool Form1::AutoSave() const {
    return controls_.Check1 && SendMessageW(controls_.Check1, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

bool Form1::DeleteSource() const {
    return controls_.Check2 && SendMessageW(controls_.Check2, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

std::wstring Form1::SaveDirText() const {
    return TextOf(controls_.Text2);
}

void Form1::SetStopEnabled(bool enabled) {
    controls_.Command6.Enabled(enabled);
}

void Form1::SetConvertEnabled(bool enabled) {
    controls_.Command7.Enabled(enabled);
}

void Form1::ShowMessage(const std::wstring& text, const std::wstring& title) {
    dialogs_.ShowMessage(hwnd_, text, title);
}

std::wstring Form1::FormatSize(uint64_t bytes) const {
    return FormatByteCount(bytes);
}

}  // namespace quenlor
