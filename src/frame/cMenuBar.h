// cMenuBar: the window's menu bar, drawn by the program inside the skinned caption band. The
// caption painter (cNeoCaption) creates one per window, attaches it, hands it the menu font and
// colours, and calls Render from every frame paint; the bar lays out the top-level popups, follows
// the pointer, opens popups through its tracker and draws their items owner-drawn.
//
// The public section below is what the caption painter relies on; the bar's own state and helpers
// live in the private section.
#pragma once

#include <windows.h>

#include <cstdint>

#include "StdFont.h"
#include "win/ISubclass.h"

namespace quenlor {

class cMenuBar : public ISubclass {
  public:
    cMenuBar();
    ~cMenuBar();
    cMenuBar(const cMenuBar&) = delete;
    cMenuBar& operator=(const cMenuBar&) = delete;

    // The menu shown; 0 draws nothing. Setting it only stores the handle: the next Render uses it.
    HMENU hMenu() const { return hMenu_; }
    void hMenu(HMENU hTheMenu) { hMenu_ = hTheMenu; }

    // Starts serving `lhWnd` (mouse, owner-draw and menu-character messages); Detach undoes it and
    // may run twice.
    void Attach(HWND lhWnd);
    void Detach();

    // Height of the caption above the bar (pixels): where popups are placed on screen.
    void CaptionHeight(int32_t lHeight) { captionHeight_ = lHeight; }

    // Paints the bar into `lhDC` (the caption image) in the band (lLeft, lTop + 2, lWidth x
    // lHeight) with font `hFnt`; the item rectangles are stored moved by (lLeft, lYoffset).
    void Render(HFONT hFnt, HDC lhDC, int32_t lLeft, int32_t lTop, int32_t lWidth, int32_t lHeight,
                int32_t lYoffset);

    // The painter's font and colours (OLE colours), handed over once in its Attach.
    void SetMenuFont(const StdFont& font);
    void SetMenuColors(uint32_t active, uint32_t activeOver, uint32_t inactive,
                       uint32_t background);

    // Alt+letter: opens the popup whose bar text has "&" before that letter; true when one opened.
    bool OpenByMnemonic(int32_t vKey);

    // Popup items: switched to owner-drawn before a popup shows, put back after the menu closes.
    void PreparePopup(HMENU hPopup);
    void RestorePopups();

    // ISubclass
    EMsgResponse MsgResponse() override { return mrConsume; }
    void MsgResponse(EMsgResponse) override {}
    LRESULT WindowProc(HWND hwnd, UINT iMsg, WPARAM wParam, LPARAM lParam) override;

  private:
    HWND window_ = nullptr;
    HMENU hMenu_ = nullptr;
    int32_t captionHeight_ = 0;
};

}  // namespace quenlor
