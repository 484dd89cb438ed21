// The keyboard route to the button commands, and where the folder dialog opens.
#include <functional>
#include <iterator>

#include "tests/ui/Form1Fixture.h"
#include "ui/MainMenu.h"

namespace quenlor::test {
namespace {

class Form1ShortcutsTest : public Form1Test {
  public:
    // The table's steps reach these through the fixture.
    using Form1Test::c;
    using Form1Test::list;
    using Form1Test::TickAllRows;

    void AddRows(int count) {
        std::wstring answer = L"C:\\nowhere";
        for (int i = 1; i <= count; ++i) answer += L'\0' + std::to_wstring(i) + L".exe";
        dialogs.open_files.push_back(answer);
        ASSERT_TRUE(ClickControl(c().Command4.hWnd()));
    }
    // A key pressed in `target` with Ctrl (or Shift) held or not, through the main loop's dispatch.
    void Press(HWND target, UINT key, bool ctrl, bool shift = false) {
        BYTE keys[256] = {};
        GetKeyboardState(keys);
        keys[VK_CONTROL] = ctrl ? 0x80 : 0;
        keys[VK_SHIFT] = shift ? 0x80 : 0;
        keys[VK_MENU] = 0;
        SetKeyboardState(keys);
        if (target == c().Text2 && !IsWindowEnabled(target))
            SendMessageW(c().Check1, BM_CLICK, 0, 0);  // auto save off: the box takes the focus
        SetFocus(target);
        ASSERT_EQ(GetFocus(), target);
        MSG message = {};
        message.hwnd = target;
        message.message = WM_KEYDOWN;
        message.wParam = key;
        message.lParam = 1;
        MessagePump::Dispatch(form->hWnd(), message);
        keys[VK_CONTROL] = keys[VK_SHIFT] = 0;
        SetKeyboardState(keys);
        PumpMessages();
    }
};

// The dotted focus cue inside a button's frame: marks on the row just inside its top line.
bool ShowsFocusCue(const ButtonCr& button) {
    HDC dc = GetDC(button.hWnd());
    int marks = 0;
    for (int x = 8; x < 24; ++x) marks += GetPixel(dc, x, 3) != GetSysColor(COLOR_BTNFACE);
    return ReleaseDC(button.hWnd(), dc) && marks > 0;
}

TEST_F(Form1ShortcutsTest, TabVisitsEveryEnabledControlInLayoutOrderAndEnterPressesAButton) {
    SendMessageW(c().Check1, BM_CLICK, 0, 0);  // auto save off: 更改 and the save box take part
    for (ButtonCr* b : {&c().Command3, &c().Command8, &c().ButtonCr3, &c().Command7, &c().Command6})
        b->Enabled(true);
    SetFocus(c().Command2.hWnd());
    EXPECT_FALSE(ShowsFocusCue(c().Command2)) << "no cue before the keyboard is used";
    const HWND order[] = {c().ButtonCr2.hWnd(), c().Text2,           c().ButtonCr1.hWnd(),
                          c().Command3.hWnd(),  c().Command4.hWnd(), c().Check1,
                          c().Check2,           list().hWnd(),       c().Command8.hWnd(),
                          c().ButtonCr3.hWnd(), c().Command7.hWnd(), c().Command6.hWnd(),
                          c().Command2.hWnd()};
    const size_t n = std::size(order);
    for (const bool back : {false, true}) {
        SCOPED_TRACE(back ? "Shift+Tab" : "Tab");
        for (size_t i = 0; i < n; ++i) {
            const size_t from = back ? n - 1 - i : i, to = back ? (from + n - 1) % n : (i + 1) % n;
            Press(order[from], VK_TAB, false, back);
            EXPECT_EQ(GetFocus(), order[to]) << "from control " << from;
        }
    }
    EXPECT_TRUE(ShowsFocusCue(c().Command2) && !ShowsFocusCue(c().Command4)) << "on the focused";
    Press(c().ButtonCr1.hWnd(), VK_RETURN, false);
    EXPECT_EQ(dialogs.prompts.size(), 1u) << "Enter on 打开 opens the folder dialog";
}

TEST_F(Form1ShortcutsTest, EachShortcutRunsItsCommandOnlyWhileItsButtonIsEnabled) {
    struct Case {
        const char* name;
        std::function<void(Form1ShortcutsTest&)> arrange;
        UINT key;
        bool ctrl;
        bool in_text_box;
        std::function<bool(Form1ShortcutsTest&)> ran;  // did the command run?
        bool expect_ran;
    };
    auto all_ticked = [](Form1ShortcutsTest& t) {
        return t.list().RowCount() > 0 && t.list().RowChecked(1) &&
               t.c().Command8.Caption() == L"全不选";
    };
    auto rows_left = [](int n) {
        return [n](Form1ShortcutsTest& t) { return t.list().RowCount() == n; };
    };
    auto converted = [](Form1ShortcutsTest& t) {
        return t.list().CellText(1, Column::Result) == L"失败";  // the source does not exist
    };
    const Case cases[] = {
        {"Ctrl+A with no rows", [](auto&) {}, 'A', true, false, all_ticked, false},
        {"Ctrl+A with rows", [](auto& t) { t.AddRows(2); }, 'A', true, false, all_ticked, true},
        {"A without Ctrl", [](auto& t) { t.AddRows(2); }, 'A', false, false, all_ticked, false},
        {"Ctrl+A in the save-directory box", [](auto& t) { t.AddRows(2); }, 'A', true, true,
         all_ticked, false},
        {"Delete with nothing ticked", [](auto& t) { t.AddRows(2); }, VK_DELETE, false, false,
         rows_left(0), false},
        {"Delete with all ticked",
         [](auto& t) {
             t.AddRows(2);
             t.TickAllRows();
         },
         VK_DELETE, false, false, rows_left(0), true},
        {"Delete in the save-directory box",
         [](auto& t) {
             t.AddRows(2);
             t.TickAllRows();
         },
         VK_DELETE, false, true, rows_left(0), false},
        {"Ctrl+Enter with nothing ticked", [](auto& t) { t.AddRows(1); }, VK_RETURN, true, false,
         converted, false},
        {"Ctrl+Enter with a ticked row",
         [](auto& t) {
             t.AddRows(1);
             t.TickAllRows();
         },
         VK_RETURN, true, false, converted, true},
        {"Enter alone",
         [](auto& t) {
             t.AddRows(1);
             t.TickAllRows();
         },
         VK_RETURN, false, false, converted, false},
        {"Esc with nothing running", [](auto&) {}, VK_ESCAPE, false, false,
         [](auto& t) { return t.c().Command7.Enabled(); }, false},
        {"Esc while a conversion runs", [](auto& t) { t.c().Command6.Enabled(true); }, VK_ESCAPE,
         false, false,
         [](auto& t) { return !t.c().Command6.Enabled() && t.c().Command7.Enabled(); }, true},
        {"Esc while a search runs", [](auto& t) { t.c().Command3.Enabled(true); }, VK_ESCAPE, false,
         false, [](auto& t) { return !t.c().Command3.Enabled(); }, true},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        Open(96);
        k.arrange(*this);
        Press(k.in_text_box ? c().Text2 : list().hWnd(), k.key, k.ctrl);
        EXPECT_EQ(k.ran(*this), k.expect_ran);
    }
}

TEST_F(Form1ShortcutsTest, F1OpensOneAboutWindow) {
    Press(list().hWnd(), VK_F1, false);
    Form2* about = form->About();
    ASSERT_NE(about, nullptr);
    // The main window waits behind it: F1 there again opens no second one.
    MSG again = {};
    again.hwnd = list().hWnd();
    again.message = WM_KEYDOWN;
    again.wParam = VK_F1;
    again.lParam = 1;
    MessagePump::Dispatch(form->hWnd(), again);
    PumpMessages();
    EXPECT_EQ(form->About(), about);
    about->ButtonCr1_Click();
    PumpMessages();
    EXPECT_EQ(form->About(), nullptr);
}

TEST_F(Form1ShortcutsTest, FolderDialogOpensAtTheLastFolderChosen) {
    SendMessageW(c().Check1, BM_CLICK, 0, 0);  // auto save off: "更改" is enabled
    dialogs.folders = {L"D:\\first", L"", L"E:\\second"};
    ASSERT_TRUE(ClickControl(c().ButtonCr2.hWnd()));
    ASSERT_TRUE(ClickControl(c().ButtonCr2.hWnd()));  // cancelled: the last choice stays
    SendMessageW(form->hWnd(), WM_COMMAND, kMenuMSFDr, 0);
    ASSERT_TRUE(ClickControl(c().ButtonCr2.hWnd()));
    EXPECT_EQ(dialogs.start_folders,
              (std::vector<std::wstring>{L"", L"D:\\first", L"D:\\first", L"E:\\second"}));
}

}  // namespace
}  // namespace quenlor::test
