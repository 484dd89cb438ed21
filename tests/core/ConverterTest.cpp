#include <gtest/gtest.h>

#include <functional>

#include "DelegatingFileSystem.h"
#include "Fakes.h"
#include "TempDir.h"
#include "quenlor/Converter.h"
#include "quenlor/Projector.h"
#include "quenlor/Search.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace quenlor::test {
namespace {

// Delegates to the real file system, failing chosen operations.
class FaultyFileSystem : public DelegatingFileSystem {
  public:
    using DelegatingFileSystem::DelegatingFileSystem;
    uint64_t failWriteAfter = UINT64_MAX;  // bytes
    bool failReplace = false;
    bool failRemove = false;
    std::function<bool(const std::wstring&)> failIdentity;  // no identity for these paths

    std::unique_ptr<WritableFile> CreateNew(const std::wstring& p) override {
        auto inner = real_.CreateNew(p);
        if (!inner) return nullptr;
        return std::make_unique<Faulty>(std::move(inner), failWriteAfter);
    }
    bool Replace(const std::wstring& f, const std::wstring& t) override {
        return !failReplace && real_.Replace(f, t);
    }
    bool Remove(const std::wstring& p) override { return !failRemove && real_.Remove(p); }
    bool Identity(const std::wstring& p, FileIdentity& id) override {
        return !(failIdentity && failIdentity(p)) && real_.Identity(p, id);
    }

  private:
    class Faulty : public WritableFile {
      public:
        Faulty(std::unique_ptr<WritableFile> inner, uint64_t limit)
            : inner_(std::move(inner)), left_(limit) {}
        bool Write(const void* data, size_t count) override {
            if (count > left_) {
                inner_->Write(data, static_cast<size_t>(left_));  // a disk that fills up
                left_ = 0;
                full_ = true;
                return false;
            }
            left_ -= count;
            return inner_->Write(data, count);
        }
        bool Flush() override { return inner_->Flush(); }
        bool Commit() override { return inner_->Commit(); }
        bool OutOfSpace() const override { return full_; }

