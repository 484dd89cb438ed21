// Shared by the skinned-frame tests: top-level test windows that live for the whole run, skin
// pictures whose pixels name their own source position, and reading a window's pixels back.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "frame/INCAreaModifier.h"
#include "frame/cNCCalcSize.h"
#include "frame/cNeoCaption.h"
#include "tests/support/Dib.h"
#include "tests/support/Pump.h"

namespace quenlor::skintest {

using test::Dib;

// Picture colours that name their own source pixel, so a piece from the wrong place shows.
inline uint32_t CaptionPixel(int x, int y) {
    return static_cast<uint32_t>((x & 0xFF) << 16 | ((x >> 8) << 6 | y) << 8 | 0x33);
}
inline uint32_t BorderPixel(int x, int y) {
    return static_cast<uint32_t>(x << 16 | y << 8 | 0xC0);
}

using test::PumpMessages;

// Test windows: plain top-level windows that close only when marked closable (Alt+F4 and the
// close button of the other tests must not take the shared windows away).
inline constexpr const wchar_t* kClass = L"QuenlorFrameTestWindow";
inline constexpr const wchar_t* kClosable = L"QuenlorFrameTestClosable";

inline int g_paints = 0;  // client repaints of the test windows

inline LRESULT CALLBACK TestWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_PAINT) ++g_paints;
    if (message == WM_CLOSE && !GetPropW(hwnd, kClosable)) return 0;
    if (message == WM_DESTROY) RemovePropW(hwnd, kClosable);
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

inline HWND MakeWindow(int x, int y, int width, int height, DWORD style) {
    static const ATOM registered = [] {
        WNDCLASSEXW wc = {};
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = &TestWindowProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        wc.lpszClassName = kClass;
        return RegisterClassExW(&wc);
    }();
    if (!registered) return nullptr;
    HWND hwnd = CreateWindowExW(0, kClass, L"Skinned test window", style | WS_VISIBLE, x, y, width,
                                height, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    PumpMessages();
    return hwnd;
}

// No WS_CAPTION: outside a virtual desktop Wine leaves a captioned window's top rows to a window
// manager. The skin needs none of it (the buttons follow WS_SYSMENU and the two boxes).
inline constexpr DWORD kFixed = WS_POPUP | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX;
inline constexpr int kWidth = 400, kHeight = 300;  // the design's worked example is 400 wide

// Windows live for the whole run: destroying a top-level window costs seconds here.
inline HWND SharedWindow(int index) {
    static HWND windows[2] = {MakeWindow(60, 60, kWidth, kHeight, kFixed),
                              MakeWindow(520, 60, kWidth, kHeight, kFixed)};
    return windows[index];
}

struct SkinPictures {
    Dib caption{640, 48}, border{70, 10};
    SkinPictures() {
        caption.Fill(CaptionPixel);
        border.Fill(BorderPixel);
    }
};

inline void AttachMainSkin(cNeoCaption& painter, HWND hwnd, const SkinPictures& pictures) {
    painter.Attach(hwnd, pictures.caption.get(), pictures.border.get(), 19, 20, 90, 140, 240, 400);
    PumpMessages();
}

// The whole window as it is on the screen.
inline std::unique_ptr<Dib> ReadWindow(HWND hwnd) {
    auto dib = std::make_unique<Dib>(kWidth, kHeight);
    WindowDC window(hwnd, DcArea::WholeWindow);
    const HDC memory = CreateCompatibleDC(window.get());
    const HGDIOBJ old = SelectObject(memory, dib->get());
    BitBlt(memory, 0, 0, kWidth, kHeight, window.get(), 0, 0, SRCCOPY);
    GdiFlush();
    SelectObject(memory, old);
    DeleteDC(memory);
    return dib;
}

inline LPARAM ScreenPoint(HWND hwnd, int x, int y) {
    RECT r;
    GetWindowRect(hwnd, &r);
    return MAKELPARAM(static_cast<WORD>(r.left + x), static_cast<WORD>(r.top + y));
}

// A painter that only records what the engine asks of it.
class TestPainter : public INCAreaModifier {
  public:
    explicit TestPainter(HWND hwnd) : hwnd_(hwnd) {}
    void Attach() {
        engine.Attach(this);
        engine.Display(hwnd_);
        PumpMessages();
    }
    HWND hWnd() override { return hwnd_; }
    void GetTopMarginHeight(int32_t& cy) override { cy = 30; }
    void GetLeftMarginWidth(int32_t& cx) override { cx = 4; }
    void GetRightMarginWidth(int32_t& cx) override { cx = 4; }
    void GetBottomMarginHeight(int32_t& cy) override { cy = 4; }
    void NCPaint(HDC, int32_t, int32_t, int32_t, int32_t) override {}
    void HitTest(int32_t, int32_t, int32_t& eHitTest) override {
        if (answer >= 0) eHitTest = answer;
    }
    void NCMouseDown(int32_t, int32_t, bool&, HDC, int32_t, int32_t, int32_t, int32_t) override {}
    void NCMouseUp(int32_t, int32_t, HDC, int32_t, int32_t, int32_t, int32_t) override {}
    void InitMenuPopup(WPARAM, LPARAM) override {}
    void ExitMenuLoop() override {}
    bool AltKeyAccelerator(int32_t vKey) override {
        altKeys.push_back(vKey);
        return vKey == 'F';
    }

    int32_t answer = -1;  // the hit-test code to answer, or -1 to keep the engine's
    std::vector<int32_t> altKeys;
    cNCCalcSize engine;  // last: detaches before the rest goes

  private:
    HWND hwnd_;
};

}  // namespace quenlor::skintest
