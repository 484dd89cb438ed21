#include "win/CTimer.h"

#include <stdexcept>

#include "win/ObjectError.h"

namespace quenlor {

CTimer::~CTimer() {
    Interval(0);
}

void CTimer::Interval(int32_t iIntervalA) {
    // Emptying our slot may drop the last other reference: stay alive until we are done.
    const std::shared_ptr<CTimer> self = weak_from_this().lock();
    if (iIntervalA > 0) {
        if (iIntervalA == interval_) return;
        if (!self) throw std::logic_error("CTimer: create timers with CTimer::Create");
        if (interval_ != 0) MTimer::TimerDestroy(*this);
        interval_ = iIntervalA;
        if (!MTimer::TimerCreate(self)) {
            throw ObjectError(MTimer::kErrCantCreateTimer, "Can't create system timer");
        }
    } else if (interval_ > 0) {
        interval_ = 0;
        MTimer::TimerDestroy(*this);
    }
}

void CTimer::PulseTimer() {
    // A copy, so that a handler may replace ThatTime while it runs.
    const std::function<void()> handler = ThatTime;
    if (handler) handler();
}

bool StartTimer(std::shared_ptr<CTimer>& timer, int32_t milliseconds, std::function<void()> tick) {
    if (!timer) {
        timer = CTimer::Create();
        timer->ThatTime = std::move(tick);
    }
    try {
        timer->Interval(milliseconds);
        return true;
    } catch (...) {
        return false;
    }
}

}  // namespace quenlor
