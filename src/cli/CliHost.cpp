#include "cli/CliHost.h"

#include <algorithm>
#include <cstdio>

#include "quenlor/Text.h"

#ifdef _WIN32
#include <io.h>
#include <windows.h>
#endif

namespace quenlor::cli {

void CliFileList::AddRow(const std::wstring& text) {
    Row row;
    row.cells[0] = text;
    rows_.push_back(row);
    if (onAdd) onAdd(text);
}

std::wstring CliFileList::RowText(int row) const {
    return At(row).cells[0];
}

bool CliFileList::RowChecked(int row) const {
    return At(row).checked;
}

void CliFileList::SetCell(int row, Column column, const std::wstring& text) {
    if (row < 1 || row > RowCount()) return;
    rows_[static_cast<size_t>(row - 1)].cells[static_cast<int>(column)] = text;
}

void CliConvertPanel::ShowMessage(const std::wstring& text, const std::wstring& title) {
    WriteErr(title + L": " + text + L"\n");
}

std::wstring CliConvertPanel::FormatSize(uint64_t bytes) const {
    return Decimal(bytes);
}

void CliConvertPanel::SourceKept(const std::wstring& source) {
    ++sourcesKept;
    WriteErr(L"quenlor-cli: could not delete " + source + L" (its movie was written)\n");
}

namespace {

void Write(std::FILE* stream, const std::wstring& text) {
#ifdef _WIN32
    // A console shows wide text as it is, whatever its code page; UTF-8 bytes would be garbled.
    const auto handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stream)));
    DWORD mode = 0;
    if (handle != INVALID_HANDLE_VALUE && GetConsoleMode(handle, &mode)) {
        std::fflush(stream);
        const wchar_t* next = text.data();
        size_t left = text.size();
        while (left > 0) {
            DWORD written = 0;
            const auto step = static_cast<DWORD>(std::min<size_t>(left, 8192));
            if (!WriteConsoleW(handle, next, step, &written, nullptr) || written == 0) return;
            next += written;
            left -= written;
        }
        return;
    }
#endif
    const std::string bytes = ToUtf8(text);
    std::fwrite(bytes.data(), 1, bytes.size(), stream);
    std::fflush(stream);
}

}  // namespace

void WriteOut(const std::wstring& text) {
    Write(stdout, text);
}
void WriteErr(const std::wstring& text) {
    Write(stderr, text);
}

int ConvertExitStatus(const CliFileList& list, const CliConvertPanel& panel, bool record_written) {
    bool all_ok = record_written && panel.sourcesKept == 0;
    for (int row = 1; row <= list.RowCount(); ++row)
        all_ok = all_ok && list.At(row).cells[static_cast<int>(Column::Result)] == L"成功";
    return all_ok ? 0 : 1;
}

}  // namespace quenlor::cli
