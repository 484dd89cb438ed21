#include "win/MSubclass.h"

#include <cstdio>
#include <map>
#include <mutex>
#include <stdexcept>
#include <string>
#include <tuple>
#include <vector>

#include "win/CallbackBarrier.h"
#include "win/ResourceOwners.h"
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

// Every registration gets a number of its own, never used again: a handler deleted during a
// message and a new one attached at the same address are two registrations, and the message that
// was on its way to the first never reaches the second.
class Registrations {
  public:
    using Number = uint64_t;
    Number Add(HWND hwnd, UINT iMsg, const ISubclass* handler) {
        const std::lock_guard<std::mutex> lock(mutex_);
        return numbers_[{hwnd, iMsg, handler}] = ++last_;
    }
    void Remove(HWND hwnd, UINT iMsg, const ISubclass* handler) {
        const std::lock_guard<std::mutex> lock(mutex_);
        numbers_.erase({hwnd, iMsg, handler});
    }
    void RemoveWindow(HWND hwnd) {
        const std::lock_guard<std::mutex> lock(mutex_);
        auto it = numbers_.lower_bound({hwnd, 0, nullptr});
        while (it != numbers_.end() && std::get<0>(it->first) == hwnd) it = numbers_.erase(it);
    }
    // 0 when the handler is not registered for the message.
    Number Find(HWND hwnd, UINT iMsg, const ISubclass* handler) const {
        const std::lock_guard<std::mutex> lock(mutex_);
        const auto it = numbers_.find({hwnd, iMsg, handler});
        return it == numbers_.end() ? 0 : it->second;
    }

  private:
    mutable std::mutex mutex_;  // windows of other threads have registrations too
    std::map<std::tuple<HWND, UINT, const ISubclass*>, Number> numbers_;
    Number last_ = 0;
};

Registrations& TheRegistrations() {
    static Registrations* registrations = new Registrations;  // outlives every window
    return *registrations;
}

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

struct Registered {
    ISubclass* handler;
    Registrations::Number number;
};
using HandlerList = std::vector<Registered>;

// Handlers 1..n of the message, as registered now.
HandlerList Snapshot(HWND hwnd, UINT iMsg) {
    HandlerList handlers;
    const intptr_t n = GetValue(hwnd, PropName(hwnd, iMsg));
    if (n < 1) return handlers;
    try {
        handlers.reserve(static_cast<size_t>(n));
        for (intptr_t i = 1; i <= n; ++i) {
            if (ISubclass* handler = Entry(hwnd, iMsg, i))
                handlers.push_back({handler, TheRegistrations().Find(hwnd, iMsg, handler)});
        }
    } catch (const std::exception& error) {
        ReportCallbackFailure("SubclassProc", error.what());
    }
    return handlers;
}

// The same registration as in the snapshot, not merely a handler at the same address.
bool IsAttached(HWND hwnd, UINT iMsg, const Registered& registered) {
    if (TheRegistrations().Find(hwnd, iMsg, registered.handler) != registered.number) return false;
    const intptr_t n = GetValue(hwnd, PropName(hwnd, iMsg));
    for (intptr_t i = 1; i <= n; ++i) {
        if (Entry(hwnd, iMsg, i) == registered.handler) return true;
    }
    return false;
}

