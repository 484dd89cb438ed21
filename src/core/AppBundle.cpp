#include "quenlor/AppBundle.h"

#include <cwctype>

#include "quenlor/Projector.h"
#include "quenlor/Trailer.h"

namespace quenlor {

bool IsAppBundleName(const std::wstring& path, wchar_t separator) {
    size_t end = path.size();
    while (end > 0 && path[end - 1] == separator) --end;  // "Game.app/" as a shell completes it
    static const std::wstring kApp = L".app";
    const size_t name = path.rfind(separator, end == 0 ? 0 : end - 1);
    const size_t first = name == std::wstring::npos ? 0 : name + 1;
    if (end < first + kApp.size() + 1) return false;
    for (size_t i = 0; i < kApp.size(); ++i) {
        if (std::towlower(path[end - kApp.size() + i]) != static_cast<wint_t>(kApp[i]))
            return false;
    }
    return true;
}

AppMovie OpenAppMovie(FileSystem& fs, const std::wstring& bundle) {
    const wchar_t s = fs.Separator();
    std::wstring path = bundle;
    if (path.empty() || path.back() != s) path += s;
    path += std::wstring(L"Contents") + s + L"Resources" + s + L"movie.swf";

    AppMovie result;
    auto file = fs.OpenRead(path);
    if (!file) return result;
    unsigned char head[4] = {};
    size_t got = 0;
    result.verdict = AppVerdict::NotMovie;
    if (!ReadFully(*file, 0, head, sizeof head, got) || !IsMovieSignature(head, got)) return result;
    result.verdict = AppVerdict::Movie;
    result.file = std::move(file);
    return result;
}

bool RemoveWholeFolder(FileSystem& fs, const std::wstring& folder,
                       std::vector<std::wstring>& kept) {
    // A link (or an empty folder) goes at once; a link is never followed into what it leads to.
    if (fs.RemoveFolder(folder)) return true;
    const size_t kept_before = kept.size();
    const std::wstring directory = fs.DirectoryPath(folder);
    // Listed in full before anything is removed: a listing open while its entries go may skip.
    std::vector<DirEntry> entries;
    if (auto listing = fs.Enumerate(directory, L"*.*")) {
        DirEntry entry;
        while (listing->Next(entry)) {
            if (entry.name != L"." && entry.name != L"..") entries.push_back(entry);
        }
    }
    for (const DirEntry& entry : entries) {
        const std::wstring path = directory + entry.name;
        if (entry.directory && !entry.link) {
            RemoveWholeFolder(fs, path, kept);
        } else if (!(entry.directory ? fs.RemoveFolder(path) || fs.Remove(path)
                                     : fs.Remove(path))) {
            kept.push_back(path);
        }
    }
    if (fs.RemoveFolder(folder)) return true;
    if (kept.size() == kept_before) kept.push_back(folder);
    return false;
}

}  // namespace quenlor
