// "识别新版放映器": what the search, "添加", a drop and the paths given at start accept with the
// item ticked and unticked, how such files convert, and how the choice is kept between runs.
#include "tests/ui/Form1Fixture.h"
#include "ui/MainMenu.h"
#include "ui/SizeFormat.h"
#include "tools/demo/SwfMovie.h"

namespace quenlor::test {
namespace {

using Bytes = std::vector<unsigned char>;

// A later player's projector (a 0.8 MB stub, a compressed movie, the trailer), a Flash 5 projector
// (its movie in a stub window, a trailer behind it) and a file whose trailer is one byte off.
struct Projectors {
    Bytes laterMovie = demo::Compress(demo::MakeMovie(8, 12, 0x20A0A0));
    Bytes later = demo::MakeLaterProjector(800000, laterMovie);
    Bytes flash5 = demo::MakeLaterProjector(286700, demo::MakeMovie(5, 12, 0x8040C0));
    Bytes bad = [this] {
        Bytes b = later;
        b[b.size() - 4] ^= 1;
        return b;
    }();

    void WriteInto(const TempFolder& folder) const {
        for (const auto& [name, bytes] : Files()) {
            folder.Write(name, std::vector<char>(bytes->begin(), bytes->end()));
        }
    }
    std::vector<std::pair<std::wstring, const Bytes*>> Files() const {
        return {{L"later.exe", &later}, {L"flash5.exe", &flash5}, {L"bad.exe", &bad}};
    }
    // The movie a conversion must write for each file.
    Bytes Expected(const std::wstring& name) const {
        if (name == L"later.exe") return laterMovie;  // as stored, without the trailer
        return Bytes(flash5.begin() + 286700,
                     flash5.end());  // to the end, as the window always did
    }
};

Bytes ReadAll(const std::wstring& path) {
    std::ifstream in(fs::path(path), std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

class Form1AnyVersionTest : public Form1Test {
  protected:
    void SetTicked(bool ticked) {
        if (form->AnyVersion() != ticked) SendMessageW(form->hWnd(), WM_COMMAND, kMenuMAnyVer, 0);
        ASSERT_EQ(MenuChecked(), ticked);
    }
    bool MenuChecked() const {
        return (GetMenuState(form->Menu(), kMenuMAnyVer, MF_BYCOMMAND) & MF_CHECKED) != 0;
    }
    bool ReadDword(const std::wstring& key, DWORD& value) {
        DWORD size = sizeof(value);
        return RegGetValueW(HKEY_CURRENT_USER, key.c_str(), L"AnyVersion", RRF_RT_REG_DWORD,
                            nullptr, &value, &size) == ERROR_SUCCESS;
    }
    void WriteValue(DWORD type, const void* data, DWORD size) {
        ASSERT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, settings_key.c_str(), L"AnyVersion", type,
                                  data, size),
                  ERROR_SUCCESS);
    }
};

enum class Entry { Search, Add, Drop, Start };

TEST_F(Form1AnyVersionTest, EveryWayInAcceptsWhatTheItemSaysAndConvertsItAsTheCommandLine) {
    const Projectors projectors;
    // Rows after the entry and their result after converting them all; files not named are not
    // listed. The search and the paths given at start are given the folder, "添加" and the drop
    // the three files.
    const std::vector<std::pair<std::wstring, std::wstring>> kSearchedUnticked = {
        {L"flash5.exe", L"成功"}};
    const std::vector<std::pair<std::wstring, std::wstring>> kSearchedTicked = {
        {L"later.exe", L"成功"}, {L"flash5.exe", L"成功"}};
    const std::vector<std::pair<std::wstring, std::wstring>> kAddedUnticked = {
        {L"later.exe", L"失败"}, {L"flash5.exe", L"成功"}, {L"bad.exe", L"失败"}};
    const std::vector<std::pair<std::wstring, std::wstring>> kAddedTicked = {
        {L"later.exe", L"成功"}, {L"flash5.exe", L"成功"}, {L"bad.exe", L"失败"}};
    struct Case {
        const char* name;
        bool ticked;
        Entry entry;
        const std::vector<std::pair<std::wstring, std::wstring>>& rows;
    } kCases[] = {
        {"search, unticked", false, Entry::Search, kSearchedUnticked},
        {"search, ticked", true, Entry::Search, kSearchedTicked},
        {"添加, unticked", false, Entry::Add, kAddedUnticked},
        {"添加, ticked", true, Entry::Add, kAddedTicked},
        {"drop, unticked", false, Entry::Drop, kAddedUnticked},
        {"drop, ticked", true, Entry::Drop, kAddedTicked},
        {"start-up paths, unticked", false, Entry::Start, kSearchedUnticked},
        {"start-up paths, ticked", true, Entry::Start, kSearchedTicked},
    };
    for (const Case& k : kCases) {
        SCOPED_TRACE(k.name);
        TempFolder folder;
        projectors.WriteInto(folder);
        SetTicked(k.ticked);
        list().Clear();
        std::vector<std::wstring> files;
        for (const auto& [name, bytes] : projectors.Files()) files.push_back(folder.Path(name));
        switch (k.entry) {
            case Entry::Search:
                SearchFolder(folder.Text());
                break;
            case Entry::Add:
                dialogs.open_files.push_back(folder.Text() + L'\0' + L"later.exe" + L'\0' +
                                             L"flash5.exe" + L'\0' + L"bad.exe");
                ASSERT_TRUE(ClickControl(c().Command4.hWnd()));
                break;
            case Entry::Drop:
                form->Form_DropFiles(files);
                break;
            case Entry::Start:
                form->OpenAtStart({folder.Text()});
                PumpMessages();
                break;
        }
        ASSERT_EQ(list().RowCount(), static_cast<int>(k.rows.size()));
        for (int row = 1; row <= list().RowCount(); ++row)
            ASSERT_TRUE(ClickRowCheckBox(list().hWnd(), row));
        ASSERT_TRUE(ClickControl(c().Command7.hWnd()));

        for (int row = 1; row <= list().RowCount(); ++row) {
            const std::wstring path = list().RowText(row);
            const std::wstring name = path.substr(path.rfind(L'\\') + 1);
            SCOPED_TRACE(std::string(name.begin(), name.end()));
            const auto expected = std::find_if(k.rows.begin(), k.rows.end(),
                                               [&](const auto& r) { return r.first == name; });
            ASSERT_NE(expected, k.rows.end());
            EXPECT_EQ(list().CellText(row, Column::Result), expected->second);
            const std::wstring movie = path.substr(0, path.size() - 4) + L".swf";
            if (expected->second == L"失败") {
                EXPECT_FALSE(fs::exists(fs::path(movie)));
                continue;
            }
            const Bytes want = projectors.Expected(name);
            EXPECT_EQ(ReadAll(movie), want);
            EXPECT_EQ(list().CellText(row, Column::Version),
                      name == L"later.exe" ? L"Ver: 8" : L"Ver: 5");
            EXPECT_EQ(list().CellText(row, Column::Size), FormatByteCount(want.size()));
        }
    }
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(Form1AnyVersionTest, TheChoiceIsReadAtStartAndWrittenWhenChanged) {
    EXPECT_FALSE(MenuChecked()) << "unticked when nothing is kept";
    const DWORD one = 1, zero = 0;
    const wchar_t text[] = L"1";
    struct Case {
        const char* name;
        DWORD type;
        const void* data;
        DWORD size;
        bool ticked;
    } kCases[] = {
        {"DWORD 1", REG_DWORD, &one, sizeof(one), true},
        {"DWORD 0", REG_DWORD, &zero, sizeof(zero), false},
        {"not a DWORD: unreadable", REG_SZ, text, sizeof(text), false},
        {"too short: unreadable", REG_BINARY, &one, 2, false},
    };
    for (const Case& k : kCases) {
        SCOPED_TRACE(k.name);
        WriteValue(k.type, k.data, k.size);
        Open(96);
        EXPECT_EQ(MenuChecked(), k.ticked);
        EXPECT_EQ(form->AnyVersion(), k.ticked);
    }

    // Ticked and unticked from the menu: each change is kept at once.
    Open(96);
    for (const DWORD expected : {1u, 0u, 1u}) {
        SendMessageW(form->hWnd(), WM_COMMAND, kMenuMAnyVer, 0);
        DWORD value = 7;
        ASSERT_TRUE(ReadDword(settings_key, value));
        EXPECT_EQ(value, expected);
        EXPECT_EQ(MenuChecked(), expected == 1);
    }
    Open(96);
    EXPECT_TRUE(MenuChecked()) << "the next run starts with the kept choice";
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(Form1AnyVersionTest, AChoiceThatCannotBeKeptStillHoldsForTheRun) {
    // No key component may be this long: neither read nor written.
    settings_key = L"Software\\" + std::wstring(300, L'q');
    Open(96);
    EXPECT_FALSE(MenuChecked());
    SendMessageW(form->hWnd(), WM_COMMAND, kMenuMAnyVer, 0);
    EXPECT_TRUE(MenuChecked());
    DWORD value = 0;
    EXPECT_FALSE(ReadDword(settings_key, value));

    TempFolder folder;
    Projectors().WriteInto(folder);
    SearchFolder(folder.Text());
    EXPECT_EQ(list().RowCount(), 2) << "the later projector is listed in this run";
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(Form1AnyVersionTest, PathsGivenAtStartThatAreNotThereAreNamed) {
    TempFolder folder;
    Projectors().WriteInto(folder);
    const std::wstring gone = folder.Path(L"gone.exe"), away = folder.Path(L"away");
    struct Case {
        const char* name;
        std::vector<std::wstring> paths;
        int rows;
        std::wstring status;
    } kCases[] = {
        {"one missing beside a folder",
         {folder.Text(), gone},
         1,
         L"共找到：1个文件  找不到：" + gone},
        {"only missing ones", {gone, away}, 0, L"找不到：" + gone + L" 等2个"},
        {"two programs and a missing one",
         {folder.Path(L"bad.exe"), folder.Path(L"later.exe"), gone},
         2,
         L"找不到：" + gone},
        {"a relative path, named as the full path it stands for",
         {L"gone-here.exe"},
         0,
         L"找不到：" + (std::filesystem::current_path() / L"gone-here.exe").wstring()},
    };
    for (const Case& k : kCases) {
        SCOPED_TRACE(k.name);
        Open(96);
        form->OpenAtStart(k.paths);
        PumpMessages();
        EXPECT_EQ(list().RowCount(), k.rows);
        EXPECT_EQ(form->StatusText(), k.status);
    }
}

}  // namespace
}  // namespace quenlor::test
