#include "ui/Form2.h"

#include <shellapi.h>
#include <windowsx.h>

#include <algorithm>

#include "ui/HomePage.h"
#include "ui/res/resource.h"

namespace quenlor {
namespace {

// No caption: the window is moved by its surface. Its fixed dialog frame is drawn here
// (Form2Paint.cpp): with WS_DLGFRAME, Wine on an X display leaves the frame to a window manager,
// which draws its own or, where there is none, nothing at all.
constexpr DWORD kStyle = WS_POPUP | WS_CLIPCHILDREN;
constexpr DWORD kExStyle = 0;
constexpr int kClientWidth = 4470, kClientHeight = 3015;  // twips
constexpr int kIdButtonCr1 = 1001;

void OpenWithShell(const std::wstring& address) {
    // The default action of the address: the browser for a web page. The result is not used.
    ShellExecuteW(nullptr, nullptr, address.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

int CALLBACK NoteFace(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found) {
    *reinterpret_cast<bool*>(found) = true;
    return 0;
}

bool FaceInstalled(HDC dc, const wchar_t* face) {
    LOGFONTW wanted{};
    wanted.lfCharSet = DEFAULT_CHARSET;
    lstrcpynW(wanted.lfFaceName, face, LF_FACESIZE);
    bool found = false;
    EnumFontFamiliesExW(dc, &wanted, &NoteFace, reinterpret_cast<LPARAM>(&found), 0);
    return found;
}

// 华文行楷 comes with some office suites only; the Kai faces are the nearest brush style that
// Chinese Windows installs. 宋体 is always there (or stood in for).
std::wstring ChooseTitleFace() {
    const WindowDC screen;
    for (const wchar_t* face : {L"华文行楷", L"华文楷体", L"楷体", L"KaiTi", L"楷体_GB2312"})
        if (FaceInstalled(screen.get(), face)) return face;
    return L"宋体";
}

HFONT MakeFont(const std::wstring& face, int points, int dpi, bool underline) {
    return CreateFontW(-MulDiv(points, dpi, 72), 0, 0, 0, FW_NORMAL, FALSE, underline, FALSE,
                       GB2312_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                       DEFAULT_PITCH | FF_DONTCARE, face.c_str());
}

}  // namespace

Form2::Form2(HINSTANCE instance, Options options)
    : instance_(instance),
      openAddress_(options.open_address ? std::move(options.open_address) : OpenWithShell),
      twips_(options.dpi > 0 ? options.dpi : Twips::SystemDpi()) {}

Form2::~Form2() {
    Animate(false);
    if (hwnd_) DestroyWindow(hwnd_);
    ReleaseOwner();
}

bool Form2::RegisterClass() {
    WNDCLASSEXW existing{};
    existing.cbSize = sizeof existing;
    if (GetClassInfoExW(instance_, kClassName, &existing)) return true;
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = &WindowThunk<Form2>;
    wc.hInstance = instance_;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_3DLIGHT + 1);
    wc.lpszClassName = kClassName;
    return RegisterClassExW(&wc) != 0;
}

bool Form2::Show(HWND owner) {
    if (hwnd_ || !ButtonCr::Register(instance_) || !RegisterClass()) return false;
    const SIZE frame = FrameSize();
    const int width = twips_.ToPixels(kClientWidth) + 2 * frame.cx;
    const int height = twips_.ToPixels(kClientHeight) + 2 * frame.cy;
    // Centred over the owner (over the screen without one), kept on the owner's monitor.
    RECT over{};
    if (!owner || !GetWindowRect(owner, &over)) SystemParametersInfoW(SPI_GETWORKAREA, 0, &over, 0);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromRect(&over, MONITOR_DEFAULTTONEAREST), &monitor);
    const RECT& work = monitor.rcWork;
    const int x = std::clamp<int>((over.left + over.right - width) / 2, work.left,
                                  std::max<int>(work.left, work.right - width));
    const int y = std::clamp<int>((over.top + over.bottom - height) / 2, work.top,
                                  std::max<int>(work.top, work.bottom - height));

