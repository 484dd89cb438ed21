#include "win/MSubclass.h"

#include <cstdio>
#include <stdexcept>

#include "win/CallbackBarrier.h"
#include "win/ObjectError.h"

namespace quenlor {
namespace MSubclass {
namespace {

// The message most recently handed to a handler and its window's previous procedure. Set before
// each handler call; when the call was nested in another handler's, the outer values are put back
// afterwards, so that a handler still sees its own message and previous procedure after it caused
// a nested dispatch. Outside any dispatch they keep describing the last message handled.
UINT g_currentMessage = 0;
WNDPROC g_oldWindowProc = nullptr;
int g_dispatchDepth = 0;  // handler loops in progress

// Property names: handle and message in decimal, the message as a signed 32-bit number.
class PropName {
  public:
    explicit PropName(HWND hwnd) { Format(L"%lld", Handle(hwnd)); }
    PropName(wchar_t prefix, HWND hwnd) { Format(L"%lc%lld", prefix, Handle(hwnd)); }
    PropName(HWND hwnd, UINT iMsg) { Format(L"%lld#%dC", Handle(hwnd), Msg(iMsg)); }
    PropName(HWND hwnd, UINT iMsg, intptr_t i) {
        Format(L"%lld#%d#%lld", Handle(hwnd), Msg(iMsg), static_cast<long long>(i));
    }
    const wchar_t* c_str() const { return text_; }

  private:
    static long long Handle(HWND hwnd) {
        return static_cast<long long>(reinterpret_cast<intptr_t>(hwnd));
    }
    static int Msg(UINT iMsg) { return static_cast<int>(static_cast<int32_t>(iMsg)); }
    template <typename... Args>
    void Format(const wchar_t* format, Args... args) {
        std::swprintf(text_, sizeof text_ / sizeof text_[0], format, args...);
    }
    wchar_t text_[72];
};

intptr_t GetValue(HWND hwnd, const PropName& name) {
    return reinterpret_cast<intptr_t>(GetPropW(hwnd, name.c_str()));
}

bool SetValue(HWND hwnd, const PropName& name, intptr_t value) {
    return SetPropW(hwnd, name.c_str(), reinterpret_cast<HANDLE>(value)) != FALSE;
}

ISubclass* Entry(HWND hwnd, UINT iMsg, intptr_t i) {
    return reinterpret_cast<ISubclass*>(GetValue(hwnd, PropName(hwnd, iMsg, i)));
}

bool WindowInThisProcess(HWND hwnd) {
    DWORD processId = 0;
    GetWindowThreadProcessId(hwnd, &processId);
    return processId == GetCurrentProcessId();
}

// A window whose bookkeeping was lost has no previous procedure: default processing then.
LRESULT CallOld(WNDPROC old, HWND hwnd, UINT iMsg, WPARAM wParam, LPARAM lParam) {
    if (old == nullptr) return DefWindowProcW(hwnd, iMsg, wParam, lParam);
    return CallWindowProcW(old, hwnd, iMsg, wParam, lParam);
}

}  // namespace

void AttachMessage(ISubclass* handler, HWND hwnd, UINT iMsg) {
    if (handler == nullptr) throw std::invalid_argument("AttachMessage: no handler");
    if (!IsWindow(hwnd)) throw ObjectError(kErrInvalidWindow, "Invalid window");
    if (!WindowInThisProcess(hwnd)) {
        throw ObjectError(kErrExternalWindow, "Can't modify external window");
    }

    const PropName msgCount(hwnd, iMsg);
    const intptr_t n = GetValue(hwnd, msgCount);
    for (intptr_t i = 1; i <= n; ++i) {
        if (Entry(hwnd, iMsg, i) == handler) {
            throw ObjectError(kErrAlreadyHandled, "Message already handled by another class");
        }
    }

    const PropName windowCount(L'C', hwnd);
    const intptr_t count = GetValue(hwnd, windowCount);
    if (count == 0) {
        const LONG_PTR previous =
            SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&SharedWindowProc));
        if (previous == 0) throw ObjectError(kErrCantSubclass, "Can't subclass window");
        // Without the previous procedure on record the window could not be restored: undo.
        if (!SetValue(hwnd, PropName(hwnd), previous) || !SetValue(hwnd, windowCount, 1)) {
            SetWindowLongPtrW(hwnd, GWLP_WNDPROC, previous);
            RemovePropW(hwnd, PropName(hwnd).c_str());
            RemovePropW(hwnd, windowCount.c_str());
            throw ObjectError(kErrCantSubclass, "Can't subclass window");
        }
    } else {
        SetValue(hwnd, windowCount, count + 1);
    }

