#include "controls/ButtonCr.h"

#include "controls/ButtonCrLayout.h"

namespace quenlor {
namespace {

constexpr UINT_PTR kHoverTimerId = 1;
constexpr UINT kHoverIntervalMs = 50;

// The three looks: top-left edge colour, bottom-right edge colour.
constexpr COLORREF kNormalTopLeft = RGB(204, 204, 204);
constexpr COLORREF kNormalBottomRight = RGB(153, 153, 153);
constexpr COLORREF kHoverTopLeft = RGB(238, 222, 221);
constexpr COLORREF kHoverBottomRight = RGB(119, 119, 119);
constexpr COLORREF kPressedTopLeft = RGB(136, 136, 136);
constexpr COLORREF kPressedBottomRight = RGB(221, 221, 221);

constexpr WPARAM kAnyMouseButton = MK_LBUTTON | MK_RBUTTON | MK_MBUTTON | MK_XBUTTON1 | MK_XBUTTON2;

// Fills a rectangle with a colour without creating a brush.
void Fill(HDC dc, const RECT& rect, COLORREF colour) {
    SetBkColor(dc, colour);
    ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &rect, nullptr, 0, nullptr);
}

void DrawCaption(HDC dc, POINT at, COLORREF colour, const std::wstring& text) {
    SetTextColor(dc, colour);
    TextOutW(dc, at.x, at.y, text.c_str(), static_cast<int>(text.size()));
}

}  // namespace

