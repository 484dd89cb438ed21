// The window-procedure thunk: binding at WM_NCCREATE, unbinding at WM_NCDESTROY, and the barrier
// that turns a handler's exception into the system's default processing.
#include <gtest/gtest.h>

#include <windows.h>

#include <functional>
#include <stdexcept>
#include <vector>

#include "win/WindowThunk.h"

namespace quenlor {
namespace {

constexpr UINT kAsk = WM_APP + 7;  // answered 42 by a working handler

struct ThunkedWindow {
    HWND bound = nullptr;
    bool unbound = false;
    UINT throwOn = 0;
    bool throwOther = false;  // throw something that is not a std::exception
    std::vector<UINT> seen;

    void BindWindow(HWND hwnd) { bound = hwnd; }
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
        seen.push_back(message);
        if (message == throwOn) {
            if (throwOther) throw 7;
            throw std::runtime_error("handler failed");
        }
        if (message == kAsk) return 42;
        return DefWindowProcW(bound, message, wParam, lParam);
    }
    void UnbindWindow() {
        unbound = true;
        bound = nullptr;
    }
};

const wchar_t* ThunkedClass() {
    static const bool registered = [] {
        WNDCLASSW wc{};
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpfnWndProc = &WindowThunk<ThunkedWindow>;
        wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
        wc.lpszClassName = L"Quenlor.Test.Thunked";
        return RegisterClassW(&wc) != 0;
    }();
    return registered ? L"Quenlor.Test.Thunked" : nullptr;
}

// Children of one visible parent: they can paint, and are destroyed quickly.
HWND Parent() {
    static HWND parent = CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 0, 0, 120, 60,
                                         nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    return parent;
}

HWND CreateThunked(ThunkedWindow* object) {
    return CreateWindowExW(0, ThunkedClass(), L"", WS_CHILD | WS_VISIBLE, 0, 0, 50, 30, Parent(),
                           nullptr, GetModuleHandleW(nullptr), object);
}

TEST(WindowThunk, BindsAtCreationAndServesTheObject) {
    ThunkedWindow object;
    const HWND hwnd = CreateThunked(&object);
    ASSERT_NE(hwnd, nullptr);
    EXPECT_EQ(object.bound, hwnd);
    ASSERT_FALSE(object.seen.empty());
    EXPECT_EQ(object.seen.front(), static_cast<UINT>(WM_NCCREATE));  // nothing before the bind
    EXPECT_EQ(SendMessageW(hwnd, kAsk, 0, 0), 42);
    DestroyWindow(hwnd);
    EXPECT_TRUE(object.unbound);
    EXPECT_EQ(object.seen.back(), static_cast<UINT>(WM_NCDESTROY));

    // Without an object to serve, the class makes no window.
    EXPECT_EQ(CreateThunked(nullptr), nullptr);
}

TEST(WindowThunk, AHandlersExceptionGetsDefaultProcessingAndIsReported) {
    struct Case {
        const char* name;
        UINT throwOn;
        bool throwOther;
        std::function<void(HWND)> trigger;
        std::function<void(HWND, const ThunkedWindow&)> check;
    } kCases[] = {
        {"sent message answers as the default procedure", kAsk, false,
         [](HWND hwnd) { EXPECT_EQ(SendMessageW(hwnd, kAsk, 0, 0), 0); },
         [](HWND hwnd, const ThunkedWindow&) { EXPECT_TRUE(IsWindow(hwnd)); }},
        {"failed paint is validated, not repeated", WM_PAINT, false,
         [](HWND hwnd) {
             InvalidateRect(hwnd, nullptr, TRUE);
             UpdateWindow(hwnd);
         },
         [](HWND hwnd, const ThunkedWindow&) {
             EXPECT_FALSE(GetUpdateRect(hwnd, nullptr, FALSE));
         }},
        {"failed creation handler still makes the window", WM_CREATE, false, [](HWND) {},
         [](HWND hwnd, const ThunkedWindow& object) {
             EXPECT_TRUE(IsWindow(hwnd));
             EXPECT_EQ(object.bound, hwnd);
         }},
        {"failed destruction handler still unbinds", WM_NCDESTROY, false,
         [](HWND hwnd) { DestroyWindow(hwnd); },
         [](HWND hwnd, const ThunkedWindow& object) {
             EXPECT_FALSE(IsWindow(hwnd));
             EXPECT_TRUE(object.unbound);
         }},
        {"anything thrown is caught", kAsk, true,
         [](HWND hwnd) { EXPECT_EQ(SendMessageW(hwnd, kAsk, 0, 0), 0); },
         [](HWND hwnd, const ThunkedWindow&) { EXPECT_TRUE(IsWindow(hwnd)); }},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.name);
        ThunkedWindow object;
        object.throwOn = c.throwOn;
        object.throwOther = c.throwOther;
        const int failuresBefore = CallbackFailureCount();
        const HWND hwnd = CreateThunked(&object);
        ASSERT_NE(hwnd, nullptr);
        c.trigger(hwnd);
        c.check(hwnd, object);
        EXPECT_EQ(CallbackFailureCount(), failuresBefore + 1);
        EXPECT_EQ(LastCallbackFailure(),
                  c.throwOther ? "WindowProc: unknown exception" : "WindowProc: handler failed");
        if (IsWindow(hwnd)) {
            object.throwOn = 0;  // the program carries on: the window serves the next message
            EXPECT_EQ(SendMessageW(hwnd, kAsk, 0, 0), 42);
            DestroyWindow(hwnd);
        }
        EXPECT_TRUE(object.unbound);
    }
}

}  // namespace
}  // namespace quenlor
