// The file list: a report-view list with a check box in front of every row. Rows are numbered from
// 1 in display order; the first column holds the projector's path, the others what its conversion
// wrote. Each row carries its identity as the item's lParam.
#pragma once

#include <windows.h>

#include <map>
#include <memory>
#include <set>
#include <string>

#include "ui/Twips.h"
#include "quenlor/Host.h"

namespace quenlor {

class CTimer;

class FileListView : public IFileList {
  public:
    FileListView() = default;
    FileListView(const FileListView&) = delete;
    FileListView& operator=(const FileListView&) = delete;
    ~FileListView();

    // Creates the list and its five columns at `bounds` (client pixels of `parent`).
    HWND Create(HWND parent, int id, const RECT& bounds, const Twips& twips);
    HWND hWnd() const { return hwnd_; }

    // IFileList
    void AddRow(const std::wstring& text) override;
    RowId IdOf(int row) const override;
    int RowOf(RowId id) const override;
    int RowCount() const override;
    std::wstring RowText(int row) const override;
    bool RowChecked(int row) const override;
    void SetCell(int row, Column column, const std::wstring& text) override;
    void SetReason(int row, const std::wstring& reason) override;
    void SetFacts(int row, const MovieFacts& facts) override;
    void MarkSourceDeleted(int row) override;
    bool SourceDeleted(int row) const override;
    std::wstring Reason(int row) const;

    std::wstring CellText(int row, Column column) const;
    // What a tip over a cell (1-based row, column index) shows: why the row failed, over its
    // result; what the written movie is, over its version; the whole text of a cell cut by its
    // column or by the list's edges; empty when the cell shows all it has.
    std::wstring TipText(int row, int column) const;
    void SetChecked(int row, bool checked);
    void RemoveRow(int row);
    void Clear();

    // While one lives (a search filling the list), added rows are shown in batches, at most
    // kBatchMilliseconds after they were added, and all of them when it ends. Every row the list
    // takes makes it update both scroll bars twice, and a themed scroll bar costs milliseconds
    // to draw: row by row, that was most of a search's time.
    class RowBatch {
      public:
        explicit RowBatch(FileListView& list) : list_(list) { list_.batching_ = true; }
        RowBatch(const RowBatch&) = delete;
        RowBatch& operator=(const RowBatch&) = delete;
        ~RowBatch() {
            list_.batching_ = false;
            list_.ShowBatch();
        }

      private:
        FileListView& list_;
    };
    static constexpr int kBatchMilliseconds = 100;

    // True while the list is being changed by the program rather than by the user, so that the
    // window can tell a user's tick from its own.
    bool ChangingByProgram() const { return program_changes_ > 0; }

    // One column's header text, width in twips and alignment.
    struct ColumnLayout {
        const wchar_t* header;
        int width_twips;
        int format;  // LVCFMT_LEFT or LVCFMT_RIGHT
    };
    static const ColumnLayout kColumns[5];

  private:
    class ProgramChange;
    bool ValidRow(int row) const { return row >= 1 && row <= RowCount(); }
    // A cell's rectangle in the list's client area (the label's, for the first column).
    RECT CellBounds(int row, int column) const;
    // Stops the list's drawing until ShowBatch, which a timer runs kBatchMilliseconds later.
    void HoldBatch();
    void ShowBatch();

    HWND hwnd_ = nullptr;
    std::map<RowId, std::wstring> reasons_;  // failed rows only
    std::map<RowId, std::wstring> facts_;    // converted rows only: FactsText of their movie
    std::set<RowId> source_deleted_;
    int program_changes_ = 0;
    RowId last_id_ = 0;
    mutable int last_found_ = 0;  // where RowOf looks first: rows seldom move
    bool batching_ = false;
    bool held_ = false;  // drawing stopped for rows not shown yet
    std::shared_ptr<CTimer> show_timer_;
};

// Makes the list's column headers flat: flips the header's HDS_BUTTONS style bit. Run once, on a
// header that carries the bit.
void FlattenListHeader(HWND list);

// Widens each column whose header caption the header's font does not fit whole (measured, so at
// every resolution and with whatever font stands in for the list's).
void FitColumnsToHeaders(HWND list);

}  // namespace quenlor
