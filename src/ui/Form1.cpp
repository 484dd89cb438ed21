#include "Form1.h"

#include <commctrl.h>

#include <utility>

#include "DroppedFiles.h"
#include "MainMenu.h"
#include "Shortcuts.h"
#include "SizeFormat.h"
#include "quenlor/FileSystem.h"
#include "quenlor/Text.h"
#include "res/resource.h"

namespace quenlor {
namespace {

// Posted to the window to finish an unload that had to wait for a running loop to return.
constexpr UINT kFinishUnload = WM_APP + 1;
// Posted to the window to open the paths given on the command line.
constexpr UINT kOpenStartPaths = WM_APP + 20;

}  // namespace

Form1::BusyScope::BusyScope(Form1& form) : form_(form) {
    if (form_.busy_depth_++ == 0) form_.UpdateStartCommands();
}

Form1::BusyScope::~BusyScope() {
    if (--form_.busy_depth_ != 0 || !form_.hwnd_) return;
    if (form_.unload_pending_) {
        PostMessageW(form_.hwnd_, kFinishUnload, 0, 0);
        return;
    }
    form_.UpdateStartCommands();
}

Form1::Form1(HINSTANCE instance) : Form1(instance, Options{}) {}

Form1::Form1(HINSTANCE instance, Options options)
    : instance_(instance),
      open_address_(std::move(options.open_address)),
      own_dialogs_(options.dialogs ? nullptr : std::make_unique<SystemDialogs>()),
      dialogs_(options.dialogs ? *options.dialogs : *own_dialogs_),
      twips_(options.dpi > 0 ? options.dpi : Twips::SystemDpi()),
      search_(NativeFileSystem(), list_, *this, pump_),
      converter_(NativeFileSystem(), list_, *this, pump_, *this),
      settings_(std::move(options.settings_key)) {
    converter_.NewDigest = &NativeSha256;  // every batch keeps a record that can be exported
}

Form1::~Form1() {
    if (hwnd_) DestroyWindow(hwnd_);
}

bool Form1::RegisterClass() {
    WNDCLASSEXW existing = {};
    existing.cbSize = sizeof(existing);
    if (GetClassInfoExW(instance_, kClassName, &existing)) return true;
    WNDCLASSEXW window_class = {};
    window_class.cbSize = sizeof(window_class);
    window_class.lpfnWndProc = &WindowThunk<Form1>;
    window_class.hInstance = instance_;
    window_class.hIcon = LoadIconW(instance_, MAKEINTRESOURCEW(IDI_QUENLOR));
    window_class.hIconSm = static_cast<HICON>(LoadImageW(instance_, MAKEINTRESOURCEW(IDI_QUENLOR),
                                                         IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                                         GetSystemMetrics(SM_CYSMICON), LR_SHARED));
    window_class.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    window_class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    window_class.lpszClassName = kClassName;
    return RegisterClassExW(&window_class) != 0;
}

bool Form1::Create(int show_command) {
    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_LISTVIEW_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    if (!ButtonCr::Register(instance_) || !RegisterClass()) return false;

    // Fixed single border: caption, system menu and minimise box, no sizing frame.
    const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
    MenuHandle menu(CreateMainMenu());
    RECT frame = {0, 0, twips_.ToPixels(6255), twips_.ToPixels(5370)};
    AdjustWindowRectEx(&frame, style, TRUE, 0);
    hwnd_ = CreateWindowExW(0, kClassName, kTitle, style, CW_USEDEFAULT, CW_USEDEFAULT,
                            frame.right - frame.left, frame.bottom - frame.top, nullptr, menu.get(),
                            instance_, this);
    if (!hwnd_) return false;
    // The caption is the skin's. A window that keeps WS_CAPTION has its top rows left to the window
    // manager by Wine's X11 driver (drawn over, or not drawn at all without one); the system menu
    // and the minimise box stay, and with them the taskbar button, Alt+Space and minimising.
    SetWindowLongPtrW(hwnd_, GWL_STYLE,
                      GetWindowLongPtrW(hwnd_, GWL_STYLE) & ~LONG_PTR(WS_CAPTION));
    menu.ShownBy(hwnd_);
    menu_ = std::move(menu);
    pump_.SetWindow(hwnd_);
    CreateControls();
    tips_.Create(hwnd_, list_.hWnd(),
                 [this](int row, int column) { return list_.TipText(row, column); });
    try {
        Form_Load();
    } catch (const std::exception& error) {
        // A frame or menu bar that cannot be attached leaves no usable window: say why, and go.
        dialogs_.ShowMessage(nullptr, L"无法初始化窗口：" + FromUtf8(error.what()), L"提示");
        DestroyWindow(hwnd_);
        return false;
    }
    // The frame is the skin's now: size the window so that the client area keeps its size.
    RECT client, window;
    GetClientRect(hwnd_, &client);
    GetWindowRect(hwnd_, &window);
    const int width = window.right - window.left + twips_.ToPixels(6255) - client.right;
    const int height = window.bottom - window.top + twips_.ToPixels(5370) - client.bottom;
    // Not activated while hidden: activated then, it would already hold the focus when shown, and
    // under Wine the X input focus would never follow (no key would reach it until clicked).
    SetWindowPos(hwnd_, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    ShowWindow(hwnd_, show_command);
    UpdateWindow(hwnd_);
    return true;
}

void Form1::Form_Load() {
    // Kept once attached: a window destroyed while the painter attaches must not free it beneath
    // its own Attach.
    auto caption = std::make_unique<cNeoCaption>();
    ApplySkin(*caption);
    caption_ = std::move(caption);
    // The add-file dialog starts in the folder the program was started from.
    wchar_t path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring program(path, length < MAX_PATH ? length : 0);
    const size_t separator = program.find_last_of(L"\\/");
    InitDir = separator == std::wstring::npos ? std::wstring() : program.substr(0, separator);
    FlattenListHeader(list_.hWnd());
    LoadSettings();
}

void Form1::OpenAtStart(std::vector<std::wstring> paths) {
    start_paths_ = std::move(paths);
    if (hwnd_ && !start_paths_.empty()) PostMessageW(hwnd_, kOpenStartPaths, 0, 0);
}

void Form1::Form_Unload() {
    // A conversion still running stops after its current file; a search stops at its next step.
    converter_.StopRequested = true;
    search_.Stop();
    if (Busy()) {
        // The loop is running beneath this message and still uses the controls: destroy the window
        // once it has returned.
        unload_pending_ = true;
        return;
    }
    FinishUnload();
}

void Form1::FinishUnload() {
    unload_pending_ = false;
    if (hwnd_) DestroyWindow(hwnd_);
}

void Form1::BindWindow(HWND hwnd) {
    hwnd_ = hwnd;
}

void Form1::UnbindWindow() {
    hwnd_ = nullptr;
    pump_.SetWindow(nullptr);
    if (Unloaded) Unloaded();  // last: the program may end here
}

LRESULT Form1::HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
        case WM_PAINT: {
            const PaintDC dc(hwnd_);
            Paint(dc.get());
            return 0;
        }
        case WM_COMMAND:
            OnCommand(LOWORD(wparam), HIWORD(wparam));
            return 0;
        case WM_NOTIFY:
            OnNotify(*reinterpret_cast<const NMHDR*>(lparam));
            return 0;
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORSTATIC:
            return reinterpret_cast<LRESULT>(OnControlColor(message, reinterpret_cast<HDC>(wparam),
                                                            reinterpret_cast<HWND>(lparam)));
        case WM_CREATE:
            DragAcceptFiles(hwnd_, TRUE);  // folders and programs may be dropped anywhere on us
            return 0;
        case WM_DROPFILES: {
            const DropHandle drop(reinterpret_cast<HDROP>(wparam));
            const std::vector<std::wstring> names = DroppedNames(drop);
            Form_DropFiles(names);
            return 0;
        }
        case WM_CLOSE:
            // Not from behind the About window: it comes to the front instead.
            if (Form2* about = About()) {
                SetActiveWindow(about->hWnd());
                return 0;
            }
            Form_Unload();
            return 0;
        case kFinishUnload:
            if (!Busy()) FinishUnload();
            return 0;
        case kOpenStartPaths:
            Form_StartPaths(std::exchange(start_paths_, {}));
            return 0;
        case WM_SETCURSOR:
            // The pointer moved over one of the controls: the list's cell tips follow it.
            if (reinterpret_cast<HWND>(wparam) == list_.hWnd()) {
                POINT cursor;
                if (GetCursorPos(&cursor)) tips_.Track(cursor);
            } else {
                tips_.Hide();
            }
            return DefWindowProcW(hwnd_, message, wparam, lparam);
        case WM_DESTROY:
            // The painter goes with the window: its engine and menu bar let go of it here, so
            // that nothing of theirs is left on the window at its end.
            caption_.reset();
            return DefWindowProcW(hwnd_, message, wparam, lparam);
        case WM_NCDESTROY:
            // A menu the skin took off the window is not destroyed with it.
            menu_.Reset();
            return DefWindowProcW(hwnd_, message, wparam, lparam);
        case kTranslateShortcut:
            return RunShortcut(*reinterpret_cast<const MSG*>(lparam)) ? 1 : 0;
        default:
            return DefWindowProcW(hwnd_, message, wparam, lparam);
    }
}

