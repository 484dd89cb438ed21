#include "frame/cToolbarMenu.h"

#include "frame/cMenuBar.h"
#include "win/CallbackBarrier.h"
#include "win/ResourceOwners.h"
#include "win/MSubclass.h"

namespace quenlor {
namespace MenuHook {
namespace {

HookHandle g_hook;
cToolbarMenu* g_tracker = nullptr;

LRESULT CALLBACK MenuFilterProc(int code, WPARAM wParam, LPARAM lParam) noexcept {
    const auto pass = [&] { return CallNextHookEx(g_hook.get(), code, wParam, lParam); };
    if (code != MSGF_MENU || g_tracker == nullptr || lParam == 0) return pass();
    return RunGuarded(
        "MenuFilterProc",
        [&] {
            const MSG msg = *reinterpret_cast<const MSG*>(lParam);
            // True swallows the message: the menu does not see it.
            return g_tracker->FilterMessage(msg) ? LRESULT(1) : pass();
        },
        pass);
}

}  // namespace

void InstallMenuHook(cToolbarMenu* tracker) {
    RemoveMenuHook();
    g_tracker = tracker;
    g_hook.Reset(SetWindowsHookExW(WH_MSGFILTER, &MenuFilterProc, nullptr, GetCurrentThreadId()));
}

void RemoveMenuHook() {
    g_hook.Reset();
}

bool Installed() {
    return static_cast<bool>(g_hook);
}

void Forget(cToolbarMenu* tracker) {
    if (g_tracker != tracker) return;
    RemoveMenuHook();
    g_tracker = nullptr;
}

}  // namespace MenuHook

namespace {

// How many popup menus this thread shows: the root popup and each submenu open from it.
int ShownMenus() {
    int count = 0;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND hwnd, LPARAM shown) -> BOOL {
            wchar_t name[8] = {};
            if (IsWindowVisible(hwnd) && GetClassNameW(hwnd, name, 8) > 0 &&
                lstrcmpW(name, L"#32768") == 0)
                ++*reinterpret_cast<int*>(shown);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&count));
    return count;
}

// The hook for the time of one popup, removed on every way out.
class MenuHookScope {
  public:
    explicit MenuHookScope(cToolbarMenu* tracker) { MenuHook::InstallMenuHook(tracker); }
    MenuHookScope(const MenuHookScope&) = delete;
    MenuHookScope& operator=(const MenuHookScope&) = delete;
    ~MenuHookScope() { MenuHook::RemoveMenuHook(); }
};

}  // namespace

cToolbarMenu::~cToolbarMenu() {
    DetachOwner();
    MenuHook::Forget(this);
}

void cToolbarMenu::AttachOwner(HWND window, cMenuBar* menuBar) {
    DetachOwner();
    window_ = window;
    SendMessageW(window_, WM_ENTERMENULOOP, 0, 0);
    MSubclass::AttachMessage(this, window_, WM_MENUSELECT);
    menuBar_ = menuBar;
}

void cToolbarMenu::DetachOwner() {
    if (window_ != nullptr) {
        if (busy_ && trackState_ != 0) EndMenu();
        if (IsWindow(window_)) SendMessageW(window_, WM_EXITMENULOOP, 0, 0);
        MSubclass::DetachMessage(this, window_, WM_MENUSELECT);
    }
    window_ = nullptr;
    menuBar_ = nullptr;
}

