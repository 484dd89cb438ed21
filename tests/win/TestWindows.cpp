#include "tests/win/TestWindows.h"

#include <cstdio>
#include <stdexcept>

namespace quenlor::test {
namespace {

template <LRESULT kResult>
LRESULT CALLBACK LoggingProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == kMsgA || msg == kMsgB || msg == kMsgC) {
        const char* name = kResult == kBaseResult ? "base" : "other";
        CallLog().push_back(std::string(name) + ":" + std::to_string(msg) + ":" +
                            std::to_string(wParam));
        if (OnWindowProc()) OnWindowProc()(hwnd, msg);
        return kResult + static_cast<LRESULT>(wParam);
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

const wchar_t* ClassName(bool other) {
    static const bool registered = [] {
        WNDCLASSW wc{};
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpfnWndProc = &LoggingProc<kBaseResult>;
        wc.lpszClassName = L"Quenlor.Test.Base";
        bool ok = RegisterClassW(&wc) != 0;
        wc.lpfnWndProc = &LoggingProc<kOtherResult>;
        wc.lpszClassName = L"Quenlor.Test.Other";
        return ok && RegisterClassW(&wc) != 0;
    }();
    if (!registered) throw std::runtime_error("cannot register the test window classes");
    return other ? L"Quenlor.Test.Other" : L"Quenlor.Test.Base";
}

}  // namespace

std::function<void(HWND, UINT)>& OnWindowProc() {
    static std::function<void(HWND, UINT)> action;
    return action;
}

std::vector<std::string>& CallLog() {
    static std::vector<std::string> log;
    return log;
}

TestWindow::TestWindow(bool other, bool messageOnly) {
    hwnd_ = CreateWindowExW(0, ClassName(other), L"test", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100,
                            messageOnly ? HWND_MESSAGE : nullptr, nullptr,
                            GetModuleHandleW(nullptr), nullptr);
    if (!hwnd_) throw std::runtime_error("cannot create a test window");
    proc_ = other ? &LoggingProc<kOtherResult> : &LoggingProc<kBaseResult>;
}

TestWindow::~TestWindow() {
    DestroyWindow(hwnd_);
}

std::wstring Decimal(HWND hwnd) {
    return std::to_wstring(static_cast<long long>(reinterpret_cast<intptr_t>(hwnd)));
}

}  // namespace quenlor::test