void Form1::OnCommand(int id, int code) {
    switch (id) {
        case kMenuMOFDr:
            MOFDr_Click();
            break;
        case kMenuMDF:
            MDF_Click();
            break;
        case kMenuMSFDr:
            MSFDr_Click();
            break;
        case kMenuMExit:
            MExit_Click();
            break;
        case kMenuMABOUT:
            MABOUT_Click();
            break;
        case kMenuMAnyVer:
            MAnyVer_Click();
            break;
        case kMenuMRecord:
            MRecord_Click();
            break;
        case kIdCommand1:
            if (code == BN_CLICKED) Command1_Click();
            break;
        case kIdCheck1:
            if (code == BN_CLICKED) Check1_Click();
            break;
        default:
            break;
    }
}

std::wstring Form1::PickFolder(const std::wstring& prompt) {
    std::wstring folder = dialogs_.BrowseForFolder(hwnd_, prompt, last_folder_);
    if (!folder.empty()) last_folder_ = folder;
    return folder;
}

bool Form1::RunShortcut(const MSG& message) {
    Controls& c = controls_;
    switch (ShortcutFor(KeyPressOf(message))) {
        case Shortcut::SelectAll:
            if (!c.Command8.Enabled()) return false;
            Command8_Click();
            return true;
        case Shortcut::Remove:
            if (!c.ButtonCr3.Enabled()) return false;
            ButtonCr3_Click();
            return true;
        case Shortcut::Convert:
            if (!c.Command7.Enabled()) return false;
            Command7_Click();
            return true;
        case Shortcut::Stop:
            // Whichever runs: the conversion's "停止" or the search's "停止搜索".
            if (c.Command6.Enabled()) {
                Command6_Click();
                return true;
            }
            if (c.Command3.Enabled()) {
                Command3_Click();
                return true;
            }
            return false;
        case Shortcut::About:
            SendMessageW(hwnd_, WM_COMMAND, kMenuMABOUT, 0);
            return true;
        case Shortcut::None:
            break;
    }
    return false;
}

