#include "CliHost.h"

#include <cstdio>

#include "quenlor/Text.h"

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

namespace {

void Write(std::FILE* stream, const std::wstring& text) {
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

}  // namespace quenlor::cli
