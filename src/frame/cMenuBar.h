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
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "frame/CaptionLayout.h"
#include "frame/StdFont.h"
#include "controls/cMemDC.h"
#include "win/ISubclass.h"

namespace quenlor {

class CTimer;
class cToolbarMenu;

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

    // Distances of the bar and of the popup items at the skin's resolution (the design's unless
    // set).
    void Metrics(const MenuMetrics& metrics);

    // Paints the bar into `lhDC` (the caption image) in the band (lLeft, lTop + bandTop, lWidth x
    // lHeight) with font `hFnt`; the item rectangles are stored moved by (lLeft, lYoffset). They
    // are in window coordinates with y counted from CaptionHeight: hit tests and screen rectangles
    // both use that origin, so the painter passes lYoffset = lTop + bandTop - CaptionHeight.
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

    // Operations for the popup tracker. Bar items are numbered 1..ItemCount from the left, as the
    // last Render laid them out; 0 or -1 mean none.
    int32_t ItemCount() const { return static_cast<int32_t>(itemRects_.size()); }
    int32_t OpenItem() const { return openItem_; }
    int32_t HotItem() const { return hotItem_; }
    HMENU ItemSubMenu(int32_t index) const;  // 0 outside 1..ItemCount
    void SetOpenItem(int32_t index, bool open);
    void SetHotItem(int32_t index);
    int32_t ItemFromPoint(POINT screenPoint) const;  // 0 when no item is there
    int32_t ItemUnderCursor() const;
    // The item's rectangle on the screen; false (and `rect` untouched) outside 1..ItemCount.
    bool ItemScreenRect(int32_t index, RECT& rect) const;
    // The next item after `start` (direction 1) or before it (-1), wrapping around the bar.
    int32_t NeighbourItem(int32_t start, int32_t direction) const;

  private:
    // One popup item switched to owner-drawn, as it was before the switch.
    struct PopupItem {
        HMENU popup = nullptr;
        int32_t position = 0;
        UINT type = 0;
        UINT id = 0;
        ULONG_PTR data = 0;
        std::wstring text;         // whole item text (string items)
        bool switched = false;     // made owner-drawn by us, so put back by us
        std::wstring caption;      // text before the first tab
        std::wstring accelerator;  // text after the first tab
        wchar_t mnemonic = 0;      // upper-cased letter after "&"; 0 = none
        int32_t captionWidth = 0;  // widest caption of the popup
        int32_t acceleratorWidth = 0;
    };

    LRESULT HandleMessage(HWND hwnd, UINT iMsg, WPARAM wParam, LPARAM lParam);
    void Repaint() const;
    void TrackHover();
    void StopHoverTimer();
    // Opens the popup of bar item `index` with the tracker and puts its items back afterwards;
    // closed with Esc, its bar item stays selected (SelectFromKeyboard).
    void OpenPopup(int32_t index, bool fromKeyboard = false);
    // The system's menu mode on the bar after Esc closed a popup: item `index` stays selected
    // until Esc, Alt or F10, a click or the loss of activation; Left and Right move it, Down, Up,
    // Enter or an item's letter open a popup again. Modal, as the popups are. Returns the item to
    // open (0: the mode is over), and the click that ended it, to be delivered afterwards.
    int32_t SelectFromKeyboard(int32_t index, std::optional<MSG>& click);
    int32_t MnemonicItem(int32_t vKey) const;  // the bar item with that letter; 0 = none
    // Screen position of the origin of the item rectangles (see Render).
    POINT ItemOrigin() const;
    static std::wstring TopLevelText(HMENU menu, int32_t position);

    // Popup items (owner-drawn while a popup is shown).
    static PopupItem ReadPopupItem(HMENU popup, int32_t position);
    size_t FindEntry(HMENU popup, int32_t position) const;  // 0 = none
    const PopupItem* Entry(ULONG_PTR data) const;           // null unless 1..N
    LRESULT MeasureItem(WPARAM wParam, LPARAM lParam);
    LRESULT DrawItem(WPARAM wParam, LPARAM lParam);
    void DrawItemText(HDC hdc, const std::wstring& text, RECT rect, bool disabled,
                      UINT format) const;
    // The submenu arrow, its right edge at `right` (exclusive), centred on `middle`.
    void DrawArrow(HDC hdc, int32_t right, int32_t middle, COLORREF colour) const;
    LRESULT MenuCharLookup(HMENU hPopup, wchar_t character) const;

    HWND window_ = nullptr;
    HMENU hMenu_ = nullptr;
    int32_t captionHeight_ = 0;
    MenuMetrics metrics_;
    cMemDC surface_;
    std::shared_ptr<cToolbarMenu> tracker_;
    std::vector<RECT> itemRects_;
    std::vector<HMENU> itemSubMenus_;
    int32_t openItem_ = 0;
    int32_t hotItem_ = 0;
    int32_t keyboardItem_ = 0;               // the item SelectFromKeyboard holds selected; 0 = none
    uint32_t activeMenuColor_ = 0x80000007;  // menu text
    uint32_t activeMenuColorOver_ = 0x8000000E;  // highlighted text
    uint32_t inActiveMenuColor_ = 0x80000011;    // grey text
    uint32_t menuBackgroundColor_ = 0x80000004;  // menu
    StdFont menuFont_;
    StdFont glyphFont_;
    GdiHandle<HFONT> glyphs_;  // glyphFont_ at the metrics' resolution, as the items are laid out
    std::shared_ptr<CTimer> timer_;
    std::vector<PopupItem> items_;  // entry c is items_[c - 1]; item data of a switched item is c
    std::vector<HMENU> seenPopups_;
    int32_t itemTextHeight_ = 0;
    // Cleared when the bar goes: code after a modal popup checks it before touching the bar.
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

}  // namespace quenlor