void Form1::OnNotify(const NMHDR& header) {
    if (header.hwndFrom != list_.hWnd() || header.code != LVN_ITEMCHANGED) return;
    const auto& change = reinterpret_cast<const NMLISTVIEW&>(header);
    // A tick or untick, by mouse or keyboard, changes the item's state image.
    const bool check_changed = (change.uChanged & LVIF_STATE) &&
                               ((change.uNewState ^ change.uOldState) & LVIS_STATEIMAGEMASK);
    if (check_changed && !list_.ChangingByProgram()) ListView1_ItemCheck();
}

HBRUSH Form1::OnControlColor(UINT message, HDC dc, HWND control) {
    if (control == controls_.Text2) {
        // The save-directory box is grey while auto save makes it unused.
        const int colour = AutoSave() ? COLOR_BTNFACE : COLOR_WINDOW;
        SetBkColor(dc, GetSysColor(colour));
        SetTextColor(dc, GetSysColor(IsWindowEnabled(control) ? COLOR_WINDOWTEXT : COLOR_GRAYTEXT));
        return GetSysColorBrush(colour);
    }
    if (control == controls_.Check1 || control == controls_.Check2) {
        SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
        return GetSysColorBrush(COLOR_BTNFACE);
    }
    return reinterpret_cast<HBRUSH>(DefWindowProcW(hwnd_, message, reinterpret_cast<WPARAM>(dc),
                                                   reinterpret_cast<LPARAM>(control)));
}

void Form1::MABOUT_Click() {
    // One About window at a time: a second request brings the open one to the front.
    if (Form2* about = About()) {
        SetActiveWindow(about->hWnd());
        return;
    }
    if (!hwnd_) return;
    about_ = std::make_unique<Form2>(instance_, Form2::Options{open_address_, twips_.dpi()});
    about_->Show(hwnd_);
}

bool Form1::MayStart() const {
    // The About window, while open, keeps the main window's commands for itself.
    return hwnd_ && !Busy() && !unload_pending_ && !About();
}

void Form1::UpdateStartCommands() {
    const bool idle = !Busy();
    controls_.ButtonCr1.Enabled(idle);
    SetMenuEnabled(kMenuMOFDr, idle);
}

void Form1::SetMenuEnabled(UINT command, bool enabled) {
    if (menu_)
        EnableMenuItem(menu_.get(), command, MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
}

std::wstring Form1::TextOf(HWND control) const {
    if (!control) return std::wstring();
    const int length = GetWindowTextLengthW(control);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    const int copied = GetWindowTextW(control, text.data(), length + 1);
    text.resize(copied > 0 ? static_cast<size_t>(copied) : 0);
    return text;
}

void Form1::SetStatus(const std::wstring& text) {
    status_ = text;
    if (StatusChanged) StatusChanged(text);
    if (!hwnd_) return;
    // Both copies of the engraved status line, with the box around them.
    RECT area = twips_.Rect(45, 4890, 6255 - 45, 5370 - 4890);
    InvalidateRect(hwnd_, &area, TRUE);
}

bool Form1::AutoSave() const {
    return controls_.Check1 && SendMessageW(controls_.Check1, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

bool Form1::DeleteSource() const {
    return controls_.Check2 && SendMessageW(controls_.Check2, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

std::wstring Form1::SaveDirText() const {
    return TextOf(controls_.Text2);
}

void Form1::SetStopEnabled(bool enabled) {
    controls_.Command6.Enabled(enabled);
}

void Form1::SetConvertEnabled(bool enabled) {
    controls_.Command7.Enabled(enabled);
}

void Form1::ShowMessage(const std::wstring& text, const std::wstring& title) {
    dialogs_.ShowMessage(hwnd_, text, title);
}

std::wstring Form1::FormatSize(uint64_t bytes) const {
    return FormatByteCount(bytes);
}

}  // namespace quenlor
