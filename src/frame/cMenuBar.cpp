#include "frame/cMenuBar.h"
#include "frame/TranslateColor.h"

#include <olectl.h>

#include "frame/MenuText.h"
#include "frame/MouseButtons.h"
#include "frame/cToolbarMenu.h"
#include "win/CTimer.h"
#include "win/CallbackBarrier.h"
#include "win/ResourceOwners.h"
#include "win/MSubclass.h"

namespace quenlor {
namespace {

// The messages the bar serves, in the order of registration.
constexpr UINT kBarMessages[] = {WM_LBUTTONDOWN, WM_MOUSEMOVE, WM_DRAWITEM, WM_MEASUREITEM,
                                 WM_MENUCHAR};
constexpr int32_t kHoverInterval = 50;  // ms between pointer checks while an item is hot

}  // namespace

cMenuBar::cMenuBar() : glyphFont_(L"Marlett") {
    // The glyphs scale with the menu font they were made for; a later menu font keeps them.
    glyphFont_.Size(menuFont_.Size() * 1.2);
    glyphFont_.Charset(SYMBOL_CHARSET);
    Metrics(metrics_);
}

void cMenuBar::Metrics(const MenuMetrics& metrics) {
    metrics_ = metrics;
    // The check and radio glyphs grow with the items they sit in, whatever the screen reports.
    const LOGFONTW glyphs = glyphFont_.ToLogFont(metrics_.dpi);
    glyphs_.Reset(CreateFontIndirectW(&glyphs));
}

cMenuBar::~cMenuBar() {
    *alive_ = false;
    Detach();
    StopHoverTimer();
}

void cMenuBar::Attach(HWND lhWnd) {
    // No window-update lock: it is system-wide, and releasing it could release another program's.
    Detach();
    window_ = lhWnd;
    try {
        tracker_ = std::make_shared<cToolbarMenu>();
        tracker_->AttachOwner(window_, this);
        for (UINT message : kBarMessages) MSubclass::AttachMessage(this, window_, message);
    } catch (...) {
        Detach();
        throw;
    }
}

void cMenuBar::Detach() {
    StopHoverTimer();
    if (window_ != nullptr) {
        for (UINT message : kBarMessages) MSubclass::DetachMessage(this, window_, message);
    }
    // No item may stay owner-drawn once nobody answers its draw requests.
    RestorePopups();
    if (tracker_) {
        const std::shared_ptr<cToolbarMenu> tracker = std::move(tracker_);
        tracker->DetachOwner();
    }
}

void cMenuBar::SetMenuFont(const StdFont& font) {
    menuFont_ = font;
}

void cMenuBar::SetMenuColors(uint32_t active, uint32_t activeOver, uint32_t inactive,
                             uint32_t background) {
    activeMenuColor_ = active;
    activeMenuColorOver_ = activeOver;
    inActiveMenuColor_ = inactive;
    menuBackgroundColor_ = background;
}

void cMenuBar::Render(HFONT hFnt, HDC lhDC, int32_t lLeft, int32_t lTop, int32_t lWidth,
                      int32_t lHeight, int32_t lYoffset) {
    if (hMenu_ == nullptr) return;
    surface_.Width(lWidth);
    surface_.Height(lHeight);
    const HDC dc = surface_.hdc();
    itemRects_.clear();
    itemSubMenus_.clear();
    if (dc == nullptr) return;
    const SelectScope font(dc, hFnt);

    const int n = GetMenuItemCount(hMenu_);
    if (n <= 0) return;
    const MenuMetrics& m = metrics_;
    BitBlt(dc, 0, 0, lWidth, lHeight, lhDC, lLeft, lTop + m.bandTop, SRCCOPY);
    SetBkMode(dc, TRANSPARENT);
    int x = m.firstItemX;
    for (int p = 0; p < n; ++p) {
        if (GetMenuItemID(hMenu_, p) != UINT(-1)) continue;  // only items that open a popup
        const std::wstring text = TopLevelText(hMenu_, p);
        RECT textRect{0, 0, 0, lHeight};
        DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &textRect, DT_CALCRECT);
        OffsetRect(&textRect, x, m.textTop);
        RECT frame = textRect;
        InflateRect(&frame, m.frameMargin, m.frameMargin);
        const int32_t i = ItemCount() + 1;

        if (i == openItem_ && openItem_ == hotItem_) {
            SetTextColor(dc, TranslateColor(activeMenuColorOver_));
            DrawEdge(dc, &frame, BDR_SUNKENOUTER, BF_RECT);
            OffsetRect(&textRect, 1, 1);  // pressed: the text moves with the sunken frame
        } else if (i == openItem_ || i == hotItem_) {
            SetTextColor(dc, TranslateColor(activeMenuColorOver_));
            DrawEdge(dc, &frame, BDR_RAISEDINNER, BF_RECT);
        } else {
            SetTextColor(dc, TranslateColor(activeMenuColor_));
        }
        DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &textRect, DT_SINGLELINE);

