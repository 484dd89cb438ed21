#include <gtest/gtest.h>

#include "quenlor/CommandLine.h"

namespace quenlor {
namespace {

// What shells, Explorer and shortcuts send, and the paths the program must take from it.
TEST(CommandLineTest, StartPathsKeepEveryBackslashAndDropTheQuotes) {
    struct Case {
        const char* name;
        const wchar_t* command_line;
        std::vector<std::wstring> paths;
    } kCases[] = {
        {"none", L"Quenlor.exe", {}},
        {"empty", L"", {}},
        {"quoted and plain",
         L"\"C:\\Program Files\\Quenlor\\Quenlor.exe\" D:\\a.exe \"D:\\My Games\"",
         {L"D:\\a.exe", L"D:\\My Games"}},
        {"two tab-completed folders",
         L"Quenlor.exe \"D:\\My Games\\\" \"E:\\Old Games\\\"",
         {L"D:\\My Games\\", L"E:\\Old Games\\"}},
        {"a quoted drive root stays a root", L"Quenlor.exe \"D:\\\"", {L"D:\\"}},
        {"plain then quoted", L"Quenlor.exe D:\\a \"E:\\b c\"", {L"D:\\a", L"E:\\b c"}},
        {"relative, left for the window to complete", L"Quenlor.exe sub\\a.exe", {L"sub\\a.exe"}},
        {"empty arguments skipped", L"Quenlor.exe \"\" D:\\a  \"\"\t", {L"D:\\a"}},
        {"quotes in the middle only group",
         L"Quenlor.exe D:\\\"My Games\"\\x.exe",
         {L"D:\\My Games\\x.exe"}},
        {"doubled backslashes are kept",
         L"Quenlor.exe \\\\server\\share\\\\",
         {L"\\\\server\\share\\\\"}},
        {"an unclosed quote runs to the end", L"Quenlor.exe \"D:\\My Games", {L"D:\\My Games"}},
        {"Chinese names", L"Quenlor.exe D:\\小游戏.exe", {L"D:\\小游戏.exe"}},
    };
    for (const Case& k : kCases) {
        SCOPED_TRACE(k.name);
        EXPECT_EQ(StartPaths(k.command_line), k.paths);
    }
    // Options read from the same splitting keep an empty value, so that it can be refused.
    EXPECT_EQ(SplitCommandLine(L"cli.exe -o \"\" a"),
              (std::vector<std::wstring>{L"cli.exe", L"-o", L"", L"a"}));
}

}  // namespace
}  // namespace quenlor
