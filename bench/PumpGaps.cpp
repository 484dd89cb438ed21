// Measures how long the window would go without a queue check: runs the folder search over DIR and
// the conversion of FILE with a pump that records the gaps between its calls (on Windows it also
// does the real queue check, PeekMessage, whose cost is part of the measurement).
//   quenlor-bench-pump DIR FILE OUTDIR
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "cli/CliHost.h"
#include "quenlor/Converter.h"
#include "quenlor/FileSystem.h"
#include "quenlor/Search.h"
#include "quenlor/Text.h"

#ifdef _WIN32
#include <windows.h>
#endif

using namespace quenlor;
using namespace quenlor::cli;
using Clock = std::chrono::steady_clock;

namespace {

class GapPump : public IMessagePump {
  public:
    void Pump() override {
#ifdef _WIN32
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
#endif
        const auto now = Clock::now();
        if (calls++ > 0) worst = std::max(worst, now - last);
        last = now;
    }
    long calls = 0;
    Clock::duration worst{};
    Clock::time_point last;
};

double Ms(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

int Run(const std::wstring& dir, const std::wstring& file, const std::wstring& out) {
    FileSystem& fs = NativeFileSystem();
    {
        GapPump pump;
        CliFileList list;
        CliStatusLine status;
        Search search(fs, list, status, pump);
        const auto start = Clock::now();
        search.StartSearch(fs.DirectoryPath(fs.Absolute(dir)));
        const double total = Ms(Clock::now() - start);
        std::printf("search:  %d rows, %.0f ms, %ld queue checks, longest gap %.1f ms\n",
                    list.RowCount(), total, pump.calls, Ms(pump.worst));
    }
    {
        GapPump pump;
        CliFileList list;
        CliStatusLine status;
        CliConvertPanel panel;
        panel.autoSave = false;
        panel.saveDir = fs.Absolute(out);
        list.AddRow(fs.Absolute(file));
        Converter converter(fs, list, status, pump, panel);
        const auto start = Clock::now();
        converter.Command7_Click();
        const double total = Ms(Clock::now() - start);
        std::printf("convert: %s, %.0f ms, %ld queue checks, longest gap %.1f ms\n",
                    ToUtf8(status.last).c_str(), total, pump.calls, Ms(pump.worst));
    }
    return 0;
}

}  // namespace

#ifdef _WIN32
int wmain(int argc, wchar_t** argv) {
    if (argc != 4) return 2;
    return Run(argv[1], argv[2], argv[3]);
}
#else
int main(int argc, char** argv) {
    if (argc != 4) return 2;
    return Run(FromUtf8(argv[1]), FromUtf8(argv[2]), FromUtf8(argv[3]));
}
#endif
