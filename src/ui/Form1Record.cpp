// The record of the last batch, for archivists: "导出清单…" saves it as a CSV file through the
// Save As dialog. A record that cannot be saved is reported; the batch and its movies stay.
#include <windows.h>
#include <commdlg.h>

#include <cwchar>

#include "ui/Form1.h"
#include "ui/MainMenu.h"
#include "quenlor/FileSystem.h"

namespace quenlor {
namespace {

constexpr DWORD kSaveFlags = OFN_EXPLORER | OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST |
                             OFN_HIDEREADONLY | OFN_NOREADONLYRETURN;
constexpr const wchar_t* kRecordFilter = L"CSV 文件(*.csv)|*.csv|所有文件(*.*)|*.*|";

std::wstring LocalTimeStamp() {
    SYSTEMTIME now;
    GetLocalTime(&now);
    wchar_t stamp[32];
    std::swprintf(stamp, 32, L"%04u%02u%02u-%02u%02u%02u", now.wYear, now.wMonth, now.wDay,
                  now.wHour, now.wMinute, now.wSecond);
    return stamp;
}

}  // namespace

void Form1::KeepRecord() {
    // Nothing new when the click came during a running batch or no batch started (no save
    // directory): the record of the last batch stays.
    if (converter_.Running() || converter_.Record.empty()) return;
    record_ = std::move(converter_.Record);
    converter_.Record.clear();
    record_time_ = LocalTimeStamp();
}

void Form1::MRecord_Click() {
    if (record_.empty() || !hwnd_ || converter_.Running()) return;
    SaveFileRequest request;
    request.flags = kSaveFlags;
    request.filter = kRecordFilter;
    request.default_extension = L"csv";
    request.file_name = L"Quenlor-清单-" + record_time_ + L".csv";
    const std::wstring path = dialogs_.SaveFile(hwnd_, request);
    if (path.empty() || !hwnd_) return;
    switch (WriteRecord(NativeFileSystem(), path, record_)) {
        case RecordResult::Written:
            return;
        case RecordResult::WouldReplaceFile:
            ShowMessage(L"清单未保存：" + path + L" 是本次转换的源文件或影片", L"提示");
            return;
        case RecordResult::Failed:
            ShowMessage(L"清单未能保存到 " + path, L"提示");
            return;
    }
}

}  // namespace quenlor
