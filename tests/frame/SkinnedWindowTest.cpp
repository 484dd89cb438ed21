// Real skinned windows under Wine: the frame's pixels against what the two skin pictures put there,
// hit testing, the caption buttons driven by the messages the system sends, the Alt-key hook, and
// attach / paint / detach cycles with the GDI handle table all but full.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <memory>
#include <vector>

#include "NCKeyboardHook.h"
#include "win/CallbackBarrier.h"
#include "cNeoCaption.h"
#include "../support/Dib.h"
#include "../support/GdiTableFiller.h"
#include "../support/Input.h"
#include "../support/Pump.h"
#include "../support/WindowProperties.h"

namespace quenlor {
namespace {

using test::Dib;
using test::GdiTableFiller;
using test::PumpMessages;

// Picture colours that name their own source pixel, so a piece from the wrong place shows.
uint32_t CaptionPixel(int x, int y) {
    return static_cast<uint32_t>((x & 0xFF) << 16 | ((x >> 8) << 6 | y) << 8 | 0x33);
}
uint32_t BorderPixel(int x, int y) {
    return static_cast<uint32_t>(x << 16 | y << 8 | 0xC0);
}

// Test windows: plain top-level windows that close only when marked closable (Alt+F4 and the
// close button of the other tests must not take the shared windows away).
constexpr const wchar_t* kClass = L"QuenlorFrameTestWindow";
constexpr const wchar_t* kClosable = L"QuenlorFrameTestClosable";

int g_paints = 0;  // client repaints of the test windows

LRESULT CALLBACK TestWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_PAINT) ++g_paints;
    if (message == WM_CLOSE && !GetPropW(hwnd, kClosable)) return 0;
    if (message == WM_DESTROY) RemovePropW(hwnd, kClosable);
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

HWND MakeWindow(int x, int y, int width, int height, DWORD style) {
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
constexpr DWORD kFixed = WS_POPUP | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX;
constexpr int kWidth = 400, kHeight = 300;  // the design's worked example is 400 wide

// Windows live for the whole run: destroying a top-level window costs seconds here.
HWND SharedWindow(int index) {
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

void AttachMainSkin(cNeoCaption& painter, HWND hwnd, const SkinPictures& pictures) {
    painter.Attach(hwnd, pictures.caption.get(), pictures.border.get(), 19, 20, 90, 140, 240, 400);
    PumpMessages();
}

// The whole window as it is on the screen.
std::unique_ptr<Dib> ReadWindow(HWND hwnd) {
    auto dib = std::make_unique<Dib>(kWidth, kHeight);
    WindowFrameDC window(hwnd);
    const HDC memory = CreateCompatibleDC(window.get());
    const HGDIOBJ old = SelectObject(memory, dib->get());
    BitBlt(memory, 0, 0, kWidth, kHeight, window.get(), 0, 0, SRCCOPY);
    GdiFlush();
    SelectObject(memory, old);
    DeleteDC(memory);
    return dib;
}

LPARAM ScreenPoint(HWND hwnd, int x, int y) {
    RECT r;
    GetWindowRect(hwnd, &r);
    return MAKELPARAM(static_cast<WORD>(r.left + x), static_cast<WORD>(r.top + y));
}

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

bool SysCommandQueued(HWND hwnd, WPARAM* command) {
    MSG message;
    if (!PeekMessageW(&message, hwnd, WM_SYSCOMMAND, WM_SYSCOMMAND, PM_NOREMOVE)) return false;
    *command = message.wParam;
    return true;
}

TEST(SkinnedWindow, CloseButtonFiresOnlyWhenReleasedOverIt) {
    SkinPictures pictures;
    HWND hwnd = MakeWindow(100, 420, kWidth, kHeight, kFixed);
    ASSERT_NE(hwnd, nullptr);
    SetPropW(hwnd, kClosable, reinterpret_cast<HANDLE>(1));
    cNeoCaption painter;
    AttachMainSkin(painter, hwnd, pictures);
    const LPARAM onClose = ScreenPoint(hwnd, 385, 15), onCaption = ScreenPoint(hwnd, 200, 15);
    const auto closePixel = [&] { return ReadWindow(hwnd)->at(385, 15); };
    const uint32_t normal = CaptionPixel(241 + 10, 10), pressed = CaptionPixel(241 + 10, 20 + 10);
    // What the system sends: a hit test whenever the pointer moves, the button messages with the
    // hit-test code.
    const auto move = [&](LPARAM where) { return SendMessageW(hwnd, WM_NCHITTEST, 0, where); };
    const auto press = [&](LPARAM where) {
        SendMessageW(hwnd, WM_NCLBUTTONDOWN, move(where), where);
    };
    const auto release = [&](LPARAM where) {
        SendMessageW(hwnd, WM_NCLBUTTONUP, move(where), where);
    };
    WPARAM command = 0;

    press(onClose);
    EXPECT_EQ(closePixel(), pressed);
    move(onCaption);  // dragged off: drawn released
    EXPECT_EQ(closePixel(), normal);
    release(onCaption);
    EXPECT_FALSE(SysCommandQueued(hwnd, &command)) << "command " << command;

    press(onClose);
    move(onCaption);
    move(onClose);  // back over it: stays drawn released
    EXPECT_EQ(closePixel(), normal);
    release(onClose);
    ASSERT_TRUE(SysCommandQueued(hwnd, &command));
    EXPECT_EQ(command, static_cast<WPARAM>(SC_CLOSE));
    PumpMessages();
    EXPECT_FALSE(IsWindow(hwnd));
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
            WindowFrameDC dc(hwnd);
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
