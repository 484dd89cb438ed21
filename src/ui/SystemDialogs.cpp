#include <windows.h>
#include <commdlg.h>
#include <shlobj.h>

#include <algorithm>
#include <vector>

#include "ui/Dialogs.h"
#include "win/ResourceOwners.h"

namespace quenlor {

namespace {

// Selects the start folder once the folder dialog is up.
int CALLBACK SelectStartFolder(HWND dialog, UINT message, LPARAM, LPARAM start_folder) noexcept {
    if (message == BFFM_INITIALIZED && start_folder)
        SendMessageW(dialog, BFFM_SETSELECTIONW, TRUE, start_folder);
    return 0;
}

// The fields the open and the save dialog share. "A|*.a|" in `filter` becomes "A\0*.a\0\0", the
// form the dialogs read; `filter` and `name` must outlive the dialog.
OPENFILENAMEW FileDialog(HWND owner, std::wstring& filter, std::vector<wchar_t>& name,
                         DWORD flags) {
    for (wchar_t& c : filter) {
        if (c == L'|') c = L'\0';
    }
    filter.append(2, L'\0');
    OPENFILENAMEW dialog = {};
    dialog.lStructSize = sizeof(dialog);
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = filter.c_str();
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = name.data();
    dialog.nMaxFile = static_cast<DWORD>(name.size());
    dialog.Flags = flags;
    return dialog;
}

}  // namespace

std::wstring SystemDialogs::BrowseForFolder(HWND owner, const std::wstring& prompt,
                                            const std::wstring& start_folder) {
    BROWSEINFOW info = {};
    info.hwndOwner = owner;
    info.lpszTitle = prompt.c_str();
    info.ulFlags = BIF_RETURNONLYFSDIRS;
    if (!start_folder.empty()) {
        info.lpfn = &SelectStartFolder;
        info.lParam = reinterpret_cast<LPARAM>(start_folder.c_str());
    }
    const ItemIdList item(SHBrowseForFolderW(&info));
    if (!item) return std::wstring();
    wchar_t path[MAX_PATH] = {};
    const bool has_path = SHGetPathFromIDListW(item.get(), path) != FALSE;
    return has_path ? std::wstring(path) : std::wstring();
}

std::wstring SystemDialogs::OpenFile(HWND owner, const OpenFileRequest& request) {
    std::wstring filter = request.filter;
    std::vector<wchar_t> name(kFileNameCapacity, L'\0');
    OPENFILENAMEW dialog = FileDialog(owner, filter, name, request.flags);
    dialog.lpstrInitialDir =
        request.initial_directory.empty() ? nullptr : request.initial_directory.c_str();
    if (!GetOpenFileNameW(&dialog)) return std::wstring();

    // The parts end at the first double NUL.
    size_t end = 0;
    while (end + 1 < name.size() && !(name[end] == L'\0' && name[end + 1] == L'\0')) ++end;
    return std::wstring(name.data(), end);
}

std::wstring SystemDialogs::SaveFile(HWND owner, const SaveFileRequest& request) {
    std::wstring filter = request.filter;
    std::vector<wchar_t> name(kFileNameCapacity, L'\0');
    request.file_name.copy(name.data(),
                           std::min<size_t>(request.file_name.size(), name.size() - 1));
    OPENFILENAMEW dialog = FileDialog(owner, filter, name, request.flags);
    dialog.lpstrDefExt =
        request.default_extension.empty() ? nullptr : request.default_extension.c_str();
    if (!GetSaveFileNameW(&dialog)) return std::wstring();
    return std::wstring(name.data());
}

void SystemDialogs::ShowMessage(HWND owner, const std::wstring& text, const std::wstring& title) {
    MessageBoxW(owner, text.c_str(), title.c_str(), MB_ICONINFORMATION | MB_OK);
}

}  // namespace quenlor