// Removes every property of the window's bookkeeping: "{hwnd}", "C{hwnd}" and "{hwnd}#...".
void RemoveBookkeeping(HWND hwnd) {
    struct Found {
        std::wstring previous, count, prefix;
        std::vector<std::wstring> names;
    } found{PropName(hwnd).c_str(),
            PropName(L'C', hwnd).c_str(),
            std::wstring(PropName(hwnd).c_str()) + L"#",
            {}};
    EnumPropsExW(
        hwnd,
        [](HWND, LPWSTR name, HANDLE, ULONG_PTR data) -> BOOL {
            auto& f = *reinterpret_cast<Found*>(data);
            if (IS_INTRESOURCE(name)) return TRUE;
            const std::wstring text(name);
            if (text == f.previous || text == f.count ||
                text.compare(0, f.prefix.size(), f.prefix) == 0)
                f.names.push_back(text);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    for (const std::wstring& name : found.names) RemovePropW(hwnd, name.c_str());
    TheRegistrations().RemoveWindow(hwnd);
}

// The window ends: whatever is still registered goes, and its own procedure comes back.
void ForgetWindow(HWND hwnd, WNDPROC old) {
    if (old != nullptr &&
        GetWindowLongPtrW(hwnd, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(&SharedWindowProc)) {
        SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(old));
    }
    RemoveBookkeeping(hwnd);
}

}  // namespace

void AttachMessage(ISubclass* handler, HWND hwnd, UINT iMsg) {
    if (handler == nullptr) throw std::invalid_argument("AttachMessage: no handler");
    if (!IsWindow(hwnd))
        throw ObjectError(kErrInvalidWindow, "Invalid window", ERROR_INVALID_WINDOW_HANDLE);
    if (!WindowInThisProcess(hwnd)) {
        throw ObjectError(kErrExternalWindow, "Can't modify external window", ERROR_ACCESS_DENIED);
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
        if (previous == 0)
            throw ObjectError(kErrCantSubclass, "Can't subclass window", GetLastError());
        // Without the previous procedure on record the window could not be restored: undo.
        WindowProperty previousProp, countProp;
        if (!previousProp.Set(hwnd, PropName(hwnd).c_str(), reinterpret_cast<HANDLE>(previous)) ||
            !countProp.Set(hwnd, windowCount.c_str(), reinterpret_cast<HANDLE>(intptr_t{1}))) {
            SetWindowLongPtrW(hwnd, GWLP_WNDPROC, previous);
            throw ObjectError(kErrCantSubclass, "Can't subclass window");
        }
        // From here on the registration itself accounts for them.
        previousProp.Release();
        countProp.Release();
    } else {
        SetValue(hwnd, windowCount, count + 1);
    }

    SetValue(hwnd, msgCount, n + 1);
    SetValue(hwnd, PropName(hwnd, iMsg, n + 1), reinterpret_cast<intptr_t>(handler));
    TheRegistrations().Add(hwnd, iMsg, handler);
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
    TheRegistrations().Remove(hwnd, iMsg, handler);

    for (intptr_t i = k + 1; i <= n; ++i) {
        SetValue(hwnd, PropName(hwnd, iMsg, i - 1), GetValue(hwnd, PropName(hwnd, iMsg, i)));
    }
    RemovePropW(hwnd, PropName(hwnd, iMsg, n).c_str());
    SetValue(hwnd, msgCount, n - 1);

    const PropName windowCount(L'C', hwnd);
    const intptr_t count = GetValue(hwnd, windowCount);
    if (count > 1) {
        SetValue(hwnd, windowCount, count - 1);
        return;
    }
    // The window's last registration: its own procedure comes back and no property of ours
    // stays behind, not even the counts at 0 (their names would outlive the window).
    const intptr_t previous = GetValue(hwnd, PropName(hwnd));
    if (previous != 0) SetWindowLongPtrW(hwnd, GWLP_WNDPROC, previous);
    RemoveBookkeeping(hwnd);
}

UINT CurrentMessage() {
    return g_currentMessage;
}

LRESULT CallOldWindowProc(HWND hwnd, UINT iMsg, WPARAM wParam, LPARAM lParam) {
    return CallOld(g_oldWindowProc, hwnd, iMsg, wParam, lParam);
}

LRESULT CALLBACK SharedWindowProc(HWND hwnd, UINT iMsg, WPARAM wParam, LPARAM lParam) noexcept {
    const WNDPROC old = reinterpret_cast<WNDPROC>(GetValue(hwnd, PropName(hwnd)));
    // The handlers as the message arrived: one attached meanwhile counts from the next message,
    // one detached (or deleted, after detaching) meanwhile is not called any more.
    const HandlerList handlers = Snapshot(hwnd, iMsg);
    if (handlers.empty()) {
        const LRESULT result = CallOld(old, hwnd, iMsg, wParam, lParam);
        if (iMsg == WM_NCDESTROY) ForgetWindow(hwnd, old);
        return result;
    }

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
    bool anyCalled = false;
    EMsgResponse lastResponse = mrConsume;
    LRESULT result = 0;
    for (const Registered& registered : handlers) {
        if (!IsAttached(hwnd, iMsg, registered)) continue;
        ISubclass* const handler = registered.handler;
        enter();
        // Asked before the call: the handler may be gone once WindowProc returns.
        const EMsgResponse response = handler->MsgResponse();
        if (!anyCalled && response == mrCallOldBefore && !oldCalled) {
            result = CallOld(old, hwnd, iMsg, wParam, lParam);
            oldCalled = true;
            // The previous procedure may have detached or deleted the handler.
            if (!IsAttached(hwnd, iMsg, registered)) continue;
            enter();
        }
        anyCalled = true;
        lastResponse = response;
        // A handler that throws leaves the message to the previous procedure.
        result = RunGuarded(
            "SubclassProc", [&] { return handler->WindowProc(hwnd, iMsg, wParam, lParam); },
            [&] {
                if (oldCalled) return result;
                oldCalled = true;
                return CallOld(old, hwnd, iMsg, wParam, lParam);
            });
        if (nested) {
            g_currentMessage = outerMessage;
            g_oldWindowProc = outerOld;
        }
    }
    // The last handler called decides "after"; a message no handler took is never lost.
    if (!oldCalled && (!anyCalled || lastResponse == mrCallOldAfter)) {
        enter();
        result = CallOld(old, hwnd, iMsg, wParam, lParam);
        if (nested) {
            g_currentMessage = outerMessage;
            g_oldWindowProc = outerOld;
        }
    }
    if (iMsg == WM_NCDESTROY) ForgetWindow(hwnd, old);
    return result;
}

}  // namespace MSubclass
}  // namespace quenlor