    if (!CreateWindowExW(kExStyle, kClassName, L"", kStyle, x, y, width, height, owner, nullptr,
                         instance_, this))
        return false;
    CreateControls();
    owner_ = owner;
    if (owner_ && IsWindowEnabled(owner_)) {
        EnableWindow(owner_, FALSE);
        ownerDisabled_ = true;
    }
    ShowWindow(hwnd_, SW_SHOW);
    SetForegroundWindow(hwnd_);
    UpdateWindow(hwnd_);
    return true;
}

void Form2::CreateControls() {
    const int dpi = twips_.dpi();
    font_.Reset(MakeFont(L"宋体", 9, dpi, false));
    linkFont_.Reset(MakeFont(L"宋体", 9, dpi, true));
    titleFace_ = ChooseTitleFace();
    titleFont_.Reset(MakeFont(titleFace_, 15, dpi, false));
    linkCursor_ = LoadCursorW(instance_, MAKEINTRESOURCEW(IDC_LINK));
    if (!linkCursor_) linkCursor_ = LoadCursorW(nullptr, IDC_HAND);

    // The link is as wide as its address (the whole address shows), inside the raised frame.
    label2_ = twips_.Rect(1800, 1920, 1980, 180);
    {
        const WindowDC dc(hwnd_);
        SelectScope font(dc.get(), linkFont_.get());
        SIZE text{};
        const std::wstring address = kHomePage;
        GetTextExtentPoint32W(dc.get(), address.c_str(), static_cast<int>(address.size()), &text);
        label2_.right = std::min<LONG>(label2_.left + text.cx, twips_.ToPixels(4320) - 2);
        label2_.bottom = std::max<LONG>(label2_.bottom, label2_.top + text.cy);
    }

    const RECT r = twips_.Rect(2040, 2355, 1215, 375);
    if (buttonCr1_.Create(hwnd_, kIdButtonCr1, r.left, r.top, r.right - r.left, r.bottom - r.top,
                          L"确定", true))
        SendMessageW(buttonCr1_.hWnd(), WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), TRUE);
    buttonCr1_.Click = [this] { ButtonCr1_Click(); };
}

RECT Form2::Picture1Bounds() const {
    return twips_.Rect(240, 1830, 1335, 1020);
}

void Form2::UnbindWindow() {
    hwnd_ = nullptr;
    linkPressed_ = false;
    trackingLeave_ = false;
    stage_.Reset();
    auto unloaded = Unloaded;
    if (unloaded) unloaded();  // last
}