bool ButtonCr::Register(HINSTANCE instance) {
    WNDCLASSEXW wc{};
    if (GetClassInfoExW(instance, kClassName, &wc)) return true;
    wc.cbSize = sizeof wc;
    // No CS_DBLCLKS: a quick second press is a press like any other.
    wc.style = 0;
    wc.lpfnWndProc = &WindowThunk<ButtonCr>;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    wc.hbrBackground = nullptr;  // the face covers the whole client area
    wc.lpszClassName = kClassName;
    return RegisterClassExW(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

ButtonCr::~ButtonCr() {
    if (hwnd_) DestroyWindow(hwnd_);
}

HWND ButtonCr::Create(HWND parent, int id, int x, int y, int width, int height,
                      const std::wstring& caption, bool enabled, bool tab_stop) {
    if (hwnd_) DestroyWindow(hwnd_);
    HINSTANCE instance = GetModuleHandleW(nullptr);
    if (!Register(instance)) return nullptr;
    caption_ = caption;
    enabled_ = enabled;
    const DWORD style = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | (enabled ? 0 : WS_DISABLED) |
                        (tab_stop ? WS_TABSTOP : 0);
    CreateWindowExW(0, kClassName, caption.c_str(), style, x, y, width, height, parent,
                    reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, this);
    if (hwnd_) PaintNormal();
    return hwnd_;
}

void ButtonCr::Caption(const std::wstring& New_Caption) {
    if (hwnd_) {
        SetWindowTextW(hwnd_, New_Caption.c_str());  // WM_SETTEXT stores it and repaints
    } else {
        caption_ = New_Caption;
    }
}

bool ButtonCr::Enabled() const {
    return hwnd_ ? IsWindowEnabled(hwnd_) != FALSE : enabled_;
}

void ButtonCr::Enabled(bool New_Enabled) {
    enabled_ = New_Enabled;
    if (!hwnd_) return;
    EnableWindow(hwnd_, New_Enabled);
    if (!New_Enabled) CancelPress();
    PaintNormal();  // also when the state did not change
}

void ButtonCr::UnbindWindow() {
    hwnd_ = nullptr;
    pressed_ = false;
    spacePressed_ = false;
    hoverTimer_.Stop();  // the system has dropped it with the window already
    face_.Reset();
}

LRESULT ButtonCr::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_SIZE:
            face_.Resize(LOWORD(lParam), HIWORD(lParam));
            PaintNormal();
            return 0;
        case WM_ERASEBKGND:
            return 1;  // the face covers everything
        case WM_PAINT: {
            const PaintDC dc(hwnd_);
            if (dc.get()) face_.CopyTo(dc.get());
            return 0;
        }
        case WM_SETTEXT: {
            const LRESULT stored = DefWindowProcW(hwnd_, message, wParam, lParam);
            const auto* text = reinterpret_cast<const wchar_t*>(lParam);
            caption_ = text ? text : L"";
            PaintNormal();
            return stored;
        }
        case WM_SETFONT:
            font_ = reinterpret_cast<HFONT>(wParam);
            PaintNormal();
            return 0;
        case WM_GETFONT:
            return reinterpret_cast<LRESULT>(font_);
        case WM_ENABLE:
            if (!wParam) CancelPress();
            PaintNormal();
            return 0;
        case WM_LBUTTONDOWN:
            pressed_ = true;
            SetCapture(hwnd_);
            PaintButton(kPressedTopLeft, kPressedBottomRight);
            return 0;
        case WM_MOUSEMOVE:
            StartHoverTimer();
            if ((wParam & kAnyMouseButton) == 0) PaintButton(kHoverTopLeft, kHoverBottomRight);
            return 0;
        case WM_LBUTTONUP:
            // The look stays: the next move brings the hover look, the timer the normal one.
            if (!pressed_) return 0;  // the press was not ours
            pressed_ = false;
            if (GetCapture() == hwnd_) ReleaseCapture();
            RaiseClick();
            return 0;
        case WM_GETDLGCODE:
            return DialogCode(reinterpret_cast<const MSG*>(lParam));
        case WM_KEYDOWN:
            if (wParam == VK_SPACE && !(lParam & (LPARAM{1} << 30))) {  // not a repeat
                spacePressed_ = true;
                PaintButton(kPressedTopLeft, kPressedBottomRight);
            } else if (wParam == VK_RETURN && GetKeyState(VK_CONTROL) >= 0) {
                RaiseClick();  // Ctrl+Enter is the window's 转换 shortcut, not ours
            }
            return 0;
        case WM_KEYUP:
            if (wParam != VK_SPACE || !spacePressed_) return 0;
            spacePressed_ = false;
            PaintNormal();
            RaiseClick();
            return 0;
        case WM_SETFOCUS:
            focused_ = true;
            Repaint();
            return 0;
        case WM_KILLFOCUS:
            focused_ = false;
            if (spacePressed_) {
                spacePressed_ = false;
                PaintNormal();
                return 0;
            }
            Repaint();
            return 0;
        case WM_UPDATEUISTATE: {
            const LRESULT result = DefWindowProcW(hwnd_, message, wParam, lParam);
            Repaint();
            return result;
        }
        case WM_CAPTURECHANGED:
            if (reinterpret_cast<HWND>(lParam) != hwnd_) pressed_ = false;
            return 0;
        case WM_CANCELMODE:
            CancelPress();
            return 0;
        case WM_RBUTTONDOWN:
        case WM_RBUTTONUP:
        case WM_RBUTTONDBLCLK:
        case WM_MBUTTONDOWN:
        case WM_MBUTTONUP:
            return 0;  // only the left button counts
        case WM_TIMER:
            if (wParam == kHoverTimerId) {
                OnHoverTimer();
                return 0;
            }
            break;
        case WM_DESTROY:
            StopHoverTimer();
            CancelPress();
            return 0;
        default:
            break;
    }
    return DefWindowProcW(hwnd_, message, wParam, lParam);
}

void ButtonCr::PaintNormal() {
    PaintButton(kNormalTopLeft, kNormalBottomRight);
}

void ButtonCr::Repaint() {
    PaintButton(topLeft_, bottomRight_);
}