        OffsetRect(&frame, lLeft, lYoffset);
        itemRects_.push_back(frame);
        itemSubMenus_.push_back(GetSubMenu(hMenu_, p));
        x += (textRect.right - textRect.left) + m.itemGap;
    }
    BitBlt(lhDC, lLeft, lTop + m.bandTop, lWidth, lHeight, dc, 0, 0, SRCCOPY);
}

std::wstring cMenuBar::TopLevelText(HMENU menu, int32_t position) {
    // The length first, then the whole text: no text is cut, however long.
    MENUITEMINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_STRING;
    if (!GetMenuItemInfoW(menu, position, TRUE, &info) || info.cch == 0) return std::wstring();
    std::wstring text(info.cch + 1, L'\0');
    info.dwTypeData = text.data();
    info.cch = static_cast<UINT>(text.size());
    if (!GetMenuItemInfoW(menu, position, TRUE, &info)) return std::wstring();
    text.resize(wcsnlen(text.c_str(), text.size()));
    return text;
}

int32_t cMenuBar::MnemonicItem(int32_t vKey) const {
    if (hMenu_ == nullptr) return 0;
    const int n = GetMenuItemCount(hMenu_);
    int32_t barItem = 0;
    for (int p = 0; p < n; ++p) {
        // Numbered as Render lays the bar out: items without a popup are not on it.
        if (GetMenuItemID(hMenu_, p) != UINT(-1)) continue;
        ++barItem;
        const wchar_t mnemonic = MnemonicOf(TopLevelText(hMenu_, p));
        if (mnemonic != 0 && mnemonic == static_cast<wchar_t>(vKey)) {
            return barItem <= ItemCount() ? barItem : 0;  // 0: not laid out yet
        }
    }
    return 0;
}

bool cMenuBar::OpenByMnemonic(int32_t vKey) {
    // Alt+letter while a popup is shown (the keyboard hook runs inside the menu loop) opens
    // nothing; while the bar holds a selection, the letter goes to it.
    if (keyboardItem_ != 0 || (tracker_ && tracker_->Busy())) return false;
    const int32_t item = MnemonicItem(vKey);
    if (item == 0) return false;
    SetOpenItem(item, true);
    StopHoverTimer();
    OpenPopup(openItem_, true);
    return true;
}

void cMenuBar::OpenPopup(int32_t index, bool fromKeyboard) {
    StopHoverTimer();
    const std::shared_ptr<bool> alive = alive_;
    const std::shared_ptr<cToolbarMenu> tracker = tracker_;
    if (!tracker || tracker->Busy() || keyboardItem_ != 0) return;  // the open popup stays
    std::optional<MSG> click;
    while (index > 0) {
        tracker->ShowPopup(index, fromKeyboard);
        if (!*alive) return;  // the window went away with its bar while the popup was open
        RestorePopups();
        const int32_t escaped = tracker->EscapedItem();
        if (escaped <= 0 || tracker_ != tracker || !IsWindow(window_)) break;
        index = SelectFromKeyboard(escaped, click);
        if (!*alive) return;
        fromKeyboard = true;
    }
    // Hover polling resumes for the pointer where it now rests, unless the bar was detached.
    if (tracker_ && IsWindow(window_)) TrackHover();
    if (click) DispatchMessageW(&*click);
}

