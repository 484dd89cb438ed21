#include <gtest/gtest.h>

#include "tests/core/Fakes.h"
#include "tests/core/TempDir.h"
#include "quenlor/Search.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace quenlor::test {
namespace {

class SearchTest : public ::testing::Test {
  protected:
    SearchTest() : search_(NativeFileSystem(), list_, status_, pump_) {}

    void Projector(const std::wstring& name, uint64_t stub = 286700) {
        dir_.Write(name, ProjectorBytes(stub, stub + 1000));
    }
    std::vector<std::wstring> Rows() const {
        std::vector<std::wstring> rows;
        for (const auto& r : list_.rows) rows.push_back(r.cells[0]);
        return rows;
    }
    size_t IndexOf(const std::wstring& path) const {
        const auto rows = Rows();
        return static_cast<size_t>(std::find(rows.begin(), rows.end(), path) - rows.begin());
    }

    TempDir dir_;
    FakeList list_;
    FakeStatus status_;
    FakePump pump_;
    Search search_;
};

TEST_F(SearchTest, ListsProjectorsFilesBeforeSubdirectories) {
    Projector(L"x.exe");
    Projector(L"a/y.exe", 290800);
    Projector(L"a/deeper/z.EXE", 376800);
    Projector(L"b/w.exe");
    Projector(L"a.b/v.exe");
    dir_.Write(L"notepad.exe", std::vector<unsigned char>(300000, 'M'));  // no movie
    Projector(L"stub.exe", 90100);                                        // extraction table only
    Projector(L"movie.swf");                                              // wrong extension
    dir_.Write(L"empty.exe", {});
    dir_.MakeDir(L"folder.exe");

    search_.StartSearch(dir_.Dir());

    const std::wstring sep(1, NativeFileSystem().Separator());
    const auto rows = Rows();
    ASSERT_EQ(rows.size(), 5u) << ::testing::PrintToString(rows);
    EXPECT_EQ(rows[0], dir_.Dir() + L"x.exe");  // exact text: directory + name
    // Each subtree is walked completely before the next sibling.
    const size_t y = IndexOf(dir_.Dir() + L"a" + sep + L"y.exe");
    const size_t z = IndexOf(dir_.Dir() + L"a" + sep + L"deeper" + sep + L"z.EXE");
    EXPECT_EQ(z, y + 1);
    EXPECT_LT(IndexOf(dir_.Dir() + L"b" + sep + L"w.exe"), rows.size());
    EXPECT_LT(IndexOf(dir_.Dir() + L"a.b" + sep + L"v.exe"), rows.size());

    ASSERT_FALSE(status_.history.empty());
    EXPECT_EQ(status_.history.front(), L"正在搜索：" + dir_.Dir());
    EXPECT_EQ(status_.Last(), L"共找到：5个文件");
    EXPECT_FALSE(search_.Searching);
    EXPECT_FALSE(search_.Active());
    EXPECT_EQ(search_.SearchMask, L"*.exe");
}

TEST_F(SearchTest, SkipsDirectoriesWhoseNameBeginsWithADot) {
    Projector(L".git/a.exe");
    Projector(L".hidden/deep/b.exe");
    Projector(L"ok/c.exe");
    search_.StartSearch(dir_.Dir());
    ASSERT_EQ(Rows().size(), 1u);
    for (const auto& s : status_.history) EXPECT_EQ(s.find(L".git"), std::wstring::npos) << s;
}

TEST_F(SearchTest, MissingOrEmptyStartDirectory) {
    search_.StartSearch(dir_.Dir() + L"nothing here" + NativeFileSystem().Separator());
    EXPECT_EQ(status_.Last(), L"共找到：0个文件");
    search_.StartSearch(dir_.Dir());
    EXPECT_EQ(status_.Last(), L"共找到：0个文件");
}

TEST_F(SearchTest, StopFinishesTheCurrentFileAndUnwinds) {
    for (int i = 0; i < 5; ++i) Projector(L"d" + std::to_wstring(i) + L"/p.exe");
    pump_.onPump = [&] {
        if (list_.RowCount() == 2) search_.Stop();
    };
    search_.StartSearch(dir_.Dir());
    EXPECT_EQ(list_.RowCount(), 2);
    EXPECT_EQ(status_.Last(), L"已停止搜索，共找到：2个文件");
    EXPECT_FALSE(search_.Active());
}

// Where the host asks for a gap between queue checks, the steps of files close together are
// merged; those of folders never are, so a stop still takes effect before the next folder.
TEST(SearchCheckGap, FileStepsMergeFolderStepsNever) {
    TempDir dir;
    for (const wchar_t* name : {L"a.exe", L"b.exe", L"c.exe", L"sub/d.exe", L"sub/e.exe"})
        dir.Write(name, ProjectorBytes(286700, 287700));
    const std::wstring sub = dir.Dir() + L"sub" + NativeFileSystem().Separator();
    struct Case {
        const char* name;
        std::chrono::microseconds gap;
        int min_pumps, max_pumps;  // folders 2, files 5: each file steps twice
    } kCases[] = {
        {"no gap", std::chrono::microseconds{0}, 12, 1000},
        {"an hour's gap", std::chrono::hours{1}, 2, 6},  // a slow machine may add interval steps
    };
    for (const Case& k : kCases) {
        SCOPED_TRACE(k.name);
        FakeList list;
        FakeStatus status;
        FakePump pump;
        pump.gap = k.gap;
        Search search(NativeFileSystem(), list, status, pump);
        search.StartSearch(dir.Dir());
        EXPECT_EQ(list.RowCount(), 5);
        EXPECT_GE(pump.pumps, k.min_pumps);
        EXPECT_LE(pump.pumps, k.max_pumps);

        list.rows.clear();
        pump.onPump = [&] {
            if (status.Last() == L"正在搜索：" + sub) search.Stop();
        };
        search.StartSearch(dir.Dir());
        EXPECT_EQ(list.RowCount(), 3) << "the stop came before the sub-folder's files";
    }
}

TEST_F(SearchTest, StartingAgainWhileRunningStopsInsteadOfNesting) {
    for (int i = 0; i < 5; ++i) Projector(L"d" + std::to_wstring(i) + L"/p.exe");
    int starts = 0;
    pump_.onPump = [&] {
        if (list_.RowCount() == 1 && starts++ < 3) search_.StartSearch(dir_.Dir());
    };
    search_.StartSearch(dir_.Dir());
    EXPECT_EQ(list_.RowCount(), 1);
    EXPECT_EQ(
        std::count(status_.history.begin(), status_.history.end(), L"正在搜索：" + dir_.Dir()), 1);
    EXPECT_EQ(std::count_if(
                  status_.history.begin(), status_.history.end(),
                  [](const std::wstring& s) { return s.find(L"共找到：") != std::wstring::npos; }),
              1);
}

TEST_F(SearchTest, NamesOutsideAnyCodePage) {
    Projector(L"游戏/Ωmega ü \u2603.exe");
    search_.StartSearch(dir_.Dir());
    ASSERT_EQ(list_.RowCount(), 1);
    EXPECT_EQ(list_.RowText(1), dir_.Path(L"游戏/Ωmega ü \u2603.exe"));
}

#ifndef _WIN32
TEST_F(SearchTest, LinksAreNotFollowedSoCyclesEnd) {
    Projector(L"sub/a.exe");
    ASSERT_EQ(::symlink("..", (dir_.path() / "sub" / "up").c_str()), 0);
    ASSERT_EQ(::symlink(dir_.path().c_str(), (dir_.path() / "self").c_str()), 0);
    search_.StartSearch(dir_.Dir());
    EXPECT_EQ(list_.RowCount(), 1);
}

TEST_F(SearchTest, PipesAndUnreadableFilesAreNotProjectors) {
    ASSERT_EQ(::mkfifo((dir_.path() / "pipe.exe").c_str(), 0600), 0);  // would block a plain open
    Projector(L"real.exe");
    search_.StartSearch(dir_.Dir());
    EXPECT_EQ(Rows(), std::vector<std::wstring>{dir_.Dir() + L"real.exe"});
}

TEST_F(SearchTest, NamesThatAreNotUtf8SurviveTheRoundTrip) {
    const std::string raw = std::string("caf\xe9-\xff") + ".exe";  // Latin-1 bytes on disk
    const auto bytes = ProjectorBytes(286700, 287700);
    {
        std::ofstream out(dir_.path() / raw, std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    }
    search_.StartSearch(dir_.Dir());
    ASSERT_EQ(list_.RowCount(), 1);
    uint64_t size = 0;
    EXPECT_TRUE(NativeFileSystem().FileSize(list_.RowText(1), size));
    EXPECT_EQ(size, bytes.size());
}
#endif

#ifdef _WIN32
TEST_F(SearchTest, LockedFilesAreSilentlyNotProjectors) {
    Projector(L"locked.exe");
    Projector(L"open.exe");
    const HANDLE lock = CreateFileW(dir_.Path(L"locked.exe").c_str(), GENERIC_READ, 0, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    search_.StartSearch(dir_.Dir());
    CloseHandle(lock);
    EXPECT_EQ(Rows(), std::vector<std::wstring>{dir_.Dir() + L"open.exe"});
}

TEST_F(SearchTest, HiddenAndSystemFilesAndFoldersAreSearched) {
    Projector(L"h/hidden.exe");
    Projector(L"s.exe");
    ASSERT_TRUE(SetFileAttributesW(dir_.Path(L"h").c_str(), FILE_ATTRIBUTE_HIDDEN));
    ASSERT_TRUE(SetFileAttributesW(dir_.Path(L"h/hidden.exe").c_str(), FILE_ATTRIBUTE_HIDDEN));
    ASSERT_TRUE(SetFileAttributesW(dir_.Path(L"s.exe").c_str(), FILE_ATTRIBUTE_SYSTEM));
    search_.StartSearch(dir_.Dir());
    EXPECT_EQ(list_.RowCount(), 2);
    SetFileAttributesW(dir_.Path(L"h/hidden.exe").c_str(), FILE_ATTRIBUTE_NORMAL);
    SetFileAttributesW(dir_.Path(L"s.exe").c_str(), FILE_ATTRIBUTE_NORMAL);
}
#endif

// A tree that exists only in memory: a root with a chosen number of empty sub-directories.
class WideTree : public FileSystem {
  public:
    explicit WideTree(int subdirectories) : subdirectories_(subdirectories) {}
    int enumerations = 0;

    wchar_t Separator() const override { return L'/'; }
    std::wstring DirectoryPath(const std::wstring& t) const override { return t + L"/"; }
    std::wstring Absolute(const std::wstring& p) const override { return p; }
    std::wstring NameKey(const std::wstring& p) const override { return p; }
    std::unique_ptr<DirEnumeration> Enumerate(const std::wstring& d,
                                              const std::wstring& mask) override {
        ++enumerations;
        std::vector<DirEntry> entries;
        if (d == L"/root/" && mask == L"*.*") {
            for (int i = 0; i < subdirectories_; ++i) {
                DirEntry e;
                e.name = L"d" + std::to_wstring(i);
                e.directory = true;
                entries.push_back(e);
            }
        }
        return std::make_unique<List>(std::move(entries));
    }
    std::unique_ptr<ReadableFile> OpenRead(const std::wstring&) override { return nullptr; }
    std::unique_ptr<WritableFile> CreateNew(const std::wstring&) override { return nullptr; }
    bool Rename(const std::wstring&, const std::wstring&) override { return false; }
    bool SyncFolder(const std::wstring&) override { return false; }
    bool Remove(const std::wstring&) override { return false; }
    bool IsNormalFile(const std::wstring&) override { return false; }
    bool Identity(const std::wstring&, FileIdentity&) override { return false; }
    bool FileSize(const std::wstring&, uint64_t&) override { return false; }

  private:
    class List : public DirEnumeration {
      public:
        explicit List(std::vector<DirEntry> e) : entries_(std::move(e)) {}
        bool Next(DirEntry& e) override {
            if (next_ >= entries_.size()) return false;
            e = entries_[next_++];
            return true;
        }

      private:
        std::vector<DirEntry> entries_;
        size_t next_ = 0;
    };
    int subdirectories_;
};

TEST(SearchLimits, ADirectoryWithTooManySubdirectoriesEndsTheWalk) {
    FakeList list;
    FakeStatus status;
    FakePump pump;
    {
        WideTree tree(Search::kMaxSubdirectories);
        Search search(tree, list, status, pump);
        search.StartSearch(L"/root/");
        EXPECT_EQ(tree.enumerations, 2 + 2 * Search::kMaxSubdirectories);  // every one visited
    }
    {
        WideTree tree(Search::kMaxSubdirectories + 1);
        Search search(tree, list, status, pump);
        search.StartSearch(L"/root/");
        EXPECT_EQ(tree.enumerations, 1);  // ended while recording the root's sub-directories
        EXPECT_EQ(status.Last(), L"共找到：0个文件");
        EXPECT_FALSE(search.Searching);
        EXPECT_FALSE(search.Active());
    }
}

}  // namespace
}  // namespace quenlor::test
