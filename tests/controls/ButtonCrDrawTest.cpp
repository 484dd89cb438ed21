// ButtonCr's drawing and life: the caption, the disabled look, repaints, a handler that destroys
// the button, and GDI hygiene.
#include <gtest/gtest.h>

#include "tests/controls/ButtonCrFixture.h"

namespace quenlor::test {
namespace {

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
}  // namespace quenlor::test
