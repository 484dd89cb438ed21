// Paths given at start are opened as a drop of the same paths: folders searched, ".exe" files
// added, anything else counted as left out. A path that is not there is named instead.
#include "ui/Form1.h"
#include "quenlor/FileSystem.h"
#include "quenlor/Text.h"

namespace quenlor {

void Form1::Form_StartPaths(const std::vector<std::wstring>& paths) {
    if (!hwnd_ || paths.empty()) return;
    FileSystem& fs = NativeFileSystem();
    std::vector<std::wstring> present, missing;
    for (const std::wstring& path : paths) {
        // Relative to the folder the program was started in, as a console gives them.
        const std::wstring full = fs.Absolute(path);
        uint64_t size = 0;  // answered for anything that is there, folders included
        (fs.FileSize(full, size) ? present : missing).push_back(full);
    }
    const std::wstring before = status_;
    if (!present.empty()) Form_DropFiles(present);
    if (missing.empty() || !hwnd_) return;
    std::wstring note = L"找不到：" + missing.front();
    if (missing.size() > 1) note += L" 等" + Decimal(static_cast<int64_t>(missing.size())) + L"个";
    SetStatus(status_ == before ? note : status_ + L"  " + note);
}

}  // namespace quenlor
