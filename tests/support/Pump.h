// Letting the test thread's window messages run: once, for a while, or until something holds.
#pragma once

#include <windows.h>

#include <chrono>
#include <functional>
#include <thread>

namespace quenlor::test {

// Shown each message before it is dispatched (tests that count what went through the loop).
using MessageSeen = std::function<void(const MSG&)>;

// Runs every message waiting in the thread's queue, then returns.
inline void PumpMessages(const MessageSeen& seen = nullptr) {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (seen) seen(message);
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

// Runs messages for `milliseconds` (timers and input arrive meanwhile).
inline void PumpFor(int milliseconds, const MessageSeen& seen = nullptr) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    do {
        PumpMessages(seen);
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    } while (std::chrono::steady_clock::now() < end);
}

// Runs messages until `done` holds; false when it still does not after `timeoutMs`.
inline bool PumpUntil(const std::function<bool()>& done, int timeoutMs = 3000) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!done()) {
        if (std::chrono::steady_clock::now() > end) return false;
        PumpFor(5);
    }
    return true;
}

}  // namespace quenlor::test
