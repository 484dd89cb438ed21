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

FileListView::~FileListView() {
    if (show_timer_) show_timer_->Interval(0);
}

HWND FileListView::Create(HWND parent, int id, const RECT& bounds, const Twips& twips) {
    hwnd_ = CreateWindowExW(
        WS_EX_CLIENTEDGE, WC_LISTVIEWW, L"",
        WS_CHILD | WS_VISIBLE | WS_TABSTOP | LVS_REPORT | LVS_SHOWSELALWAYS | LVS_OWNERDATA,
        bounds.left, bounds.top, bounds.right - bounds.left, bounds.bottom - bounds.top, parent,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
        reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(parent, GWLP_HINSTANCE)), nullptr);
    if (!hwnd_) return nullptr;
    ListView_SetExtendedListViewStyle(hwnd_, LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT);
    // The ticks are the model's: the list asks for each row's check box as it draws it.
    SendMessageW(hwnd_, LVM_SETCALLBACKMASK, LVIS_STATEIMAGEMASK, 0);
    for (int i = 0; i < 5; ++i) {
        LVCOLUMNW column = {};
        column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT | LVCF_SUBITEM;
        column.fmt = kColumns[i].format;
        column.cx = twips.ToPixels(kColumns[i].width_twips);
        column.pszText = const_cast<wchar_t*>(kColumns[i].header);
        column.iSubItem = i;
        SendMessageW(hwnd_, LVM_INSERTCOLUMNW, i, reinterpret_cast<LPARAM>(&column));
    }
    ShowCount(false);
    return hwnd_;
}

void FileListView::RowsAdded() {
    if (!hwnd_) return;
    if (batching_ == 0) {
        ShowCount(true);
        return;
    }
    if (held_) return;
    // No timer to be had: rows are shown one by one.
    if (!StartTimer(show_timer_, kBatchMilliseconds, [this] { ShowBatch(); })) {
        ShowCount(true);
        return;
    }
    held_ = true;
}

void FileListView::ShowBatch() {
    if (show_timer_) show_timer_->Interval(0);
    if (!held_) return;
    held_ = false;
    if (hwnd_ && IsWindow(hwnd_)) ShowCount(true);
}

void FileListView::ShowCount(bool appended) {
    // Appended rows leave the rows on show as they are, and the view where it is.
    const LPARAM flags = appended ? LVSICF_NOSCROLL | LVSICF_NOINVALIDATEALL : 0;
    SendMessageW(hwnd_, LVM_SETITEMCOUNT, static_cast<WPARAM>(RowCount()), flags);
}

void FileListView::RowsChanged(int first, int last) {
    if (!hwnd_) return;
    if (first == last) {
        SendMessageW(hwnd_, LVM_REDRAWITEMS, static_cast<WPARAM>(first - 1),
                     static_cast<LPARAM>(last - 1));
    } else {
        // One repaint: redrawing rows one by one costs each of them, shown or not.
        InvalidateRect(hwnd_, nullptr, FALSE);
    }
}

void FileListView::RowsRemoved() {
    if (!hwnd_) return;
    held_ = false;
    ShowCount(false);
    // The list keeps the selection by position: after a removal those positions hold other rows.
    LVITEMW none = {};
    none.stateMask = LVIS_SELECTED;
    SendMessageW(hwnd_, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&none));
}

LRESULT FileListView::OnNotify(const NMHDR& header) {
    switch (header.code) {
        case LVN_GETDISPINFOW:
            FillItem(reinterpret_cast<NMLVDISPINFOW&>(const_cast<NMHDR&>(header)).item);
            return 0;
        case NM_CLICK:
        case NM_DBLCLK:
            ClickAt(reinterpret_cast<const NMITEMACTIVATE&>(header).ptAction);
            return 0;
        case LVN_KEYDOWN:
            if (reinterpret_cast<const NMLVKEYDOWN&>(header).wVKey == VK_SPACE) SpacePressed();
            return 0;
        case LVN_ODFINDITEMW:
            return FindRow(reinterpret_cast<const NMLVFINDITEMW&>(header));
        default:
            // A tick the list changed on its own (it stores none) is not the model's.
            return 0;
    }
}

void FileListView::FillItem(LVITEMW& item) const {
    const int row = item.iItem + 1;
    if ((item.mask & LVIF_TEXT) && item.pszText && item.cchTextMax > 0) {
        const std::wstring& text = CellText(row, static_cast<Column>(item.iSubItem));
        lstrcpynW(item.pszText, text.c_str(), item.cchTextMax);
    }
    if (item.mask & LVIF_STATE) {
        // State image 1 is the empty box, 2 the ticked one.
        item.state =
            (item.state & ~LVIS_STATEIMAGEMASK) | INDEXTOSTATEIMAGEMASK(RowChecked(row) ? 2 : 1);
        item.stateMask |= LVIS_STATEIMAGEMASK;
    }
}

void FileListView::ClickAt(POINT point) {
    LVHITTESTINFO hit = {};
    hit.pt = point;
    SendMessageW(hwnd_, LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit));
    if (hit.iItem < 0 || !(hit.flags & LVHT_ONITEMSTATEICON)) return;
    SetChecked(hit.iItem + 1, !RowChecked(hit.iItem + 1));
    if (UserTicked) UserTicked();
}

void FileListView::SpacePressed() {
    const auto next = [this](int after, UINT flags) {
        return static_cast<int>(
            SendMessageW(hwnd_, LVM_GETNEXTITEM, static_cast<WPARAM>(after), MAKELPARAM(flags, 0)));
    };
    const int focused = next(-1, LVNI_FOCUSED);
    if (focused < 0) return;
    const bool checked = !RowChecked(focused + 1);
    std::vector<int> rows{focused + 1};
    if (ListView_GetItemState(hwnd_, focused, LVIS_SELECTED) & LVIS_SELECTED) {
        rows.clear();
        for (int item = next(-1, LVNI_SELECTED); item >= 0; item = next(item, LVNI_SELECTED))
            rows.push_back(item + 1);
    }
    SetChecked(rows, checked);
    if (UserTicked) UserTicked();
}

int FileListView::FindRow(const NMLVFINDITEMW& find) const {
    // Typing a name's first letters: the next row from `iStart` whose path starts with them.
    if (!(find.lvfi.flags & (LVFI_STRING | LVFI_PARTIAL)) || !find.lvfi.psz) return -1;
    const std::wstring prefix = find.lvfi.psz;
    const int count = RowCount();
    if (count == 0 || prefix.empty()) return -1;
    const int start = find.iStart >= 0 && find.iStart < count ? find.iStart : 0;
    for (int step = 0; step < count; ++step) {
        const int item = (start + step) % count;
        const std::wstring& text = RowText(item + 1);
        if (text.size() >= prefix.size() &&
            CompareStringOrdinal(text.c_str(), static_cast<int>(prefix.size()), prefix.c_str(),
                                 static_cast<int>(prefix.size()), TRUE) == CSTR_EQUAL)
            return item;
    }
    return -1;
}

std::wstring FileListView::TipText(int row, int column) const {
    if (row < 1 || row > RowCount() || column < 0 || column >= 5) return std::wstring();
    if (column == static_cast<int>(Column::Result)) {
        const std::wstring& reason = Reason(row);
        if (!reason.empty()) return reason;
    }
    if (column == static_cast<int>(Column::Version)) {
        const std::wstring& facts = FactsOf(row);
        if (!facts.empty()) return facts;
    }
    const std::wstring& text = CellText(row, static_cast<Column>(column));
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
