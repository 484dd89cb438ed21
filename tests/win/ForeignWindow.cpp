// A window in a process of its own, for tests that must meet a window they do not own. Prints the
// window handle in decimal on standard output, answers the questions of ForeignWindowQueries.h,
// then runs until the window is closed (or one minute has passed, so that a failed test never
// leaves it behind).
#include <windows.h>

#include <cstdio>

#include "tests/win/ForeignWindowQueries.h"

namespace {

using namespace quenlor::test;

WNDPROC g_replaced = nullptr;  // the helper's own procedure, once it subclassed itself

BOOL CALLBACK CountProperty(HWND, LPWSTR, HANDLE, ULONG_PTR count) {
    ++*reinterpret_cast<LRESULT*>(count);
    return TRUE;
}

LRESULT CALLBACK ForeignProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

LRESULT CALLBACK StandInProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    return CallWindowProcW(g_replaced, hwnd, msg, wParam, lParam);
}

LRESULT CALLBACK ForeignProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case kAskProcedureIsOwn:
            return GetWindowLongPtrW(hwnd, GWLP_WNDPROC) ==
                   reinterpret_cast<LONG_PTR>(&ForeignProc);
        case kAskPropertyCount: {
            LRESULT count = 0;
            EnumPropsExW(hwnd, &CountProperty, reinterpret_cast<LPARAM>(&count));
            return count;
        }
        case kAskToSubclassItself:
            SetPropW(hwnd, L"stand-in", reinterpret_cast<HANDLE>(1));
            g_replaced = reinterpret_cast<WNDPROC>(
                SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&StandInProc)));
            return 1;
        case WM_TIMER:
            DestroyWindow(hwnd);
            return 0;
        case WM_DESTROY:
            RemovePropW(hwnd, L"stand-in");
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
