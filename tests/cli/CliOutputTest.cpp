// Where standard output goes decides how text is written: a console gets the wide text itself
// (its code page would garble UTF-8), a file or a pipe gets UTF-8.
#include <gtest/gtest.h>

#include <cstdio>

#include "cli/CliHost.h"
#include "tests/core/TempDir.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <windows.h>
#define dup _dup
#define dup2 _dup2
#define close _close
#else
#include <unistd.h>
#endif

namespace quenlor::test {
namespace {

const std::wstring kText = L"共找到：4个文件";

// Points standard output at `target` (a C runtime descriptor) until destroyed.
class StdoutTo {
  public:
    explicit StdoutTo(int target) : saved_(dup(1)) {
        std::fflush(stdout);
        dup2(target, 1);
    }
    ~StdoutTo() {
        std::fflush(stdout);
        dup2(saved_, 1);
        close(saved_);
    }
    StdoutTo(const StdoutTo&) = delete;
    StdoutTo& operator=(const StdoutTo&) = delete;

  private:
    int saved_;
};

TEST(CliOutputTest, AFileGetsUtf8) {
    TempDir dir;
    dir.Write(L"out.txt", {});
    std::FILE* file = std::fopen(ToPath(dir.Path(L"out.txt")).string().c_str(), "wb");
    ASSERT_NE(file, nullptr);
    {
        StdoutTo redirect(fileno(file));
        cli::WriteOut(kText + L"\n");
    }
    std::fclose(file);
    const std::string expected =
        "\xE5\x85\xB1\xE6\x89\xBE\xE5\x88\xB0\xEF\xBC\x9A"
        "4\xE4\xB8\xAA\xE6\x96\x87\xE4\xBB\xB6\n";
    EXPECT_EQ(dir.Read(L"out.txt"), std::vector<unsigned char>(expected.begin(), expected.end()));
}

#ifdef _WIN32
TEST(CliOutputTest, AConsoleGetsTheWideText) {
    FreeConsole();  // a console of our own, whatever the test runner gave us
    ASSERT_TRUE(AllocConsole());
    const HANDLE console =
        CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                    nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(console, INVALID_HANDLE_VALUE);
    const int fd = _open_osfhandle(reinterpret_cast<intptr_t>(console), _O_WRONLY);
    {
        StdoutTo redirect(fd);
        cli::WriteOut(kText);
    }
    std::wstring shown(kText.size(), L'\0');
    DWORD read = 0;
    ReadConsoleOutputCharacterW(console, shown.data(), static_cast<DWORD>(shown.size()),
                                COORD{0, 0}, &read);
    _close(fd);
    // The console stays: freeing it takes standard output with it under Wine.
    EXPECT_EQ(read, kText.size());
    EXPECT_EQ(shown, kText);
}
#endif

}  // namespace
}  // namespace quenlor::test
