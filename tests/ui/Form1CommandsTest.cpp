// The main window's commands and the button states they leave, event by event.
#include <functional>

#include "tests/ui/Form1Fixture.h"
#include "ui/MainMenu.h"
#include "ui/SizeFormat.h"

namespace quenlor::test {
namespace {

constexpr size_t kStub = 286700;

class Form1CommandsTest : public Form1Test {
  protected:
    std::vector<std::wstring> Rows() {
        std::vector<std::wstring> rows;
        for (int row = 1; row <= list().RowCount(); ++row) rows.push_back(list().RowText(row));
        return rows;
    }
};

TEST_F(Form1CommandsTest, AddFileListsEveryChosenFile) {
    AddFiles(L"C:\\swf", {L"a.exe", L"b.exe", L"c.exe"});
    EXPECT_EQ(Rows(),
              (std::vector<std::wstring>{L"C:\\swf\\a.exe", L"C:\\swf\\b.exe", L"C:\\swf\\c.exe"}));
    EXPECT_TRUE(c().Command8.Enabled());

    dialogs.open_files.push_back(L"D:\\one\\single.exe");
    ASSERT_TRUE(ClickControl(c().Command4.hWnd()));
    EXPECT_EQ(list().RowText(4), L"D:\\one\\single.exe");

    // Files in a drive root keep the doubled separator, which the file functions accept.
    AddFiles(L"C:\\", {L"a.exe", L"b.exe"});
    EXPECT_EQ(list().RowText(5), L"C:\\\\a.exe");
    EXPECT_EQ(list().RowCount(), 6);
    // Added rows are not ticked, and the menu entry runs the same command.
    EXPECT_FALSE(list().RowChecked(1));
    dialogs.open_files.push_back(L"E:\\menu.exe");
    SendMessageW(form->hWnd(), WM_COMMAND, kMenuMDF, 0);
    EXPECT_EQ(list().RowText(7), L"E:\\menu.exe");
    // Each dialog after the first opens where the last file added was.
    ASSERT_EQ(dialogs.open_requests.size(), 4u);
    EXPECT_EQ(dialogs.open_requests[1].initial_directory, L"C:\\swf");
    EXPECT_EQ(dialogs.open_requests[2].initial_directory, L"D:\\one\\");
    EXPECT_EQ(dialogs.open_requests[3].initial_directory, L"C:\\");
}

TEST_F(Form1CommandsTest, CancelledAddChangesNothing) {
    dialogs.open_files.push_back(L"");
    ASSERT_TRUE(ClickControl(c().Command4.hWnd()));
    EXPECT_EQ(list().RowCount(), 0);
    EXPECT_FALSE(c().Command8.Enabled());
}

TEST_F(Form1CommandsTest, SelectAllAndNoneFlipCaptionTicksAndButtons) {
    AddFiles(L"C:\\swf", {L"a.exe", L"b.exe", L"c.exe"});
    ASSERT_TRUE(ClickControl(c().Command8.hWnd()));
    EXPECT_EQ(c().Command8.Caption(), L"全不选");
    EXPECT_TRUE(c().Command7.Enabled());
    EXPECT_TRUE(c().ButtonCr3.Enabled());
    for (int row = 1; row <= 3; ++row) EXPECT_TRUE(list().RowChecked(row)) << row;

    ASSERT_TRUE(ClickControl(c().Command8.hWnd()));
    EXPECT_EQ(c().Command8.Caption(), L"全选");
    EXPECT_FALSE(c().Command7.Enabled());
    EXPECT_FALSE(c().ButtonCr3.Enabled());
    for (int row = 1; row <= 3; ++row) EXPECT_FALSE(list().RowChecked(row)) << row;
}

TEST_F(Form1CommandsTest, TickingByMouseAndKeyboardKeepsConvertAndRemoveInStep) {
    AddFiles(L"C:\\swf", {L"a.exe", L"b.exe", L"c.exe"});
    ASSERT_TRUE(ClickRowCheckBox(list().hWnd(), 2));
    EXPECT_TRUE(list().RowChecked(2));
    EXPECT_TRUE(c().Command7.Enabled());
    EXPECT_TRUE(c().ButtonCr3.Enabled());

    PressSpaceOnRow(list().hWnd(), 3);
    EXPECT_TRUE(list().RowChecked(3));
    ASSERT_TRUE(ClickRowCheckBox(list().hWnd(), 2));
    EXPECT_FALSE(list().RowChecked(2));
    // Row 3 is still ticked.
    EXPECT_TRUE(c().Command7.Enabled());
    EXPECT_TRUE(c().ButtonCr3.Enabled());

    // Unticking the last ticked row disables both.
    PressSpaceOnRow(list().hWnd(), 3);
    EXPECT_FALSE(list().RowChecked(3));
    EXPECT_FALSE(c().Command7.Enabled());
    EXPECT_FALSE(c().ButtonCr3.Enabled());
    // The select-all caption is not touched by ticking.
    EXPECT_EQ(c().Command8.Caption(), L"全选");
}

TEST_F(Form1CommandsTest, RemoveDeletesTheTickedRowsOnly) {
    AddFiles(L"C:\\swf", {L"1.exe", L"2.exe", L"3.exe", L"4.exe"});
    ASSERT_TRUE(ClickRowCheckBox(list().hWnd(), 2));
    ASSERT_TRUE(ClickRowCheckBox(list().hWnd(), 3));
    ASSERT_TRUE(ClickControl(c().ButtonCr3.hWnd()));
    EXPECT_EQ(Rows(), (std::vector<std::wstring>{L"C:\\swf\\1.exe", L"C:\\swf\\4.exe"}));
}

// After 全选, the list changes: the buttons say what the ticks are, and the next press of the
// select-all button does what its caption says.
TEST_F(Form1CommandsTest, TheListsButtonsFollowTheTicksAfterEveryChange) {
    TempFolder folder;
    folder.WriteProjector(L"p.exe", kStub);
    struct Case {
        const char* name;
        std::function<void()> change;
        const wchar_t* caption;
        bool selectAll, convert, remove;
    };
    const Case cases[] = {
        {"a new search", [&] { SearchFolder(folder.Text()); }, L"全选", true, false, false},
        {"a folder dropped", [&] { Drop(form->hWnd(), {folder.Text()}); }, L"全选", true, false,
         false},
        {"添加 one more", [&] { AddFiles(L"C:\\swf", {L"d.exe"}); }, L"全不选", true, true, true},
        {"删除", [&] { ClickControl(c().ButtonCr3.hWnd()); }, L"全选", false, false, false},
        {"every row unticked by mouse",
         [&] {
             for (int row = 1; row <= 3; ++row) ClickRowCheckBox(list().hWnd(), row);
         },
         L"全选", true, false, false},
        {"one row unticked with Space", [&] { PressSpaceOnRow(list().hWnd(), 2); }, L"全不选", true,
         true, true},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        list().Clear();
        AddFiles(L"C:\\swf", {L"a.exe", L"b.exe", L"c.exe"});
        TickAllRows();
        ASSERT_EQ(c().Command8.Caption(), L"全不选");
        k.change();
        EXPECT_EQ(c().Command8.Caption(), k.caption);
        EXPECT_EQ(c().Command8.Enabled(), k.selectAll);
        EXPECT_EQ(c().Command7.Enabled(), k.convert);
        EXPECT_EQ(c().ButtonCr3.Enabled(), k.remove);
        if (!k.selectAll) continue;
        // Ctrl+A, or a click: every row ticked after "全选", none after "全不选".
        const bool tick = k.caption == std::wstring(L"全选");
        TickAllRows();
        for (int row = 1; row <= list().RowCount(); ++row) EXPECT_EQ(list().RowChecked(row), tick);
        EXPECT_EQ(c().Command7.Enabled(), tick);
    }
}

// Bulk changes on a long list: the counts behind the buttons after each, the status line, and a
// cost in messages to the list that does not grow with its rows.
TEST_F(Form1CommandsTest, BulkChangesKeepTheCountsAndSendNoMessagePerRow) {
    constexpr int kRows = 400;
    struct Case {
        const char* name;
        std::function<void()> change;
        int rows, ticked, convertible, source_deleted;
        const wchar_t* status;  // null: left as it was
    };
    const auto press = [this](ButtonCr& button) {
        return [&button] { ClickControl(button.hWnd()); };
    };
    const Case cases[] = {
        {"全选", press(c().Command8), kRows, kRows, kRows - 1, 1, nullptr},
        {"全选, 全不选", [&] { press(c().Command8)(), press(c().Command8)(); }, kRows, 0, 0, 1,
         nullptr},
        {"全选, 删除", [&] { press(c().Command8)(), press(c().ButtonCr3)(); }, 0, 0, 0, 0,
         L"共有0个文件"},
        {"添加",
         [&] {
             AddFiles(L"C:\\more", {L"x.exe", L"y.exe"});
         },
         kRows + 2, 0, 0, 1, L"共有402个文件"},
        {"a new search", [&] { SearchFolder(TempFolder().Text()); }, 0, 0, 0, 0,
         L"共找到：0个文件"},
    };
    const auto fill = [&] {
        list().Clear();
        std::vector<std::wstring> names;
        for (int i = 0; i < kRows; ++i) names.push_back(std::to_wstring(i) + L".exe");
        AddFiles(L"C:\\swf", names);
        list().MarkSourceDeleted(1);  // as a batch with 删除原文件 leaves it
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        fill();
        const std::wstring before = form->StatusText();
        const int messages = CountMessagesTo(list().hWnd(), k.change);
        EXPECT_EQ(list().RowCount(), k.rows);
        EXPECT_EQ(list().CheckedCount(), k.ticked);
        EXPECT_EQ(list().ConvertibleCount(), k.convertible);
        EXPECT_EQ(list().SourceDeletedCount(), k.source_deleted);
        EXPECT_EQ(c().Command7.Enabled(), k.convertible > 0);
        EXPECT_EQ(c().ButtonCr3.Enabled(), k.ticked > 0);
        EXPECT_EQ(form->StatusText(), k.status ? std::wstring(k.status) : before);
        EXPECT_LT(messages, 50);
    }

    // Space on many selected rows ticks them all, as the focused one goes.
    fill();
    for (int row = 1; row <= 300; ++row) SelectRow(list().hWnd(), row);
    PressSpaceOnRow(list().hWnd(), 1);
    EXPECT_EQ(list().CheckedCount(), 300);
    EXPECT_TRUE(list().RowChecked(300));
    EXPECT_FALSE(list().RowChecked(301));
    EXPECT_TRUE(c().Command7.Enabled());
}

// With 删除原文件 ticked, converted rows come back unticked; ticked again they can be removed, but
// "转换" has nothing left to convert in them. (Later batches: the core's tests and e2e_batches.sh.)
TEST_F(Form1CommandsTest, RowsWhoseSourcesWereDeletedHaveNothingLeftToConvert) {
    TempFolder folder;
    folder.WriteProjector(L"a.exe", kStub);
    SendMessageW(c().Check2, BM_CLICK, 0, 0);  // 删除原文件
    SearchFolder(folder.Text());
    TickAllRows();
    ASSERT_TRUE(ClickControl(c().Command7.hWnd()));
    ASSERT_FALSE(folder.Exists(L"a.exe"));
    EXPECT_FALSE(list().RowChecked(1));
    EXPECT_EQ(c().Command8.Caption(), L"全选");
    EXPECT_FALSE(c().ButtonCr3.Enabled());

    ASSERT_TRUE(ClickRowCheckBox(list().hWnd(), 1));
    EXPECT_TRUE(c().ButtonCr3.Enabled());
    EXPECT_FALSE(c().Command7.Enabled());
    EXPECT_EQ(list().CellText(1, Column::Result), L"成功");
}

TEST_F(Form1CommandsTest, AutoSaveSwitchKeepsTheSaveDirectoryControlsInStep) {
    SendMessageW(c().Check1, BM_CLICK, 0, 0);  // untick
    EXPECT_EQ(SendMessageW(c().Check1, BM_GETCHECK, 0, 0), BST_UNCHECKED);
    EXPECT_TRUE(IsWindowEnabled(c().Text2));
    EXPECT_TRUE(c().ButtonCr2.Enabled());
    EXPECT_TRUE(MenuEnabled(kMenuMSFDr));
    HDC dc = GetDC(c().Text2);
    auto brush = reinterpret_cast<HBRUSH>(SendMessageW(form->hWnd(), WM_CTLCOLOREDIT,
                                                       reinterpret_cast<WPARAM>(dc),
                                                       reinterpret_cast<LPARAM>(c().Text2)));
    EXPECT_EQ(brush, GetSysColorBrush(COLOR_WINDOW));

    SetWindowTextW(c().Text2, L"D:\\out");
    SendMessageW(c().Check1, BM_CLICK, 0, 0);  // tick again
    EXPECT_FALSE(IsWindowEnabled(c().Text2));
    EXPECT_FALSE(c().ButtonCr2.Enabled());
    EXPECT_FALSE(MenuEnabled(kMenuMSFDr));
    brush = reinterpret_cast<HBRUSH>(SendMessageW(form->hWnd(), WM_CTLCOLORSTATIC,
                                                  reinterpret_cast<WPARAM>(dc),
                                                  reinterpret_cast<LPARAM>(c().Text2)));
    EXPECT_EQ(brush, GetSysColorBrush(COLOR_BTNFACE));
    ReleaseDC(c().Text2, dc);
    EXPECT_EQ(TextOf(c().Text2), L"D:\\out");
}

TEST_F(Form1CommandsTest, SaveDirectoryPickerSetsTheBoxUnlessCancelled) {
    SendMessageW(c().Check1, BM_CLICK, 0, 0);
    dialogs.folders = {L"D:\\movies", L""};
    ASSERT_TRUE(ClickControl(c().ButtonCr2.hWnd()));
    EXPECT_EQ(TextOf(c().Text2), L"D:\\movies");
    EXPECT_EQ(form->ChosenFolder, L"D:\\movies");
    SendMessageW(form->hWnd(), WM_COMMAND, kMenuMSFDr, 0);  // cancelled
    EXPECT_EQ(TextOf(c().Text2), L"D:\\movies");
    EXPECT_EQ(form->ChosenFolder, L"");
    ASSERT_EQ(dialogs.prompts.size(), 2u);
    EXPECT_EQ(dialogs.prompts[0], L"请选择一个有效的保存文件夹目录");
}

TEST_F(Form1CommandsTest, SourceFolderBecomesTheSaveDirectoryOnlyWhenThatIsEmptyAndInUse) {
    TempFolder folder;
    // Auto save on: the box is disabled and stays empty.
    SearchFolder(folder.Text());
    EXPECT_EQ(TextOf(c().Text2), L"");
    EXPECT_EQ(TextOf(c().Text1), folder.Text());
    EXPECT_EQ(dialogs.prompts.back(), L"请选择一个有效的源文件夹目录");

    SendMessageW(c().Check1, BM_CLICK, 0, 0);  // auto save off
    SearchFolder(folder.Text());
    EXPECT_EQ(TextOf(c().Text2), folder.Text());

    SetWindowTextW(c().Text2, L"D:\\chosen");
    SearchFolder(folder.Text());
    EXPECT_EQ(TextOf(c().Text2), L"D:\\chosen");

    // A cancelled picker changes nothing and searches nothing.
    const size_t before = statuses.size();
    SearchFolder(L"");
    EXPECT_EQ(statuses.size(), before);
    EXPECT_EQ(TextOf(c().Text1), folder.Text());
}

TEST_F(Form1CommandsTest, SearchStartsInTheFolderWithOneBackslashOrAtTheDriveRoot) {
    TempFolder folder;
    folder.WriteProjector(L"x.exe", kStub);
    SearchFolder(folder.Text());
    ASSERT_GE(statuses.size(), 2u);
    EXPECT_EQ(statuses.front(), L"正在搜索：" + folder.Text() + L"\\");
    EXPECT_EQ(list().RowText(1), folder.Text() + L"\\x.exe");
    // With nothing added yet, "添加" opens in the folder just searched.
    ASSERT_TRUE(ClickControl(c().Command4.hWnd()));
    ASSERT_EQ(dialogs.open_requests.size(), 1u);
    EXPECT_EQ(dialogs.open_requests[0].initial_directory, folder.Text() + L"\\");

    // C:\ is searched from C:\ (stopped at once: the whole drive is not the point here).
    statuses.clear();
    on_status = [this](const std::wstring& text) {
        if (text.rfind(L"正在搜索：", 0) == 0) form->Command3_Click();
    };
    SearchFolder(L"C:\\");
    on_status = nullptr;
    ASSERT_GE(statuses.size(), 2u);
    EXPECT_EQ(statuses.front(), L"正在搜索：C:\\");
    EXPECT_EQ(statuses.back(), L"已停止搜索，共找到：0个文件");
}

TEST_F(Form1CommandsTest, SearchDrivesTheStopSearchAndSelectAllButtons) {
    TempFolder folder;
    folder.WriteProjector(L"a.exe", kStub);
    folder.WriteProjector(L"sub\\b.exe", kStub);
    folder.Write(L"plain.exe", std::vector<char>(300000, 'x'));

    std::vector<bool> stop_search_enabled_while_running;
    on_status = [&](const std::wstring& text) {
        if (text.rfind(L"正在搜索：", 0) == 0)
            stop_search_enabled_while_running.push_back(c().Command3.Enabled());
    };
    SearchFolder(folder.Text());
    ASSERT_EQ(stop_search_enabled_while_running, (std::vector<bool>{true, true}));
    EXPECT_FALSE(c().Command3.Enabled());
    EXPECT_TRUE(c().Command8.Enabled());
    EXPECT_FALSE(c().Command7.Enabled());
    EXPECT_EQ(list().RowCount(), 2);
    EXPECT_EQ(form->StatusText(), L"共找到：2个文件");

    // A search that finds nothing leaves the select-all button as it was.
    TempFolder empty;
    Open(96);
    SearchFolder(empty.Text());
    EXPECT_FALSE(c().Command8.Enabled());
    EXPECT_FALSE(c().Command3.Enabled());
    EXPECT_EQ(form->StatusText(), L"共找到：0个文件");
}

TEST_F(Form1CommandsTest, ConvertWritesMoviesBesideTheirSourcesAndFillsTheCells) {
    TempFolder folder;
    folder.WriteProjector(L"a.exe", kStub, 6, 1500);
    folder.WriteProjector(L"sub\\b.exe", kStub, 9, 20);
    SearchFolder(folder.Text());
    ASSERT_EQ(list().RowCount(), 2);
    TickAllRows();

    std::vector<bool> stop_enabled_while_running, convert_enabled_while_running;
    on_status = [&](const std::wstring& text) {
        if (text.find(L" 当前文件：") != std::wstring::npos) {
            stop_enabled_while_running.push_back(c().Command6.Enabled());
            convert_enabled_while_running.push_back(c().Command7.Enabled());
        }
    };
    ASSERT_TRUE(ClickControl(c().Command7.hWnd()));
    EXPECT_EQ(stop_enabled_while_running, (std::vector<bool>{true, true}));
    EXPECT_EQ(convert_enabled_while_running, (std::vector<bool>{false, false}));
    EXPECT_FALSE(c().Command6.Enabled());
    EXPECT_FALSE(c().Command7.Enabled());
    EXPECT_EQ(form->StatusText(), L" 共有2个文件  成功转换2个文件");

    ASSERT_TRUE(folder.Exists(L"a.swf"));
    ASSERT_TRUE(folder.Exists(L"sub\\b.swf"));
    EXPECT_EQ(folder.Size(L"a.swf"), 1504u);
    EXPECT_EQ(list().CellText(1, Column::Result), L"成功");
    EXPECT_EQ(list().CellText(1, Column::Version), L"Ver: 6");
    EXPECT_EQ(list().CellText(1, Column::Size), FormatByteCount(1504));
    EXPECT_EQ(list().CellText(1, Column::SaveDir), folder.Path(L"a.swf"));
    EXPECT_EQ(list().CellText(2, Column::Version), L"Ver: 9");
    EXPECT_EQ(list().CellText(2, Column::Size), FormatByteCount(24));

    // A new search clears the list, converted rows and their results included.
    SearchFolder(folder.Text());
    ASSERT_EQ(list().RowCount(), 2);
    for (int row = 1; row <= 2; ++row) {
        EXPECT_FALSE(list().RowChecked(row));
        EXPECT_EQ(list().CellText(row, Column::Result), L"");
        EXPECT_EQ(list().CellText(row, Column::Size), L"");
    }
    // Nothing is ticked after a search: the select-all button says so.
    EXPECT_EQ(c().Command8.Caption(), L"全选");
}

TEST_F(Form1CommandsTest, ConvertIntoTheSaveDirectoryOrAskForOne) {
    TempFolder source, target;
    source.WriteProjector(L"intro.exe", kStub);
    SendMessageW(c().Check1, BM_CLICK, 0, 0);  // auto save off
    SearchFolder(source.Text());
    SetWindowTextW(c().Text2, L"");
    TickAllRows();
    ASSERT_TRUE(ClickControl(c().Command7.hWnd()));
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text, L" 请选择一个有效的保存目录！ ");
    EXPECT_EQ(dialogs.messages[0].title, L"提示");
    EXPECT_TRUE(c().Command7.Enabled());
    EXPECT_EQ(list().CellText(1, Column::Result), L"");