    SetValue(hwnd, msgCount, n + 1);
    SetValue(hwnd, PropName(hwnd, iMsg, n + 1), reinterpret_cast<intptr_t>(handler));
}

void DetachMessage(ISubclass* handler, HWND hwnd, UINT iMsg) {
    const PropName msgCount(hwnd, iMsg);
    const intptr_t n = GetValue(hwnd, msgCount);
    intptr_t k = 0;
    for (intptr_t i = 1; i <= n; ++i) {
        if (Entry(hwnd, iMsg, i) == handler) {
            k = i;
            break;
        }
    }
    if (k == 0) return;

    const PropName windowCount(L'C', hwnd);
    const intptr_t count = GetValue(hwnd, windowCount);
    if (count <= 1) {
        const PropName previousName(hwnd);
        const intptr_t previous = GetValue(hwnd, previousName);
        if (previous != 0) SetWindowLongPtrW(hwnd, GWLP_WNDPROC, previous);
        RemovePropW(hwnd, previousName.c_str());
        RemovePropW(hwnd, windowCount.c_str());
    } else {
        SetValue(hwnd, windowCount, count - 1);
    }

    for (intptr_t i = k + 1; i <= n; ++i) {
        SetValue(hwnd, PropName(hwnd, iMsg, i - 1), GetValue(hwnd, PropName(hwnd, iMsg, i)));
    }
    RemovePropW(hwnd, PropName(hwnd, iMsg, n).c_str());
    SetValue(hwnd, msgCount, n - 1);
}

UINT CurrentMessage() {
    return g_currentMessage;
}

LRESULT CallOldWindowProc(HWND hwnd, UINT iMsg, WPARAM wParam, LPARAM lParam) {
    return CallOld(g_oldWindowProc, hwnd, iMsg, wParam, lParam);
}

LRESULT CALLBACK SharedWindowProc(HWND hwnd, UINT iMsg, WPARAM wParam, LPARAM lParam) noexcept {
    const WNDPROC old = reinterpret_cast<WNDPROC>(GetValue(hwnd, PropName(hwnd)));
    // Read once: handlers attached or detached during this dispatch count from the next message.
    const intptr_t n = GetValue(hwnd, PropName(hwnd, iMsg));
    if (n < 1) return CallOld(old, hwnd, iMsg, wParam, lParam);

    const bool nested = g_dispatchDepth > 0;
    const UINT outerMessage = g_currentMessage;
    const WNDPROC outerOld = g_oldWindowProc;
    auto enter = [&] {
        g_currentMessage = iMsg;
        g_oldWindowProc = old;
    };
    struct DepthCount {
        DepthCount() { ++g_dispatchDepth; }
        ~DepthCount() { --g_dispatchDepth; }
    } depth;

    bool oldCalled = false;
    LRESULT result = 0;
    for (intptr_t i = 1; i <= n; ++i) {
        ISubclass* handler = Entry(hwnd, iMsg, i);
        if (handler == nullptr) {
            // The entry went away during this dispatch: the previous procedure stands in for it.
            result = CallOld(old, hwnd, iMsg, wParam, lParam);
            continue;
        }
        enter();
        if (i == 1 && handler->MsgResponse() == mrCallOldBefore && !oldCalled) {
            CallOld(old, hwnd, iMsg, wParam, lParam);
            oldCalled = true;
            enter();
        }
        // A handler that throws leaves the message to the previous procedure.
        result = RunGuarded(
            "SubclassProc", [&] { return handler->WindowProc(hwnd, iMsg, wParam, lParam); },
            [&] {
                if (oldCalled) return result;
                oldCalled = true;
                return CallOld(old, hwnd, iMsg, wParam, lParam);
            });
        enter();
        if (i == n && handler->MsgResponse() == mrCallOldAfter && !oldCalled) {
            result = CallOld(old, hwnd, iMsg, wParam, lParam);
            oldCalled = true;
        }
        if (nested) {
            g_currentMessage = outerMessage;
            g_oldWindowProc = outerOld;
        }
    }
    return result;
}

}  // namespace MSubclass
}  // namespace quenlor