int32_t cToolbarMenu::ShowPopup(int32_t index, bool fromKeyboard) {
    if (busy_) return 0;
    const std::shared_ptr<cToolbarMenu> keepAlive = shared_from_this();
    struct BusyScope {
        bool& busy;
        explicit BusyScope(bool& b) : busy(b) { busy = true; }
        ~BusyScope() { busy = false; }
    } busyScope(busy_);

    int32_t result = 0;
    escapedItem_ = 0;
    nextItem_ = index;
    fromKeyboard_ = fromKeyboard;
    while (nextItem_ >= 0 && menuBar_ != nullptr) {
        nextItem_ = -1;
        escapedItem_ = 0;
        const bool valid = index >= 1 && index <= menuBar_->ItemCount();
        if (valid) menuBar_->SetOpenItem(index, true);
        SetTrackState(2, index);
        if (menuBar_ == nullptr) break;  // the repaint detached the bar
        const HMENU popup = menuBar_->ItemSubMenu(index);
        RECT item{};
        if (valid && popup != nullptr && menuBar_->ItemScreenRect(index, item)) {
            TPMPARAMS placement{sizeof placement, item};
            rootPopup_ = popup;
            GetCursorPos(&lastPoint_);
            const MenuHookScope hook(this);
            // The menu loop reads this Down first: its first item is selected.
            if (fromKeyboard_) PostMessageW(window_, WM_KEYDOWN, VK_DOWN, 0);
            // Modal: returns when the popup closes, after any message of the program has run.
            result =
                TrackPopupMenuEx(popup, TPM_VERTICAL, item.left, item.bottom, window_, &placement);
        }
        if (menuBar_ == nullptr) break;  // detached while the popup was open
        if (index >= 1 && index <= menuBar_->ItemCount()) menuBar_->SetOpenItem(index, false);
        SetTrackState(0, index);
        index = nextItem_;
    }
    trackState_ = 0;
    rootPopup_ = nullptr;
    return result;
}

void cToolbarMenu::SetTrackState(int32_t state, int32_t index) {
    if (state == trackState_) return;
    if (state == 0) index = -1;
    if (menuBar_ != nullptr) menuBar_->SetHotItem(index);
    if (state == 2) {
        rightMovesOn_ = true;
        leftMovesBack_ = true;
        currentItem_ = index;
    }
    trackState_ = state;
}

void cToolbarMenu::OnMenuSelect(HMENU hMenu, UINT flags) {
    // Right goes to the next bar item unless the selected item opens a submenu of its own.
    rightMovesOn_ = (flags & MF_POPUP) == 0;
    leftMovesBack_ = hMenu == rootPopup_;
}

bool cToolbarMenu::FilterMessage(const MSG& msg) {
    if (menuBar_ == nullptr || trackState_ == 0) return false;
    switch (msg.message) {
        case WM_KEYDOWN:
            // Esc in the root popup closes it (the menu does that) back to its bar item; in a
            // submenu it closes only the submenu.
            if (msg.wParam == VK_ESCAPE && ShownMenus() <= 1) escapedItem_ = currentItem_;
            if (msg.wParam == VK_LEFT && leftMovesBack_) {
                SwitchTo(menuBar_->NeighbourItem(currentItem_, -1));
                fromKeyboard_ = true;
                return true;
            }
            if (msg.wParam == VK_RIGHT && rightMovesOn_) {
                SwitchTo(menuBar_->NeighbourItem(currentItem_, 1));
                fromKeyboard_ = true;
                return true;
            }
            return false;
        case WM_MOUSEMOVE: {
            // Only a real move counts: the system also reports the pointer where it rests when
            // popups appear, which must not undo a switch made with the keyboard.
            if (msg.pt.x == lastPoint_.x && msg.pt.y == lastPoint_.y) return false;
            lastPoint_ = msg.pt;
            const int32_t n = menuBar_->ItemFromPoint(msg.pt);
            if (n >= 1 && n != currentItem_) {
                SwitchTo(n);
                fromKeyboard_ = false;
            }
            return false;
        }
        case WM_LBUTTONDOWN:
            return menuBar_->ItemFromPoint(msg.pt) == currentItem_;
        default:
            return false;
    }
}

void cToolbarMenu::SwitchTo(int32_t n) {
    if (n > 0 && n != currentItem_ && menuBar_->ItemSubMenu(n) != nullptr) {
        PostMessageW(window_, WM_CANCELMODE, 0, 0);  // ends the current menu loop
        nextItem_ = n;
    }
}

EMsgResponse cToolbarMenu::MsgResponse() {
    return MSubclass::CurrentMessage() == WM_MENUSELECT ? mrCallOldBefore : mrConsume;
}

LRESULT cToolbarMenu::WindowProc(HWND, UINT iMsg, WPARAM wParam, LPARAM lParam) {
    if (iMsg == WM_MENUSELECT && trackState_ > 0) {
        OnMenuSelect(reinterpret_cast<HMENU>(lParam), HIWORD(wParam));
    }
    return 0;
}

}  // namespace quenlor