      private:
        std::unique_ptr<WritableFile> inner_;
        uint64_t left_;
        bool full_ = false;
    };
};

std::vector<unsigned char> Tail(const std::vector<unsigned char>& bytes, size_t from) {
    return std::vector<unsigned char>(bytes.begin() + static_cast<std::ptrdiff_t>(from),
                                      bytes.end());
}

// Files below the MAX_PATH limit are made with the test's own means (on Windows the \\?\ form),
// so that only the code under test meets the long path in its ordinary form.
#ifdef _WIN32
std::wstring Extended(const TempDir& dir, const std::wstring& relative) {
    std::wstring path = L"\\\\?\\" + dir.Path(relative);
    std::replace(path.begin(), path.end(), L'/', L'\\');
    return path;
}
#endif

void WriteLong(const TempDir& dir, const std::wstring& relative,
               const std::vector<unsigned char>& bytes) {
#ifdef _WIN32
    for (size_t slash = relative.find(L'/'); slash != std::wstring::npos;
         slash = relative.find(L'/', slash + 1)) {
        CreateDirectoryW(Extended(dir, relative.substr(0, slash)).c_str(), nullptr);
    }
    const HANDLE file = CreateFileW(Extended(dir, relative).c_str(), GENERIC_WRITE, 0, nullptr,
                                    CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
    ASSERT_EQ(written, bytes.size());
#else
    dir.Write(relative, bytes);
#endif
}

// Removes the long tree's directories, innermost first (TempDir cleans up the rest).
void RemoveLongTree(const TempDir& dir, std::wstring relative) {
#ifdef _WIN32
    while (!relative.empty()) {
        RemoveDirectoryW(Extended(dir, relative).c_str());
        const size_t slash = relative.rfind(L'/', relative.size() - 2);
        relative = slash == std::wstring::npos ? L"" : relative.substr(0, slash + 1);
    }
#else
    (void)dir;
    (void)relative;
#endif
}

class ConverterTest : public ::testing::Test {
  protected:
    ConverterTest() : fs_(NativeFileSystem()), converter_(fs_, list_, status_, pump_, panel_) {}

    // Writes a projector and adds it as a row; returns its bytes.
    std::vector<unsigned char> AddProjector(const std::wstring& name, uint64_t stub,
                                            uint64_t length, unsigned char version = 6,
                                            bool checked = true) {
        auto bytes = ProjectorBytes(stub, length, version);
        dir_.Write(name, bytes);
        list_.AddChecked(dir_.Path(name), checked);
        return bytes;
    }
    std::wstring Cell(int row, Column c) const { return list_.Cell(row, c); }

    TempDir dir_;
    FileSystem& fs_;
    FakeList list_;
    FakeStatus status_;
    FakePump pump_;
    FakePanel panel_;
    Converter converter_;
};

TEST_F(ConverterTest, AutoSaveWritesEachMovieBesideItsProjector) {
    const auto a = AddProjector(L"a.exe", 286700, 300000, 6);
    const auto b = AddProjector(L"sub.dir/b.c.exe", 90100, 95000, 9);

    converter_.Command7_Click();

    EXPECT_EQ(dir_.Read(L"a.swf"), Tail(a, 286700));
    EXPECT_EQ(dir_.Read(L"sub.dir/b.c.swf"), Tail(b, 90100));
    EXPECT_EQ(Cell(1, Column::Result), L"成功");
    EXPECT_EQ(Cell(1, Column::Version), L"Ver: 6");
    EXPECT_EQ(Cell(1, Column::Size), L"<13300>");  // the output's size, not the source's
    EXPECT_EQ(Cell(1, Column::SaveDir), dir_.Path(L"a.swf"));
    EXPECT_EQ(Cell(2, Column::Version), L"Ver: 9");
    EXPECT_EQ(Cell(2, Column::SaveDir), dir_.Path(L"sub.dir/b.c.swf"));
    EXPECT_EQ(converter_.TargetFile, dir_.Path(L"sub.dir/b.c.swf"));

    ASSERT_GE(status_.history.size(), 3u);
    EXPECT_EQ(status_.history[0], L"1/2 当前文件：" + dir_.Path(L"a.exe"));
    EXPECT_EQ(status_.history[1], L"2/2 当前文件：" + dir_.Path(L"sub.dir/b.c.exe"));
    EXPECT_EQ(status_.Last(), L" 共有2个文件  成功转换2个文件");
    EXPECT_EQ(panel_.buttonEvents, (std::vector<std::wstring>{L"stop+", L"convert-", L"stop-"}));
    EXPECT_TRUE(dir_.Exists(L"a.exe"));  // delete-source is off
    EXPECT_EQ(dir_.Names(), (std::vector<std::wstring>{L"a.exe", L"a.swf", L"sub.dir"}));
}

TEST_F(ConverterTest, SaveDirectoryBox) {
    AddProjector(L"in/intro.exe", 286700, 290000);
    panel_.autoSave = false;

    panel_.saveDir = L"";
    converter_.Command7_Click();
    EXPECT_EQ(panel_.messages, (std::vector<std::wstring>{L"提示| 请选择一个有效的保存目录！ "}));
    EXPECT_TRUE(panel_.buttonEvents.empty());
    EXPECT_TRUE(status_.history.empty());
    EXPECT_EQ(Cell(1, Column::Result), L"");

    dir_.MakeDir(L"out");
    panel_.saveDir = dir_.Path(L"out");  // no trailing separator: one is appended
    converter_.Command7_Click();
    EXPECT_EQ(converter_.SaveDir, dir_.Path(L"out") + fs_.Separator());
    EXPECT_TRUE(dir_.Exists(L"out/intro.swf"));
    EXPECT_FALSE(dir_.Exists(L"in/intro.swf"));
    EXPECT_EQ(Cell(1, Column::Result), L"成功");

    // A box already ending with a separator still works (Windows doubles it, which it accepts).
    dir_.MakeDir(L"out2");
    panel_.saveDir = dir_.Path(L"out2") + fs_.Separator();
    converter_.Command7_Click();
    EXPECT_TRUE(dir_.Exists(L"out2/intro.swf"));
    EXPECT_EQ(Cell(1, Column::Result), L"成功");
}

TEST_F(ConverterTest, FailedRowsLeaveNoOutputAndKeepTheirSource) {
    panel_.deleteSource = true;
    list_.AddChecked(dir_.Path(L"missing.exe"));
    AddProjector(L"short.exe", 90099, 90100);        // not longer than the base
    AddProjector(L"nosig.exe", 200000, 300000);      // signature outside every window
    AddProjector(L"tail.exe", 376990, 376990 + 20);  // too few bytes behind the signature
    dir_.Write(L"empty.exe", {});
    list_.AddChecked(dir_.Path(L"empty.exe"));
    dir_.MakeDir(L"folder.exe");
    list_.AddChecked(dir_.Path(L"folder.exe"));
    for (auto& row : list_.rows) row.cells[2] = L"old";

    converter_.Command7_Click();

    for (int row = 1; row <= list_.RowCount(); ++row) {
        SCOPED_TRACE(row);
        EXPECT_EQ(Cell(row, Column::Result), L"失败");
        EXPECT_EQ(Cell(row, Column::Version), L"");  // an earlier run's cells are cleared
        EXPECT_EQ(Cell(row, Column::SaveDir), L"");
    }
    EXPECT_EQ(dir_.Names(), (std::vector<std::wstring>{L"empty.exe", L"folder.exe", L"nosig.exe",
                                                       L"short.exe", L"tail.exe"}));
    EXPECT_EQ(status_.Last(), L" 共有6个文件  成功转换0个文件");
}

TEST_F(ConverterTest, DeletesTheSourceOnlyAfterItsMovieIsWritten) {
    const auto good = AddProjector(L"good.exe", 286700, 290000);
    AddProjector(L"bad.exe", 10, 290000);
    panel_.deleteSource = true;

    converter_.Command7_Click();

    EXPECT_FALSE(dir_.Exists(L"good.exe"));
    EXPECT_EQ(dir_.Read(L"good.swf"), Tail(good, 286700));
    EXPECT_TRUE(dir_.Exists(L"bad.exe"));
    EXPECT_FALSE(dir_.Exists(L"bad.swf"));
    EXPECT_EQ(status_.Last(), L" 共有2个文件  成功转换1个文件");
}

TEST_F(ConverterTest, MissingSaveDirectoryFailsTheRowAndKeepsTheSource) {
    AddProjector(L"a.exe", 286700, 290000);
    panel_.autoSave = false;
    panel_.deleteSource = true;
    panel_.saveDir = dir_.Path(L"no such folder");
    converter_.Command7_Click();
    EXPECT_EQ(Cell(1, Column::Result), L"失败");
    EXPECT_TRUE(dir_.Exists(L"a.exe"));
    EXPECT_EQ(dir_.Names(), std::vector<std::wstring>{L"a.exe"});
}

TEST_F(ConverterTest, ReplacesALongerExistingTarget) {
    const auto a = AddProjector(L"a.exe", 286700, 287000);
    dir_.Write(L"a.swf", std::vector<unsigned char>(1 << 20, 'x'));
    converter_.Command7_Click();
    EXPECT_EQ(dir_.Read(L"a.swf"), Tail(a, 286700));
}

TEST_F(ConverterTest, AFailedWriteLeavesTheExistingTargetAndTheSource) {
    FaultyFileSystem faulty(fs_);
    Converter converter(faulty, list_, status_, pump_, panel_);
    const std::vector<unsigned char> previous(5000, 'p');
    AddProjector(L"a.exe", 286700, 286700 + 3 * Converter::kCopyChunk + 17);
    dir_.Write(L"a.swf", previous);
    panel_.deleteSource = true;

    faulty.failWriteAfter = Converter::kCopyChunk + 100;  // the disk fills up mid-copy
    converter.Command7_Click();
    EXPECT_EQ(Cell(1, Column::Result), L"失败");
    EXPECT_EQ(dir_.Read(L"a.swf"), previous);
    EXPECT_TRUE(dir_.Exists(L"a.exe"));
    EXPECT_EQ(dir_.Names(), (std::vector<std::wstring>{L"a.exe", L"a.swf"}));  // no temp left

    faulty.failWriteAfter = UINT64_MAX;
    faulty.failReplace = true;
    converter.Command7_Click();
    EXPECT_EQ(Cell(1, Column::Result), L"失败");
    EXPECT_EQ(dir_.Read(L"a.swf"), previous);
    EXPECT_TRUE(dir_.Exists(L"a.exe"));
    EXPECT_EQ(dir_.Names(), (std::vector<std::wstring>{L"a.exe", L"a.swf"}));
    EXPECT_EQ(status_.Last(), L" 共有1个文件  成功转换0个文件");
}

TEST_F(ConverterTest, EachFailedRowKeepsWhyItFailed) {
    FaultyFileSystem faulty(fs_);
    Converter converter(faulty, list_, status_, pump_, panel_);
    struct Case {
        const char* name;
        std::function<void()> arrange;  // adds the one row
        std::wstring reason;
    };
    const Case cases[] = {
        {"missing source", [&] { list_.AddChecked(dir_.Path(L"gone.exe")); }, L"找不到源文件"},
        {"not a projector", [&] { AddProjector(L"plain.exe", 200000, 300000); },
         L"不是可识别的放映器"},
        {"target is the source", [&] { AddProjector(L"self.swf", 286700, 290000); },
         L"目标文件就是源文件"},
        {"save directory missing",
         [&] {
             AddProjector(L"a.exe", 286700, 290000);
             panel_.autoSave = false;
             panel_.saveDir = dir_.Path(L"no such folder");
         },
         L"无法写入保存目录"},
        {"disk full",
         [&] {
             AddProjector(L"big.exe", 286700, 286700 + 2 * Converter::kCopyChunk);
             faulty.failWriteAfter = Converter::kCopyChunk;
         },
         L"磁盘空间不足"},
        {"earlier file not replaced",
         [&] {
             AddProjector(L"r.exe", 286700, 290000);
             faulty.failReplace = true;
         },
         L"无法替换已有的同名文件"},
        {"converted", [&] { AddProjector(L"ok.exe", 286700, 290000); }, L""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        list_.rows.clear();
        panel_.autoSave = true;
        faulty.failWriteAfter = UINT64_MAX;
        faulty.failReplace = false;
        c.arrange();
        list_.rows[0].reason = L"left over from an earlier batch";
        converter.Command7_Click();
        EXPECT_EQ(Cell(1, Column::Result), c.reason.empty() ? L"成功" : L"失败");
        EXPECT_EQ(list_.rows[0].reason, c.reason);
    }
}

TEST_F(ConverterTest, ATargetThatIsTheSourceItselfFails) {
    // A hand-added movie named .swf converted beside itself would be overwritten by its own tail.
    const auto bytes = AddProjector(L"x.swf", 286700, 290000);
    panel_.deleteSource = true;
    converter_.Command7_Click();
    EXPECT_EQ(Cell(1, Column::Result), L"失败");
    EXPECT_EQ(dir_.Read(L"x.swf"), bytes);
    EXPECT_EQ(dir_.Names(), std::vector<std::wstring>{L"x.swf"});
}

TEST_F(ConverterTest, HiddenSourcesAreNotNormalFiles) {
#ifdef _WIN32
    AddProjector(L"hidden.exe", 286700, 290000);
    ASSERT_TRUE(SetFileAttributesW(dir_.Path(L"hidden.exe").c_str(), FILE_ATTRIBUTE_HIDDEN));
#else
    AddProjector(L".hidden.exe", 286700, 290000);
#endif
    converter_.Command7_Click();
    EXPECT_EQ(Cell(1, Column::Result), L"失败");
    EXPECT_FALSE(converter_.FileExists(list_.RowText(1)));
    EXPECT_FALSE(converter_.FileExists(dir_.Dir()));
}

// Several rows of one batch aiming at one file name: every movie is kept, under the first name
// this batch has not written yet, and each row shows where its own movie went.
TEST_F(ConverterTest, OneBatchNeverOverwritesItsOwnOutput) {
#ifdef _WIN32
    const bool case_blind = true;  // names compare without letter case
#else
    const bool case_blind = false;
#endif
    struct Case {
        const char* name;
        std::vector<std::wstring> sources;  // each a projector of its own
        std::vector<std::wstring> before;   // files in out/ before the batch
        bool deleteSource;
        std::vector<std::wstring> expected;  // the output of each row, in out/
    };
    const Case cases[] = {
        {"same title twice",
         {L"a/intro.exe", L"b/intro.exe"},
         {},
         false,
         {L"intro.swf", L"intro (2).swf"}},
        {"three times, deleting the sources",
         {L"a/intro.exe", L"b/intro.exe", L"c/intro.exe"},
         {},
         true,
         {L"intro.swf", L"intro (2).swf", L"intro (3).swf"}},
        {"other titles between",
         {L"a/x.exe", L"a/y.exe", L"b/x.exe"},
         {},
         false,
         {L"x.swf", L"y.swf", L"x (2).swf"}},
        {"letter case",
         {L"a/Intro.exe", L"b/INTRO.exe"},
         {},
         true,
         {L"Intro.swf", case_blind ? L"INTRO (2).swf" : L"INTRO.swf"}},
        {"targets from before are replaced",
         {L"a/intro.exe", L"b/intro.exe"},
         {L"intro.swf", L"intro (2).swf"},
         true,
         {L"intro.swf", L"intro (2).swf"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        FakeList list;
        Converter converter(fs_, list, status_, pump_, panel_);
        panel_.autoSave = false;
        panel_.saveDir = dir.Path(L"out");
        panel_.deleteSource = c.deleteSource;
        dir.MakeDir(L"out");
        for (const auto& name : c.before) dir.Write(L"out/" + name, {'o', 'l', 'd'});
        std::vector<std::vector<unsigned char>> movies;
        for (size_t i = 0; i < c.sources.size(); ++i) {
            const auto bytes =
                ProjectorBytes(286700, 287000 + 100 * i, static_cast<unsigned char>(i));
            dir.Write(c.sources[i], bytes);
            list.AddChecked(dir.Path(c.sources[i]));
            movies.push_back(Tail(bytes, 286700));
        }

        converter.Command7_Click();

        std::vector<std::wstring> names = c.expected;
        std::sort(names.begin(), names.end());
        EXPECT_EQ(dir.Names(L"out"), names);
        for (size_t i = 0; i < c.sources.size(); ++i) {
            const int row = static_cast<int>(i) + 1;
            EXPECT_EQ(list.Cell(row, Column::Result), L"成功") << row;
            EXPECT_EQ(list.Cell(row, Column::SaveDir), dir.Path(L"out/" + c.expected[i])) << row;
            EXPECT_EQ(dir.Read(L"out/" + c.expected[i]), movies[i]) << row;
            EXPECT_EQ(dir.Exists(c.sources[i]), !c.deleteSource) << row;
        }
    }
}

// No identity can be read for some files: the batch falls back to their names and still never
// replaces a movie it wrote, nor writes a movie over its own source.
TEST_F(ConverterTest, NoMovieOfTheBatchIsReplacedWhenIdentitiesCannotBeRead) {
#ifdef _WIN32
    const bool case_blind = true;
#else
    const bool case_blind = false;
#endif
    auto swf = [](const std::wstring& p) {
        return p.size() > 4 && p.substr(p.size() - 4) == L".swf";
    };
    struct Case {
        const char* name;
        std::function<bool(const std::wstring&)> fails;
        std::vector<std::wstring> sources;
        std::vector<std::wstring> expected;  // the output of each row, in out/
    };
    const Case cases[] = {
        {"no identity at all",
         [](const std::wstring&) { return true; },
         {L"a/intro.exe", L"b/intro.exe", L"c/intro.exe"},
         {L"intro.swf", L"intro (2).swf", L"intro (3).swf"}},
        {"none for the movies",
         swf,
         {L"a/intro.exe", L"b/intro.exe"},
         {L"intro.swf", L"intro (2).swf"}},
        {"letter case, no identity",
         [](const std::wstring&) { return true; },
         {L"a/Intro.exe", L"b/INTRO.exe"},
         {L"Intro.swf", case_blind ? L"INTRO (2).swf" : L"INTRO.swf"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        FakeList list;
        FaultyFileSystem faulty(fs_);
        faulty.failIdentity = c.fails;
        Converter converter(faulty, list, status_, pump_, panel_);
        panel_.autoSave = false;
        panel_.deleteSource = true;
        panel_.saveDir = dir.Path(L"out");
        dir.MakeDir(L"out");
        for (size_t i = 0; i < c.sources.size(); ++i) {
            dir.Write(c.sources[i], ProjectorBytes(286700, 287000 + 100 * i));
            list.AddChecked(dir.Path(c.sources[i]));
        }
        converter.Command7_Click();
        for (size_t i = 0; i < c.sources.size(); ++i) {
            const int row = static_cast<int>(i) + 1;
            EXPECT_EQ(list.Cell(row, Column::SaveDir), dir.Path(L"out/" + c.expected[i])) << row;
            EXPECT_EQ(dir.Read(L"out/" + c.expected[i]).size(), 300 + 100 * i) << row;
        }
        EXPECT_EQ(dir.Names(L"out").size(), c.sources.size());
    }

    // The movie's name is its source's own: without identities the names still tell.
    FaultyFileSystem faulty(fs_);
    faulty.failIdentity = [](const std::wstring&) { return true; };
    Converter converter(faulty, list_, status_, pump_, panel_);
    panel_.autoSave = true;
    const auto bytes = AddProjector(L"self.swf", 286700, 290000);
    converter.Command7_Click();
    EXPECT_EQ(Cell(1, Column::Result), L"失败");
    EXPECT_EQ(list_.rows[0].reason, L"目标文件就是源文件");
    EXPECT_EQ(dir_.Read(L"self.swf"), bytes);
}

// 自动保存, the save directory and 删除原文件 changed while a batch runs: the rest of the batch
// goes on as it started; the change is for the next batch.
TEST_F(ConverterTest, TheOptionsAreTakenOnceWhenTheBatchStarts) {
    struct Options {
        bool autoSave, deleteSource;
        const wchar_t* saveDir;  // relative; "" for an empty box
    };
    struct Case {
        const char* name;
        Options start, changed;  // changed while row 1 is converted
        const wchar_t* output;   // of row 2, relative
        bool sourceKept;         // row 2's source
    };
    const Case cases[] = {
        {"auto save unticked", {true, false, L"out"}, {false, false, L"out"}, L"in/r2.swf", true},
        {"auto save ticked", {false, false, L"out"}, {true, false, L"out"}, L"out/r2.swf", true},
        {"other folder", {false, false, L"out"}, {false, false, L"other"}, L"out/r2.swf", true},
        {"directory emptied", {false, false, L"out"}, {false, false, L""}, L"out/r2.swf", true},
        {"delete unticked", {true, true, L"out"}, {true, false, L"out"}, L"in/r2.swf", false},
        {"delete ticked", {true, false, L"out"}, {true, true, L"out"}, L"in/r2.swf", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        FakeList list;
        FakePump pump;
        FakeStatus status;
        FakePanel panel;
        Converter converter(fs_, list, status, pump, panel);
        const auto set = [&](const Options& o) {
            panel.autoSave = o.autoSave;
            panel.deleteSource = o.deleteSource;
            panel.saveDir = *o.saveDir ? dir.Path(o.saveDir) : std::wstring();
        };
        set(c.start);
        dir.MakeDir(L"out");
        dir.MakeDir(L"other");
        for (const wchar_t* name : {L"in/r1.exe", L"in/r2.exe"}) {
            dir.Write(name, ProjectorBytes(286700, 287000));
            list.AddChecked(dir.Path(name));
        }
        pump.onPump = [&, done = false]() mutable {
            if (!done && status.Last().rfind(L"1/2 ", 0) == 0) {
                done = true;
                set(c.changed);
            }
        };
        converter.Command7_Click();
        EXPECT_EQ(list.Cell(2, Column::SaveDir), dir.Path(c.output));
        EXPECT_TRUE(dir.Exists(c.output));
        EXPECT_EQ(dir.Exists(L"in/r2.exe"), c.sourceKept);
        EXPECT_TRUE(dir.Names(L"other").empty());
        EXPECT_EQ(status.Last(), L" 共有2个文件  成功转换2个文件");
    }
}

// A later batch over rows whose sources an earlier batch deleted: those rows keep what it wrote
// and are not converted again; the summary counts the new batch's conversions only.
TEST_F(ConverterTest, RowsWhoseSourcesWereDeletedKeepTheirResults) {
    struct Case {
        const char* name;
        bool removable;  // the first batch could delete its sources
        bool tickAgain;  // the person ticks the earlier rows again
        int converted;   // by the second batch
    };
    const Case cases[] = {
        {"left unticked", true, false, 1},
        {"ticked again", true, true, 1},
        {"source could not be deleted", false, true, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        FakeList list;
        FakeStatus status;
        FaultyFileSystem faulty(fs_);
        faulty.failRemove = !c.removable;
        Converter converter(faulty, list, status, pump_, panel_);
        panel_.autoSave = true;
        panel_.deleteSource = true;
        for (const wchar_t* name : {L"a.exe", L"b.exe"}) {
            dir.Write(name, ProjectorBytes(286700, 287000));
            list.AddChecked(dir.Path(name));
        }
        converter.Command7_Click();
        const std::vector<FakeRow> first = list.rows;
        for (const FakeRow& row : first) EXPECT_EQ(row.checked, !c.removable);

        dir.Write(L"new.exe", ProjectorBytes(286700, 287000));
        list.AddChecked(dir.Path(L"new.exe"));
        if (c.tickAgain) list.rows[0].checked = list.rows[1].checked = true;
        converter.Command7_Click();

        for (int row = 1; row <= 2; ++row) {
            for (int column = 0; column < 5; ++column)
                EXPECT_EQ(list.rows[row - 1].cells[column], first[row - 1].cells[column]) << row;
            EXPECT_EQ(list.Cell(row, Column::Result), L"成功") << row;
        }
        EXPECT_EQ(list.Cell(3, Column::Result), L"成功");
        EXPECT_EQ(status.Last(),
                  L" 共有3个文件  成功转换" + std::to_wstring(c.converted) + L"个文件");
    }
}

TEST_F(ConverterTest, UntickedRowsAreCountedButNotConverted) {
    AddProjector(L"a.exe", 286700, 290000, 6, false);
    AddProjector(L"b.exe", 286700, 290000, 6, true);
    AddProjector(L"c.exe", 286700, 290000, 6, false);
    converter_.Command7_Click();
    EXPECT_FALSE(dir_.Exists(L"a.swf"));
    EXPECT_TRUE(dir_.Exists(L"b.swf"));
    EXPECT_FALSE(dir_.Exists(L"c.swf"));
    EXPECT_EQ(Cell(1, Column::Result), L"");
    EXPECT_EQ(status_.Last(), L" 共有3个文件  成功转换1个文件");
    EXPECT_EQ(pump_.pumps >= 3, true) << "every row lets messages run";
}

TEST_F(ConverterTest, EmptyList) {
    converter_.Command7_Click();
    EXPECT_EQ(status_.history, std::vector<std::wstring>{L" 共有0个文件  成功转换0个文件"});
    EXPECT_EQ(panel_.buttonEvents, (std::vector<std::wstring>{L"stop+", L"convert-", L"stop-"}));
}

TEST_F(ConverterTest, StopEndsTheBatchAfterTheCurrentRow) {
    for (int i = 1; i <= 10; ++i) AddProjector(L"m" + std::to_wstring(i) + L".exe", 286700, 287000);
    panel_.deleteSource = true;
    pump_.onPump = [&] {
        if (status_.Last().rfind(L"3/10 ", 0) == 0) converter_.StopRequested = true;
    };
    converter_.Command7_Click();

    EXPECT_EQ(Cell(3, Column::Result), L"成功");
    EXPECT_FALSE(dir_.Exists(L"m3.exe"));  // the current row is finished, deletion included
    EXPECT_EQ(Cell(4, Column::Result), L"");
    EXPECT_TRUE(dir_.Exists(L"m4.exe"));
    EXPECT_FALSE(dir_.Exists(L"m4.swf"));
    EXPECT_EQ(status_.Last(), L" 共有10个文件  成功转换3个文件");
    EXPECT_FALSE(converter_.StopRequested);  // honoured and cleared
}

TEST_F(ConverterTest, AStaleStopRequestDoesNotCutTheNextBatch) {
    AddProjector(L"a.exe", 286700, 287000);
    AddProjector(L"b.exe", 286700, 287000);
    converter_.StopRequested = true;
    converter_.Command7_Click();
    EXPECT_EQ(status_.Last(), L" 共有2个文件  成功转换2个文件");
}

TEST_F(ConverterTest, AConvertClickDuringTheBatchStartsNoSecondBatch) {
    AddProjector(L"a.exe", 286700, 287000);
    AddProjector(L"b.exe", 286700, 287000);
    int nested = 0;
    pump_.onPump = [&] {
        if (nested++ < 50) converter_.Command7_Click();
    };
    converter_.Command7_Click();
    EXPECT_FALSE(converter_.Running());
    EXPECT_EQ(std::count(status_.history.begin(), status_.history.end(),
                         L" 共有2个文件  成功转换2个文件"),
              1);
    EXPECT_EQ(std::count(panel_.buttonEvents.begin(), panel_.buttonEvents.end(), L"stop+"), 1);
}

TEST_F(ConverterTest, RowsRemovedDuringTheBatchAreSkipped) {
    for (int i = 1; i <= 4; ++i) AddProjector(L"r" + std::to_wstring(i) + L".exe", 286700, 287000);
    pump_.onPump = [&] {
        if (list_.rows.size() == 4 && converter_.RowIndex == 1) list_.rows.resize(1);
    };
    converter_.Command7_Click();
    EXPECT_EQ(Cell(1, Column::Result), L"成功");
    EXPECT_FALSE(dir_.Exists(L"r2.swf"));
    EXPECT_EQ(status_.Last(), L" 共有4个文件  成功转换1个文件");
}

// The list changes under a running batch (the window lets its messages run between files): every
// result lands in the row of the file it belongs to, and a row that has gone is not converted.
TEST_F(ConverterTest, RowsChangedDuringTheBatchKeepTheirOwnResults) {
    struct Case {
        const char* name;
        std::function<void(FakeList&)> change;  // done while r2 is being converted
        std::vector<std::wstring> rows;         // the list afterwards
        std::vector<std::wstring> results;      // their result cells
        std::vector<std::wstring> written;      // the movies on disk
        const wchar_t* summary;
    };
    auto remove = [](FakeList& list, int row) { list.rows.erase(list.rows.begin() + row - 1); };
    const Case cases[] = {
        {"an earlier and a later row removed",
         [&](FakeList& l) { remove(l, 3), remove(l, 1); },
         {L"r2.exe", L"r4.exe"},
         {L"成功", L"成功"},
         {L"r1.swf", L"r2.swf", L"r4.swf"},
         L" 共有4个文件  成功转换3个文件"},
        {"the running row removed",
         [&](FakeList& l) { remove(l, 2); },
         {L"r1.exe", L"r3.exe", L"r4.exe"},
         {L"成功", L"成功", L"成功"},
         {L"r1.swf", L"r3.swf", L"r4.swf"},
         L" 共有4个文件  成功转换3个文件"},
        {"a new search replaces the list",
         [&](FakeList& l) {
             l.rows.clear();
             l.AddChecked(L"n1.exe");
             l.AddChecked(L"n2.exe");
         },
         {L"n1.exe", L"n2.exe"},
         {L"", L""},
         {L"r1.swf"},
         L" 共有4个文件  成功转换1个文件"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        FakeList list;
        FakePump pump;
        FakeStatus status;
        Converter converter(fs_, list, status, pump, panel_);
        for (int i = 1; i <= 4; ++i) {
            const std::wstring name = L"r" + std::to_wstring(i) + L".exe";
            dir.Write(name, ProjectorBytes(286700, 287000));
            list.AddChecked(dir.Path(name));
        }
        bool changed = false;
        pump.onPump = [&] {
            if (!changed && status.Last().rfind(L"2/4 ", 0) == 0) {
                changed = true;
                c.change(list);
            }
        };

        converter.Command7_Click();

        ASSERT_EQ(list.RowCount(), static_cast<int>(c.rows.size()));
        for (int row = 1; row <= list.RowCount(); ++row) {
            const std::wstring name = list.RowText(row).substr(list.RowText(row).size() - 6);
            EXPECT_EQ(name, c.rows[row - 1]) << row;
            EXPECT_EQ(list.Cell(row, Column::Result), c.results[row - 1]) << row;
            const std::wstring output = list.Cell(row, Column::SaveDir);
            if (!output.empty()) {
                EXPECT_EQ(GetFileTitle(output, fs_.Separator()), name.substr(0, 2)) << row;
            }
        }
        std::vector<std::wstring> swf;
        for (const auto& n : dir.Names()) {
            if (n.size() > 4 && n.compare(n.size() - 4, 4, L".swf") == 0) swf.push_back(n);
        }
        EXPECT_EQ(swf, c.written);
        EXPECT_EQ(dir.Names().size(), 4 + c.written.size()) << "no temporary file left";
        EXPECT_EQ(status.Last(), c.summary);
    }
}

TEST_F(ConverterTest, AFailedRowShowsNothingOfAnEarlierSuccess) {
    AddProjector(L"a.exe", 286700, 290000);
    converter_.Command7_Click();
    ASSERT_EQ(Cell(1, Column::Result), L"成功");
    ASSERT_NE(Cell(1, Column::SaveDir), L"");

    dir_.Write(L"a.exe", std::vector<unsigned char>(290000, 'M'));  // no longer a projector
    converter_.Command7_Click();
    EXPECT_EQ(Cell(1, Column::Result), L"失败");
    EXPECT_EQ(Cell(1, Column::Version), L"");
    EXPECT_EQ(Cell(1, Column::Size), L"");
    EXPECT_EQ(Cell(1, Column::SaveDir), L"");
}

TEST_F(ConverterTest, ASourceThatCannotBeDeletedIsReported) {
    FaultyFileSystem faulty(fs_);
    faulty.failRemove = true;
    Converter converter(faulty, list_, status_, pump_, panel_);
    AddProjector(L"a.exe", 286700, 290000);
    panel_.deleteSource = true;
    converter.Command7_Click();
    EXPECT_EQ(Cell(1, Column::Result), L"成功");
    EXPECT_EQ(panel_.kept, std::vector<std::wstring>{dir_.Path(L"a.exe")});
    EXPECT_EQ(status_.Last(), L" 共有1个文件  成功转换1个文件");
}

// Temporary files of an interrupted run, and a name as long as a name may be: the temporary file
// beside the target must neither be blocked by the one nor be longer than the other.
TEST_F(ConverterTest, LeftoverTemporariesAndLongestNames) {
    const std::wstring longest(251, L'n');  // 251 + ".swf" = 255, the usual limit of one name
    const auto bytes = AddProjector(longest + L".exe", 286700, 290000);
    AddProjector(L"a.exe", 286700, 290000);
    std::vector<std::wstring> leftovers;
    for (int i = 0; i < 100; ++i) leftovers.push_back(L"a.swf.part" + std::to_wstring(i));
    leftovers.push_back(L"a~tmp");
    for (const auto& name : leftovers) dir_.Write(name, {'x'});

    converter_.Command7_Click();

    EXPECT_EQ(Cell(1, Column::Result), L"成功");
    EXPECT_EQ(dir_.Read(longest + L".swf"), Tail(bytes, 286700));
    EXPECT_EQ(Cell(2, Column::Result), L"成功");
    for (const auto& name : leftovers) EXPECT_EQ(dir_.Read(name), std::vector<unsigned char>{'x'});
    EXPECT_EQ(dir_.Names().size(), 4 + leftovers.size()) << "no new temporary file left";
}

// A tree deeper than the 260 characters of MAX_PATH: found, converted beside its projector and
// deleted, with every path in the list in its ordinary form.
TEST_F(ConverterTest, PathsLongerThanMaxPath) {
    std::wstring relative;
    for (int i = 0; i < 6; ++i) relative += std::wstring(50, static_cast<wchar_t>(L'a' + i)) + L"/";
    const auto bytes = ProjectorBytes(286700, 290000);
    WriteLong(dir_, relative + L"deep.exe", bytes);
    const std::wstring source = dir_.Path(relative + L"deep.exe");
    ASSERT_GT(source.size(), 330u);

    Search search(fs_, list_, status_, pump_);
    search.StartSearch(dir_.Dir());
    ASSERT_EQ(list_.RowCount(), 1);
    EXPECT_EQ(list_.RowText(1), source);

    list_.rows[0].checked = true;
    panel_.deleteSource = true;
    converter_.Command7_Click();
    const std::wstring target = dir_.Path(relative + L"deep.swf");
    EXPECT_EQ(Cell(1, Column::Result), L"成功");
    EXPECT_EQ(Cell(1, Column::SaveDir), target);
    uint64_t size = 0;
    EXPECT_TRUE(fs_.FileSize(target, size));
    EXPECT_EQ(size, bytes.size() - 286700);
    EXPECT_FALSE(fs_.IsNormalFile(source)) << "deleted";
    EXPECT_TRUE(fs_.Remove(target));
    RemoveLongTree(dir_, relative);
}

TEST_F(ConverterTest, NamesOutsideAnyCodePage) {
    const std::wstring name = L"游戏 ü Ωmega \u2603.exe";
    const auto bytes = AddProjector(name, 286700, 290000);
    converter_.Command7_Click();
    EXPECT_EQ(Cell(1, Column::Result), L"成功");
    EXPECT_EQ(dir_.Read(L"游戏 ü Ωmega \u2603.swf"), Tail(bytes, 286700));
}

#ifdef _WIN32
TEST_F(ConverterTest, ALockedSourceFailsAndStays) {
    AddProjector(L"locked.exe", 286700, 290000);
    panel_.deleteSource = true;
    // Another program holds the file open and shares nothing.
    const HANDLE lock = CreateFileW(dir_.Path(L"locked.exe").c_str(), GENERIC_READ, 0, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    converter_.Command7_Click();
    CloseHandle(lock);
    EXPECT_EQ(Cell(1, Column::Result), L"失败");
    EXPECT_EQ(dir_.Names(), std::vector<std::wstring>{L"locked.exe"});
}

TEST_F(ConverterTest, AReadOnlyTargetIsLeftAsItWas) {
    AddProjector(L"a.exe", 286700, 290000);
    const std::vector<unsigned char> previous(100, 'p');
    dir_.Write(L"a.swf", previous);
    ASSERT_TRUE(SetFileAttributesW(dir_.Path(L"a.swf").c_str(), FILE_ATTRIBUTE_READONLY));
    converter_.Command7_Click();
    SetFileAttributesW(dir_.Path(L"a.swf").c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(Cell(1, Column::Result), L"失败");
    EXPECT_EQ(dir_.Read(L"a.swf"), previous);
    EXPECT_EQ(dir_.Names(), (std::vector<std::wstring>{L"a.exe", L"a.swf"}));
}
#endif

}  // namespace
}  // namespace quenlor::test
