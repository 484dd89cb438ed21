#include "ui/FileListView.h"

#include <commctrl.h>

#include <vector>

#include "win/CTimer.h"
#include "win/ResourceOwners.h"

namespace quenlor {

const FileListView::ColumnLayout FileListView::kColumns[5] = {
    {L"文件名称", 2500, LVCFMT_LEFT},  {L"转换结果", 800, LVCFMT_LEFT},
    {L"Flash版本", 1000, LVCFMT_LEFT}, {L"大小", 900, LVCFMT_RIGHT},
    {L"保存目录", 2500, LVCFMT_LEFT},
};

class FileListView::ProgramChange {
  public:
    explicit ProgramChange(FileListView& list) : list_(list) { ++list_.program_changes_; }
    ProgramChange(const ProgramChange&) = delete;
    ProgramChange& operator=(const ProgramChange&) = delete;
    ~ProgramChange() { --list_.program_changes_; }

  private:
    FileListView& list_;
};

FileListView::~FileListView() {
    if (show_timer_) show_timer_->Interval(0);
}

HWND FileListView::Create(HWND parent, int id, const RECT& bounds, const Twips& twips) {
    hwnd_ = CreateWindowExW(
        WS_EX_CLIENTEDGE, WC_LISTVIEWW, L"",
        WS_CHILD | WS_VISIBLE | WS_TABSTOP | LVS_REPORT | LVS_SHOWSELALWAYS, bounds.left,
        bounds.top, bounds.right - bounds.left, bounds.bottom - bounds.top, parent,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
        reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(parent, GWLP_HINSTANCE)), nullptr);
    if (!hwnd_) return nullptr;
    ListView_SetExtendedListViewStyle(hwnd_, LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT);
    for (int i = 0; i < 5; ++i) {
        LVCOLUMNW column = {};
        column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT | LVCF_SUBITEM;
        column.fmt = kColumns[i].format;
        column.cx = twips.ToPixels(kColumns[i].width_twips);
        column.pszText = const_cast<wchar_t*>(kColumns[i].header);
        column.iSubItem = i;
        SendMessageW(hwnd_, LVM_INSERTCOLUMNW, i, reinterpret_cast<LPARAM>(&column));
    }
    return hwnd_;
}