    SetWindowTextW(c().Text2, target.Text().c_str());
    ASSERT_TRUE(ClickControl(c().Command7.hWnd()));
    EXPECT_TRUE(target.Exists(L"intro.swf"));
    EXPECT_FALSE(source.Exists(L"intro.swf"));
    EXPECT_EQ(list().CellText(1, Column::SaveDir), target.Path(L"intro.swf"));
}

TEST(SizeFormatTest, GroupsDigitsTheLocalesWayWithoutDecimals) {
    wchar_t separator[8] = {};
    GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_STHOUSAND, separator, 8);
    wchar_t decimal[8] = {};
    GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_SDECIMAL, decimal, 8);
    const std::wstring text = FormatByteCount(1234567);
    EXPECT_EQ(text.find(decimal), std::wstring::npos) << "no decimals";
    std::wstring digits;
    for (wchar_t ch : text) {
        if (ch >= L'0' && ch <= L'9') digits.push_back(ch);
    }
    EXPECT_EQ(digits, L"1234567");
    if (std::wstring(separator) == L",") {
        EXPECT_EQ(text, L"1,234,567");
    }
    EXPECT_EQ(FormatByteCount(0), L"0");
    EXPECT_EQ(FormatByteCount(999), L"999");
}

}  // namespace
}  // namespace quenlor::test
