#include <gtest/gtest.h>

#include "Fakes.h"
#include "TempDir.h"
#include "quenlor/Converter.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace quenlor::test {
namespace {

// Delegates to the real file system, failing chosen operations.
class FaultyFileSystem : public FileSystem {
  public:
    explicit FaultyFileSystem(FileSystem& real) : real_(real) {}
    uint64_t failWriteAfter = UINT64_MAX;  // bytes
    bool failReplace = false;

    wchar_t Separator() const override { return real_.Separator(); }
    std::wstring DirectoryPath(const std::wstring& t) const override {
        return real_.DirectoryPath(t);
    }
    std::wstring Absolute(const std::wstring& p) const override { return real_.Absolute(p); }
    std::unique_ptr<DirEnumeration> Enumerate(const std::wstring& d,
                                              const std::wstring& m) override {
        return real_.Enumerate(d, m);
    }
    std::unique_ptr<ReadableFile> OpenRead(const std::wstring& p) override {
        return real_.OpenRead(p);
    }
    std::unique_ptr<WritableFile> CreateNew(const std::wstring& p) override {
        auto inner = real_.CreateNew(p);
        if (!inner) return nullptr;
        return std::make_unique<Faulty>(std::move(inner), failWriteAfter);
    }
    bool Replace(const std::wstring& f, const std::wstring& t) override {
        return !failReplace && real_.Replace(f, t);
    }
    bool Remove(const std::wstring& p) override { return real_.Remove(p); }
    bool IsNormalFile(const std::wstring& p) override { return real_.IsNormalFile(p); }
    bool SameFile(const std::wstring& a, const std::wstring& b) override {
        return real_.SameFile(a, b);
    }
    bool FileSize(const std::wstring& p, uint64_t& s) override { return real_.FileSize(p, s); }

  private:
    class Faulty : public WritableFile {
      public:
        Faulty(std::unique_ptr<WritableFile> inner, uint64_t limit)
            : inner_(std::move(inner)), left_(limit) {}
        bool Write(const void* data, size_t count) override {
            if (count > left_) {
                inner_->Write(data, static_cast<size_t>(left_));  // a disk that fills up
                left_ = 0;
                return false;
            }
            left_ -= count;
            return inner_->Write(data, count);
        }
        bool Flush() override { return inner_->Flush(); }
        bool Commit() override { return inner_->Commit(); }

      private:
        std::unique_ptr<WritableFile> inner_;
        uint64_t left_;
    };
    FileSystem& real_;
};

std::vector<unsigned char> Tail(const std::vector<unsigned char>& bytes, size_t from) {
    return std::vector<unsigned char>(bytes.begin() + static_cast<std::ptrdiff_t>(from),
                                      bytes.end());
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
        EXPECT_EQ(Cell(row, Column::Version), L"old");
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

TEST_F(ConverterTest, SameTitleTwiceLastOneWins) {
    AddProjector(L"one/intro.exe", 286700, 290000, 5);
    const auto second = AddProjector(L"two/intro.exe", 290800, 295000, 7);
    dir_.MakeDir(L"out");
    panel_.autoSave = false;
    panel_.saveDir = dir_.Path(L"out");
    converter_.Command7_Click();
    EXPECT_EQ(Cell(1, Column::Result), L"成功");
    EXPECT_EQ(Cell(2, Column::Result), L"成功");
    EXPECT_EQ(dir_.Read(L"out/intro.swf"), Tail(second, 290800));
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