void FileListView::AddRow(const std::wstring& text) {
    if (batching_) HoldBatch();
    ProgramChange change(*this);
    LVITEMW item = {};
    item.mask = LVIF_TEXT | LVIF_PARAM;
    item.iItem = RowCount();
    item.pszText = const_cast<wchar_t*>(text.c_str());
    item.lParam = static_cast<LPARAM>(++last_id_);
    SendMessageW(hwnd_, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
}

void FileListView::HoldBatch() {
    if (held_ || !hwnd_) return;
    // No timer to be had: rows are shown one by one.
    if (!StartTimer(show_timer_, kBatchMilliseconds, [this] { ShowBatch(); })) return;
    SendMessageW(hwnd_, WM_SETREDRAW, FALSE, 0);
    held_ = true;
}

void FileListView::ShowBatch() {
    if (show_timer_) show_timer_->Interval(0);
    if (!held_) return;
    held_ = false;
    if (!hwnd_ || !IsWindow(hwnd_)) return;
    // The list brings its scroll bars up to date here, once for the whole batch.
    SendMessageW(hwnd_, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(hwnd_, nullptr, TRUE);
}

RowId FileListView::IdOf(int row) const {
    if (!ValidRow(row)) return 0;
    LVITEMW item = {};
    item.mask = LVIF_PARAM;
    item.iItem = row - 1;
    if (!SendMessageW(hwnd_, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item))) return 0;
    return static_cast<RowId>(item.lParam);
}

int FileListView::RowOf(RowId id) const {
    if (id == 0 || !hwnd_) return 0;
    if (last_found_ >= 1 && IdOf(last_found_) == id) return last_found_;
    LVFINDINFOW find = {};
    find.flags = LVFI_PARAM;
    find.lParam = static_cast<LPARAM>(id);
    const auto index = static_cast<int>(SendMessageW(hwnd_, LVM_FINDITEMW, static_cast<WPARAM>(-1),
                                                     reinterpret_cast<LPARAM>(&find)));
    last_found_ = index + 1;  // 0 when not found
    return last_found_;
}

int FileListView::RowCount() const {
    return hwnd_ ? static_cast<int>(SendMessageW(hwnd_, LVM_GETITEMCOUNT, 0, 0)) : 0;
}

std::wstring FileListView::CellText(int row, Column column) const {
    if (!ValidRow(row)) return std::wstring();
    // The list copies at most the buffer's size; grow until the text fits.
    for (size_t capacity = 512;; capacity *= 2) {
        std::vector<wchar_t> buffer(capacity, L'\0');
        LVITEMW item = {};
        item.iSubItem = static_cast<int>(column);
        item.pszText = buffer.data();
        item.cchTextMax = static_cast<int>(capacity);
        const auto length = static_cast<size_t>(
            SendMessageW(hwnd_, LVM_GETITEMTEXTW, row - 1, reinterpret_cast<LPARAM>(&item)));
        if (length + 1 < capacity || capacity >= (1u << 20)) return std::wstring(item.pszText);
    }
}

std::wstring FileListView::TipText(int row, int column) const {
    if (!ValidRow(row) || column < 0 || column >= 5) return std::wstring();
    if (column == static_cast<int>(Column::Result)) {
        std::wstring reason = Reason(row);
        if (!reason.empty()) return reason;
    }
    if (column == static_cast<int>(Column::Version)) {
        const auto found = facts_.find(IdOf(row));
        if (found != facts_.end()) return found->second;
    }
    std::wstring text = CellText(row, static_cast<Column>(column));
    if (text.empty()) return text;
    const RECT cell = CellBounds(row, column);
    // What of the cell the list shows: its column may run past the list's edges.
    RECT client = {}, shown = {};
    GetClientRect(hwnd_, &client);
    if (!IntersectRect(&shown, &cell, &client)) return text;
    if (shown.bottom - shown.top < cell.bottom - cell.top) return text;  // a row cut at the bottom
    // The list leaves a few pixels of padding on both sides of a cell's text.
    constexpr int kPadding = 12;
    const int width = static_cast<int>(
        SendMessageW(hwnd_, LVM_GETSTRINGWIDTHW, 0, reinterpret_cast<LPARAM>(text.c_str())));
    // Where the text stands in its cell, padding included.
    const bool right = kColumns[column].format == LVCFMT_RIGHT;
    const int left = right ? cell.right - width - kPadding : cell.left;
    const int end = right ? cell.right : cell.left + width + kPadding;
    const bool whole =
        left >= cell.left && end <= cell.right && left >= shown.left && end <= shown.right;
    return whole ? std::wstring() : text;
}

RECT FileListView::CellBounds(int row, int column) const {
    RECT cell = {};
    cell.top = column;
    cell.left = column == 0 ? LVIR_LABEL : LVIR_BOUNDS;
    SendMessageW(hwnd_, LVM_GETSUBITEMRECT, row - 1, reinterpret_cast<LPARAM>(&cell));
    return cell;
}

std::wstring FileListView::RowText(int row) const {
    return CellText(row, Column::FileName);
}

bool FileListView::RowChecked(int row) const {
    return ValidRow(row) && ListView_GetCheckState(hwnd_, row - 1) != FALSE;
}

void FileListView::SetCell(int row, Column column, const std::wstring& text) {
    if (!ValidRow(row)) return;
    ProgramChange change(*this);
    LVITEMW item = {};
    item.iSubItem = static_cast<int>(column);
    item.pszText = const_cast<wchar_t*>(text.c_str());
    SendMessageW(hwnd_, LVM_SETITEMTEXTW, row - 1, reinterpret_cast<LPARAM>(&item));
}

void FileListView::SetReason(int row, const std::wstring& reason) {
    const RowId id = IdOf(row);
    if (id == 0) return;
    if (reason.empty()) {
        reasons_.erase(id);
    } else {
        reasons_[id] = reason;
    }
}

void FileListView::SetFacts(int row, const MovieFacts& facts) {
    const RowId id = IdOf(row);
    if (id == 0) return;
    if (facts.kind.empty()) {
        facts_.erase(id);
    } else {
        facts_[id] = FactsText(facts);
    }
}

void FileListView::MarkSourceDeleted(int row) {
    const RowId id = IdOf(row);
    if (id == 0) return;
    source_deleted_.insert(id);
    SetChecked(row, false);
}

bool FileListView::SourceDeleted(int row) const {
    return source_deleted_.count(IdOf(row)) != 0;
}

std::wstring FileListView::Reason(int row) const {
    const auto found = reasons_.find(IdOf(row));
    return found == reasons_.end() ? std::wstring() : found->second;
}

void FileListView::SetChecked(int row, bool checked) {
    if (!ValidRow(row)) return;
    ProgramChange change(*this);
    ListView_SetCheckState(hwnd_, row - 1, checked ? TRUE : FALSE);
}

void FileListView::RemoveRow(int row) {
    if (!ValidRow(row)) return;
    ProgramChange change(*this);
    reasons_.erase(IdOf(row));
    facts_.erase(IdOf(row));
    source_deleted_.erase(IdOf(row));
    SendMessageW(hwnd_, LVM_DELETEITEM, row - 1, 0);
}

void FileListView::Clear() {
    ProgramChange change(*this);
    reasons_.clear();
    facts_.clear();
    source_deleted_.clear();
    SendMessageW(hwnd_, LVM_DELETEALLITEMS, 0, 0);
}

void FlattenListHeader(HWND list) {
    HWND header = reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0));
    if (!header) return;
    const LONG_PTR style = GetWindowLongPtrW(header, GWL_STYLE);
    SetWindowLongPtrW(header, GWL_STYLE, style ^ HDS_BUTTONS);
}

void FitColumnsToHeaders(HWND list) {
    HWND header = reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0));
    if (!header) return;
    const WindowDC dc(header);
    if (!dc.get()) return;
    const auto font = reinterpret_cast<HFONT>(SendMessageW(header, WM_GETFONT, 0, 0));
    const SelectScope select(dc.get(),
                             font ? static_cast<HGDIOBJ>(font) : GetStockObject(DEFAULT_GUI_FONT));
    // The header leaves three edge widths of margin on each side of a caption; one more keeps
    // the caption clear of the divider.
    const int margins = 7 * GetSystemMetrics(SM_CXEDGE);
    const int count = static_cast<int>(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        wchar_t text[64] = {};
        HDITEMW item = {};
        item.mask = HDI_TEXT | HDI_WIDTH;
        item.pszText = text;
        item.cchTextMax = 64;
        if (!SendMessageW(header, HDM_GETITEMW, i, reinterpret_cast<LPARAM>(&item))) continue;
        SIZE extent = {};
        GetTextExtentPoint32W(dc.get(), text, lstrlenW(text), &extent);
        const int needed = extent.cx + margins;
        // Only ever wider: the list's horizontal scroll bar takes what no longer fits.
        if (item.cxy < needed) SendMessageW(list, LVM_SETCOLUMNWIDTH, i, MAKELPARAM(needed, 0));
    }
}

}  // namespace quenlor
