// Real skinned windows under Wine: the frame's pixels against what the two skin pictures put there,
// the cursor's handling, the Alt-key hook, and attach / paint / detach cycles with the GDI handle
// table all but full. (The mouse on the frame: CaptionInputTest.cpp.)
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <memory>
#include <vector>

#include "frame/NCKeyboardHook.h"
#include "win/CallbackBarrier.h"
#include "tests/frame/SkinTestWindows.h"
#include "frame/cNeoCaption.h"
#include "tests/support/GdiTableFiller.h"
#include "tests/support/Input.h"
#include "tests/support/WindowProperties.h"

namespace quenlor {
namespace {

using namespace skintest;
using test::GdiTableFiller;

// What the design says each frame pixel of the 400 x 300 window shows, with all three buttons
// normal; -1 where the title and the menu row are (not compared).
int64_t ExpectedFramePixel(int x, int y, bool active) {
    const int off = active ? 0 : 400;
    if (y < 48) {
        if (x >= 80 && x < 304 && y >= 11) return -1;
        const int buttonLeft[] = {375, 355, 335}, buttonSource[] = {241, 278, 297};
        for (int i = 0; i < 3; ++i) {
            if (x >= buttonLeft[i] && x < buttonLeft[i] + 19 && y >= 5 && y < 25)
                return CaptionPixel(buttonSource[i] + x - buttonLeft[i], y - 5);
        }
        if (x < 90) return CaptionPixel(off + x, y);
        if (x < 300) return CaptionPixel(off + 91 + (x - 90) % 52, y);
        return CaptionPixel(off + 140 + x - 300, y);
    }
    if (y >= kHeight - 10) {
        const int row = y - (kHeight - 10);
        if (x < 10) return BorderPixel(20 + x, row);
        if (x >= kWidth - 10) return BorderPixel(60 + x - (kWidth - 10), row);
        return BorderPixel(30 + (x - 10) % 10, row);
    }
    if (x < 10) return BorderPixel(x, (y - 48) % 10);
    if (x >= kWidth - 10) return BorderPixel(40 + x - (kWidth - 10), (y - 48) % 10);
    return -1;  // client area
}

TEST(SkinnedWindow, ClientAreaLiesInsideTheSkinsMargins) {
    SkinPictures pictures;
    cNeoCaption painter;
    HWND hwnd = SharedWindow(0);
    AttachMainSkin(painter, hwnd, pictures);
    RECT client, window;
    GetClientRect(hwnd, &client);
    GetWindowRect(hwnd, &window);
    POINT origin = {0, 0};
    ClientToScreen(hwnd, &origin);
    EXPECT_EQ(client.right, kWidth - 20);
    EXPECT_EQ(client.bottom, kHeight - 58);
    EXPECT_EQ(origin.x - window.left, 10);
    EXPECT_EQ(origin.y - window.top, 48);
}

TEST(SkinnedWindow, FrameShowsTheSkinPicturesActiveAndInactive) {
    SkinPictures pictures;
    cNeoCaption painter;
    HWND hwnd = SharedWindow(0);
    AttachMainSkin(painter, hwnd, pictures);
    for (bool active : {true, false}) {
        SCOPED_TRACE(active ? "active" : "inactive");
        SendMessageW(hwnd, WM_NCACTIVATE, active, 0);
        EXPECT_EQ(painter.Engine()->WindowActive(), active);
        const auto shown = ReadWindow(hwnd);
        int compared = 0, wrong = 0;
        for (int y = 0; y < kHeight; ++y) {
            for (int x = 0; x < kWidth; ++x) {
                const int64_t expected = ExpectedFramePixel(x, y, active);
                if (expected < 0) continue;
                ++compared;
                if (shown->at(x, y) != expected && wrong++ < 5) {
                    ADD_FAILURE() << "pixel (" << x << ", " << y << ") is " << std::hex
                                  << shown->at(x, y) << ", expected " << expected;
                }
            }
        }
        EXPECT_EQ(wrong, 0) << "of " << compared << " frame pixels";
        EXPECT_GT(compared, 19000);
    }
}

TEST(SkinnedWindow, SettingTheCursorRepaintsNothingAndKeepsTheStyle) {
    SkinPictures pictures;
    cNeoCaption painter;
    HWND hwnd = SharedWindow(0);
    AttachMainSkin(painter, hwnd, pictures);
    const LONG_PTR style = GetWindowLongPtrW(hwnd, GWL_STYLE);
    g_paints = 0;
    for (int i = 0; i < 20; ++i) {
        SendMessageW(hwnd, WM_SETCURSOR, reinterpret_cast<WPARAM>(hwnd),
                     MAKELPARAM(HTCAPTION, WM_MOUSEMOVE));
        PumpMessages();
    }
    EXPECT_EQ(GetWindowLongPtrW(hwnd, GWL_STYLE), style);
    EXPECT_EQ(g_paints, 0);
}

void PressKeys(std::initializer_list<BYTE> keys) {
    const auto settle = [] {
        Sleep(20);
        PumpMessages();
    };
    for (BYTE key : keys) {
        test::KeyDown(key);
        settle();
    }
    for (auto it = std::rbegin(keys); it != std::rend(keys); ++it) {
        test::KeyUp(*it);
        settle();
    }
}

void Activate(HWND hwnd) {
    SetForegroundWindow(hwnd);
    SetFocus(hwnd);
    for (int i = 0; i < 50 && GetForegroundWindow() != hwnd; ++i) {
        Sleep(10);
        PumpMessages();
    }
    // An engine attached to a window that was already active has not been told (the painter
    // tells it at attach; these tests attach bare engines).
    SendMessageW(hwnd, WM_NCACTIVATE, TRUE, 0);
    PumpMessages();
}

TEST(SkinnedWindow, AltKeysGoToTheActiveWindowsPainterAndTheHookLastsWhileAnyEngineIsAttached) {
    HWND first = SharedWindow(0), second = SharedWindow(1);
    TestPainter a(first), b(second);
    a.Attach();
    EXPECT_TRUE(NCKeyboardHook::Installed());
    b.Attach();
    a.Attach();  // attaching again lists the engine once
    EXPECT_EQ(NCKeyboardHook::ClientCount(), 2u);

    Activate(first);
    ASSERT_TRUE(a.engine.WindowActive());
    PressKeys({VK_MENU, 'F'});
    PressKeys({VK_MENU, VK_F4});  // never offered (and the window does not close)
    PressKeys({VK_CONTROL, VK_MENU, 'H'});
    PressKeys({VK_MENU});
    EXPECT_EQ(a.altKeys, std::vector<int32_t>{'F'});
    EXPECT_TRUE(b.altKeys.empty());

    Activate(second);
    ASSERT_TRUE(b.engine.WindowActive());
    PressKeys({VK_MENU, 'H'});
    EXPECT_EQ(b.altKeys, std::vector<int32_t>{'H'});
    EXPECT_EQ(a.altKeys.size(), 1u);

    const WNDPROC ownProc = &TestWindowProc;
    a.engine.Detach();
    EXPECT_TRUE(NCKeyboardHook::Installed()) << "the second engine still needs the hook";
    b.engine.Detach();
    EXPECT_FALSE(NCKeyboardHook::Installed());
    EXPECT_EQ(NCKeyboardHook::ClientCount(), 0u);
    a.engine.Detach();  // twice: harmless
    b.engine.Detach();
    EXPECT_FALSE(NCKeyboardHook::Installed());
    for (HWND hwnd : {first, second}) {
        EXPECT_EQ(GetPropW(hwnd, cNCCalcSize::kImplementationProperty), nullptr);
        EXPECT_EQ(reinterpret_cast<WNDPROC>(GetWindowLongPtrW(hwnd, GWLP_WNDPROC)), ownProc);
    }
    EXPECT_EQ(CallbackFailureCount(), 0);
}

TEST(SkinnedWindow, AttachPaintDetachCyclesLeakNoHandles) {
    SkinPictures pictures;
    HWND hwnd = SharedWindow(0);
    const size_t properties = test::Properties(hwnd).size();
    constexpr size_t kHeadroom = 96;
    GdiTableFiller filler(kHeadroom);
    ASSERT_LT(filler.capacity(), 1000000u) << "no GDI handle limit to run into";
    constexpr int kCycles = 300;
    int completed = 0;
    for (int i = 0; i < kCycles; ++i) {
        cNeoCaption painter;
        AttachMainSkin(painter, hwnd, pictures);
        SendMessageW(hwnd, WM_NCACTIVATE, i % 2, 0);  // a paint of its own, active or not
        const int x = 10 + i % 380;
        COLORREF shown;
        {
            WindowDC dc(hwnd, DcArea::WholeWindow);
            shown = GetPixel(dc.get(), x, kHeight - 5);
        }
        const uint32_t expected = BorderPixel(30 + x % 10, 5);
        if (shown != RGB(expected >> 16, expected >> 8 & 0xFF, expected & 0xFF)) break;
        if (i % 3 == 0) painter.Detach();  // else the painter's end detaches
        ++completed;
    }
    EXPECT_EQ(completed, kCycles);
    EXPECT_EQ(test::Properties(hwnd).size(), properties);
    EXPECT_FALSE(NCKeyboardHook::Installed());
    std::printf("GDI table held %zu more bitmaps; %d attach/paint/detach cycles with %zu free\n",
                filler.capacity(), completed, kHeadroom);
}

}  // namespace
}  // namespace quenlor
