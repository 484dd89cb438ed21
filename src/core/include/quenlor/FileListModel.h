// The file list's rows, kept by the program itself: a window shows them (see the main window's
// list view), the search and the conversion read and write them through IFileList. Every change
// costs the rows it touches, never a pass over the whole list: the counts the buttons need are
// kept as rows change, and a row is found from its identity by a binary search (identities grow
// in the order rows are added, and rows never change places).
#pragma once

#include <array>
#include <string>
#include <vector>

#include "quenlor/Host.h"

namespace quenlor {

class FileListModel : public IFileList {
  public:
    FileListModel() = default;
    FileListModel(const FileListModel&) = delete;
    FileListModel& operator=(const FileListModel&) = delete;

    // IFileList
    void AddRow(const std::wstring& text) override;
    RowId IdOf(int row) const override;
    int RowOf(RowId id) const override;
    int RowCount() const override { return static_cast<int>(rows_.size()); }
    std::wstring RowText(int row) const override { return CellText(row, Column::FileName); }
    bool RowChecked(int row) const override;
    void SetCell(int row, Column column, const std::wstring& text) override;
    void SetReason(int row, const std::wstring& reason) override;
    void SetFacts(int row, const MovieFacts& facts) override;
    void MarkSourceDeleted(int row) override;
    bool SourceDeleted(int row) const override;

    const std::wstring& CellText(int row, Column column) const;
    const std::wstring& Reason(int row) const;
    // What the row's written movie is, as its tip says it; empty before a conversion.
    const std::wstring& FactsOf(int row) const;

    // Ticks: one row, the given rows, or every row; each is one pass over what it changes.
    void SetChecked(int row, bool checked);
    void SetChecked(const std::vector<int>& rows, bool checked);
    void SetAllChecked(bool checked);

    // Removes one row, or every ticked row in one pass (returning how many went); later rows move
    // up.
    void RemoveRow(int row);
    int RemoveChecked();
    void Clear();

    // Kept as rows change.
    int CheckedCount() const { return checked_; }
    // Ticked rows that still have a source to convert.
    int ConvertibleCount() const { return convertible_; }
    int SourceDeletedCount() const { return source_deleted_; }

  protected:
    // What a view of the rows is told: rows were added at the end; rows first..last (1-based)
    // show something new; rows were removed, so that every row may have moved.
    virtual void RowsAdded() {}
    virtual void RowsChanged(int /*first*/, int /*last*/) {}
    virtual void RowsRemoved() {}

  private:
    struct Row {
        RowId id = 0;
        std::array<std::wstring, 5> cells;
        std::wstring reason;  // why the conversion failed
        std::wstring facts;   // what the written movie is
        bool checked = false;
        bool source_deleted = false;
    };
    bool ValidRow(int row) const { return row >= 1 && row <= RowCount(); }
    Row& At(int row) { return rows_[static_cast<size_t>(row - 1)]; }
    const Row& At(int row) const { return rows_[static_cast<size_t>(row - 1)]; }
    // Changes a tick and the counts with it; false when it was so already.
    bool Tick(Row& row, bool checked);
    void Forget(const Row& row);  // takes a removed row out of the counts

    std::vector<Row> rows_;
    RowId last_id_ = 0;
    int checked_ = 0;
    int convertible_ = 0;
    int source_deleted_ = 0;
};

}  // namespace quenlor
