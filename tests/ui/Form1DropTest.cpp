// Folders and programs dropped on the main window: a real WM_DROPFILES carrying a real drop handle
// (a DROPFILES block with wide names in movable global memory, as the shell makes it).
#include "tests/ui/Form1Fixture.h"

namespace quenlor::test {
namespace {

constexpr size_t kStub = 286700;  // a projector the search recognises

class Form1DropTest : public Form1Test {
  protected:
    std::vector<std::wstring> Rows() {
        std::vector<std::wstring> rows;
        for (int row = 1; row <= list().RowCount(); ++row) rows.push_back(list().RowText(row));
        return rows;
    }
};

TEST_F(Form1DropTest, DroppedFoldersAndProgramsAreTreatedAsOpenAndAddTreatThem) {
    TempFolder temp;
    temp.WriteProjector(L"one\\a.exe", kStub);
    temp.WriteProjector(L"one\\deep\\b.exe", kStub);
    temp.Write(L"one\\not-a-projector.exe", std::vector<char>(1000, 'x'));
    temp.WriteProjector(L"two\\c.exe", kStub);
    temp.WriteProjector(L"动画 游戏\\小游戏.exe", kStub);
    temp.Write(L"loose\\Game.EXE", {'M', 'Z'});  // added without examination
    temp.Write(L"loose\\readme.txt", {'h', 'i'});
    const auto p = [&](const wchar_t* relative) { return temp.Path(relative); };
    const std::wstring kEarlier = L"X:\\earlier.exe";
    EXPECT_TRUE(GetWindowLongPtrW(form->hWnd(), GWL_EXSTYLE) & WS_EX_ACCEPTFILES);

    struct Case {
        const char* name;
        std::vector<std::wstring> dropped;
        std::vector<std::wstring> rows;  // after the drop, with one earlier row kEarlier
        std::wstring status;             // empty: the status line is not changed
        std::wstring saveDir;            // with auto save off and the box empty before
    } kCases[] = {
        {"folders: one clear, both searched, one count over all",
         {p(L"one"), p(L"two")},
         {p(L"one\\a.exe"), p(L"one\\deep\\b.exe"), p(L"two\\c.exe")},
         L"共找到：3个文件",
         p(L"one")},
        {"programs: appended in any letter case, not examined",
         {p(L"loose\\Game.EXE"), p(L"one\\not-a-projector.exe")},
         {kEarlier, p(L"loose\\Game.EXE"), p(L"one\\not-a-projector.exe")},
         L"",
         L""},
        {"both: the folder searched first, the program appended after",
         {p(L"loose\\Game.EXE"), p(L"two")},
         {p(L"two\\c.exe"), p(L"loose\\Game.EXE")},
         L"共找到：1个文件",
         p(L"two")},
        {"others left out and counted after the usual text",
         {p(L"loose\\readme.txt"), p(L"two"), L"Q:\\", p(L"no such thing")},
         {p(L"two\\c.exe")},
         L"共找到：1个文件  已忽略3个非exe文件",
         p(L"two")},
        {"a Chinese folder name arrives intact",
         {p(L"动画 游戏")},
         {p(L"动画 游戏\\小游戏.exe")},
         L"共找到：1个文件",
         p(L"动画 游戏")},
    };
    for (const Case& k : kCases) {
        SCOPED_TRACE(k.name);
        list().Clear();
        list().AddRow(kEarlier);
        SetWindowTextW(c().Text2, L"");
        if (SendMessageW(c().Check1, BM_GETCHECK, 0, 0) == BST_CHECKED) ClickControl(c().Check1);
        ASSERT_TRUE(IsWindowEnabled(c().Text2));
        form->SetStatus(L"before");

        Drop(form->hWnd(), k.dropped);
        PumpMessages();
        EXPECT_EQ(Rows(), k.rows);
        EXPECT_EQ(form->StatusText(), k.status.empty() ? L"before" : k.status);
        EXPECT_EQ(TextOf(c().Text2), k.saveDir);
        EXPECT_TRUE(c().Command8.Enabled());
        EXPECT_FALSE(c().Command3.Enabled());
    }
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(Form1DropTest, ADropWhileASearchRunsIsRefused) {
    TempFolder temp;
    temp.WriteProjector(L"tree\\a.exe", kStub);
    temp.WriteProjector(L"tree\\sub\\b.exe", kStub);
    temp.WriteProjector(L"other\\c.exe", kStub);
    bool dropped = false;
    on_status = [&](const std::wstring& text) {
        if (dropped || text.rfind(L"正在搜索：", 0) != 0) return;
        dropped = true;  // the search pumps messages here: a drop arrives
        Drop(form->hWnd(), {temp.Path(L"other"), temp.Path(L"other\\c.exe"), L"x.txt"});
    };
    SearchFolder(temp.Path(L"tree"));
    PumpMessages();
    EXPECT_TRUE(dropped);
    EXPECT_EQ(Rows(), (std::vector<std::wstring>{temp.Path(L"tree\\a.exe"),
                                                 temp.Path(L"tree\\sub\\b.exe")}));
    EXPECT_EQ(form->StatusText(), L"共找到：2个文件");
    EXPECT_EQ(TextOf(c().Text1), temp.Path(L"tree"));
}

}  // namespace
}  // namespace quenlor::test
