// One batch's names and options: no movie replaces another of the batch, the options are taken
// once, and rows whose sources went keep their results.
#include <gtest/gtest.h>

#include "tests/core/ConverterFixture.h"

namespace quenlor::test {
namespace {

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
        FreshBatch batch(fs_);
        auto& [dir, list, pump, status, panel, converter] = batch;
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

}  // namespace
}  // namespace quenlor::test
