#include <windows.h>
#include <commdlg.h>
#include <shlobj.h>

#include <vector>

#include "Dialogs.h"
#include "win/GdiHandle.h"

namespace quenlor {

namespace {

// Selects the start folder once the folder dialog is up.
int CALLBACK SelectStartFolder(HWND dialog, UINT message, LPARAM, LPARAM start_folder) noexcept {
    if (message == BFFM_INITIALIZED && start_folder)
        SendMessageW(dialog, BFFM_SETSELECTIONW, TRUE, start_folder);
    return 0;
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
    // "A|*.a|" becomes "A\0*.a\0\0", the form the dialog reads.
    std::wstring filter = request.filter;
    for (wchar_t& c : filter) {
        if (c == L'|') c = L'\0';
    }
    filter.push_back(L'\0');
    filter.push_back(L'\0');

    std::vector<wchar_t> name(kFileNameCapacity, L'\0');
    OPENFILENAMEW dialog = {};
    dialog.lStructSize = sizeof(dialog);
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = filter.c_str();
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = name.data();
    dialog.nMaxFile = kFileNameCapacity;
    dialog.lpstrInitialDir =
        request.initial_directory.empty() ? nullptr : request.initial_directory.c_str();
    dialog.Flags = request.flags;
    if (!GetOpenFileNameW(&dialog)) return std::wstring();

    // The parts end at the first double NUL.
    size_t end = 0;
    while (end + 1 < name.size() && !(name[end] == L'\0' && name[end + 1] == L'\0')) ++end;
    return std::wstring(name.data(), end);
}

void SystemDialogs::ShowMessage(HWND owner, const std::wstring& text, const std::wstring& title) {
    MessageBoxW(owner, text.c_str(), title.c_str(), MB_ICONINFORMATION | MB_OK);
}

}  // namespace quenlor
