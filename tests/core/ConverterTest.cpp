// One batch: where movies go, what fails and what is kept.
#include <gtest/gtest.h>

#include "tests/core/ConverterFixture.h"

#include "cli/CliHost.h"

#ifndef _WIN32
#include <cerrno>

#include "fs/PosixFileSystem.h"
#endif

namespace quenlor::test {
namespace {

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
    EXPECT_EQ(faulty.commits, 0) << "a doomed copy is not flushed";
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

#ifndef _WIN32
// The errors the sync calls of the file layer give, as a disk or a file system may.
int file_sync_error = 0;
int folder_sync_error = 0;

// The chain from the copy to the deleted source when a sync fails: the row's result, the source's
// fate and the command line's exit status. Two rows share the folder, so one sync covers both.
TEST(SyncFaultTest, ARowIsConvertedOnlyWhenItsDataAndItsNameAreDurable) {
    const PosixSyncCalls faulty = {[](int, bool) { return file_sync_error; },
                                   [](const char*) { return folder_sync_error; }};
    const std::unique_ptr<FileSystem> fs = NewPosixFileSystem(faulty);
    struct Case {
        const char* name;
        int file_error, folder_error;
        const wchar_t* reason;  // empty: converted
        bool movie_written;
    } kCases[] = {
        {"all durable", 0, 0, L"", true},
        {"the folder sync fails", 0, EIO, L"无法将保存目录同步到磁盘", true},
        {"the folder cannot be opened", 0, EACCES, L"无法将保存目录同步到磁盘", true},
        {"no folder sync on this file system (EINVAL)", 0, EINVAL, L"", true},
        {"no folder sync on this file system (ENOTSUP)", 0, ENOTSUP, L"", true},
        {"the data sync fails", EIO, 0, L"写入影片失败", false},
    };
    for (const Case& k : kCases) {
        SCOPED_TRACE(k.name);
        file_sync_error = k.file_error;
        folder_sync_error = k.folder_error;
        TempDir dir;
        cli::CliFileList list;
        cli::CliConvertPanel panel;
        panel.deleteSource = true;
        FakeStatus status;
        FakePump pump;
        for (const wchar_t* name : {L"a", L"b"}) {
            dir.Write(std::wstring(name) + L".exe", ProjectorBytes(286700, 290000));
            list.AddRow(dir.Path(std::wstring(name) + L".exe"));
        }
        Converter converter(*fs, list, status, pump, panel);
        converter.Command7_Click();

        const bool converted = *k.reason == L'\0';
        for (int row = 1; row <= 2; ++row) {
            EXPECT_EQ(list.At(row).cells[static_cast<int>(Column::Result)],
                      converted ? L"成功" : L"失败");
            EXPECT_EQ(list.At(row).reason, k.reason);
        }
        EXPECT_EQ(dir.Exists(L"a.exe"), !converted) << "the source goes only when converted";
        EXPECT_EQ(dir.Exists(L"a.swf"), k.movie_written);
        EXPECT_EQ(dir.Names().size(), (converted ? 0u : 2u) + (k.movie_written ? 2u : 0u))
            << "no temporary file left";
        EXPECT_EQ(cli::ConvertExitStatus(list, panel, true), converted ? 0 : 1);
    }
}
#endif

}  // namespace
}  // namespace quenlor::test
