#include "ui/ListTips.h"

#include <commctrl.h>

#include "win/CTimer.h"

namespace quenlor {
namespace {

constexpr UINT_PTR kToolId = 1;
// How often a shown tip checks that the pointer is still over the list (no message says so).
constexpr int32_t kPollMilliseconds = 200;

TTTOOLINFOW ToolOf(HWND owner, const wchar_t* text) {
    TTTOOLINFOW tool = {};
    tool.cbSize = sizeof(tool);
    tool.uFlags = TTF_TRACK | TTF_ABSOLUTE | TTF_TRANSPARENT;
    tool.hwnd = owner;
    tool.uId = kToolId;
    tool.lpszText = const_cast<wchar_t*>(text);
    return tool;
}

}  // namespace

ListTips::~ListTips() {
    if (poll_) poll_->Interval(0);
}

bool ListTips::Create(HWND owner, HWND list, TextOf text_of) {
    owner_ = owner;
    list_ = list;
    text_of_ = std::move(text_of);
    tip_.Reset(CreateWindowExW(
        WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP, 0, 0, 0,
        0, owner, nullptr, reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(owner, GWLP_HINSTANCE)),
        nullptr));
    if (!tip_) return false;
    TTTOOLINFOW tool = ToolOf(owner_, L"");
    SendMessageW(tip_.get(), TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    // Whole paths stay on one line.
    SendMessageW(tip_.get(), TTM_SETMAXTIPWIDTH, 0, GetSystemMetrics(SM_CXSCREEN));
    return true;
}

void ListTips::SetArea(const RECT& area, AreaText text_of) {
    area_ = area;
    area_text_ = std::move(text_of);
}

void ListTips::Track(POINT screen) {
    if (!tip_ || !list_) return;
    POINT in_owner = screen;
    ScreenToClient(owner_, &in_owner);
    if (area_text_ && PtInRect(&area_, in_owner)) {
        std::wstring text = area_text_();
        if (text.empty()) {
            Hide();
            return;
        }
        Show(kAreaRow, -1, std::move(text), owner_, POINT{area_.left, area_.bottom + 2});
        return;
    }
    LVHITTESTINFO hit = {};
    hit.pt = screen;
    ScreenToClient(list_, &hit.pt);
    if (SendMessageW(list_, LVM_SUBITEMHITTEST, 0, reinterpret_cast<LPARAM>(&hit)) < 0 ||
        hit.iItem < 0) {
        Hide();
        return;
    }
    const int row = hit.iItem + 1;
    const int column = hit.iSubItem;
    std::wstring text = text_of_ ? text_of_(row, column) : std::wstring();
    if (text.empty()) {
        Hide();
        return;
    }
    // Just below the cell, so the tip never hides the cell it speaks of.
    RECT cell = {};
    cell.top = column;
    cell.left = column == 0 ? LVIR_LABEL : LVIR_BOUNDS;
    SendMessageW(list_, LVM_GETSUBITEMRECT, hit.iItem, reinterpret_cast<LPARAM>(&cell));
    // A cell scrolled past the list's left edge: the tip starts at the edge.
    Show(row, column, std::move(text), list_,
         POINT{cell.left > 0 ? cell.left : 0, cell.bottom + 2});
}

void ListTips::Show(int row, int column, std::wstring text, HWND window, POINT place) {
    if (row == row_ && column == column_ && text == text_) return;  // already on show
    row_ = row;
    column_ = column;
    text_ = std::move(text);
    TTTOOLINFOW tool = ToolOf(owner_, text_.c_str());
    SendMessageW(tip_.get(), TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
    ClientToScreen(window, &place);
    SendMessageW(tip_.get(), TTM_TRACKPOSITION, 0, MAKELPARAM(place.x, place.y));
    SendMessageW(tip_.get(), TTM_TRACKACTIVATE, TRUE, reinterpret_cast<LPARAM>(&tool));
    // Without a timer the tip hides at the next move over another control.
    StartTimer(poll_, kPollMilliseconds, [this] { Poll(); });
}

void ListTips::Hide() {
    if (poll_) poll_->Interval(0);
    row_ = 0;
    column_ = -1;
    if (text_.empty()) return;
    text_.clear();
    TTTOOLINFOW tool = ToolOf(owner_, L"");
    if (tip_) SendMessageW(tip_.get(), TTM_TRACKACTIVATE, FALSE, reinterpret_cast<LPARAM>(&tool));
}

void ListTips::Poll() {
    POINT cursor;
    if (!GetCursorPos(&cursor)) return;
    const HWND under = WindowFromPoint(cursor);
    if (under == list_ || under == tip_.get() || under == owner_) {
        Track(cursor);
        return;
    }
    Hide();
}

}  // namespace quenlor
