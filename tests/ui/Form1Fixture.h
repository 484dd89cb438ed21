// A real main window on the desktop, with the dialogs answered by the test.
#pragma once

#include <gtest/gtest.h>
#include <shlobj.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "ui/Form1.h"
#include "tests/ui/UiTestSupport.h"

namespace quenlor::test {

// Drops `names` on the window the way the shell does (a DROPFILES block with wide names in
// movable global memory); the window releases the handle.
inline void Drop(HWND window, const std::vector<std::wstring>& names) {
    std::wstring list;
    for (const std::wstring& name : names) list += name + L'\0';
    list += L'\0';
    const size_t bytes = sizeof(DROPFILES) + list.size() * sizeof(wchar_t);
    HGLOBAL memory = GlobalAlloc(GHND, bytes);
    ASSERT_NE(memory, nullptr);
    auto* header = static_cast<DROPFILES*>(GlobalLock(memory));
    header->pFiles = sizeof(DROPFILES);
    header->pt = {40, 200};
    header->fWide = TRUE;
    std::memcpy(header + 1, list.data(), list.size() * sizeof(wchar_t));
    GlobalUnlock(memory);
    SendMessageW(window, WM_DROPFILES, reinterpret_cast<WPARAM>(memory), 0);
}

class Form1Test : public ::testing::Test {
  protected:
    void SetUp() override { Open(96); }
    void TearDown() override {
        form.reset();
        PumpMessages();
        RegDeleteTreeW(HKEY_CURRENT_USER, settings_key.c_str());
    }

    void Open(int dpi) {
        form.reset();
        form = std::make_unique<Form1>(
            GetModuleHandleW(nullptr),
            Form1::Options{&dialogs, dpi, [this](const std::wstring& a) { opened.push_back(a); },
                           settings_key});
        ASSERT_TRUE(form->Create(SW_SHOWNOACTIVATE));
        form->StatusChanged = [this](const std::wstring& text) {
            statuses.push_back(text);
            if (on_status) on_status(text);
        };
        form->Unloaded = [this] { ++unloaded; };
        PumpMessages();
    }

    Form1::Controls& c() { return form->controls(); }
    FileListView& list() { return form->ListView1(); }
    static std::wstring TextOf(HWND control) {
        wchar_t buffer[1024] = {};
        GetWindowTextW(control, buffer, 1024);
        return buffer;
    }
    bool MenuEnabled(UINT command) const {
        const UINT state = GetMenuState(form->Menu(), command, MF_BYCOMMAND);
        return state != static_cast<UINT>(-1) && !(state & (MF_GRAYED | MF_DISABLED));
    }
    // A control's place in the window's client area.
    RECT ClientRectOf(HWND control) const {
        RECT r;
        GetWindowRect(control, &r);
        MapWindowPoints(nullptr, form->hWnd(), reinterpret_cast<POINT*>(&r), 2);
        return r;
    }
    // Picks `folder` in the folder dialog behind "打开" and waits for the search to end.
    void SearchFolder(const std::wstring& folder) {
        dialogs.folders.push_back(folder);
        ASSERT_TRUE(ClickControl(c().ButtonCr1.hWnd()));
    }
    void TickAllRows() { ASSERT_TRUE(ClickControl(c().Command8.hWnd())); }
    // Ticks every row with "全选", unticking first when some are ticked ("全不选").
    void TickAllRowsAnew() {
        if (c().Command8.Caption() == L"全不选") TickAllRows();
        TickAllRows();
    }
    // Adds rows by hand through the add-file dialog: one multiple selection in `folder`.
    void AddFiles(const std::wstring& folder, const std::vector<std::wstring>& names) {
        std::wstring answer = folder;
        for (const auto& name : names) answer += std::wstring(1, L'\0') + name;
        dialogs.open_files.push_back(answer);
        ASSERT_TRUE(ClickControl(c().Command4.hWnd()));
    }

    FakeDialogs dialogs;
    // The window's kept choices live here, not where the program keeps a person's.
    std::wstring settings_key = L"Software\\Quenlor-test-" + std::to_wstring(GetCurrentProcessId());
    std::vector<std::wstring> opened;  // addresses the About window's link asked the shell for
    std::unique_ptr<Form1> form;
    std::vector<std::wstring> statuses;
    std::function<void(const std::wstring&)> on_status;
    int unloaded = 0;
};

}  // namespace quenlor::test