LRESULT ButtonCr::DialogCode(const MSG* message) const {
    // A push button for the dialog keys; Enter is ours to take while we have the focus (the
    // dialog keys would send it to the window's default button).
    const bool enter = message && message->message == WM_KEYDOWN && message->wParam == VK_RETURN;
    return DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON | (enter ? DLGC_WANTMESSAGE : 0);
}

void ButtonCr::RaiseClick() {
    if (!IsWindowEnabled(hwnd_)) return;
    // The handler may destroy this button (and its ButtonCr): call a copy, touch nothing
    // afterwards.
    auto click = Click;
    if (click) click();
}

void ButtonCr::PaintButton(COLORREF topLeft, COLORREF bottomRight) {
    topLeft_ = topLeft;
    bottomRight_ = bottomRight;
    HDC dc = face_.dc();
    if (!hwnd_ || !dc) return;
    const int width = face_.width();
    const int height = face_.height();
    Fill(dc, RECT{0, 0, width, height}, GetSysColor(COLOR_BTNFACE));

    SelectScope font(dc, font_ ? static_cast<HGDIOBJ>(font_) : GetStockObject(DEFAULT_GUI_FONT));
    SIZE text{};
    GetTextExtentPoint32W(dc, caption_.c_str(), static_cast<int>(caption_.size()), &text);
    const bool enabled = IsWindowEnabled(hwnd_) != FALSE;
    const ButtonCrLayout layout =
        LayOutButtonCr(width, height, text.cx, text.cy, enabled, GetDeviceCaps(dc, LOGPIXELSX),
                       GetDeviceCaps(dc, LOGPIXELSY));

    if (!caption_.empty()) {
        SetBkMode(dc, TRANSPARENT);
        SetTextAlign(dc, TA_LEFT | TA_TOP | TA_NOUPDATECP);
        DrawCaption(dc, layout.first, GetSysColor(COLOR_3DHIGHLIGHT), caption_);
        DrawCaption(dc, layout.second, GetSysColor(enabled ? COLOR_BTNTEXT : COLOR_BTNSHADOW),
                    caption_);
    }
    Fill(dc, layout.lines[0], topLeft);
    Fill(dc, layout.lines[1], topLeft);
    Fill(dc, layout.lines[2], bottomRight);
    Fill(dc, layout.lines[3], bottomRight);
    // The focus cue, one pixel inside the frame, as on a standard push button, while the window
    // shows focus cues.
    const HWND root = GetAncestor(hwnd_, GA_ROOT);
    if (focused_ && !(SendMessageW(root, WM_QUERYUISTATE, 0, 0) & UISF_HIDEFOCUS)) {
        const RECT cue{layout.lines[0].right + 1, layout.lines[1].bottom + 1,
                       layout.lines[2].left - 1, layout.lines[3].top - 1};
        SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
        SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
        DrawFocusRect(dc, &cue);
    }

    WindowDC window(hwnd_);
    face_.CopyTo(window.get());
}

void ButtonCr::StartHoverTimer() {
    if (!hoverTimer_.Running()) hoverTimer_.Start(hwnd_, kHoverTimerId, kHoverIntervalMs);
}

void ButtonCr::StopHoverTimer() {
    hoverTimer_.Stop();
}

void ButtonCr::OnHoverTimer() {
    POINT cursor{};
    if (!GetCursorPos(&cursor)) return;
    ScreenToClient(hwnd_, &cursor);
    RECT client{};
    GetClientRect(hwnd_, &client);
    // The right and bottom edges count as inside, as in the layout's own units.
    const bool outside =
        cursor.x < 0 || cursor.y < 0 || cursor.x > client.right || cursor.y > client.bottom;
    if (!outside) return;
    PaintNormal();
    StopHoverTimer();
}

void ButtonCr::CancelPress() {
    pressed_ = false;
    spacePressed_ = false;
    if (hwnd_ && GetCapture() == hwnd_) ReleaseCapture();
}

}  // namespace quenlor
