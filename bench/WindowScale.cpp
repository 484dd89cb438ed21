// The main window at collection scale, on the real Form1 with its list, status line and pump. The
// list is filled by a search of DIR (as the paths given at start are opened); a second thread then
// clicks the buttons as a person would (posted mouse messages) and measures the longest time the
// window does not answer: it sends WM_NULL in a loop and keeps the longest wait for the reply.
//   quenlor-bench-scale bulk DIR            全选, 全不选, then 删除 of every row
//   quenlor-bench-scale convert-remove DIR OUT
//                                           全选, 转换 into OUT, 删除 of every row 20 rows in
//   quenlor-bench-scale convert DIR OUT     全选, 转换 into OUT: the conversion's seconds
// Prints "NAME VALUE" lines: seconds, rows, and the process's working set in MiB.
#include <windows.h>
#include <psapi.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <string>
#include <thread>

#include "bench/BenchWindow.h"

using namespace quenlor;
using Clock = std::chrono::steady_clock;

namespace {

double MemoryMiB() {
    // The working set: Wine reports no private bytes.
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof(counters);
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof(counters));
    return static_cast<double>(counters.WorkingSetSize) / (1024.0 * 1024.0);
}

double Seconds(Clock::duration d) {
    return std::chrono::duration<double>(d).count();
}

void PostClick(HWND control) {
    PostMessageW(control, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(4, 4));
    PostMessageW(control, WM_LBUTTONUP, 0, MAKELPARAM(4, 4));
}

// Clicks `control`, then asks `form` for an answer again and again for `span`: the longest wait.
double ClickAndProbe(HWND form, HWND control, Clock::duration span) {
    PostClick(control);
    double worst = 0;
    for (const auto end = Clock::now() + span; Clock::now() < end;) {
        const auto start = Clock::now();
        DWORD_PTR result = 0;
        SendMessageTimeoutW(form, WM_NULL, 0, 0, SMTO_NORMAL, 600000, &result);
        worst = std::max(worst, Seconds(Clock::now() - start));
        Sleep(2);
    }
    return worst;
}

void Print(const char* name, double value) {
    std::printf("%s %.3f\n", name, value);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const std::wstring mode = argc >= 3 ? argv[1] : L"";
    const bool converts = mode == L"convert" || mode == L"convert-remove";
    if (!(mode == L"bulk" && argc == 3) && !(converts && argc == 4)) {
        std::fprintf(stderr, "usage: quenlor-bench-scale bulk DIR | convert[-remove] DIR OUT\n");
        return 2;
    }
    Form1 form(GetModuleHandleW(nullptr), bench::WindowOptions());
    if (!bench::Show(form, "quenlor-bench-scale")) return 1;
    Print("memory-empty-MiB", MemoryMiB());
    std::atomic<bool> twenty_done{false};
    form.StatusChanged = [&](const std::wstring& text) {
        if (text.rfind(L"20/", 0) == 0) twenty_done = true;
    };
    bench::SearchFrom(form, argv[2]);
    const int rows = form.ListView1().RowCount();
    Print("rows", rows);
    Print("memory-full-MiB", MemoryMiB());
    Form1::Controls& c = form.controls();
    const HWND hwnd = form.hWnd();
    const auto span = std::chrono::milliseconds(1500);

    if (mode == L"bulk") {
        const DWORD main_thread = GetCurrentThreadId();
        std::thread probe([&] {
            Print("select-all-s", ClickAndProbe(hwnd, c.Command8.hWnd(), span));
            Print("select-none-s", ClickAndProbe(hwnd, c.Command8.hWnd(), span));
            ClickAndProbe(hwnd, c.Command8.hWnd(), span);
            Print("remove-all-s", ClickAndProbe(hwnd, c.ButtonCr3.hWnd(), span));
            PostThreadMessageW(main_thread, WM_QUIT, 0, 0);
        });
        MSG msg;
        while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        probe.join();
    } else {
        SendMessageW(c.Check1, BM_CLICK, 0, 0);  // auto save off: into OUT
        SetWindowTextW(c.Text2, argv[3]);
        form.Command8_Click();
        std::thread probe;
        std::atomic<bool> probed{true};
        if (mode == L"convert-remove") {
            probed = false;
            probe = std::thread([&] {
                while (!twenty_done) Sleep(1);
                Print("remove-during-convert-s", ClickAndProbe(hwnd, c.ButtonCr3.hWnd(), span));
                probed = true;
            });
        }
        const auto start = Clock::now();
        form.Command7_Click();
        const double converting = Seconds(Clock::now() - start);
        if (probe.joinable()) {
            // The probe's last replies come from this loop once the batch is over.
            while (!probed) {
                MSG msg;
                while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
                Sleep(2);
            }
            probe.join();
        } else {
            Print("convert-s", converting);
        }
        Print("rows-after", form.ListView1().RowCount());
    }
    bench::Finish();
}