namespace {

bool IsButtonDown(UINT message) {
    switch (message) {
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
        case WM_RBUTTONDOWN:
        case WM_RBUTTONDBLCLK:
        case WM_MBUTTONDOWN:
        case WM_MBUTTONDBLCLK:
        case WM_NCLBUTTONDOWN:
        case WM_NCLBUTTONDBLCLK:
        case WM_NCRBUTTONDOWN:
        case WM_NCRBUTTONDBLCLK:
        case WM_NCMBUTTONDOWN:
        case WM_NCMBUTTONDBLCLK:
            return true;
        default:
            return false;
    }
}

}  // namespace

int32_t cMenuBar::SelectFromKeyboard(int32_t index, std::optional<MSG>& click) {
    const std::shared_ptr<bool> alive = alive_;
    keyboardItem_ = index;
    SetHotItem(index);
    int32_t open = 0;
    bool held = true;
    MSG msg{};
    while (held && open == 0) {
        if (GetMessageW(&msg, nullptr, 0, 0) <= 0) {
            PostQuitMessage(static_cast<int>(msg.wParam));  // for the loop beneath this one
            break;
        }
        if (msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN) {
            // Every key is the bar's while it holds the selection: none reaches the window.
            switch (msg.wParam) {
                case VK_ESCAPE:
                    held = false;
                    break;
                case VK_LEFT:
                case VK_RIGHT:
                    keyboardItem_ = NeighbourItem(keyboardItem_, msg.wParam == VK_RIGHT ? 1 : -1);
                    SetHotItem(keyboardItem_);
                    break;
                case VK_DOWN:
                case VK_UP:
                case VK_RETURN:
                    open = keyboardItem_;
                    break;
                default:
                    open = MnemonicItem(static_cast<int32_t>(msg.wParam));
                    break;
            }
        } else if (msg.message == WM_KEYUP || msg.message == WM_SYSKEYUP) {
            // Alt and F10 leave when released, so that no lone release opens the window menu.
            if (msg.wParam == VK_MENU || msg.wParam == VK_F10) held = false;
        } else if (IsButtonDown(msg.message)) {
            click = msg;  // delivered once the mode is over: it goes where it was aimed
            held = false;
        } else if (msg.message != WM_CHAR && msg.message != WM_SYSCHAR) {
            if (msg.message == WM_CANCELMODE) held = false;
            DispatchMessageW(&msg);
        }
        if (!*alive) return 0;
        if (GetActiveWindow() != window_) held = false;  // another window has the keyboard
    }
    keyboardItem_ = 0;
    SetHotItem(0);
    return held ? open : 0;
}

HMENU cMenuBar::ItemSubMenu(int32_t index) const {
    if (index < 1 || index > ItemCount()) return nullptr;
    return itemSubMenus_[index - 1];
}

void cMenuBar::SetOpenItem(int32_t index, bool open) {
    if (open) {
        openItem_ = index;
    } else if (index == openItem_) {
        openItem_ = -1;
    }
    Repaint();
}

void cMenuBar::SetHotItem(int32_t index) {
    hotItem_ = index;
    Repaint();
}

POINT cMenuBar::ItemOrigin() const {
    RECT window{};
    GetWindowRect(window_, &window);
    return POINT{window.left, window.top + captionHeight_};
}

int32_t cMenuBar::ItemFromPoint(POINT screenPoint) const {
    const POINT origin = ItemOrigin();
    const POINT point{screenPoint.x - origin.x, screenPoint.y - origin.y};
    for (int32_t i = 1; i <= ItemCount(); ++i) {
        if (PtInRect(&itemRects_[i - 1], point)) return i;
    }
    return 0;
}

