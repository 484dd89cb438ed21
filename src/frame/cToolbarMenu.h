// cToolbarMenu: shows the popups of the drawn menu bar (cMenuBar) and adds what a real menu bar
// does while one is open: the pointer moving onto another bar item, or Left and Right at the edge
// of the popup, close it and open the neighbouring one; a click on the open item's bar item is
// swallowed. It watches the menu loop with a message-filter hook, present only while a popup is
// shown, and the selection with a WM_MENUSELECT registration on the owner window.
//
// Owned by one cMenuBar through a std::shared_ptr: a running ShowPopup keeps its tracker alive,
// so the bar may let go of it (or be destroyed) while a popup is open.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>

#include "win/ISubclass.h"

namespace quenlor {

class cMenuBar;

class cToolbarMenu : public ISubclass, public std::enable_shared_from_this<cToolbarMenu> {
  public:
    cToolbarMenu() = default;
    ~cToolbarMenu();
    cToolbarMenu(const cToolbarMenu&) = delete;
    cToolbarMenu& operator=(const cToolbarMenu&) = delete;

    // Serves `window` for `menuBar` (which outlives the registration); DetachOwner undoes it and
    // may run twice. Detaching during a popup closes it; ShowPopup then returns without touching
    // the bar again.
    void AttachOwner(HWND window, cMenuBar* menuBar);
    void DetachOwner();

    // Shows the popup of bar item `index` under the item, then the popups the user moves on to;
    // returns when none is open any more, with the last TrackPopupMenuEx result (0 if none ran).
    // A call while one runs returns 0 at once.
    // `fromKeyboard`: opened with Alt+letter, so the popup selects its first item, as the
    // system's own menu bars do (and so do the popups reached from it with Left and Right).
    int32_t ShowPopup(int32_t index, bool fromKeyboard = false);
    bool Busy() const { return busy_; }
    // The bar item whose popup the last ShowPopup closed with Esc (the selection in the popup
    // itself, no submenu open), to be left selected on the bar; 0 when it closed otherwise.
    int32_t EscapedItem() const { return escapedItem_; }

    // Called by the hook for each message of the menu loop; true swallows the message.
    bool FilterMessage(const MSG& msg);

    // ISubclass: WM_MENUSELECT, after the previous procedure.
    EMsgResponse MsgResponse() override;
    void MsgResponse(EMsgResponse) override {}
    LRESULT WindowProc(HWND hwnd, UINT iMsg, WPARAM wParam, LPARAM lParam) override;

  private:
    void SetTrackState(int32_t state, int32_t index);
    void OnMenuSelect(HMENU hMenu, UINT flags);
    void SwitchTo(int32_t n);

    HWND window_ = nullptr;
    cMenuBar* menuBar_ = nullptr;
    int32_t trackState_ = 0;  // 0 idle, 2 a popup is shown
    int32_t currentItem_ = 0;
    int32_t nextItem_ = -1;
    HMENU rootPopup_ = nullptr;
    bool rightMovesOn_ = false;
    bool leftMovesBack_ = false;
    bool busy_ = false;
    bool fromKeyboard_ = false;  // the popup to show next was asked for with a key
    int32_t escapedItem_ = 0;
    POINT lastPoint_{};  // where the pointer was at the last mouse move of the menu loop
};

// The WH_MSGFILTER hook of the menu loop: one for the program, serving one tracker.
namespace MenuHook {
void InstallMenuHook(cToolbarMenu* tracker);
void RemoveMenuHook();
bool Installed();
// Forgets `tracker` (and removes the hook if it serves it): the tracker is going away.
void Forget(cToolbarMenu* tracker);
}  // namespace MenuHook

}  // namespace quenlor
