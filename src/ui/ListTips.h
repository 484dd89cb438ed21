// Tips over the file list's cells: while the pointer rests on a cell that has something more to
// say (a text cut by its column, the reason a conversion failed), a tip shows it beside the cell.
// The list view's own label and info tips are not used: not every system shows them. The window
// reports the pointer's moves over the list and over itself (WM_SETCURSOR) with Track; the tip
// hides itself once the pointer has left them. One more place of the window's own client area (the
// status line) may have a tip of its own, shown below it the same way.
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

    // `area` (client pixels of the owner) has the tip `text_of` gives, empty for none.
    using AreaText = std::function<std::wstring()>;
    void SetArea(const RECT& area, AreaText text_of);

    // The pointer is at `screen` over the list or the owner: shows, moves or hides the tip.
    void Track(POINT screen);
    void Hide();

    // The text on show, empty while hidden.
    const std::wstring& Text() const { return text_; }
    HWND hWnd() const { return tip_.get(); }

  private:
    void Poll();
    // Shows `text` for the place (row, column) at `place`, client pixels of `window`.
    void Show(int row, int column, std::wstring text, HWND window, POINT place);
    // The row that stands for the owner's area.
    static constexpr int kAreaRow = -1;

    HWND owner_ = nullptr;
    HWND list_ = nullptr;
    WindowHandle tip_;  // owned by `owner_` too: gone with it
    TextOf text_of_;
    RECT area_ = {};
    AreaText area_text_;
    int row_ = 0;
    int column_ = -1;
    std::wstring text_;
    std::shared_ptr<CTimer> poll_;
};

}  // namespace quenlor
