// Support for the main window's tests: a stand-in for the system dialogs, projector files on disk,
// and input the way the controls receive it from a person.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <climits>
#include <cstdint>
#include <functional>
#include <deque>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "tests/support/Input.h"
#include "tests/support/Pump.h"
#include "ui/Dialogs.h"

namespace quenlor::test {

namespace fs = std::filesystem;

// Answers the dialogs from queues and records what the window asked.
class FakeDialogs : public IDialogs {
  public:
    std::deque<std::wstring> folders;     // answers of BrowseForFolder ("" = cancelled)
    std::deque<std::wstring> open_files;  // answers of OpenFile ("" = cancelled)
    std::vector<std::wstring> prompts;
    std::vector<OpenFileRequest> open_requests;
    struct Message {
        std::wstring text, title;
    };
    std::vector<Message> messages;

    std::vector<std::wstring> start_folders;  // where each folder dialog was asked to open
    std::wstring BrowseForFolder(HWND, const std::wstring& prompt,
                                 const std::wstring& start_folder) override {
        prompts.push_back(prompt);
        start_folders.push_back(start_folder);
        return Pop(folders);
    }
    std::wstring OpenFile(HWND, const OpenFileRequest& request) override {
        open_requests.push_back(request);
        return Pop(open_files);
    }
    std::deque<std::wstring> save_files;  // answers of SaveFile ("" = cancelled)
    std::vector<SaveFileRequest> save_requests;
    std::wstring SaveFile(HWND, const SaveFileRequest& request) override {
        save_requests.push_back(request);
        return Pop(save_files);
    }
    void ShowMessage(HWND, const std::wstring& text, const std::wstring& title) override {
        messages.push_back({text, title});
    }

  private:
    static std::wstring Pop(std::deque<std::wstring>& queue) {
        if (queue.empty()) return std::wstring();
        std::wstring answer = queue.front();
        queue.pop_front();
        return answer;
    }
};

// A fresh folder, removed with its content at the end of the test.
class TempFolder {
  public:
    TempFolder() {
        std::random_device random;
        for (;;) {
            path_ = fs::temp_directory_path() / ("quenlor-ui-" + std::to_string(random()));
            if (fs::create_directory(path_)) break;
        }
    }
    ~TempFolder() {
        std::error_code error;
        fs::remove_all(path_, error);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    // The folder as a folder dialog returns it: no trailing backslash.
    std::wstring Text() const { return path_.wstring(); }
    std::wstring Path(const std::wstring& relative) const { return (path_ / relative).wstring(); }
    bool Exists(const std::wstring& relative) const { return fs::exists(path_ / relative); }
    uintmax_t Size(const std::wstring& relative) const { return fs::file_size(path_ / relative); }

    // A projector: `stub` bytes of player, then an uncompressed movie of `body` more bytes after
    // the signature and version byte.
    void WriteProjector(const std::wstring& relative, size_t stub, unsigned char version = 6,
                        size_t body = 40) const {
        std::vector<char> bytes(stub, 'P');
        bytes.insert(bytes.end(), {'F', 'W', 'S', static_cast<char>(version)});
        for (size_t i = 0; i < body; ++i) bytes.push_back(static_cast<char>('a' + i % 26));
        Write(relative, bytes);
    }
    void Write(const std::wstring& relative, const std::vector<char>& bytes) const {
        const fs::path file = path_ / relative;
        fs::create_directories(file.parent_path());
        std::ofstream out(file, std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }

  private:
    fs::path path_;
};

// A left click on a control as the system delivers it: nothing reaches a disabled window.
inline bool ClickControl(HWND control, int x = 4, int y = 4) {
    if (!IsWindowEnabled(control) || !IsWindowVisible(control)) return false;
    const LPARAM where = MAKELPARAM(x, y);
    SendMessageW(control, WM_LBUTTONDOWN, MK_LBUTTON, where);
    SendMessageW(control, WM_LBUTTONUP, 0, where);
    return true;
}

// Ticks or unticks a row (1-based) by clicking its check box.
inline bool ClickRowCheckBox(HWND list, int row) {
    RECT bounds = {};
    bounds.left = LVIR_BOUNDS;
    if (!SendMessageW(list, LVM_GETITEMRECT, row - 1, reinterpret_cast<LPARAM>(&bounds)))
        return false;
    const int y = (bounds.top + bounds.bottom) / 2;
    for (int x = bounds.left; x < bounds.left + 40; ++x) {
        LVHITTESTINFO hit = {};
        hit.pt = {x, y};
        SendMessageW(list, LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit));
        if (hit.iItem == row - 1 && (hit.flags & LVHT_ONITEMSTATEICON)) {
            SendMessageW(list, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
            SendMessageW(list, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
            return true;
        }
    }
    return false;
}

// Adds a row (1-based) to the list's selection.
inline void SelectRow(HWND list, int row, UINT state = LVIS_SELECTED) {
    LVITEMW item = {};
    item.stateMask = state;
    item.state = state;
    SendMessageW(list, LVM_SETITEMSTATE, row - 1, reinterpret_cast<LPARAM>(&item));
}

// Toggles a row's tick from the keyboard: focus the row, press Space.
inline void PressSpaceOnRow(HWND list, int row) {
    SetFocus(list);
    SelectRow(list, row, LVIS_FOCUSED | LVIS_SELECTED);
    SendMessageW(list, WM_KEYDOWN, VK_SPACE, 0x00390001);
    SendMessageW(list, WM_CHAR, L' ', 0x00390001);
    SendMessageW(list, WM_KEYUP, VK_SPACE, 0xC0390001);
}

// How many messages `window` is sent while `action` runs on this thread.
inline int CountMessagesTo(HWND window, const std::function<void()>& action) {
    static HWND watched;
    static int count;
    watched = window;
    count = 0;
    HHOOK hook = SetWindowsHookExW(
        WH_CALLWNDPROC,
        [](int code, WPARAM wparam, LPARAM lparam) -> LRESULT {
            if (code >= 0 && reinterpret_cast<const CWPSTRUCT*>(lparam)->hwnd == watched) ++count;
            return CallNextHookEx(nullptr, code, wparam, lparam);
        },
        nullptr, GetCurrentThreadId());
    action();
    if (hook) UnhookWindowsHookEx(hook);
    return hook ? count : INT_MAX;
}

}  // namespace quenlor::test
