#include "frame/NCKeyboardHook.h"

#include <algorithm>
#include <vector>

#include "frame/cNCCalcSize.h"
#include "win/CallbackBarrier.h"
#include "win/ResourceOwners.h"

namespace quenlor {
namespace NCKeyboardHook {
namespace {

HookHandle& Hook() {
    static HookHandle hook;
    return hook;
}
std::vector<cNCCalcSize*>& Clients() {
    static std::vector<cNCCalcSize*> clients;
    return clients;
}
LRESULT CALLBACK KeyboardHookProc(int nCode, WPARAM wParam, LPARAM lParam) noexcept {
    const auto next = [&] { return CallNextHookEx(Hook().get(), nCode, wParam, lParam); };
    return RunGuarded(
        "KeyboardHookProc",
        [&]() -> LRESULT {
            if (nCode == HC_ACTION && Hook() &&
                IsAltKeyForPainter(wParam, lParam, GetAsyncKeyState(VK_CONTROL) != 0)) {
                cNCCalcSize* engine = FindActiveEngine();
                if (engine && engine->HandleAltKey(static_cast<int32_t>(wParam))) return 1;
            }
            return next();
        },
        next);
}

}  // namespace

void AttachKeyboardHook(cNCCalcSize* engine) {
    if (!Hook()) {
        Hook().Reset(
            SetWindowsHookExW(WH_KEYBOARD, &KeyboardHookProc, nullptr, GetCurrentThreadId()));
    }
    auto& clients = Clients();
    if (std::find(clients.begin(), clients.end(), engine) == clients.end())
        clients.push_back(engine);
}

void DetachKeyboardHook(cNCCalcSize* engine) {
    auto& clients = Clients();
    clients.erase(std::remove(clients.begin(), clients.end(), engine), clients.end());
    if (clients.empty()) Hook().Reset();
}

cNCCalcSize* FindActiveEngine() {
    for (cNCCalcSize* engine : Clients())
        if (engine && engine->WindowActive()) return engine;
    return nullptr;
}

bool Installed() {
    return static_cast<bool>(Hook());
}
size_t ClientCount() {
    return Clients().size();
}

bool IsAltKeyForPainter(WPARAM vKey, LPARAM flags, bool ctrlDown) {
    const bool altHeld = (flags & (1 << 29)) != 0;
    const bool goingUp = (static_cast<uint32_t>(flags) & 0x80000000u) != 0;
    if (!altHeld || goingUp || ctrlDown || vKey == 0 || vKey == VK_MENU) return false;
    if (vKey >= VK_F1 && vKey <= VK_F12) return false;
    return vKey != VK_ESCAPE && vKey != VK_DELETE;
}

}  // namespace NCKeyboardHook
}  // namespace quenlor
