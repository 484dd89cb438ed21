// A window whose own procedure frees its caption painter on WM_DESTROY, as the main window does.
// The engine is registered for WM_DESTROY and asks for the previous procedure first, so it is
// deleted beneath the dispatch of that very message. Freed memory is poisoned
// (PoisonFreedMemory.cpp): a call into the deleted engine or menu bar crashes the test.
#include <gtest/gtest.h>

#include <windows.h>

#include <memory>
#include <string>

#include "tests/support/Dib.h"
#include "tests/support/PoisonFreedMemory.h"
#include "tests/support/WindowProperties.h"
#include "tests/support/Pump.h"
#include "frame/NCKeyboardHook.h"
#include "frame/cNeoCaption.h"
#include "win/CallbackBarrier.h"

namespace quenlor {
namespace {

struct Owner {
    std::unique_ptr<cNeoCaption> painter;
    int propertiesAtTheEnd = -1;  // counted in WM_NCDESTROY
};

LRESULT CALLBACK OwnerProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* owner = reinterpret_cast<Owner*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (owner && message == WM_DESTROY) owner->painter.reset();
    if (owner && message == WM_NCDESTROY)
        owner->propertiesAtTheEnd = static_cast<int>(test::Properties(hwnd).size());
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

TEST(CaptionOwner, FreeingThePainterOnDestroyLeavesNothingOnTheWindow) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = &OwnerProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"Quenlor.Test.CaptionOwner";
    RegisterClassW(&wc);
    HMENU menu = CreateMenu();
    AppendMenuW(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(CreatePopupMenu()), L"&File");
    const HWND hwnd =
        CreateWindowExW(0, wc.lpszClassName, L"owner", WS_POPUP | WS_SYSMENU | WS_VISIBLE, 40, 40,
                        300, 200, nullptr, menu, wc.hInstance, nullptr);
    ASSERT_NE(hwnd, nullptr);
    Owner owner;
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&owner));

    test::Dib caption(640, 48), border(70, 10);
    owner.painter = std::make_unique<cNeoCaption>();
    owner.painter->Attach(hwnd, caption.get(), border.get(), 19, 20, 90, 140, 240, 400);
    SendMessageW(hwnd, WM_SETCURSOR, reinterpret_cast<WPARAM>(hwnd), MAKELPARAM(HTCAPTION, 0));
    test::PumpMessages();
    EXPECT_GT(static_cast<int>(test::Properties(hwnd).size()),
              20);  // engine, menu bar, popup tracker

    const int failures = CallbackFailureCount(), faults = test::AccessViolations();
    const size_t engines = NCKeyboardHook::ClientCount();
    DestroyWindow(hwnd);
    EXPECT_EQ(owner.painter, nullptr);
    EXPECT_EQ(test::AccessViolations(), faults) << "a deleted handler was called";
    EXPECT_EQ(owner.propertiesAtTheEnd, 0);
    EXPECT_EQ(CallbackFailureCount(), failures) << LastCallbackFailure();
    EXPECT_EQ(NCKeyboardHook::ClientCount(), engines - 1);
}

}  // namespace
}  // namespace quenlor
