// Tips over the file list's cells (the whole text of a cut cell, why a row failed) and the paths a
// conversion writes into them.
#include "tests/ui/Form1Fixture.h"

namespace quenlor::test {
namespace {

class Form1TipsTest : public Form1Test {
  protected:
    void AddRow(const std::wstring& path) {
        dialogs.open_files.push_back(path);
        ASSERT_TRUE(ClickControl(c().Command4.hWnd()));
    }
    // The middle of what the list shows of a cell, on the screen.
    POINT CellCentre(int row, int column) {
        RECT cell = {}, client = {};
        cell.top = column;
        cell.left = column == 0 ? LVIR_LABEL : LVIR_BOUNDS;
        SendMessageW(list().hWnd(), LVM_GETSUBITEMRECT, row - 1, reinterpret_cast<LPARAM>(&cell));
        GetClientRect(list().hWnd(), &client);
        IntersectRect(&cell, &cell, &client);
        POINT centre = {(cell.left + cell.right) / 2, (cell.top + cell.bottom) / 2};
        ClientToScreen(list().hWnd(), &centre);
        return centre;
    }
};

TEST_F(Form1TipsTest, CutCellsShowTheirWholeText) {
    const std::wstring deep =
        L"Z:\\tmp\\games\\src\\collection\\flash\\old projectors\\2003\\level one\\intro.exe";
    AddRow(L"C:\\a.exe");
    AddRow(deep);
    list().SetCell(2, Column::SaveDir, L"Z:\\out\\a rather long folder name\\intro.swf");
    list().SetCell(2, Column::Result, L"成功");
    // Fits its column, but the column runs past the list's right edge.
    list().SetCell(1, Column::SaveDir, L"D:\\o\\abcdef.swf");
    list().SetCell(1, Column::Size, L"1,504");
    struct Case {
        const char* name;
        int row, column;
        std::wstring tip;
        int scrolled = 0;  // pixels the list is scrolled to the right first
    } cases[] = {
        {"short path", 1, 0, L""},
        {"deep path", 2, 0, deep},
        {"short result", 2, 1, L""},
        {"long output path", 2, 4, L"Z:\\out\\a rather long folder name\\intro.swf"},
        {"empty cell", 2, 2, L""},
        {"cut by the list's right edge", 1, 4, L"D:\\o\\abcdef.swf"},
        {"whole size", 1, 3, L""},
        {"scrolled past the left edge", 1, 0, L"C:\\a.exe", 60},
        {"size scrolled into full view", 1, 3, L"", 60},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        if (k.scrolled) SendMessageW(list().hWnd(), LVM_SCROLL, k.scrolled, 0);
        EXPECT_EQ(list().TipText(k.row, k.column), k.tip);
        // The pointer resting on the cell: the tip window shows that text, or hides.
        const POINT at = CellCentre(k.row, k.column);
        SetCursorPos(at.x, at.y);
        SendMessageW(form->hWnd(), WM_SETCURSOR, reinterpret_cast<WPARAM>(list().hWnd()),
                     MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
        EXPECT_EQ(form->ListView1Tips().Text(), k.tip);
        EXPECT_EQ(IsWindowVisible(form->ListView1Tips().hWnd()) != FALSE, !k.tip.empty());
    }
    // Moving onto another control hides the tip.
    SendMessageW(form->hWnd(), WM_SETCURSOR, reinterpret_cast<WPARAM>(c().Check1),
                 MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_EQ(form->ListView1Tips().Text(), L"");
}

TEST_F(Form1TipsTest, AFailedRowsResultTipSaysWhy) {
    TempFolder folder;
    folder.Write(L"plain.exe", std::vector<char>(1000, 'x'));
    AddRow(folder.Path(L"gone.exe"));
    AddRow(folder.Path(L"plain.exe"));
    TickAllRows();
    ASSERT_TRUE(ClickControl(c().Command7.hWnd()));
    EXPECT_EQ(list().CellText(1, Column::Result), L"失败");
    EXPECT_EQ(list().TipText(1, static_cast<int>(Column::Result)), L"找不到源文件");
    EXPECT_EQ(list().TipText(2, static_cast<int>(Column::Result)), L"不是可识别的放映器");

    // Converted again once the file is a projector: the reason goes with the failure.
    folder.WriteProjector(L"plain.exe", 286700);
    TickAllRows();  // "全不选": untick, and "转换" is enabled again by ticking anew
    TickAllRows();
    ASSERT_TRUE(ClickControl(c().Command7.hWnd()));
    EXPECT_EQ(list().CellText(2, Column::Result), L"成功");
    EXPECT_EQ(list().TipText(2, static_cast<int>(Column::Result)), L"");
    // What the movie is, over its version: this one's header claims far more than it holds.
    const std::wstring facts = list().TipText(2, static_cast<int>(Column::Version));
    EXPECT_EQ(facts.rfind(L"Flash 6 · FWS · ", 0), 0u) << facts;
    const std::wstring problem = L" · 不完整：44字节，应为1684234849字节";
    EXPECT_EQ(facts.substr(facts.size() - std::min(facts.size(), problem.size())), problem);
    EXPECT_EQ(list().TipText(1, static_cast<int>(Column::Version)), L"");
}

TEST_F(Form1TipsTest, ASaveDirectoryTypedWithItsBackslashGetsNoSecondOne) {
    TempFolder source, target;
    source.WriteProjector(L"movie.exe", 286700);
    AddRow(source.Path(L"movie.exe"));
    SendMessageW(c().Check1, BM_CLICK, 0, 0);  // auto save off
    SetWindowTextW(c().Text2, (target.Text() + L"\\").c_str());
    TickAllRows();
    ASSERT_TRUE(ClickControl(c().Command7.hWnd()));
    EXPECT_EQ(list().CellText(1, Column::SaveDir), target.Path(L"movie.swf"));
    EXPECT_TRUE(target.Exists(L"movie.swf"));
}

}  // namespace
}  // namespace quenlor::test
