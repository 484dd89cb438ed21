// The rows of a running batch: counting, stopping, rows removed or changed meanwhile, and paths
// and files that are hard to handle.
#include <gtest/gtest.h>

#include "tests/core/ConverterFixture.h"
#include "quenlor/Text.h"

namespace quenlor::test {
namespace {

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
        std::vector<std::wstring> recorded;  // a row removed before its result is known is not
    };
    auto remove = [](FakeList& list, int row) { list.rows.erase(list.rows.begin() + row - 1); };
    const Case cases[] = {
        {"an earlier and a later row removed",
         [&](FakeList& l) { remove(l, 3), remove(l, 1); },
         {L"r2.exe", L"r4.exe"},
         {L"成功", L"成功"},
         {L"r1.swf", L"r2.swf", L"r4.swf"},
         L" 共有4个文件  成功转换3个文件",
         {L"r1.exe", L"r2.exe", L"r4.exe"}},
        {"the running row removed",
         [&](FakeList& l) { remove(l, 2); },
         {L"r1.exe", L"r3.exe", L"r4.exe"},
         {L"成功", L"成功", L"成功"},
         {L"r1.swf", L"r3.swf", L"r4.swf"},
         L" 共有4个文件  成功转换3个文件",
         {L"r1.exe", L"r3.exe", L"r4.exe"}},
        {"a new search replaces the list",
         [&](FakeList& l) {
             l.rows.clear();
             l.AddChecked(L"n1.exe");
             l.AddChecked(L"n2.exe");
         },
         {L"n1.exe", L"n2.exe"},
         {L"", L""},
         {L"r1.swf"},
         L" 共有4个文件  成功转换1个文件",
         {L"r1.exe"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FreshBatch batch(fs_);
        auto& [dir, list, pump, status, panel, converter] = batch;
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
        std::vector<std::wstring> recorded;
        for (const RecordRow& r : converter.Record) {
            EXPECT_TRUE(r.succeeded) << ToUtf8(r.source) << ": " << ToUtf8(r.reason);
            recorded.push_back(GetFileTitle(r.source, fs_.Separator()) + L".exe");
        }
        EXPECT_EQ(recorded, c.recorded);
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
