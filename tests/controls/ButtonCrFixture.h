// ButtonCr in a real window under the real input queue: the mouse is driven with SendInput (moves
// with absolute coordinates, presses and releases at the cursor), keys with SendInput too; looks
// are read back as pixel colours from the button's window.
#pragma once

#include "controls/ButtonCr.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

#include "tests/support/Input.h"
#include "tests/support/Pump.h"

namespace quenlor::test {

inline constexpr COLORREF kNormal[2] = {RGB(204, 204, 204), RGB(153, 153, 153)};
inline constexpr COLORREF kHover[2] = {RGB(238, 222, 221), RGB(119, 119, 119)};
inline constexpr COLORREF kPressed[2] = {RGB(136, 136, 136), RGB(221, 221, 221)};

enum class Look { Normal, Hover, Pressed, Other };

inline const char* Name(Look look) {
    switch (look) {
        case Look::Normal:
            return "normal";
        case Look::Hover:
            return "hover";
        case Look::Pressed:
            return "pressed";
        default:
            return "other";
    }
}

inline LRESULT CALLBACK HostProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_ERASEBKGND) {
        RECT rc;
        GetClientRect(hWnd, &rc);
        FillRect(reinterpret_cast<HDC>(wParam), &rc, GetSysColorBrush(COLOR_WINDOW));
        return 1;
    }
    return DefWindowProcW(hWnd, message, wParam, lParam);
}

class ButtonCrTest : public ::testing::Test {
  protected:
    static constexpr int kX = 20, kY = 20, kW = 57, kH = 25;  // 855 x 375 twips at 96 DPI

    // One host for the suite: destroying a top-level window costs seconds under Wine.
    static void SetUpTestSuite() {
        HINSTANCE instance = GetModuleHandleW(nullptr);
        WNDCLASSW wc{};
        wc.lpfnWndProc = HostProc;
        wc.hInstance = instance;
        wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
        wc.lpszClassName = L"ButtonCrTestHost";
        RegisterClassW(&wc);
        host_ = CreateWindowExW(WS_EX_TOPMOST, wc.lpszClassName, L"host", WS_POPUP | WS_VISIBLE,
                                100, 100, 300, 200, nullptr, nullptr, instance, nullptr);
        // Crisp glyphs, so caption pixels carry exactly the text colours.
        font_ = CreateFontW(-12, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                            OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, NONANTIALIASED_QUALITY,
                            DEFAULT_PITCH, L"宋体");
    }
    static void TearDownTestSuite() {
        if (host_) DestroyWindow(host_);
        if (font_) DeleteObject(font_);
        host_ = nullptr;
        font_ = nullptr;
    }

    void SetUp() override {
        ASSERT_NE(host_, nullptr);
        ASSERT_NE(font_, nullptr);
        SetForegroundWindow(host_);
        ASSERT_NE(button_.Create(host_, 7, kX, kY, kW, kH, L"转换"), nullptr);
        SendMessageW(button_.hWnd(), WM_SETFONT, reinterpret_cast<WPARAM>(font_), TRUE);
        button_.Click = [this] { ++clicks_; };
        MoveTo(Outside());
        PumpFor(50);
    }

    void TearDown() override {
        SendMouse(MOUSEEVENTF_LEFTUP);
        SendMouse(MOUSEEVENTF_RIGHTUP);
        PumpFor(20);
        button_.Click = nullptr;
        if (button_.hWnd()) DestroyWindow(button_.hWnd());
    }

    POINT Inside(int dx = 0) const { return ScreenPoint(kX + kW / 2 + dx, kY + kH / 2); }
    POINT Outside() const { return ScreenPoint(kX + kW + 60, kY + kH + 60); }
    POINT ScreenPoint(int x, int y) const {
        POINT p{x, y};
        ClientToScreen(host_, &p);
        return p;
    }

    void MoveTo(POINT p) {
        test::MoveTo(p);
        POINT now{};
        const bool there = PumpUntil([&] {
            GetCursorPos(&now);
            return now.x == p.x && now.y == p.y;
        });
        if (!there) fprintf(stderr, "cursor %ld,%ld wanted %ld,%ld\n", now.x, now.y, p.x, p.y);
        PumpFor(20);
    }
    void Press() {
        SendMouse(MOUSEEVENTF_LEFTDOWN);
        PumpFor(40);
    }
    void Release() {
        SendMouse(MOUSEEVENTF_LEFTUP);
        PumpFor(40);
    }

    COLORREF Pixel(int x, int y) const {
        HDC dc = GetDC(button_.hWnd());
        const COLORREF c = GetPixel(dc, x, y);
        ReleaseDC(button_.hWnd(), dc);
        return c;
    }

    // The look, read from the left and right edges; checks that the frame is two pixels wide.
    Look CurrentLook() const {
        RECT rc;
        GetClientRect(button_.hWnd(), &rc);
        const int w = rc.right, mid = rc.bottom / 2;
        const COLORREF edges[2] = {Pixel(0, mid), Pixel(w - 1, mid)};
        if (Pixel(1, mid) != edges[0] || Pixel(w - 2, mid) != edges[1]) return Look::Other;
        if (Pixel(w / 2, 0) != edges[0] || Pixel(w / 2, rc.bottom - 1) != edges[1])
            return Look::Other;
        const COLORREF face = GetSysColor(COLOR_BTNFACE);
        if (Pixel(2, mid) != face || Pixel(w - 3, mid) != face) return Look::Other;
        for (auto [look, colours] :
             {std::pair{Look::Normal, kNormal}, std::pair{Look::Hover, kHover},
              std::pair{Look::Pressed, kPressed}}) {
            if (edges[0] == colours[0] && edges[1] == colours[1]) return look;
        }
        return Look::Other;
    }

    ::testing::AssertionResult LooksSoon(Look wanted, int timeoutMs = 1000) {
        if (PumpUntil([&] { return CurrentLook() == wanted; }, timeoutMs))
            return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure()
               << "look is " << Name(CurrentLook()) << ", wanted " << Name(wanted);
    }

    // Bounding box of the face pixels in `colour`, inside the frame.
    RECT BoxOf(COLORREF colour) const {
        RECT box{LONG_MAX, LONG_MAX, LONG_MIN, LONG_MIN};
        HDC dc = GetDC(button_.hWnd());
        for (int y = 2; y < kH - 2; ++y) {
            for (int x = 2; x < kW - 2; ++x) {
                if (GetPixel(dc, x, y) != colour) continue;
                box.left = std::min<LONG>(box.left, x);
                box.top = std::min<LONG>(box.top, y);
                box.right = std::max<LONG>(box.right, x + 1);
                box.bottom = std::max<LONG>(box.bottom, y + 1);
            }
        }
        ReleaseDC(button_.hWnd(), dc);
        return box;
    }

    static inline HWND host_ = nullptr;
    static inline HFONT font_ = nullptr;
    ButtonCr button_;
    int clicks_ = 0;
};

}  // namespace quenlor::test
