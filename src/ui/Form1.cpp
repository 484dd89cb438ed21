#include "ui/Form1.h"

#include <commctrl.h>

#include <algorithm>
#include <utility>

#include "ui/DroppedFiles.h"
#include "ui/MainMenu.h"
#include "ui/Shortcuts.h"
#include "ui/SizeFormat.h"
#include "ui/StartupFailure.h"
#include "quenlor/FileSystem.h"
#include "quenlor/Text.h"
#include "ui/res/resource.h"

namespace quenlor {

Form1::BusyScope::BusyScope(Form1& form) : form_(form) {
    if (form_.busy_depth_++ == 0) form_.UpdateStartCommands();
}

Form1::BusyScope::~BusyScope() {
    if (--form_.busy_depth_ != 0 || !form_.hwnd_) return;
    form_.ShowHeldStatus();
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
    if (status_timer_) status_timer_->Interval(0);
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
    if (!ButtonCr::Register(instance_) || !RegisterClass()) {
        const DWORD error = GetLastError();
        dialogs_.ShowMessage(nullptr, StartupFailureText(L"无法注册窗口类", error), L"提示");
        return false;
    }

    // Fixed single border: caption, system menu and minimise box, no sizing frame (the skin, once
    // attached, draws its own caption in place of the system's).
    const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
    MenuHandle menu(CreateMainMenu());
    RECT frame = {0, 0, twips_.ToPixels(6255), twips_.ToPixels(5370)};
    AdjustWindowRectEx(&frame, style, TRUE, 0);
    hwnd_ = CreateWindowExW(0, kClassName, kTitle, style, CW_USEDEFAULT, CW_USEDEFAULT,
                            frame.right - frame.left, frame.bottom - frame.top, nullptr, menu.get(),
                            instance_, this);
    if (!hwnd_) {
        const DWORD error = GetLastError();
        dialogs_.ShowMessage(nullptr, StartupFailureText(L"无法创建窗口", error), L"提示");
        return false;
    }
    menu.ShownBy(hwnd_);
    menu_ = std::move(menu);
    pump_.SetWindow(hwnd_);
    CreateControls();
    list_.UserTicked = [this] { ListView1_ItemCheck(); };
    tips_.Create(hwnd_, list_.hWnd(),
                 [this](int row, int column) { return list_.TipText(row, column); });
    try {
        Form_Load();
    } catch (const std::exception& error) {
        // A frame or menu bar that cannot be attached leaves no usable window: say why, and go.
        dialogs_.ShowMessage(nullptr, StartupFailureText(error), L"提示");
        DestroyWindow(hwnd_);
        return false;
    }
    // The frame is the skin's now: size the window so that the client area keeps its size.
    RECT client, window;
    GetClientRect(hwnd_, &client);
    GetWindowRect(hwnd_, &window);
    const int width = window.right - window.left + twips_.ToPixels(6255) - client.right;
    const int height = window.bottom - window.top + twips_.ToPixels(5370) - client.bottom;
    // Centred on the screen's work area: on an X display without a window manager the keys go to
    // the window under the pointer, and Wine puts the pointer in the middle of the screen when its
    // session starts, so the window takes the first key without a click.
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof(monitor);
    GetMonitorInfoW(MonitorFromWindow(hwnd_, MONITOR_DEFAULTTOPRIMARY), &monitor);
    const RECT& work = monitor.rcWork;
    const int left = work.left + std::max(0, int(work.right - work.left) - width) / 2;
    const int top = work.top + std::max(0, int(work.bottom - work.top) - height) / 2;
    // Not activated while hidden: activated then, it would already hold the focus when shown, and
    // under Wine the X input focus would never follow (no key would reach it until clicked).
    SetWindowPos(hwnd_, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
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

}  // namespace quenlor
