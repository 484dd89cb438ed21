// A window in a process of its own, for tests that must meet a window they do not own. Prints the
// window handle in decimal on standard output, then runs until the window is closed (or one
// minute has passed, so that a failed test never leaves it behind).
#include <windows.h>

#include <cstdio>

namespace {

LRESULT CALLBACK ForeignProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_TIMER:
            DestroyWindow(hwnd);
            return 0;
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
        default:
            return DefWindowProcW(hwnd, msg, wParam, lParam);
    }
}

}  // namespace

int main() {
    WNDCLASSW wc{};
    wc.lpfnWndProc = &ForeignProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"Quenlor.ForeignWindow";
    if (!RegisterClassW(&wc)) return 2;
    HWND hwnd = CreateWindowExW(0, wc.lpszClassName, L"foreign", WS_OVERLAPPEDWINDOW, 0, 0, 100,
                                100, nullptr, nullptr, wc.hInstance, nullptr);
    if (!hwnd) return 3;
    SetTimer(hwnd, 1, 60000, nullptr);
    std::printf("%lld\n", static_cast<long long>(reinterpret_cast<intptr_t>(hwnd)));
    std::fflush(stdout);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
    return 0;
}
