#include "tests/frame/MenuBarHost.h"

#include "win/ResourceOwners.h"
#include "win/MemorySurface.h"

namespace quenlor::test {
namespace {

constexpr int kWidth = 400, kHeight = 200;
Script* g_script = nullptr;

HMENU Popup(std::initializer_list<std::pair<UINT, const wchar_t*>> items) {
    HMENU popup = CreatePopupMenu();
    for (const auto& [id, text] : items) {
        AppendMenuW(popup, text ? MF_STRING : MF_SEPARATOR, id, text);
    }
    return popup;
}

}  // namespace

BarHost::BarHost() {
    static const ATOM atom = [] {
        WNDCLASSW wc{};
        wc.lpfnWndProc = &BarHost::Proc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
        wc.hbrBackground = GetSysColorBrush(COLOR_WINDOW);
        wc.lpszClassName = L"Quenlor.Test.BarHost";
        return RegisterClassW(&wc);
    }();
    (void)atom;

    HMENU file = Popup({{kOpen, L"&Open\tCtrl+O"}});
    AppendMenuW(file, MF_POPUP, reinterpret_cast<UINT_PTR>(Popup({{kDeep, L"&Deep"}})),
                L"Sub&menu");
    AppendMenuW(file, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(file, MF_STRING | MF_CHECKED, kCheck, L"&Check");
    AppendMenuW(file, MF_STRING, kRadio, L"&Radio");
    CheckMenuRadioItem(file, kRadio, kRadio, kRadio, MF_BYCOMMAND);
    AppendMenuW(file, MF_STRING | MF_GRAYED, kDisabled, L"&Disabled");
    AppendMenuW(file, MF_STRING, kExit, L"E&xit");
    menu_ = CreateMenu();
    AppendMenuW(menu_, MF_POPUP, reinterpret_cast<UINT_PTR>(file), L"&File");
    AppendMenuW(menu_, MF_STRING, kGo, L"Go");
    AppendMenuW(menu_, MF_POPUP,
                reinterpret_cast<UINT_PTR>(Popup({{111, L"&Copy"}, {112, L"&Paste"}})), L"&Edit");
    AppendMenuW(menu_, MF_POPUP, reinterpret_cast<UINT_PTR>(Popup({{121, L"&About"}})), L"&Help");

    barFont_ = CreateFontW(-12, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                           OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, NONANTIALIASED_QUALITY,
                           DEFAULT_PITCH, L"宋体");
    hwnd_ = CreateWindowExW(WS_EX_TOPMOST, L"Quenlor.Test.BarHost", L"bar host",
                            WS_POPUP | WS_VISIBLE, 100, 100, kWidth, kHeight, nullptr, nullptr,
                            GetModuleHandleW(nullptr), nullptr);
    SetWindowLongPtrW(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    bar_ = std::make_unique<cMenuBar>();
    bar_->Attach(hwnd_);
    bar_->SetMenuColors(kActive, kActiveOver, RGB(0, 128, 0), kBackground);
    bar_->CaptionHeight(0);
    bar_->hMenu(menu_);
    // A popup ends when its owner loses the focus: let the activation settle first.
    SetForegroundWindow(hwnd_);
    PumpUntil([&] { return GetForegroundWindow() == hwnd_; }, 2000);
    PumpFor(100);
    Repaint();
}

BarHost::~BarHost() {
    bar_.reset();
    if (IsWindow(hwnd_)) DestroyWindow(hwnd_);
    DestroyMenu(menu_);
    DeleteObject(barFont_);
}

LRESULT CALLBACK BarHost::Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto* host = reinterpret_cast<BarHost*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (host != nullptr) {
        switch (msg) {
            case WM_NCPAINT:
                host->PaintBand();
                return 0;
            case WM_PAINT: {
                PAINTSTRUCT ps;
                BeginPaint(hwnd, &ps);
                EndPaint(hwnd, &ps);
                host->PaintBand();
                return 0;
            }
            case WM_INITMENUPOPUP:
                if (host->bar_) host->bar_->PreparePopup(reinterpret_cast<HMENU>(wParam));
                return 0;
            case WM_COMMAND:
                host->commands.push_back(LOWORD(wParam));
                return 0;
            case WM_DESTROY:
                if (host->deleteBarOnDestroy) host->bar_.reset();
                break;
        }
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

void BarHost::PaintBand() {
    if (!bar_) return;
    MemorySurface band;
    band.Resize(kWidth, kBandHeight + kBandTop + 2);
    const GdiHandle<HBRUSH> brush(CreateSolidBrush(kBand));
    const RECT all{0, 0, band.width(), band.height()};
    FillRect(band.dc(), &all, brush.get());
    bar_->Render(barFont_, band.dc(), 0, 0, kWidth, kBandHeight, kBandTop);
    band.CopyTo(WindowDC(hwnd_).get());
}

BarHost& SharedHost() {
    static BarHost* host = new BarHost;  // goes with the process
    return *host;
}

POINT ItemCentre(cMenuBar& bar, int index) {
    RECT rect{};
    bar.ItemScreenRect(index, rect);
    return POINT{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

POINT AwayFromBar(const BarHost& host) {
    RECT window{};
    GetWindowRect(host.hwnd(), &window);
    return POINT{window.right + 80, window.bottom + 80};
}

std::function<bool()> Settled(std::vector<HMENU> expected) {
    auto since = std::make_shared<ULONGLONG>(0);
    return [expected, since] {
        if (OpenPopups() != expected) {
            *since = 0;
            return false;
        }
        if (*since == 0) *since = GetTickCount64();
        return GetTickCount64() - *since >= 300;
    };
}

std::vector<HMENU> OpenPopups() {
    std::vector<HMENU> popups;
    EnumWindows(
        [](HWND window, LPARAM found) -> BOOL {
            wchar_t name[16] = {};
            GetClassNameW(window, name, 16);
            if (IsWindowVisible(window) && std::wstring(name) == L"#32768") {
                reinterpret_cast<std::vector<HMENU>*>(found)->push_back(
                    reinterpret_cast<HMENU>(SendMessageW(window, MN_GETHMENU, 0, 0)));
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&popups));
    // EnumWindows lists the topmost (newest) popup first.
    return std::vector<HMENU>(popups.rbegin(), popups.rend());
}

Script::Script(std::vector<Step> steps) : steps_(std::move(steps)) {
    g_script = this;
    stepStart_ = GetTickCount64();
    timer_ = SetTimer(nullptr, 0, 40, &Script::Tick);
}

Script::~Script() {
    KillTimer(nullptr, timer_);
    g_script = nullptr;
}

void CALLBACK Script::Tick(HWND, UINT, UINT_PTR, DWORD) {
    Script* s = g_script;
    if (s == nullptr) return;
    if (s->Done()) {
        // The last step closes the menu; one still open after 5 s would hang the test.
        if (OpenPopups().empty()) {
            s->stepStart_ = GetTickCount64();
        } else if (GetTickCount64() - s->stepStart_ > 5000) {
            s->failures_.push_back("menu left open");
            EndMenu();
        }
        return;
    }
    Step& step = s->steps_[s->next_];
    if (step.ready && !step.ready()) {
        if (GetTickCount64() - s->stepStart_ < 5000) return;
        s->failures_.push_back("not ready: " + step.what);
        s->next_ = s->steps_.size();
        EndMenu();
        return;
    }
    ++s->next_;  // before acting: the action may run a modal loop of its own
    s->stepStart_ = GetTickCount64();
    if (step.act) step.act();
}

int CountColour(HDC dc, const RECT& area, COLORREF colour) {
    int count = 0;
    for (int y = area.top; y < area.bottom; ++y) {
        for (int x = area.left; x < area.right; ++x) count += GetPixel(dc, x, y) == colour;
    }
    return count;
}

}  // namespace quenlor::test
