// What the subclassing tests share: a handler that logs its calls and answers as told, and a
// fixture with a test window of class "base".
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "tests/win/TestWindows.h"
#include "win/MSubclass.h"

namespace quenlor::test {

using MSubclass::AttachMessage;
using MSubclass::CallOldWindowProc;
using MSubclass::CurrentMessage;
using MSubclass::DetachMessage;
using Log = std::vector<std::string>;

inline std::string Entry(const char* who, UINT msg, WPARAM wParam) {
    return std::string(who) + ":" + std::to_string(msg) + ":" + std::to_string(wParam);
}

class Handler : public ISubclass {
  public:
    virtual ~Handler() = default;
    Handler(const char* name, EMsgResponse response, LRESULT result)
        : name_(name), response_(response), result_(result) {}
    EMsgResponse MsgResponse() override { return response_; }
    void MsgResponse(EMsgResponse response) override { response_ = response; }
    LRESULT WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) override {
        CallLog().push_back(Entry(name_, msg, wParam));
        if (onMessage) return onMessage(hwnd, msg, wParam, lParam);
        return result_;
    }
    std::function<LRESULT(HWND, UINT, WPARAM, LPARAM)> onMessage;

  private:
    const char* name_;
    EMsgResponse response_;
    LRESULT result_;
};

class SubclassTest : public ::testing::Test {
  protected:
    void SetUp() override { CallLog().clear(); }
    LRESULT Send(UINT msg, WPARAM wParam = 0) { return SendMessageW(win.hwnd(), msg, wParam, 0); }
    WNDPROC CurrentProc() const {
        return reinterpret_cast<WNDPROC>(GetWindowLongPtrW(win.hwnd(), GWLP_WNDPROC));
    }
    std::wstring Name(const std::wstring& pattern) const {  // '@' stands for the handle
        std::wstring name = pattern;
        name.replace(name.find(L'@'), 1, Decimal(win.hwnd()));
        return name;
    }
    TestWindow win;
};

inline intptr_t Ptr(const ISubclass& handler) {
    return reinterpret_cast<intptr_t>(static_cast<const ISubclass*>(&handler));
}

}  // namespace quenlor::test
