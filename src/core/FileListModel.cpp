#include "quenlor/FileListModel.h"

#include <algorithm>

namespace quenlor {
namespace {

const std::wstring kNoText;

}  // namespace

void FileListModel::AddRow(const std::wstring& text) {
    Row row;
    row.id = ++last_id_;
    row.cells[static_cast<size_t>(Column::FileName)] = text;
    rows_.push_back(std::move(row));
    RowsAdded();
}

RowId FileListModel::IdOf(int row) const {
    return ValidRow(row) ? At(row).id : 0;
}

int FileListModel::RowOf(RowId id) const {
    const auto found = std::lower_bound(rows_.begin(), rows_.end(), id,
                                        [](const Row& row, RowId key) { return row.id < key; });
    if (id == 0 || found == rows_.end() || found->id != id) return 0;
    return static_cast<int>(found - rows_.begin()) + 1;
}

bool FileListModel::RowChecked(int row) const {
    return ValidRow(row) && At(row).checked;
}

const std::wstring& FileListModel::CellText(int row, Column column) const {
    const auto index = static_cast<size_t>(column);
    return ValidRow(row) && index < 5 ? At(row).cells[index] : kNoText;
}

const std::wstring& FileListModel::Reason(int row) const {
    return ValidRow(row) ? At(row).reason : kNoText;
}

const std::wstring& FileListModel::FactsOf(int row) const {
    return ValidRow(row) ? At(row).facts : kNoText;
}

void FileListModel::SetCell(int row, Column column, const std::wstring& text) {
    const auto index = static_cast<size_t>(column);
    if (!ValidRow(row) || index >= 5 || At(row).cells[index] == text) return;
    At(row).cells[index] = text;
    RowsChanged(row, row);
}

void FileListModel::SetFacts(int row, const MovieFacts& facts) {
    if (ValidRow(row)) At(row).facts = facts.kind.empty() ? std::wstring() : FactsText(facts);
}

void FileListModel::SetReason(int row, const std::wstring& reason) {
    if (ValidRow(row)) At(row).reason = reason;
}

void FileListModel::MarkSourceDeleted(int row) {
    if (!ValidRow(row)) return;
    Row& r = At(row);
    if (!r.source_deleted) {
        Tick(r, false);
        r.source_deleted = true;
        ++source_deleted_;
    }
    RowsChanged(row, row);
}

bool FileListModel::SourceDeleted(int row) const {
    return ValidRow(row) && At(row).source_deleted;
}

bool FileListModel::Tick(Row& row, bool checked) {
    if (row.checked == checked) return false;
    row.checked = checked;
    const int step = checked ? 1 : -1;
    checked_ += step;
    if (!row.source_deleted) convertible_ += step;
    return true;
}

void FileListModel::Forget(const Row& row) {
    if (row.checked) --checked_;
    if (row.checked && !row.source_deleted) --convertible_;
    if (row.source_deleted) --source_deleted_;
}

void FileListModel::SetChecked(int row, bool checked) {
    if (ValidRow(row) && Tick(At(row), checked)) RowsChanged(row, row);
}

void FileListModel::SetChecked(const std::vector<int>& rows, bool checked) {
    int first = 0, last = 0;
    for (int row : rows) {
        if (!ValidRow(row) || !Tick(At(row), checked)) continue;
        first = first == 0 ? row : std::min(first, row);
        last = std::max(last, row);
    }
    if (first != 0) RowsChanged(first, last);
}

void FileListModel::SetAllChecked(bool checked) {
    bool changed = false;
    for (Row& row : rows_) changed = Tick(row, checked) || changed;
    if (changed) RowsChanged(1, RowCount());
}

void FileListModel::RemoveRow(int row) {
    if (!ValidRow(row)) return;
    Forget(At(row));
    rows_.erase(rows_.begin() + (row - 1));
    RowsRemoved();
}

int FileListModel::RemoveChecked() {
    const auto kept = std::remove_if(rows_.begin(), rows_.end(), [this](const Row& row) {
        if (row.checked) Forget(row);
        return row.checked;
    });
    const auto removed = static_cast<int>(rows_.end() - kept);
    rows_.erase(kept, rows_.end());
    if (removed > 0) RowsRemoved();
    return removed;
}

void FileListModel::Clear() {
    rows_.clear();
    checked_ = convertible_ = source_deleted_ = 0;
    RowsRemoved();
}

}  // namespace quenlor
