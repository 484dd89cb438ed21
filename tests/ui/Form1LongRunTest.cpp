// Stopping and closing while a search or a conversion runs: both run on the window's thread and
// let its messages run between files, so a click or a close arrives in the middle of them.
#include "Form1Fixture.h"

namespace quenlor::test {
namespace {

constexpr size_t kStub = 286700;

// Posts a left click to a control, to be handled the next time the running loop lets messages run.
void PostClick(HWND control) {
    PostMessageW(control, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(4, 4));
    PostMessageW(control, WM_LBUTTONUP, 0, MAKELPARAM(4, 4));
}

class Form1LongRunTest : public Form1Test {
  protected:
    void MakeTree() {
        folder.WriteProjector(L"a.exe", kStub);
        folder.WriteProjector(L"b.exe", kStub);
        folder.WriteProjector(L"sub\\c.exe", kStub);
        folder.WriteProjector(L"sub\\d.exe", kStub);
    }
    // Runs `action` once, when the status line first starts with `prefix`.
    void OnceWhenStatus(const std::wstring& prefix, std::function<void()> action) {
        on_status = [this, prefix, action, done = false](const std::wstring& text) mutable {
            if (!done && text.rfind(prefix, 0) == 0) {
                done = true;
                action();
            }
        };
    }
    TempFolder folder;
};

TEST_F(Form1LongRunTest, StopSearchEndsTheWalkAndReportsTheRowsSoFar) {
    MakeTree();
    OnceWhenStatus(L"正在搜索：" + folder.Path(L"sub") + L"\\",
                   [this] { PostClick(c().Command3.hWnd()); });
    SearchFolder(folder.Text());
    // The files of the first folder were listed; the sub-folder was not examined.
    EXPECT_EQ(list().RowCount(), 2);
    EXPECT_EQ(form->StatusText(), L"共找到：2个文件");
    EXPECT_FALSE(c().Command3.Enabled());
    EXPECT_TRUE(c().Command8.Enabled());
    EXPECT_FALSE(form->search().Searching);
}

TEST_F(Form1LongRunTest, OpeningAnotherFolderDuringASearchStopsIt) {
    MakeTree();
    TempFolder other;
    other.WriteProjector(L"z.exe", kStub);
    // While the walk is in the sub-folder the user opens another folder: the running search is
    // stopped, and no second walk runs over the same list.
    OnceWhenStatus(L"正在搜索：" + folder.Path(L"sub") + L"\\", [&] {
        dialogs.folders.push_back(other.Text());
        PostClick(c().ButtonCr1.hWnd());
    });
    SearchFolder(folder.Text());
    int walks = 0;
    for (const auto& text : statuses) walks += text == L"正在搜索：" + other.Text() + L"\\";
    EXPECT_EQ(walks, 0);
    EXPECT_FALSE(form->search().Searching);
    EXPECT_FALSE(c().Command3.Enabled());
    EXPECT_EQ(TextOf(c().Text1), other.Text());
}

TEST_F(Form1LongRunTest, StopDuringABatchFinishesTheCurrentFileOnly) {
    MakeTree();
    SearchFolder(folder.Text());
    ASSERT_EQ(list().RowCount(), 4);
    TickAllRows();
    OnceWhenStatus(L"1/4 当前文件：", [this] { PostClick(c().Command6.hWnd()); });
    ASSERT_TRUE(ClickControl(c().Command7.hWnd()));

    EXPECT_EQ(list().CellText(1, Column::Result), L"成功");
    for (int row = 2; row <= 4; ++row) EXPECT_EQ(list().CellText(row, Column::Result), L"") << row;
    EXPECT_TRUE(folder.Exists(L"a.swf"));
    EXPECT_FALSE(folder.Exists(L"b.swf"));
    EXPECT_FALSE(folder.Exists(L"sub\\c.swf"));
    EXPECT_EQ(form->StatusText(), L" 共有4个文件  成功转换1个文件");
    EXPECT_TRUE(c().Command7.Enabled());
    EXPECT_FALSE(c().Command6.Enabled());

    // The stop was honoured; a new batch converts everything ticked.
    ASSERT_TRUE(ClickControl(c().Command7.hWnd()));
    EXPECT_EQ(form->StatusText(), L" 共有4个文件  成功转换4个文件");
    EXPECT_TRUE(folder.Exists(L"sub\\d.swf"));
}

TEST_F(Form1LongRunTest, ConvertClickedDuringABatchStartsNoSecondBatch) {
    MakeTree();
    SearchFolder(folder.Text());
    TickAllRows();
    // Stop enables 转换 at once; pressing it while row 1 is still being finished must not start
    // another batch.
    OnceWhenStatus(L"1/4 当前文件：", [this] {
        PostClick(c().Command6.hWnd());
        PostClick(c().Command7.hWnd());
    });
    ASSERT_TRUE(ClickControl(c().Command7.hWnd()));
    int batches = 0;
    for (const auto& text : statuses) batches += text.rfind(L" 共有", 0) == 0;
    EXPECT_EQ(batches, 1);
    EXPECT_FALSE(folder.Exists(L"b.swf"));
}

// Rows removed, or the whole list replaced by a new search, while a batch runs: each result lands
// in its own file's row, and rows that have gone are not converted.
TEST_F(Form1LongRunTest, RowsChangedDuringABatchGetNoOtherFilesResults) {
    MakeTree();
    SearchFolder(folder.Text());
    ASSERT_EQ(list().RowCount(), 4);
    TickAllRows();
    OnceWhenStatus(L"2/4 当前文件：", [this] {
        list().RemoveRow(3);
        list().RemoveRow(1);
    });
    ASSERT_TRUE(ClickControl(c().Command7.hWnd()));
    ASSERT_EQ(list().RowCount(), 2);
    EXPECT_EQ(list().RowText(1), folder.Path(L"b.exe"));
    EXPECT_EQ(list().CellText(1, Column::SaveDir), folder.Path(L"b.swf"));
    EXPECT_EQ(list().RowText(2), folder.Path(L"sub\\d.exe"));
    EXPECT_EQ(list().CellText(2, Column::SaveDir), folder.Path(L"sub\\d.swf"));
    EXPECT_FALSE(folder.Exists(L"sub\\c.swf"));
    EXPECT_EQ(form->StatusText(), L" 共有4个文件  成功转换3个文件");

    TempFolder other;
    other.WriteProjector(L"z.exe", kStub);
    TickAllRows();  // "全不选"
    TickAllRows();
    OnceWhenStatus(L"1/2 当前文件：", [&] {
        dialogs.folders.push_back(other.Text());
        PostClick(c().ButtonCr1.hWnd());
    });
    ASSERT_TRUE(ClickControl(c().Command7.hWnd()));
    ASSERT_EQ(list().RowCount(), 1);
    EXPECT_EQ(list().RowText(1), other.Path(L"z.exe"));
    EXPECT_EQ(list().CellText(1, Column::Result), L"");
    EXPECT_FALSE(other.Exists(L"z.swf"));
    EXPECT_EQ(form->StatusText(), L" 共有2个文件  成功转换0个文件");
}

TEST_F(Form1LongRunTest, ClosingDuringABatchStopsAfterTheCurrentFileThenCloses) {
    MakeTree();
    SearchFolder(folder.Text());
    TickAllRows();
    HWND hwnd = form->hWnd();
    bool list_alive_after_close = false;
    OnceWhenStatus(L"1/4 当前文件：", [&] { PostMessageW(hwnd, WM_CLOSE, 0, 0); });
    on_status = [&, first = on_status](const std::wstring& text) {
        first(text);
        if (text.rfind(L" 共有", 0) == 0) list_alive_after_close = IsWindow(list().hWnd()) != 0;
    };
    ASSERT_TRUE(ClickControl(c().Command7.hWnd()));
    // The batch ran to its end with its controls in place, after the current file only.
    EXPECT_TRUE(list_alive_after_close);
    EXPECT_EQ(form->StatusText(), L" 共有4个文件  成功转换1个文件");
    EXPECT_TRUE(folder.Exists(L"a.swf"));
    EXPECT_FALSE(folder.Exists(L"b.swf"));
    // The window goes once the loop has returned.
    EXPECT_TRUE(IsWindow(hwnd));
    EXPECT_EQ(unloaded, 0);
    PumpMessages();
    EXPECT_FALSE(IsWindow(hwnd));
    EXPECT_EQ(unloaded, 1);
    EXPECT_EQ(form->hWnd(), nullptr);
}

TEST_F(Form1LongRunTest, ClosingDuringASearchStopsItThenCloses) {
    MakeTree();
    HWND hwnd = form->hWnd();
    OnceWhenStatus(L"正在搜索：" + folder.Path(L"sub") + L"\\",
                   [&] { PostMessageW(hwnd, WM_CLOSE, 0, 0); });
    SearchFolder(folder.Text());
    EXPECT_EQ(form->StatusText(), L"共找到：2个文件");
    PumpMessages();
    EXPECT_FALSE(IsWindow(hwnd));
    EXPECT_EQ(unloaded, 1);
}

TEST_F(Form1LongRunTest, ExitClosesAnIdleWindowAtOnce) {
    HWND hwnd = form->hWnd();
    ASSERT_TRUE(ClickControl(c().Command2.hWnd()));
    EXPECT_FALSE(IsWindow(hwnd));
    EXPECT_EQ(unloaded, 1);
    EXPECT_TRUE(form->converter().StopRequested);
}

}  // namespace
}  // namespace quenlor::test
