// Stopping and closing while a search or a conversion runs: both run on the window's thread and
// let its messages run between files, so a click or a close arrives in the middle of them.
#include <chrono>

#include "tests/ui/Form1Fixture.h"
#include "ui/MainMenu.h"
#include "win/ISubclass.h"
#include "win/SubclassRegistration.h"

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
    EXPECT_EQ(form->StatusText(), L"已停止搜索，共找到：2个文件");
    EXPECT_FALSE(c().Command3.Enabled());
    EXPECT_TRUE(c().Command8.Enabled());
    EXPECT_FALSE(form->search().Searching);
}

// One thing at a time: every way to start a search or a conversion, tried while one runs, is
// refused; 打开 and 搜索目录 are disabled meanwhile, and the list is left as the run makes it.
TEST_F(Form1LongRunTest, NothingStartsWhileASearchOrAConversionRuns) {
    MakeTree();
    TempFolder other;
    other.WriteProjector(L"z.exe", kStub);
    struct Entry {
        const char* name;
        std::function<void()> start;
    };
    const Entry entries[] = {
        {"打开",
         [&] {
             dialogs.folders.push_back(other.Text());
             EXPECT_FALSE(ClickControl(c().ButtonCr1.hWnd()));
             PostClick(c().ButtonCr1.hWnd());
         }},
        {"搜索目录",
         [&] {
             dialogs.folders.push_back(other.Text());
             SendMessageW(form->hWnd(), WM_COMMAND, kMenuMOFDr, 0);
         }},
        {"the search button behind them",
         [&] {
             SendMessageW(form->hWnd(), WM_COMMAND, MAKEWPARAM(Form1::kIdCommand1, BN_CLICKED),
                          reinterpret_cast<LPARAM>(c().Command1));
         }},
        {"转换", [&] { form->Command7_Click(); }},
        {"a dropped folder", [&] { Drop(form->hWnd(), {other.Text()}); }},
        {"导出清单", [&] { SendMessageW(form->hWnd(), WM_COMMAND, kMenuMRecord, 0); }},
    };
    struct Run {
        const char* name;
        std::wstring during;  // the status line at which the entry is tried
        std::function<void()> run;
        std::wstring result;
    };
    const Run runs[] = {
        {"search", L"正在搜索：" + folder.Path(L"sub") + L"\\",
         [&] { SearchFolder(folder.Text()); }, L"共找到：4个文件"},
        {"conversion", L"1/4 当前文件：",
         [&] {
             TickAllRowsAnew();
             ASSERT_TRUE(ClickControl(c().Command7.hWnd()));
         },
         L" 共有4个文件  成功转换4个文件"},
    };
    for (const Run& r : runs) {
        for (const Entry& e : entries) {
            SCOPED_TRACE(std::string(r.name) + ", " + e.name);
            if (list().RowCount() != 4) SearchFolder(folder.Text());
            statuses.clear();
            dialogs.folders.clear();
            const size_t prompts = dialogs.prompts.size() + (r.name == std::string("search"));
            bool menu_enabled = true, open_enabled = true, export_enabled = true;
            OnceWhenStatus(r.during, [&] {
                menu_enabled = MenuEnabled(kMenuMOFDr);
                export_enabled = MenuEnabled(kMenuMRecord);
                open_enabled = c().ButtonCr1.Enabled();
                e.start();
            });
            r.run();
            PumpMessages();
            EXPECT_FALSE(menu_enabled);
            EXPECT_FALSE(open_enabled);
            // Before the first batch there is no record; during the later ones, the last one's
            // is not offered while the next is being made.
            EXPECT_FALSE(export_enabled);
            EXPECT_TRUE(dialogs.save_requests.empty()) << "no Save As dialog";
            EXPECT_TRUE(MenuEnabled(kMenuMOFDr));
            EXPECT_TRUE(c().ButtonCr1.Enabled());
            EXPECT_EQ(dialogs.prompts.size(), prompts) << "no folder dialog";
            EXPECT_EQ(form->StatusText(), r.result);
            int finished = 0;
            for (const auto& text : statuses) {
                EXPECT_EQ(text.find(other.Text()), std::wstring::npos);
                finished += text == r.result;
            }
            EXPECT_EQ(finished, 1);
            ASSERT_EQ(list().RowCount(), 4);
            EXPECT_EQ(list().RowText(1), folder.Path(L"a.exe"));
        }
    }
    EXPECT_FALSE(other.Exists(L"z.swf"));
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

// Rows removed while a batch runs: each result lands in its own file's row, and rows that have
// gone are not converted.
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
    EXPECT_EQ(form->StatusText(), L"已停止搜索，共找到：2个文件");
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

// The status line each paint of the window drew.
class PaintWatch : public ISubclass {
  public:
    explicit PaintWatch(Form1& form) : form_(form), registration_(this, form.hWnd(), WM_PAINT) {}
    EMsgResponse MsgResponse() override { return mrCallOldBefore; }
    void MsgResponse(EMsgResponse) override {}
    LRESULT WindowProc(HWND, UINT, WPARAM, LPARAM) override {
        painted.push_back(form_.StatusText());
        return 0;
    }
    std::vector<std::wstring> painted;

  private:
    Form1& form_;
    SubclassRegistration registration_;
};

// A search names every folder on the status line, but the window draws the line at most every
// tenth of a second while it runs, and draws the final count.
TEST_F(Form1LongRunTest, TheStatusLineIsDrawnAtMostTenTimesASecondDuringASearch) {
    constexpr int kFolders = 60;
    for (int i = 0; i < kFolders; ++i)
        folder.WriteProjector(L"f" + std::to_wstring(i) + L"\\p.exe", kStub);
    PaintWatch watch(*form);
    int named = 0;
    on_status = [&](const std::wstring& text) { named += text.rfind(L"正在搜索：", 0) == 0; };
    const auto start = std::chrono::steady_clock::now();
    SearchFolder(folder.Text());
    const auto took = std::chrono::steady_clock::now() - start;
    PumpMessages();
    EXPECT_EQ(named, kFolders + 1);
    const auto tenths = std::chrono::duration_cast<std::chrono::milliseconds>(took).count() / 100;
    EXPECT_LE(watch.painted.size(), static_cast<size_t>(tenths + 3));
    ASSERT_FALSE(watch.painted.empty());
    EXPECT_EQ(watch.painted.back(), L"共找到：60个文件");
}

}  // namespace
}  // namespace quenlor::test
