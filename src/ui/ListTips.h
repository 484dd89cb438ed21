// Tips over the file list's cells: while the pointer rests on a cell that has something more to
// say (a text cut by its column, the reason a conversion failed), a tip shows it beside the cell.
// The list view's own label and info tips are not used: not every system shows them. The window
// reports the pointer's moves over the list (WM_SETCURSOR) with Track; the tip hides itself once
// the pointer has left the list.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>

#include "win/ResourceOwners.h"

namespace quenlor {

class CTimer;

class ListTips {
  public:
    // The tip for a cell (1-based row, column index), empty for none.
    using TextOf = std::function<std::wstring(int row, int column)>;

    ListTips() = default;
    ~ListTips();
    ListTips(const ListTips&) = delete;
    ListTips& operator=(const ListTips&) = delete;

    // Makes the tip window, owned by `owner`, for the cells of `list`.
    bool Create(HWND owner, HWND list, TextOf text_of);

    // The pointer is at `screen` over the list: shows, moves or hides the tip.
    void Track(POINT screen);
    void Hide();

    // The text on show, empty while hidden.
    const std::wstring& Text() const { return text_; }
    HWND hWnd() const { return tip_.get(); }

  private:
    void Poll();

    HWND owner_ = nullptr;
    HWND list_ = nullptr;
    WindowHandle tip_;  // owned by `owner_` too: gone with it
    TextOf text_of_;
    int row_ = 0;
    int column_ = -1;
    std::wstring text_;
    std::shared_ptr<CTimer> poll_;
};

}  // namespace quenlor
