#include "ui/DroppedFiles.h"

#include <cwctype>

#include "quenlor/AppBundle.h"
#include "quenlor/Projector.h"

namespace quenlor {
namespace {

bool EndsWithExe(const std::wstring& name) {
    static const std::wstring kExe = L".exe";
    if (name.size() <= kExe.size()) return false;
    for (size_t i = 0; i < kExe.size(); ++i) {
        if (std::towlower(name[name.size() - kExe.size() + i]) != kExe[i]) return false;
    }
    return true;
}

}  // namespace

std::vector<std::wstring> DroppedNames(const DropHandle& drop) {
    std::vector<std::wstring> names;
    if (!drop.get()) return names;
    const UINT count = DragQueryFileW(drop.get(), 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count; ++i) {
        const UINT length = DragQueryFileW(drop.get(), i, nullptr, 0);
        if (length == 0) continue;
        std::wstring name(length + 1, L'\0');
        const UINT copied = DragQueryFileW(drop.get(), i, name.data(), length + 1);
        name.resize(copied);
        if (!name.empty()) names.push_back(name);
    }
    return names;
}

DropContents SortDrop(FileSystem& fs, const std::vector<std::wstring>& names, bool any_version) {
    DropContents contents;
    const wchar_t separator = fs.Separator();
    for (const std::wstring& name : names) {
        // A folder is what can be listed; a normal file never counts as one, whatever the
        // system answers for listing "file\*".
        const bool folder = !fs.IsNormalFile(name) && fs.Enumerate(fs.DirectoryPath(name), L"*");
        if (folder && any_version && IsAppBundleName(name, separator)) {
            contents.programs.push_back(name);  // a Mac projector: one row, never searched
        } else if (folder) {
            contents.folders.push_back(name);
        } else if (EndsWithExe(name) ||
                   (any_version && WithoutExtension(name, separator) && !fs.IsFolder(name))) {
            contents.programs.push_back(name);
        } else {
            ++contents.ignored;
        }
    }
    return contents;
}

}  // namespace quenlor
