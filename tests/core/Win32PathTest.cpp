// The \\?\ form the Win32 file layer gives long paths. (Wine takes long ordinary paths too, so
// the end-to-end tests there cannot tell whether the form was used: this table can.)
#include <gtest/gtest.h>

#include "Win32Path.h"

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

}  // namespace
}  // namespace quenlor::test
