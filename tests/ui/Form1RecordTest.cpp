// "导出清单…": enabled once a batch has run, it saves that batch's record through the Save As
// dialog; a record that cannot be saved is reported and changes nothing else.
#include "tests/ui/Form1Fixture.h"

#include <commdlg.h>

#include <regex>

#include "ui/MainMenu.h"
#include "tools/demo/SwfMovie.h"
#include "quenlor/Text.h"

namespace quenlor::test {
namespace {

constexpr size_t kStub = 286700;

class Form1RecordTest : public Form1Test {
  protected:
    void Export(const std::wstring& answer) {
        dialogs.save_files.push_back(answer);
        SendMessageW(form->hWnd(), WM_COMMAND, kMenuMRecord, 0);
    }
    static std::string ReadText(const std::wstring& path) {
        std::ifstream in(fs::path(path), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
};

TEST_F(Form1RecordTest, TheLastBatchIsSavedWhereThePersonChooses) {
    EXPECT_FALSE(MenuEnabled(kMenuMRecord)) << "nothing to save before a batch";
    TempFolder folder;
    const std::vector<unsigned char> movie = demo::MakeMovie(6, 12, 0x3060D0);
    const std::vector<unsigned char> projector = demo::MakeProjector(kStub, movie);
    folder.Write(L"游戏,一.exe", std::vector<char>(projector.begin(), projector.end()));
    folder.Write(L"plain.exe", std::vector<char>(300000, 'x'));
    dialogs.open_files.push_back(folder.Text() + L'\0' + L"游戏,一.exe" + L'\0' + L"plain.exe");
    ASSERT_TRUE(ClickControl(c().Command4.hWnd()));
    TickAllRows();
    ASSERT_TRUE(ClickControl(c().Command7.hWnd()));
    EXPECT_TRUE(MenuEnabled(kMenuMRecord));

    const std::wstring saved = folder.Path(L"清单.csv");
    Export(saved);
    ASSERT_EQ(dialogs.save_requests.size(), 1u);
    const SaveFileRequest& request = dialogs.save_requests[0];
    EXPECT_TRUE(
        std::regex_match(request.file_name, std::wregex(L"Quenlor-清单-20[0-9]{6}-[0-9]{6}\\.csv")))
        << std::string(request.file_name.begin(), request.file_name.end());
    EXPECT_EQ(request.default_extension, L"csv");
    EXPECT_TRUE(request.flags & OFN_OVERWRITEPROMPT);

    // The rows as the batch left them; the hash column is checked against sha256sum end to end.
    const std::string text = ReadText(saved);
    ASSERT_GE(text.size(), 3u);
    EXPECT_EQ(text.substr(0, 3), "\xEF\xBB\xBF");
    const std::string movie_row = "\"" + ToUtf8(folder.Path(L"游戏,一.exe")) + "\",成功,,6,FWS," +
                                  std::to_string(projector.size()) + "," +
                                  std::to_string(movie.size()) + ",\"" +
                                  ToUtf8(folder.Path(L"游戏,一.swf")) + "\",";
    const size_t at = text.find(movie_row);
    ASSERT_NE(at, std::string::npos) << text;
    EXPECT_TRUE(
        std::regex_search(text.substr(at + movie_row.size()), std::regex("^[0-9a-f]{64},")));
    EXPECT_NE(
        text.find(ToUtf8(folder.Path(L"plain.exe")) + ",失败,不是可识别的放映器,,,300000,,,,,,,,,,\r\n"),
        std::string::npos)
        << text;

    // Cancelled: nothing written. Not writable: said so, the rows stay as they are.
    Export(L"");
    Export(folder.Path(L"no such folder\\清单.csv"));
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].title, L"提示");
    EXPECT_NE(dialogs.messages[0].text.find(L"no such folder"), std::wstring::npos);
    EXPECT_EQ(list().CellText(1, Column::Result), L"成功");
    // Over the projector itself: refused, the projector intact.
    const uintmax_t size = folder.Size(L"游戏,一.exe");
    Export(folder.Path(L"游戏,一.exe"));
    EXPECT_EQ(dialogs.messages.size(), 2u);
    EXPECT_EQ(folder.Size(L"游戏,一.exe"), size);
}

}  // namespace
}  // namespace quenlor::test
