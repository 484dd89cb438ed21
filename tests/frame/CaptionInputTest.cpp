// The skinned frame under the mouse: hit tests of fixed and sizable windows and of the main
// window's own size with its menu row, the press on a caption button and the caption drag, with
// real input where the engine follows the mouse itself.
#include <gtest/gtest.h>

#include <windows.h>

#include "tests/frame/SkinTestWindows.h"
#include "tests/support/Input.h"

namespace quenlor {
namespace {

using namespace skintest;

TEST(SkinnedWindow, HitTestsOfAFixedAndASizableWindow) {
    SkinPictures pictures;
    HWND hwnd = SharedWindow(0);
    const int caption = GetSystemMetrics(SM_CYCAPTION);
    ASSERT_LT(10 + caption, 38) << "the menu row test point would lie on the caption line";
    struct Case {
        const char* name;
        int x, y;
        LRESULT fixed, sizable;
    } cases[] = {
        {"icon area", 20, 20, HTSYSMENU, HTSYSMENU},
        {"caption line", 200, 15, HTCAPTION, HTCAPTION},
        {"close button", 385, 15, HTSYSMENU, HTSYSMENU},
        {"maximise button", 365, 15, HTSYSMENU, HTSYSMENU},
        {"minimise button", 345, 15, HTSYSMENU, HTSYSMENU},
        {"menu row", 200, 40, HTCLIENT, HTCLIENT},
        {"client area", 200, 150, HTCLIENT, HTCLIENT},
        {"top border", 200, 5, HTCLIENT, HTTOP},
        {"left border", 5, 150, HTCLIENT, HTLEFT},
        {"right border", 395, 150, HTCLIENT, HTRIGHT},
        {"bottom border", 200, 295, HTCLIENT, HTBOTTOM},
        {"top-left corner", 3, 3, HTCLIENT, HTTOPLEFT},
        {"top-right corner", 397, 3, HTCLIENT, HTTOPRIGHT},
        {"bottom-left corner", 3, 297, HTCLIENT, HTBOTTOMLEFT},
        {"bottom-right corner", 397, 297, HTCLIENT, HTBOTTOMRIGHT},
    };
    RECT home;
    GetWindowRect(hwnd, &home);
    // Also left of and above the screen's origin (a second monitor): negative packed coordinates.
    for (POINT at : {POINT{60, 60}, POINT{-700, -350}}) {
        SetWindowPos(hwnd, nullptr, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        for (bool sizable : {false, true}) {
            const LONG_PTR style = GetWindowLongPtrW(hwnd, GWL_STYLE);
            SetWindowLongPtrW(hwnd, GWL_STYLE,
                              sizable ? style | WS_THICKFRAME : style & ~LONG_PTR{WS_THICKFRAME});
            cNeoCaption painter;
            AttachMainSkin(painter, hwnd, pictures);
            for (const Case& c : cases) {
                SCOPED_TRACE(testing::Message() << c.name << (sizable ? ", sizable" : ", fixed")
                                                << " at " << at.x << "," << at.y);
                EXPECT_EQ(SendMessageW(hwnd, WM_NCHITTEST, 0, ScreenPoint(hwnd, c.x, c.y)),
                          sizable ? c.sizable : c.fixed);
            }
        }
    }
    SetWindowLongPtrW(hwnd, GWL_STYLE, kFixed | WS_VISIBLE);
    SetWindowPos(hwnd, nullptr, home.left, home.top, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);

    // A painter's HTMENU is answered as HTCLIENT, so the menu bar gets client mouse messages.
    TestPainter menuPainter(hwnd);
    menuPainter.answer = HTMENU;
    menuPainter.Attach();
    EXPECT_EQ(SendMessageW(hwnd, WM_NCHITTEST, 0, ScreenPoint(hwnd, 200, 15)), HTCLIENT);
}

// The main window's own size (437 x 416) with its menu row, 文件 and 帮助: the caption drags only
// above the row, and the bar's hot zones are where its items are drawn, to the pixel.
TEST(CaptionInput, MainWindowsMenuRowIsHitWhereItsItemsAreDrawn) {
    constexpr COLORREF kInk = RGB(255, 0, 255);
    SkinPictures pictures;
    static const HWND hwnd = MakeWindow(80, 380, 437, 416, WS_POPUP | WS_SYSMENU | WS_MINIMIZEBOX);
    ASSERT_NE(hwnd, nullptr);
    if (!GetMenu(hwnd)) {
        const HMENU menu = CreateMenu();
        for (const wchar_t* text : {L"文件(&F)", L"帮助(&H)"}) {
            const HMENU popup = CreatePopupMenu();
            AppendMenuW(popup, MF_STRING, 1, L"x");
            AppendMenuW(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(popup), text);
        }
        SetMenu(hwnd, menu);
    }
    cNeoCaption painter;
    painter.ActiveMenuColor(kInk);
    painter.ActiveMenuColorOver(kInk);
    for (StdFont* font : {&painter.CaptionFont(), &painter.MenuFont()}) {
        font->Name(L"宋体");
        font->Size(9);
    }
    AttachMainSkin(painter, hwnd, pictures);
    cMenuBar& bar = *painter.MenuBar();
    ASSERT_EQ(bar.ItemCount(), 2);
    RECT window, file, help;
    GetWindowRect(hwnd, &window);
    bar.ItemScreenRect(1, file);
    bar.ItemScreenRect(2, help);

    // Every pixel of the items' text lies inside its item's rectangle, and each has some.
    const auto shown = ReadWindow(hwnd);
    int inFile = 0, inHelp = 0, outside = 0;
    for (int y = 0; y < 48; ++y) {
        for (int x = 0; x < 400; ++x) {
            if (shown->at(x, y) != kInk) continue;
            const POINT p = {window.left + x, window.top + y};
            if (PtInRect(&file, p)) {
                ++inFile;
            } else if (PtInRect(&help, p)) {
                ++inHelp;
            } else {
                ++outside;
            }
        }
    }
    EXPECT_GT(inFile, 5);
    EXPECT_GT(inHelp, 5);
    EXPECT_EQ(outside, 0);

    const LONG mid = (file.top + file.bottom) / 2;
    struct Case {
        const char* name;
        POINT at;  // screen
        LRESULT hit;
        int item;
    } const cases[] = {
        {"文件's left edge", {file.left, mid}, HTCLIENT, 1},
        {"文件's right edge", {file.right - 1, mid}, HTCLIENT, 1},
        {"just past 文件", {file.right, mid}, HTCLIENT, 0},
        {"帮助's left edge", {help.left, mid}, HTCLIENT, 2},
        {"文件's top row", {file.left + 4, file.top}, HTCLIENT, 1},
        {"帮助's bottom row", {help.left + 4, help.bottom - 1}, HTCLIENT, 2},
        {"the caption just above the row", {file.left + 4, window.top + 23}, HTCAPTION, 0},
        {"the caption line", {window.left + 250, window.top + 15}, HTCAPTION, 0},
        {"the close button", {window.left + 422, window.top + 15}, HTSYSMENU, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(SendMessageW(hwnd, WM_NCHITTEST, 0,
                               MAKELPARAM(static_cast<WORD>(c.at.x), static_cast<WORD>(c.at.y))),
                  c.hit);
        EXPECT_EQ(bar.ItemFromPoint(c.at), c.item);
    }
}

// A press made with the real mouse, scripted from a thread timer because the engine follows a
// press on a caption button in a loop of its own: the pointer goes along `path` (window
// coordinates), one point a tick, the close button's pixel is read at each, then the button goes
// up.
struct PressScript {
    HWND hwnd = nullptr;
    std::vector<POINT> path;
    std::vector<uint32_t> closePixels;
    size_t step = 0;
    bool released = false;
} g_press;

void CALLBACK PressStep(HWND, UINT, UINT_PTR id, DWORD) {
    RECT r;
    GetWindowRect(g_press.hwnd, &r);
    if (g_press.step < g_press.path.size()) {
        const POINT p = g_press.path[g_press.step++];
        SetCursorPos(r.left + p.x, r.top + p.y);
        return;
    }
    g_press.closePixels.push_back(ReadWindow(g_press.hwnd)->at(385, 15));
    if (g_press.closePixels.size() < 2) return;
    KillTimer(nullptr, id);
    test::SendMouse(MOUSEEVENTF_LEFTUP);
    g_press.released = true;
}

TEST(SkinnedWindow, CaptionButtonFiresOnlyWhenBothPressedAndReleasedOnIt) {
    SkinPictures pictures;
    HWND hwnd = MakeWindow(100, 420, kWidth, kHeight, kFixed);
    ASSERT_NE(hwnd, nullptr);
    SetPropW(hwnd, kClosable, reinterpret_cast<HANDLE>(1));
    cNeoCaption painter;
    AttachMainSkin(painter, hwnd, pictures);
    const POINT onClose = {385, 15}, onCaption = {200, 15}, onClient = {200, 150};
    const uint32_t normal = CaptionPixel(241 + 10, 10);
    struct Case {
        const char* name;
        POINT press;
        std::vector<POINT> path;
        bool fires;
    } const cases[] = {
        {"pressed on it, dragged off, released off it", onClose, {onCaption}, false},
        {"pressed elsewhere, released on it", onClient, {onClose}, false},
        {"pressed on it, off and back, released on it", onClose, {onCaption, onClose}, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(IsWindow(hwnd));
        g_press = PressScript{};
        g_press.hwnd = hwnd;
        g_press.path = c.path;
        RECT r;
        GetWindowRect(hwnd, &r);
        SetForegroundWindow(hwnd);
        SetCursorPos(r.left + c.press.x, r.top + c.press.y);
        PumpMessages();
        SetTimer(nullptr, 0, 60, &PressStep);
        test::SendMouse(MOUSEEVENTF_LEFTDOWN);
        for (int i = 0; i < 300 && !g_press.released; ++i) {
            PumpMessages();  // a press on the button is followed in the engine's loop, in here
            Sleep(10);
        }
        ASSERT_TRUE(g_press.released);
        for (int i = 0; i < 20; ++i) {
            Sleep(10);
            PumpMessages();  // a command posted at the release closes the window here
        }
        EXPECT_EQ(!IsWindow(hwnd), c.fires);
        // Once the pointer has left it, the button is drawn released, back over it or not.
        for (uint32_t pixel : g_press.closePixels) EXPECT_EQ(pixel, normal);
    }
    EXPECT_EQ(painter.Engine()->hWnd(), nullptr) << "the engine detaches when the window goes";
}

// Presses the keys one after the other, as fingers do, and lets them go in reverse order.
// The drag test's script, run by a thread timer from inside the engine's drag loop.
struct DragScript {
    HWND hwnd = nullptr;
    POINT start = {}, offset = {40, 25};
    RECT moved = {};
    int step = 0;
} g_drag;

void CALLBACK DragStep(HWND, UINT, UINT_PTR id, DWORD) {
    if (g_drag.step++ == 0) {
        SetCursorPos(g_drag.start.x + g_drag.offset.x, g_drag.start.y + g_drag.offset.y);
        return;
    }
    GetWindowRect(g_drag.hwnd, &g_drag.moved);
    KillTimer(nullptr, id);
    DestroyWindow(g_drag.hwnd);  // while the drag loop still runs
}

TEST(SkinnedWindow, CaptionDragFollowsThePointerAndEndsWhenTheWindowGoes) {
    SkinPictures pictures;
    g_drag = DragScript{};
    g_drag.hwnd = MakeWindow(100, 420, kWidth, kHeight, kFixed);
    ASSERT_NE(g_drag.hwnd, nullptr);
    SetPropW(g_drag.hwnd, kClosable, reinterpret_cast<HANDLE>(1));
    cNeoCaption painter;
    AttachMainSkin(painter, g_drag.hwnd, pictures);
    RECT before;
    GetWindowRect(g_drag.hwnd, &before);
    g_drag.start = {before.left + 200, before.top + 15};
    SetCursorPos(g_drag.start.x, g_drag.start.y);
    PumpMessages();

    SetTimer(nullptr, 0, 100, &DragStep);
    test::SendMouse(MOUSEEVENTF_LEFTDOWN);
    for (int i = 0; i < 300 && IsWindow(g_drag.hwnd); ++i) {
        PumpMessages();  // the press arrives here and the drag loop runs inside
        Sleep(10);
    }
    test::SendMouse(MOUSEEVENTF_LEFTUP);
    PumpMessages();
    EXPECT_FALSE(IsWindow(g_drag.hwnd));
    EXPECT_EQ(g_drag.step, 2);
    EXPECT_EQ(g_drag.moved.left - before.left, g_drag.offset.x);
    EXPECT_EQ(g_drag.moved.top - before.top, g_drag.offset.y);
    EXPECT_EQ(painter.Engine()->hWnd(), nullptr);
}

}  // namespace
}  // namespace quenlor