LRESULT Form2::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_PAINT: {
            const PaintDC dc(hwnd_);
            if (dc.get()) Paint(dc.get());
            return 0;
        }
        case WM_NCCALCSIZE: {
            // The client area inside the frame, as the system makes it for a dialog frame.
            auto& rect = *reinterpret_cast<RECT*>(lParam);
            const SIZE frame = FrameSize();
            InflateRect(&rect, -frame.cx, -frame.cy);
            return 0;
        }
        case WM_NCPAINT: {
            const WindowDC dc(hwnd_, DcArea::WholeWindow);
            if (dc.get()) PaintFrame(dc.get());
            return 0;
        }
        case WM_NCACTIVATE: {
            // The frame looks the same active or not; the default would paint the system's over it.
            const LRESULT result = DefWindowProcW(hwnd_, message, wParam, -1);
            const WindowDC dc(hwnd_, DcArea::WholeWindow);
            if (dc.get()) PaintFrame(dc.get());
            return result;
        }
        case WM_NCHITTEST: {
            const LRESULT hit = DefWindowProcW(hwnd_, message, wParam, lParam);
            return hit == HTNOWHERE ? HTBORDER : hit;  // on the frame, as on a dialog's
        }
        case WM_SHOWWINDOW:
            Animate(wParam != FALSE);  // the animation costs nothing while the window is hidden
            break;
        case WM_SETCURSOR:
            if (LOWORD(lParam) == HTCLIENT && reinterpret_cast<HWND>(wParam) == hwnd_) {
                POINT at{};
                GetCursorPos(&at);
                ScreenToClient(hwnd_, &at);
                if (PtInRect(&label2_, at)) {
                    SetCursor(linkCursor_);
                    return TRUE;
                }
            }
            break;
        case WM_MOUSEMOVE:
            if (!trackingLeave_) {
                TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, hwnd_, 0};
                trackingLeave_ = TrackMouseEvent(&track) != FALSE;
            }
            if (OverLink(lParam)) {
                Label2_MouseMove();
            } else {
                Form_MouseMove();
            }
            return 0;
        case WM_MOUSELEAVE:
            // Leaving the window straight from the link: the link is not under the pointer any
            // more.
            trackingLeave_ = false;
            Form_MouseMove();
            return 0;
        case WM_LBUTTONDOWN:
            if (OverLink(lParam)) {
                linkPressed_ = true;
                SetCapture(hwnd_);
            } else {
                Form_MouseDown(message);
            }
            return 0;
        case WM_LBUTTONUP:
            if (linkPressed_) {
                linkPressed_ = false;
                if (GetCapture() == hwnd_) ReleaseCapture();
                if (OverLink(lParam)) Label2_Click();
            }
            return 0;
        case WM_CAPTURECHANGED:
            if (reinterpret_cast<HWND>(lParam) != hwnd_) linkPressed_ = false;
            return 0;
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN:
            Form_MouseDown(message);
            return 0;
        case WM_KEYDOWN:
            // Enter and Escape close the window as "确定" does.
            if (wParam == VK_RETURN || wParam == VK_ESCAPE) {
                ButtonCr1_Click();
                return 0;
            }
            break;
        case WM_CLOSE:
            Form_Unload();
            return 0;
        case WM_DESTROY:
            Animate(false);
            ReleaseOwner();
            return 0;
        default:
            break;
    }
    return DefWindowProcW(hwnd_, message, wParam, lParam);
}

bool Form2::OverLink(LPARAM point) const {
    const POINT at{GET_X_LPARAM(point), GET_Y_LPARAM(point)};
    return PtInRect(&label2_, at) != FALSE;
}

void Form2::Form_MouseDown(UINT button) {
    if (button != WM_LBUTTONDOWN || !hwnd_) return;
    // The system moves the window from the cursor's position as if its caption had been grabbed.
    ReleaseCapture();
    SendMessageW(hwnd_, WM_NCLBUTTONDOWN, HTCAPTION, 0);
}

void Form2::Form_MouseMove() {
    SetLinkColour(kLinkColour);
}

void Form2::Label2_MouseMove() {
    SetLinkColour(kLinkHoverColour);
}

void Form2::Label2_Click() {
    openAddress_(kHomePage);
}

void Form2::ButtonCr1_Click() {
    Form_Unload();
}

void Form2::Form_Unload() {
    if (!hwnd_) return;
    const HWND window = hwnd_;
    const HWND owner = owner_;
    const bool wasActive = GetActiveWindow() == window;
    // The owner is enabled before this window goes, so that the system hands the activation
    // back to it rather than to another program.
    ReleaseOwner();
    DestroyWindow(window);
    if (wasActive && IsWindow(owner) && GetActiveWindow() != owner) SetActiveWindow(owner);
}

void Form2::ReleaseOwner() {
    if (!ownerDisabled_) return;
    ownerDisabled_ = false;
    if (IsWindow(owner_)) EnableWindow(owner_, TRUE);
}

void Form2::SetLinkColour(COLORREF colour) {
    if (colour == linkColour_ || !hwnd_) return;
    linkColour_ = colour;
    InvalidateRect(hwnd_, &label2_, TRUE);
}

void Form2::Animate(bool run) {
    if (!run) {
        if (timer_) timer_->Interval(0);
        return;
    }
    if (!timer_) {
        timer_ = CTimer::Create();
        timer_->ThatTime = [this] {
            movie_.Advance();
            if (!hwnd_) return;
            const RECT area = Picture1Bounds();
            InvalidateRect(hwnd_, &area, FALSE);
        };
    }
    try {
        timer_->Interval(AboutMovie::kFrameIntervalMs);
    } catch (const std::exception&) {
        // No timer to be had: the picture stands still.
    }
}

}  // namespace quenlor
