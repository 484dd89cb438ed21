// The main window's commands: searching and adding files, ticking, removing, converting, stopping,
// the save-directory options and closing.
#include <vector>

#include "ui/Form1.h"
#include "ui/MainMenu.h"
#include "quenlor/Text.h"

namespace quenlor {
namespace {

constexpr DWORD kAddFileFlags = 0x80000 | 0x1000 | 0x200;  // explorer look, file must exist, multi
constexpr const wchar_t* kAddFileFilter = L"Flash动画影片(*.EXE)|*.exe|";
// With "识别新版放映器" ticked: Linux projectors have no extension, so every file is offered.
constexpr const wchar_t* kAddAnyFileFilter = L"所有文件(*.*)|*.*|Flash动画影片(*.EXE)|*.exe|";

}  // namespace

void Form1::MOFDr_Click() {
    if (!MayStart()) return;  // no folder dialog either
    ChosenFolder = PickFolder(L"请选择一个有效的源文件夹目录");
    if (ChosenFolder.empty() || !hwnd_) return;
    SetWindowTextW(controls_.Text1, ChosenFolder.c_str());
    // The save directory defaults to the source folder when it is in use and still empty.
    if (IsWindowEnabled(controls_.Text2) && TextOf(controls_.Text2).empty())
        SetWindowTextW(controls_.Text2, ChosenFolder.c_str());
    Command1_Click();
}

void Form1::MSFDr_Click() {
    ChosenFolder = PickFolder(L"请选择一个有效的保存文件夹目录");
    if (ChosenFolder.empty() || !hwnd_) return;
    SetWindowTextW(controls_.Text2, ChosenFolder.c_str());
}

void Form1::MDF_Click() {
    Command4_Click();
}

void Form1::Command1_Click() {
    SearchFolders({TextOf(controls_.Text1)});
}

void Form1::SearchFolders(const std::vector<std::wstring>& folders) {
    if (!MayStart()) return;
    controls_.Command3.Enabled(true);
    list_.Clear();
    UpdateListButtons();
    {
        BusyScope busy(*this);
        FileListView::RowBatch batch(list_);
        for (const std::wstring& folder : folders) {
            SetWindowTextW(controls_.Text1, folder.c_str());
            // A drive root such as C:\ is taken as it is; any other folder gets its backslash.
            searched_folder_ = NativeFileSystem().DirectoryPath(folder);
            search_.StartSearch(searched_folder_);
            if (!hwnd_ || unload_pending_ || !controls_.Command3.Enabled()) break;
        }
    }
    if (!hwnd_ || unload_pending_) return;
    UpdateListButtons();
    controls_.Command3.Enabled(false);
}

void Form1::Command3_Click() {
    search_.Stop();
    controls_.Command3.Enabled(false);
}

void Form1::Command4_Click() {
    OpenFileRequest request;
    request.flags = kAddFileFlags;
    request.filter = any_version_ ? kAddAnyFileFilter : kAddFileFilter;
    // Where the person last was in this run.
    request.initial_directory = !added_folder_.empty()      ? added_folder_
                                : !searched_folder_.empty() ? searched_folder_
                                                            : InitDir;
    const std::wstring name = dialogs_.OpenFile(hwnd_, request);
    if (name.empty() || !hwnd_) return;

    // One part: the full path of the one file chosen. Several: the directory, then the names.
    std::vector<std::wstring> parts;
    size_t begin = 0;
    while (begin <= name.size()) {
        const size_t end = name.find(L'\0', begin);
        const size_t stop = end == std::wstring::npos ? name.size() : end;
        if (stop > begin) parts.push_back(name.substr(begin, stop - begin));
        if (end == std::wstring::npos) break;
        begin = end + 1;
    }
    {
        FileListView::RowBatch batch(list_);
        if (parts.size() == 1) {
            list_.AddRow(parts[0]);
            added_folder_ = parts[0].substr(0, parts[0].find_last_of(L"\\/") + 1);
        } else {
            added_folder_ = parts[0];
            for (size_t i = 1; i < parts.size(); ++i) list_.AddRow(parts[0] + L"\\" + parts[i]);
        }
    }
    UpdateListButtons();
    ShowRowCount();
}

void Form1::Command8_Click() {
    list_.SetAllChecked(controls_.Command8.Caption() == L"全选");
    UpdateListButtons();
}

void Form1::ButtonCr3_Click() {
    list_.RemoveChecked();
    UpdateListButtons();
    ShowRowCount();
}

void Form1::ShowRowCount() {
    SetStatus(L"共有" + Decimal(list_.RowCount()) + L"个文件");
}

void Form1::ListView1_ItemCheck() {
    UpdateListButtons();
}

void Form1::UpdateListButtons() {
    const bool any_checked = list_.CheckedCount() > 0;
    controls_.Command8.Enabled(list_.RowCount() > 0);
    controls_.Command8.Caption(any_checked ? L"全不选" : L"全选");
    controls_.ButtonCr3.Enabled(any_checked);
    // While a search or conversion runs "转换" is refused; the batch and "停止" set it meanwhile.
    if (!Busy()) controls_.Command7.Enabled(list_.ConvertibleCount() > 0);
}

void Form1::Check1_Click() {
    const bool auto_save = AutoSave();
    EnableWindow(controls_.Text2, auto_save ? FALSE : TRUE);
    InvalidateRect(controls_.Text2, nullptr, TRUE);
    controls_.ButtonCr2.Enabled(!auto_save);
    SetMenuEnabled(kMenuMSFDr, !auto_save);
}

void Form1::Command6_Click() {
    converter_.StopRequested = true;
    controls_.Command7.Enabled(true);
    controls_.Command6.Enabled(false);
}

void Form1::Command7_Click() {
    if (!MayStart()) return;
    BusyScope busy(*this);
    // The record being made is not the one to export: the last batch's comes back afterwards.
    SetMenuEnabled(kMenuMRecord, false);
    converter_.Command7_Click();
    KeepRecord();
    SetMenuEnabled(kMenuMRecord, !record_.empty());
    // Rows whose sources went are unticked now; "转换" stays as the batch left it.
    if (hwnd_) UpdateListButtons();
}

void Form1::Command2_Click() {
    Form_Unload();
}

void Form1::MExit_Click() {
    Form_Unload();
}

}  // namespace quenlor
