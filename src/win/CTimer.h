// CTimer: a window-less timer raising ThatTime every Interval milliseconds through the thread's
// message loop. Always owned by a std::shared_ptr (CTimer::Create): while running, MTimer's table
// holds a reference too, so an owner sets Interval(0) before it lets go of its timer.
#pragma once

#include <windows.h>

#include <any>
#include <cstdint>
#include <functional>
#include <memory>

#include "win/MTimer.h"

namespace quenlor {

class CTimer : public std::enable_shared_from_this<CTimer> {
    struct Key {
        explicit Key() = default;
    };

  public:
    static std::shared_ptr<CTimer> Create() { return std::make_shared<CTimer>(Key{}); }
    explicit CTimer(Key) {}
    CTimer(const CTimer&) = delete;
    CTimer& operator=(const CTimer&) = delete;
    ~CTimer();  // stops the timer if it still runs

    // Gets/sets a piece of additional data to store with the timer.
    const std::any& Item() const { return item_; }
    void Item(std::any value) { item_ = std::move(value); }

    // Gets/sets the interval at which the timer fires.  Set to zero to stop the timer.
    // A positive value different from the current one (re)starts the timer, the same value does
    // nothing, zero or less stops it. Throws ObjectError 13651 or 13652 when it cannot start.
    int32_t Interval() const { return interval_; }
    void Interval(int32_t iIntervalA);

    // Raises ThatTime (called by MTimer::TimerProc).
    void PulseTimer();

    // Raised when the timer fires. Must not throw.
    std::function<void()> ThatTime;

  private:
    friend bool MTimer::TimerCreate(const std::shared_ptr<CTimer>& timer);
    friend bool MTimer::TimerDestroy(CTimer& timer);
    friend void CALLBACK MTimer::TimerProc(HWND, UINT, UINT_PTR, DWORD) noexcept;

    std::any item_;
    int32_t interval_ = 0;
    UINT_PTR timerId_ = 0;  // system timer identifier while running; kept by MTimer
};

// Starts `timer` at `milliseconds`, making it on first use with `tick` as its event; false when
// the system has no timer to give (the caller then does without).
bool StartTimer(std::shared_ptr<CTimer>& timer, int32_t milliseconds, std::function<void()> tick);

}  // namespace quenlor
