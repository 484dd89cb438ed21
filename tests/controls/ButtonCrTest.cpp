// ButtonCr in a real window under the real input queue: the mouse is driven with SendInput (moves
// with absolute coordinates, presses and releases at the cursor), keys with SendInput too; looks
// are read back as pixel colours from the button's window.
#include "ButtonCr.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

#include "../support/Input.h"
#include "../support/Pump.h"

namespace quenlor {
namespace {

using namespace quenlor::test;

constexpr COLORREF kNormal[2] = {RGB(204, 204, 204), RGB(153, 153, 153)};
constexpr COLORREF kHover[2] = {RGB(238, 222, 221), RGB(119, 119, 119)};
constexpr COLORREF kPressed[2] = {RGB(136, 136, 136), RGB(221, 221, 221)};

enum class Look { Normal, Hover, Pressed, Other };

const char* Name(Look look) {
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

LRESULT CALLBACK HostProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
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

TEST_F(ButtonCrTest, LooksFollowTheMouseThroughAClick) {
    EXPECT_EQ(CurrentLook(), Look::Normal);
    MoveTo(Inside());
    EXPECT_TRUE(LooksSoon(Look::Hover));
    Press();
    EXPECT_TRUE(LooksSoon(Look::Pressed));
    EXPECT_EQ(clicks_, 0);
    Release();
    EXPECT_EQ(clicks_, 1);
    // Releasing the capture makes the system send a move, which brings the hover look back.
    MoveTo(Inside(3));
    EXPECT_TRUE(LooksSoon(Look::Hover));
    MoveTo(Outside());
    EXPECT_TRUE(LooksSoon(Look::Normal, 500)) << "the hover timer notices the cursor outside";
    EXPECT_EQ(clicks_, 1);
}

TEST_F(ButtonCrTest, ClickFiresOnReleaseOffTheButtonAndNotWithoutAPressOnIt) {
    MoveTo(Inside());
    Press();
    EXPECT_TRUE(LooksSoon(Look::Pressed));
    MoveTo(Outside());
    EXPECT_TRUE(LooksSoon(Look::Normal, 500)) << "cursor outside while held";
    EXPECT_EQ(GetCapture(), button_.hWnd());
    Release();
    EXPECT_EQ(clicks_, 1);
    EXPECT_EQ(GetCapture(), nullptr);

    // Pressed on the host, released over the button: not a click of the button.
    Press();
    MoveTo(Inside());
    Release();
    EXPECT_EQ(clicks_, 1);
}

TEST_F(ButtonCrTest, RightButtonNeitherChangesTheLookNorClicks) {
    MoveTo(Inside());
    ASSERT_TRUE(LooksSoon(Look::Hover));
    SendMouse(MOUSEEVENTF_RIGHTDOWN);
    PumpFor(100);
    EXPECT_EQ(CurrentLook(), Look::Hover);
    EXPECT_NE(GetCapture(), button_.hWnd());
    SendMouse(MOUSEEVENTF_RIGHTUP);
    PumpFor(100);
    EXPECT_EQ(CurrentLook(), Look::Hover);
    EXPECT_EQ(clicks_, 0);
}

TEST_F(ButtonCrTest, KeysDoNotClick) {
    SetForegroundWindow(host_);
    SetFocus(button_.hWnd());
    for (WORD vk : {VK_SPACE, VK_RETURN}) {
        Key(vk);
    }
    PumpFor(100);
    // Also keys delivered straight to the window.
    SendMessageW(button_.hWnd(), WM_KEYDOWN, VK_SPACE, 0);
    SendMessageW(button_.hWnd(), WM_KEYUP, VK_SPACE, 0);
    SendMessageW(button_.hWnd(), WM_CHAR, L' ', 0);
    EXPECT_EQ(clicks_, 0);
    EXPECT_EQ(CurrentLook(), Look::Normal);
}

TEST_F(ButtonCrTest, EnabledCaptionIsEngravedWithALightFringeOnTheLeft) {
    const RECT text = BoxOf(GetSysColor(COLOR_BTNTEXT));
    const RECT light = BoxOf(GetSysColor(COLOR_3DHIGHLIGHT));
    ASSERT_LT(text.left, text.right) << "no caption pixels in the text colour";
    ASSERT_LT(light.left, light.right) << "no fringe pixels";
    EXPECT_EQ(light.left, text.left - 1);
    EXPECT_EQ(light.top, text.top);
    EXPECT_EQ(BoxOf(GetSysColor(COLOR_BTNSHADOW)).left, LONG_MAX) << "no shadow when enabled";
    // Centred: the glyph box sits in the middle of the face within the glyphs' side bearings.
    EXPECT_NEAR((text.left + text.right) / 2.0, kW / 2.0, 2.5);
    EXPECT_NEAR((text.top + text.bottom) / 2.0, kH / 2.0, 3.5);
}

TEST_F(ButtonCrTest, DisabledButtonIsGreyAndNeverClicks) {
    button_.Enabled(false);
    EXPECT_FALSE(button_.Enabled());
    EXPECT_FALSE(IsWindowEnabled(button_.hWnd()));
    EXPECT_EQ(CurrentLook(), Look::Normal);
    const RECT shadow = BoxOf(GetSysColor(COLOR_BTNSHADOW));
    const RECT light = BoxOf(GetSysColor(COLOR_3DHIGHLIGHT));
    ASSERT_LT(shadow.left, shadow.right) << "no caption pixels in the shadow colour";
    EXPECT_EQ(light.right, shadow.right + 1);
    EXPECT_EQ(light.bottom, shadow.bottom + 1);
    EXPECT_EQ(BoxOf(GetSysColor(COLOR_BTNTEXT)).left, LONG_MAX) << "no text colour when disabled";

    MoveTo(Inside());
    Press();
    Release();
    PumpFor(100);
    EXPECT_EQ(clicks_, 0);
    EXPECT_EQ(CurrentLook(), Look::Normal);

    button_.Enabled(true);
    EXPECT_TRUE(button_.Enabled());
    MoveTo(Inside(2));
    Press();
    Release();
    EXPECT_EQ(clicks_, 1);
}

TEST_F(ButtonCrTest, DisablingWhileHeldDropsThePress) {
    MoveTo(Inside());
    Press();
    ASSERT_TRUE(LooksSoon(Look::Pressed));
    button_.Enabled(false);
    EXPECT_EQ(CurrentLook(), Look::Normal);
    EXPECT_NE(GetCapture(), button_.hWnd());
    button_.Enabled(true);
    Release();
    EXPECT_EQ(clicks_, 0);
}

TEST_F(ButtonCrTest, EmptyCaptionDrawsOnlyTheFrame) {
    button_.Caption(L"");
    EXPECT_EQ(button_.Caption(), L"");
    EXPECT_EQ(CurrentLook(), Look::Normal);
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    int other = 0;
    for (int y = 2; y < kH - 2; ++y)
        for (int x = 2; x < kW - 2; ++x) other += Pixel(x, y) != face;
    EXPECT_EQ(other, 0);
}

TEST_F(ButtonCrTest, CaptionSetWhileHoveredRepaintsNormalUntilTheNextMove) {
    MoveTo(Inside());
    ASSERT_TRUE(LooksSoon(Look::Hover));
    button_.Caption(L"全不选");
    EXPECT_EQ(button_.Caption(), L"全不选");
    EXPECT_EQ(CurrentLook(), Look::Normal);
    PumpFor(200);  // several timer ticks with the cursor inside
    EXPECT_EQ(CurrentLook(), Look::Normal);
    MoveTo(Inside(1));
    EXPECT_TRUE(LooksSoon(Look::Hover));
    // The window text follows the caption, so the button can be found by its caption.
    wchar_t text[32] = {};
    GetWindowTextW(button_.hWnd(), text, 32);
    EXPECT_STREQ(text, L"全不选");
}

TEST_F(ButtonCrTest, PaintRestoresTheRetainedFace) {
    MoveTo(Inside());
    ASSERT_TRUE(LooksSoon(Look::Hover));
    const COLORREF before = Pixel(kW / 2, kH / 2);
    // Scribble over the window, then let it repaint: the face comes back as it was (hover), not
    // redrawn in another look.
    {
        HDC dc = GetDC(button_.hWnd());
        RECT all{0, 0, kW, kH};
        FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
        ReleaseDC(button_.hWnd(), dc);
    }
    ASSERT_EQ(Pixel(0, kH / 2), RGB(0, 0, 0));
    InvalidateRect(button_.hWnd(), nullptr, TRUE);
    UpdateWindow(button_.hWnd());
    EXPECT_EQ(CurrentLook(), Look::Hover);
    EXPECT_EQ(Pixel(kW / 2, kH / 2), before);
}

TEST_F(ButtonCrTest, ResizeRepaintsNormalAtTheNewSize) {
    MoveTo(Inside());
    ASSERT_TRUE(LooksSoon(Look::Hover));
    SetWindowPos(button_.hWnd(), nullptr, 0, 0, kW + 20, kH + 6, SWP_NOMOVE | SWP_NOZORDER);
    EXPECT_EQ(CurrentLook(), Look::Normal);
    EXPECT_EQ(Pixel(kW + 19, 3), kNormal[1]);
    EXPECT_EQ(Pixel(3, kH + 5), kNormal[1]);
}

TEST_F(ButtonCrTest, ClickHandlerMayDestroyTheButton) {
    auto button = std::make_unique<ButtonCr>();
    ASSERT_NE(button->Create(host_, 8, 150, 20, 57, 25, L"退出"), nullptr);
    int calls = 0;
    button->Click = [&] {
        ++calls;
        button.reset();
    };
    MoveTo(ScreenPoint(170, 30));
    Press();
    Release();
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(button, nullptr);
}

TEST(ButtonCrObject, PropertiesBeforeTheWindowExistAndAfterItIsGone) {
    ButtonCr button;
    EXPECT_EQ(button.Caption(), L"ButtonCr");
    EXPECT_TRUE(button.Enabled());
    button.Caption(L"更改");
    button.Enabled(false);
    EXPECT_EQ(button.Caption(), L"更改");
    EXPECT_FALSE(button.Enabled());

    HWND parent = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 100, 50, nullptr, nullptr,
                                  GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(parent, nullptr);
    ASSERT_NE(button.Create(parent, 1, 0, 0, 57, 25, L"更改", false), nullptr);
    EXPECT_FALSE(IsWindowEnabled(button.hWnd()));
    EXPECT_TRUE(GetWindowLongPtrW(button.hWnd(), GWL_STYLE) & WS_CHILD);
    wchar_t cls[64] = {};
    GetClassNameW(button.hWnd(), cls, 64);
    EXPECT_STREQ(cls, L"Quenlor.ButtonCr");
    EXPECT_EQ(GetDlgCtrlID(button.hWnd()), 1);
    DestroyWindow(parent);  // takes the button with it
    EXPECT_EQ(button.hWnd(), nullptr);
}

// GDI objects in use, as far as the platform tells. Windows counts them (GetGuiResources); Wine
// does not, but it reuses freed handle slots first, so the highest slot a burst of fresh objects
// needs rises by one for every object still held.
long GdiObjectsInUse() {
    if (DWORD count = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS)) return count;
    std::vector<HBRUSH> burst;
    long highest = 0;
    for (int i = 0; i < 3000; ++i) {
        HBRUSH brush = CreateSolidBrush(RGB(1, 2, 3));
        if (!brush) break;
        burst.push_back(brush);
        highest =
            std::max<long>(highest, static_cast<long>(reinterpret_cast<UINT_PTR>(brush) & 0xFFFF));
    }
    for (HBRUSH brush : burst) DeleteObject(brush);
    return highest;
}

void CreatePaintDestroy(HWND parent, HFONT font, int round) {
    ButtonCr button;
    button.Create(parent, 9, 10, 80, 57 + round % 5, 25, L"删除");
    HWND hwnd = button.hWnd();
    SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    SendMessageW(hwnd, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    SendMessageW(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    SendMessageW(hwnd, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    button.Caption(round % 2 ? L"全选" : L"");
    button.Enabled(false);
    SetWindowPos(hwnd, nullptr, 0, 0, 60, 20 + round % 7, SWP_NOMOVE | SWP_NOZORDER);
    InvalidateRect(hwnd, nullptr, TRUE);
    UpdateWindow(hwnd);
    if (round % 3 == 0) DestroyWindow(hwnd);  // else the ButtonCr's destructor does it
}

TEST_F(ButtonCrTest, CreatePaintDestroyLoopLeaksNoGdiObjects) {
    for (int round = 0; round < 50; ++round)
        CreatePaintDestroy(host_, font_, round);  // warm caches
    PumpFor(20);
    const long before = GdiObjectsInUse();
    constexpr int kRounds = 600;
    for (int round = 0; round < kRounds; ++round) CreatePaintDestroy(host_, font_, round);
    PumpFor(20);
    const long after = GdiObjectsInUse();
    // Two objects per round (context and bitmap) would add 1200; allow a few for system caches.
    EXPECT_LT(after - before, 20) << "before " << before << ", after " << after;
}

}  // namespace
}  // namespace quenlor
