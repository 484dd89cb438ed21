// The file list: a report-view list with a check box in front of every row. The rows live in the
// program's own model (FileListModel); the list view only shows them (an owner-data list: it asks
// for each cell and tick as it draws, and keeps nothing but the selection and the focus). Rows are
// numbered from 1 in display order; the first column holds the projector's path, the others what
// its conversion wrote.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <memory>
#include <string>

#include "quenlor/FileListModel.h"
#include "ui/Twips.h"

namespace quenlor {

class CTimer;

class FileListView : public FileListModel {
  public:
    FileListView() = default;
    ~FileListView();

    // Creates the list and its five columns at `bounds` (client pixels of `parent`).
    HWND Create(HWND parent, int id, const RECT& bounds, const Twips& twips);
    HWND hWnd() const { return hwnd_; }

    // Raised after the user ticked or unticked rows (by mouse or Space).
    std::function<void()> UserTicked;
    // The list's notifications, which its parent passes on; returns the notification's answer.
    LRESULT OnNotify(const NMHDR& header);

    // What a tip over a cell (1-based row, column index) shows: why the row failed, over its
    // result; what the written movie is, over its version; the whole text of a cell cut by its
    // column or by the list's edges; empty when the cell shows all it has.
    std::wstring TipText(int row, int column) const;

    // While one lives (a search filling the list), added rows are shown in batches, at most
    // kBatchMilliseconds after they were added, and all of them when it ends: the list brings its
    // scroll bars up to date once per batch, and a themed scroll bar costs milliseconds to draw.
    class RowBatch {
      public:
        explicit RowBatch(FileListView& list) : list_(list) { ++list_.batching_; }
        RowBatch(const RowBatch&) = delete;
        RowBatch& operator=(const RowBatch&) = delete;
        ~RowBatch() {
            if (--list_.batching_ == 0) list_.ShowBatch();
        }

      private:
        FileListView& list_;
    };
    static constexpr int kBatchMilliseconds = 100;

    // One column's header text, width in twips and alignment.
    struct ColumnLayout {
        const wchar_t* header;
        int width_twips;
        int format;  // LVCFMT_LEFT or LVCFMT_RIGHT
    };
    static const ColumnLayout kColumns[5];

  protected:
    void RowsAdded() override;
    void RowsChanged(int first, int last) override;
    void RowsRemoved() override;

  private:
    // A cell's rectangle in the list's client area (the label's, for the first column).
    RECT CellBounds(int row, int column) const;
    void ShowBatch();
    // Tells the list how many rows there are; `appended`: only rows at the end are new.
    void ShowCount(bool appended);
    void FillItem(LVITEMW& item) const;
    // A click at `point` (list client pixels) on a row's check box ticks or unticks it.
    void ClickAt(POINT point);
    // Space: the focused row's tick flips, and every selected row takes its new tick with it.
    void SpacePressed();
    int FindRow(const NMLVFINDITEMW& find) const;

    HWND hwnd_ = nullptr;
    int batching_ = 0;   // batches alive (an added file may come during a search)
    bool held_ = false;  // rows added that the list does not count yet
    std::shared_ptr<CTimer> show_timer_;
};

// Makes the list's column headers flat: flips the header's HDS_BUTTONS style bit. Run once, on a
// header that carries the bit.
void FlattenListHeader(HWND list);

// Widens each column whose header caption the header's font does not fit whole (measured, so at
// every resolution and with whatever font stands in for the list's).
void FitColumnsToHeaders(HWND list);

}  // namespace quenlor
