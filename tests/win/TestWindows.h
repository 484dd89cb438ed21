// Test windows for the subclassing tests: two window classes whose own procedures write to a shared
// call log and answer fixed results, so the tests can see who ran, in which order, and whose
// result a message returned.
#pragma once

#include <windows.h>

#include "tests/support/WindowProperties.h"

#include <functional>
#include <string>
#include <vector>

namespace quenlor::test {

// Registered messages of the test windows; everything else goes to DefWindowProcW.
constexpr UINT kMsgA = WM_APP + 1;
constexpr UINT kMsgB = WM_APP + 2;
constexpr UINT kMsgC = WM_APP + 3;
constexpr LRESULT kBaseResult = 1000;   // class "base" answers kBaseResult + wParam
constexpr LRESULT kOtherResult = 2000;  // class "other" answers kOtherResult + wParam

// Entries like "base:32769:7" (procedure, message, wParam) and whatever handlers append.
std::vector<std::string>& CallLog();

// Run by the windows' own procedures after logging kMsgA..kMsgC (when set): a previous procedure
// that acts on the handlers above it.
std::function<void(HWND, UINT)>& OnWindowProc();

// A hidden window of class "base" or "other", destroyed with the object: top-level, or
// message-only (no display resources, so cheap to create by the thousand).
class TestWindow {
  public:
    explicit TestWindow(bool other = false, bool messageOnly = false);
    TestWindow(const TestWindow&) = delete;
    TestWindow& operator=(const TestWindow&) = delete;
    ~TestWindow();
    HWND hwnd() const { return hwnd_; }
    WNDPROC ClassProc() const { return proc_; }  // the window's own procedure

  private:
    HWND hwnd_ = nullptr;
    WNDPROC proc_ = nullptr;
};

std::wstring Decimal(HWND hwnd);

}  // namespace quenlor::test