int32_t cMenuBar::ItemUnderCursor() const {
    if (ItemCount() < 1) return 0;
    POINT cursor{};
    if (!GetCursorPos(&cursor)) return 0;
    return ItemFromPoint(cursor);
}

int32_t cMenuBar::NeighbourItem(int32_t start, int32_t direction) const {
    const int32_t count = ItemCount();
    if (direction > 0) return start + 1 > count ? 1 : start + 1;
    return start <= 1 ? count : start - 1;
}

bool cMenuBar::ItemScreenRect(int32_t index, RECT& rect) const {
    if (index < 1 || index > ItemCount()) return false;
    const POINT origin = ItemOrigin();
    rect = itemRects_[index - 1];
    OffsetRect(&rect, origin.x, origin.y);
    return true;
}

void cMenuBar::Repaint() const {
    if (window_ != nullptr) SendMessageW(window_, WM_NCPAINT, 0, 0);
}

void cMenuBar::TrackHover() {
    if (keyboardItem_ != 0) {
        // The keyboard holds the selection: the pointer moves it only onto another item.
        const int32_t under = ItemUnderCursor();
        if (under > 0 && under != keyboardItem_) SetHotItem(keyboardItem_ = under);
        return;
    }
    const int32_t hot = ItemUnderCursor();
    if (hot != hotItem_) {
        hotItem_ = hot;
        Repaint();
    }
    if (!timer_) {
        timer_ = CTimer::Create();
        // A timer that cannot restart ends the polling; the next mouse move starts it again.
        timer_->ThatTime = [this] {
            RunGuarded(
                "cMenuBar.ThatTime", [this] { return (TrackHover(), 0); }, [] { return 0; });
        };
    }
    if (hotItem_ > 0 || openItem_ > 0) {
        if (openItem_ > 0 && !PrimaryButtonDown()) {
            openItem_ = 0;  // the button went up over an item without a popup
            Repaint();
        }
        timer_->Interval(kHoverInterval);
    } else {
        timer_->Interval(0);  // nothing hot: no mouse message comes once the pointer has left
    }
}

void cMenuBar::StopHoverTimer() {
    if (timer_) timer_->Interval(0);
}

LRESULT cMenuBar::WindowProc(HWND hwnd, UINT iMsg, WPARAM wParam, LPARAM lParam) {
    return RunGuarded(
        "cMenuBar.WindowProc", [&] { return HandleMessage(hwnd, iMsg, wParam, lParam); },
        [] { return LRESULT(0); });
}

LRESULT cMenuBar::HandleMessage(HWND hwnd, UINT iMsg, WPARAM wParam, LPARAM lParam) {
    switch (iMsg) {
        case WM_DRAWITEM:
            return DrawItem(wParam, lParam);
        case WM_MEASUREITEM:
            return MeasureItem(wParam, lParam);
        case WM_MENUCHAR:
            if ((HIWORD(wParam) & MF_SYSMENU) == 0) {
                const LRESULT found = MenuCharLookup(reinterpret_cast<HMENU>(lParam),
                                                     static_cast<wchar_t>(LOWORD(wParam)));
                if (found > 0) return found;
            }
            return MSubclass::CallOldWindowProc(hwnd, iMsg, wParam, lParam);
        case WM_MOUSEMOVE: {
            const LRESULT result = MSubclass::CallOldWindowProc(hwnd, iMsg, wParam, lParam);
            TrackHover();
            return result;
        }
        case WM_LBUTTONDOWN: {
            const LRESULT result = MSubclass::CallOldWindowProc(hwnd, iMsg, wParam, lParam);
            const int32_t item = ItemUnderCursor();
            if (item != openItem_) {
                openItem_ = item;
                Repaint();
            }
            if (openItem_ > 0) OpenPopup(openItem_);
            return result;
        }
        default:
            return 0;
    }
}

}  // namespace quenlor
