#include "quenlor/Search.h"

#include <thread>
#include <vector>

#include "quenlor/AppBundle.h"
#include "quenlor/ElfProjector.h"
#include "quenlor/Projector.h"
#include "quenlor/Text.h"

namespace quenlor {

namespace {

std::wstring UpToNul(const std::wstring& name) {
    return name.substr(0, name.find(L'\0'));
}

// With every version wanted: a Linux projector is a file without extension, a Mac one an .app
// folder. Links to folders are never entered.
bool IsOtherCandidate(const DirEntry& entry, const std::wstring& name, wchar_t separator) {
    if (name.empty() || name == L"." || name == L"..") return false;
    if (entry.directory) return !entry.link && IsAppBundleName(name, separator);
    return WithoutExtension(name, separator);
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
    std::vector<DirEntry> others;  // files without extension and .app folders, when asked for
    if (auto entries = fs_.Enumerate(directory, L"*.*")) {
        DirEntry entry;
        while (entries->Next(entry)) {
            const std::wstring name = UpToNul(entry.name);
            if (walk_any_version_ && IsOtherCandidate(entry, name, fs_.Separator())) {
                others.push_back(entry);
                others.back().name = name;
                continue;  // an .app folder is one projector: the walk does not enter it
            }
            // "." and "..", dot-directories, and links (which could lead round in a cycle).
            if (!entry.directory || entry.link || name.empty() || name[0] == L'.') continue;
            if (subdirectories.size() >= static_cast<size_t>(kMaxSubdirectories)) {
                throw TooManySubdirectories{};
            }
            subdirectories.push_back(name);
        }
    }  // the enumeration is closed before the files are checked

    CheckExeFiles(directory);
    CheckOtherFiles(directory, others);

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

void Search::CheckOtherFiles(const std::wstring& directory, const std::vector<DirEntry>& others) {
    // Looking at a file costs an open, far more than listing it: where the file system allows,
    // a few threads look side by side and the rows are added afterwards, in listing order.
    std::vector<char> found(others.size(), 0);
    const auto check = [&](size_t i) {
        const DirEntry& entry = others[i];
        const std::wstring path = directory + entry.name;
        found[i] = entry.directory ? OpenAppMovie(fs_, path).verdict == AppVerdict::Movie
                                   : HoldsElfMovie(fs_, path);
    };
    if (others.size() >= kSharedFrom && fs_.ReadsInParallel()) {
        if (!helpers_) {
            helpers_ = std::make_unique<SharedLoop>(
                SharedLoop::HelpersFor(std::thread::hardware_concurrency()));
        }
        helpers_->Run(others.size(), check, [this] {
            pacer_.StepUnlessRecent();
            return Searching;
        });
    } else {
        for (size_t i = 0; i < others.size(); ++i) {
            pacer_.StepUnlessRecent();
            if (!Searching) break;
            check(i);
        }
    }
    // Every file is closed by now; those looked at before a stop are listed all the same.
    for (size_t i = 0; i < others.size(); ++i) {
        if (found[i]) list_.AddRow(directory + others[i].name);
    }
}

}  // namespace quenlor
