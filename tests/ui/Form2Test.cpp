// The About window opened from the main window's menu, driven with real mouse and keyboard input:
// the modal life cycle, dragging by the surface, the link's colours, cursor and clicks, the keys
// that close it and the animation that stops while it is hidden.
#include "tests/ui/Form1Fixture.h"
#include "ui/MainMenu.h"
#include "ui/res/resource.h"

namespace quenlor::test {
namespace {

POINT OnScreen(HWND window, POINT client) {
    ClientToScreen(window, &client);
    return client;
}

POINT Middle(const RECT& r) {
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

int CountPixels(HWND window, const RECT& area, COLORREF colour) {
    HDC dc = GetDC(window);
    int count = 0;
    for (int y = area.top; y < area.bottom + 2; ++y)
        for (int x = area.left; x < area.right; ++x) count += GetPixel(dc, x, y) == colour;
    ReleaseDC(window, dc);
    return count;
}

class Form2Test : public Form1Test {
  protected:
    Form2* OpenAbout() {
        SendMessageW(form->hWnd(), WM_COMMAND, kMenuMABOUT, 0);  // as the menu entry sends it
        PumpFor(50);
        return form->About();
    }
    // Clicks a point of a window with the left button, through the input queue.
    void ClickAndPump(POINT screen) {
        MoveTo(screen);
        PumpFor(30);
        Click();
        PumpFor(60);
    }
};

TEST_F(Form2Test, ModalOverTheMainWindowUntilOkCloses) {
    Form2* about = OpenAbout();
    ASSERT_NE(about, nullptr);
    const HWND window = about->hWnd();
    EXPECT_TRUE(IsWindowVisible(window));
    EXPECT_EQ(GetWindow(window, GW_OWNER), form->hWnd());
    EXPECT_EQ(GetWindowTextLengthW(window), 0);
    RECT client;
    GetClientRect(window, &client);
    EXPECT_EQ(client.right, 298);  // 4470 x 3015 twips at 96 dots per inch
    EXPECT_EQ(client.bottom, 201);
    EXPECT_FALSE(IsWindowEnabled(form->hWnd()));
    EXPECT_EQ(GetActiveWindow(), window);

    // The main window takes no input: a click on "添加" opens no dialog.
    ClickAndPump(OnScreen(c().Command4.hWnd(), {10, 10}));
    EXPECT_TRUE(dialogs.open_requests.empty());
    // A second "关于" opens no second window; closing the main window from behind does nothing.
    EXPECT_EQ(OpenAbout(), about);
    SendMessageW(form->hWnd(), WM_CLOSE, 0, 0);
    PumpFor(50);
    EXPECT_TRUE(IsWindow(form->hWnd()));
    EXPECT_TRUE(IsWindow(window));
    EXPECT_EQ(unloaded, 0);

    ClickAndPump(OnScreen(about->ButtonCr1().hWnd(), {10, 10}));
    EXPECT_TRUE(PumpUntil([&] { return !IsWindow(window); }));
    EXPECT_EQ(form->About(), nullptr);
    EXPECT_TRUE(IsWindowEnabled(form->hWnd()));
    EXPECT_EQ(GetActiveWindow(), form->hWnd());
    const HWND focus = GetFocus();
    EXPECT_TRUE(focus == form->hWnd() || IsChild(form->hWnd(), focus));
    // And it opens again.
    ASSERT_NE(OpenAbout(), nullptr);
}

TEST_F(Form2Test, EnterAndEscapeCloseIt) {
    for (WORD key : {VK_RETURN, VK_ESCAPE}) {
        SCOPED_TRACE(key);
        Form2* about = OpenAbout();
        ASSERT_NE(about, nullptr);
        const HWND window = about->hWnd();
        Key(key);
        EXPECT_TRUE(PumpUntil([&] { return !IsWindow(window); }));
        EXPECT_TRUE(IsWindowEnabled(form->hWnd()));
    }
}

TEST_F(Form2Test, OnlyALeftDragOnTheSurfaceMovesIt) {
    struct Case {
        const char* name;
        DWORD down, up;
        bool moves;
    } kCases[] = {
        {"left drag", MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP, true},
        {"right drag", MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP, false},
    };
    Form2* about = OpenAbout();
    ASSERT_NE(about, nullptr);
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.name);
        RECT before;
        GetWindowRect(about->hWnd(), &before);
        const POINT start = OnScreen(about->hWnd(), {20, 20});  // bare surface
        MoveTo(start);
        PumpFor(30);
        // The whole gesture is queued first: the system's move loop reads it from the queue.
        Drag(start, {start.x + 36, start.y + 20}, 4, c.down, c.up);
        SendMouse(MOUSEEVENTF_LEFTUP);  // ends a move loop that a wrong button might have started
        PumpFor(300);
        RECT after;
        GetWindowRect(about->hWnd(), &after);
        EXPECT_EQ(after.left - before.left, c.moves ? 36 : 0);
        EXPECT_EQ(after.top - before.top, c.moves ? 20 : 0);
    }
}

TEST_F(Form2Test, LinkTurnsDarkRedUnderThePointerShowsTheHandAndOpensOncePerClick) {
    Form2* about = OpenAbout();
    ASSERT_NE(about, nullptr);
    const HWND window = about->hWnd();
    const RECT link = about->Label2Bounds();
    const COLORREF blue = RGB(0, 0, 255), darkRed = RGB(192, 0, 0);
    const HCURSOR hand = LoadCursorW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDC_LINK));
    ASSERT_NE(hand, nullptr);
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(hand, &info));
    BITMAP mask{};
    GetObjectW(info.hbmMask, sizeof mask, &mask);
    EXPECT_EQ(mask.bmWidth, 32);
    EXPECT_EQ(mask.bmHeight, 64);  // monochrome: AND and XOR images stacked
    DeleteObject(info.hbmMask);
    if (info.hbmColor) DeleteObject(info.hbmColor);

    struct Step {
        const char* name;
        POINT at;  // client pixels
        COLORREF shown, absent;
        bool hand;
    } kSteps[] = {
        {"on the window", {20, 20}, blue, darkRed, false},
        {"onto the link", Middle(link), darkRed, blue, true},
        {"back onto the window", {link.left - 8, Middle(link).y}, blue, darkRed, false},
    };
    for (const Step& s : kSteps) {
        SCOPED_TRACE(s.name);
        MoveTo(OnScreen(window, s.at));
        PumpFor(80);
        UpdateWindow(window);
        EXPECT_GT(CountPixels(window, link, s.shown), 10);
        EXPECT_EQ(CountPixels(window, link, s.absent), 0);
        EXPECT_EQ(GetCursor() == hand, s.hand);
    }

    ClickAndPump(OnScreen(window, Middle(link)));
    ClickAndPump(OnScreen(window, Middle(link)));
    EXPECT_EQ(opened, (std::vector<std::wstring>{L"https://quenlor.example.org/",
                                                 L"https://quenlor.example.org/"}));
    EXPECT_TRUE(IsWindow(window));
}

TEST_F(Form2Test, AnimationRunsOnlyWhileShownAndTheProgramMayEndWithItOpen) {
    Form2* about = OpenAbout();
    ASSERT_NE(about, nullptr);
    const int first = about->Movie().Frame();
    EXPECT_TRUE(PumpUntil([&] { return about->Movie().Frame() != first; }));
    ShowWindow(about->hWnd(), SW_HIDE);
    EXPECT_FALSE(about->Animating());
    const int hidden = about->Movie().Frame();
    PumpFor(300);
    EXPECT_EQ(about->Movie().Frame(), hidden);
    ShowWindow(about->hWnd(), SW_SHOWNA);
    EXPECT_TRUE(about->Animating());

    const HWND window = about->hWnd();
    form.reset();
    PumpMessages();
    EXPECT_FALSE(IsWindow(window));
}

}  // namespace
}  // namespace quenlor::test
