#include "quenlor/Search.h"

#include <vector>

#include "quenlor/Projector.h"
#include "quenlor/Text.h"

namespace quenlor {

namespace {

std::wstring UpToNul(const std::wstring& name) {
    return name.substr(0, name.find(L'\0'));
}

}  // namespace

Search::Search(FileSystem& fs, IFileList& list, IStatusLine& status, IMessagePump& pump)
    : fs_(fs), list_(list), status_(status), pacer_(pump) {}

void Search::StartSearch(const std::wstring& start_directory) {
    // A second start while a walk runs (or still unwinds) is a stop request, never a second walk.
    if (Searching || active_) {
        Searching = false;
        return;
    }
    SearchMask = L"*.exe";
    Searching = true;
    active_ = true;
    walk_any_version_ = AnyVersion;
    try {
        SearchDirectory(start_directory);
    } catch (const TooManySubdirectories&) {
        // One directory holds more sub-directories than a visit records: the walk ends here.
    }
    // Cleared before the walk's end only by a stop request.
    const bool stopped = !Searching;
    Searching = false;
    active_ = false;
    status_.SetStatus(std::wstring(stopped ? L"已停止搜索，" : L"") + L"共找到：" +
                      Decimal(list_.RowCount()) + L"个文件");
}

void Search::SearchDirectory(const std::wstring& directory) {
    status_.SetStatus(L"正在搜索：" + directory);
    pacer_.Step();
    if (!Searching) return;

    std::vector<std::wstring> subdirectories;
    if (auto entries = fs_.Enumerate(directory, L"*.*")) {
        DirEntry entry;
        while (entries->Next(entry)) {
            const std::wstring name = UpToNul(entry.name);
            // "." and "..", dot-directories, and links (which could lead round in a cycle).
            if (!entry.directory || entry.link || name.empty() || name[0] == L'.') continue;
            if (subdirectories.size() >= static_cast<size_t>(kMaxSubdirectories)) {
                throw TooManySubdirectories{};
            }
            subdirectories.push_back(name);
        }
    }  // the enumeration is closed before the files are checked

    CheckExeFiles(directory);

    const wchar_t separator = fs_.Separator();
    for (const std::wstring& name : subdirectories) {
        SearchDirectory(directory + name + separator);
    }
}

void Search::CheckExeFiles(const std::wstring& directory) {
    auto matches = fs_.Enumerate(directory, SearchMask);
    if (!matches) return;
    DirEntry entry;
    while (matches->Next(entry)) {
        pacer_.StepUnlessRecent();
        if (!Searching) return;
        CheckProjector(fs_, list_, pacer_, directory + UpToNul(entry.name), walk_any_version_,
                       &scan_buffer_);
    }
}

}  // namespace quenlor
