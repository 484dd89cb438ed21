// The main window's start and end around its skin: pictures that cannot be loaded leave the
// standard frame with the real menu; a frame that cannot be attached is reported and the window
// goes; a window that ends has nothing of the skin left on it when WM_NCDESTROY comes.
#include <cwchar>

#include "tests/support/WindowProperties.h"
#include "tests/ui/Form1Fixture.h"

namespace quenlor::test {
namespace {

// A module without the skin pictures among its resources.
HINSTANCE ModuleWithoutPictures() {
    return GetModuleHandleW(L"ntdll.dll");
}

TEST(Form1Startup, WithoutItsPicturesTheWindowKeepsTheStandardFrameAndTheRealMenu) {
    FakeDialogs dialogs;
    Form1 form(ModuleWithoutPictures(), Form1::Options{&dialogs, 96, {}});
    ASSERT_TRUE(form.Create(SW_SHOWNOACTIVATE));
    const HWND hwnd = form.hWnd();
    // The pointer over the window: the skin, were it there, would take the menu off now.
    SendMessageW(hwnd, WM_SETCURSOR, reinterpret_cast<WPARAM>(hwnd), MAKELPARAM(HTCLIENT, 0));
    PumpMessages();

    EXPECT_EQ(GetMenu(hwnd), form.Menu());
    ASSERT_NE(form.Caption(), nullptr);
    EXPECT_EQ(form.Caption()->Engine(), nullptr);
    // The client area sits where the system's own frame, caption and menu bar put it.
    RECT window, frame = {0, 0, 0, 0};
    GetWindowRect(hwnd, &window);
    AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongPtrW(hwnd, GWL_STYLE)), TRUE, 0);
    POINT origin = {0, 0};
    ClientToScreen(hwnd, &origin);
    EXPECT_EQ(origin.x - window.left, -frame.left);
    EXPECT_GE(origin.y - window.top, -frame.top);  // a long menu bar may wrap onto two rows
    EXPECT_TRUE(dialogs.messages.empty());
}

HHOOK g_hook = nullptr;

// Destroys the main window as its menu bar starts to attach, so that the bar's registrations fail.
LRESULT CALLBACK DestroyWhileLoading(int code, WPARAM wParam, LPARAM lParam) {
    const auto& message = *reinterpret_cast<const CWPSTRUCT*>(lParam);
    wchar_t name[64] = {};
    if (code == HC_ACTION && message.message == WM_ENTERMENULOOP &&
        GetClassNameW(message.hwnd, name, 64) && std::wcscmp(name, Form1::kClassName) == 0) {
        DestroyWindow(message.hwnd);
    }
    return CallNextHookEx(g_hook, code, wParam, lParam);
}

TEST(Form1Startup, AFrameThatCannotBeAttachedIsReportedAndTheWindowGoes) {
    FakeDialogs dialogs;
    Form1 form(GetModuleHandleW(nullptr), Form1::Options{&dialogs, 96, {}});
    g_hook = SetWindowsHookExW(WH_CALLWNDPROC, &DestroyWhileLoading, nullptr, GetCurrentThreadId());
    ASSERT_NE(g_hook, nullptr);
    const bool created = form.Create(SW_SHOWNOACTIVATE);
    UnhookWindowsHookEx(g_hook);
    PumpMessages();

    EXPECT_FALSE(created);
    EXPECT_EQ(form.hWnd(), nullptr);
    ASSERT_EQ(dialogs.messages.size(), 1u);
    // All in the program's words, then the system's own for a window handle that is not valid
    // (in the user's language) where the system has them.
    const std::wstring text = dialogs.messages[0].text, ours = L"无法初始化窗口：窗口已不存在。";
    EXPECT_EQ(text.substr(0, ours.size()), ours);
    EXPECT_TRUE(text.size() == ours.size() || text.substr(ours.size(), 6) == L"\n系统信息：")
        << text;
    EXPECT_EQ(dialogs.messages[0].title, L"提示");
}

// Seen before the window's own procedure gets the message.
HWND g_window = nullptr;
int g_propertiesAtTheEnd = -1;
LRESULT CALLBACK CountPropertiesAtTheEnd(int code, WPARAM wParam, LPARAM lParam) {
    const auto& message = *reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && message.message == WM_NCDESTROY && message.hwnd == g_window)
        g_propertiesAtTheEnd = static_cast<int>(Properties(message.hwnd).size());
    return CallNextHookEx(g_hook, code, wParam, lParam);
}

TEST_F(Form1Test, NothingOfTheSkinIsLeftOnTheWindowWhenItEnds) {
    const HWND hwnd = g_window = form->hWnd();
    SendMessageW(hwnd, WM_SETCURSOR, reinterpret_cast<WPARAM>(hwnd), MAKELPARAM(HTCAPTION, 0));
    PumpMessages();
    EXPECT_GT(Properties(hwnd).size(), 20u);  // engine, menu bar and popup tracker at work
    g_hook =
        SetWindowsHookExW(WH_CALLWNDPROC, &CountPropertiesAtTheEnd, nullptr, GetCurrentThreadId());
    ASSERT_NE(g_hook, nullptr);
    form.reset();
    UnhookWindowsHookEx(g_hook);
    EXPECT_EQ(g_propertiesAtTheEnd, 0);
}

}  // namespace
}  // namespace quenlor::test
