// The main window's folder search, timed from its start (the first "正在搜索：") to the final count
// ("共找到："), on the real window with its list, status line and message pump. The folder is
// opened as the paths given at start are.
//   quenlor-bench-search [--any-version] DIR
// Prints "SECONDS ROWS". The program's own kept choice is left alone (a key of its own is used).
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <string>

#include "bench/BenchWindow.h"

using namespace quenlor;
using Clock = std::chrono::steady_clock;

int wmain(int argc, wchar_t** argv) {
    const bool any_version = argc == 3 && std::wstring(argv[1]) == L"--any-version";
    if (argc != (any_version ? 3 : 2)) {
        std::fprintf(stderr, "usage: quenlor-bench-search [--any-version] DIR\n");
        return 2;
    }
    Form1 form(GetModuleHandleW(nullptr), bench::WindowOptions());
    if (!bench::Show(form, "quenlor-bench-search")) return 1;
    if (form.AnyVersion() != any_version) form.MAnyVer_Click();
    Clock::time_point start{}, end{};
    form.StatusChanged = [&](const std::wstring& text) {
        if (start == Clock::time_point{} && text.rfind(L"正在搜索：", 0) == 0) start = Clock::now();
        if (text.rfind(L"共找到：", 0) == 0) end = Clock::now();
    };
    bench::SearchFrom(form, argv[argc - 1]);
    std::printf("%.3f %d\n", std::chrono::duration<double>(end - start).count(),
                form.ListView1().RowCount());
    bench::Finish();
}
