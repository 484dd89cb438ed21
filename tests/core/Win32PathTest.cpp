// The \\?\ form the Win32 file layer gives long paths. (Wine takes long ordinary paths too, so
// the end-to-end tests there cannot tell whether the form was used: this table can.)
#include <gtest/gtest.h>

#include <windows.h>

#include "tests/core/TempDir.h"
#include "fs/Win32Path.h"
#include "quenlor/FileSystem.h"

namespace quenlor::test {
namespace {

TEST(Win32PathTest, LongPathsTakeTheExtendedForm) {
    const std::wstring a(120, L'a'), b(120, L'b');
    struct Case {
        const char* name;
        std::wstring path, expected;
    };
    const Case cases[] = {
        {"short path unchanged", L"C:\\games\\\\intro.exe", L"C:\\games\\\\intro.exe"},
        {"long drive path", L"C:\\" + a + L"\\" + b + L"\\x.exe",
         L"\\\\?\\C:\\" + a + L"\\" + b + L"\\x.exe"},
        {"doubled separator made single", L"C:\\" + a + L"\\\\" + b + L"\\x.exe",
         L"\\\\?\\C:\\" + a + L"\\" + b + L"\\x.exe"},
        {"dot and dot-dot resolved", L"C:\\" + a + L"\\.\\zz\\..\\" + b + L"\\x.exe",
         L"\\\\?\\C:\\" + a + L"\\" + b + L"\\x.exe"},
        {"network share", L"\\\\server\\share\\" + a + L"\\" + b,
         L"\\\\?\\UNC\\server\\share\\" + a + L"\\" + b},
        {"already extended", L"\\\\?\\C:\\" + a + L"\\\\" + b, L"\\\\?\\C:\\" + a + L"\\\\" + b},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(ForSystem(c.path), c.expected);
    }
}

// Only regular files are opened for reading: a console, a pipe or a folder could block a read or
// is no file at all.
TEST(Win32FileSystemTest, OpensOnlyRegularFiles) {
    TempDir dir;
    dir.Write(L"plain.exe", std::vector<unsigned char>(10, 'x'));
    dir.MakeDir(L"folder.exe");
    const std::wstring pipe =
        L"\\\\.\\pipe\\quenlor-test-" + std::to_wstring(GetCurrentProcessId());
    const HANDLE server = CreateNamedPipeW(pipe.c_str(), PIPE_ACCESS_DUPLEX, PIPE_TYPE_BYTE, 1,
                                           4096, 4096, 0, nullptr);
    ASSERT_NE(server, INVALID_HANDLE_VALUE);
    struct Case {
        const char* name;
        std::wstring path;
        bool opened;
    };
    const Case cases[] = {
        {"regular file", dir.Path(L"plain.exe"), true},
        {"folder", dir.Path(L"folder.exe"), false},
        {"null device", L"NUL", false},
        {"console by its reserved name", dir.Path(L"con.exe"), false},
        {"pipe", pipe, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(NativeFileSystem().OpenRead(c.path) != nullptr, c.opened);
    }
    CloseHandle(server);
}

}  // namespace
}  // namespace quenlor::test
