#include "win/MTimer.h"

#include <array>

#include "win/CTimer.h"
#include "win/CallbackBarrier.h"
#include "win/ObjectError.h"

namespace quenlor {
namespace MTimer {
namespace {

struct Table {
    std::array<std::shared_ptr<CTimer>, kSlotCount> slots;  // slot n is slots[n - 1]
    int16_t usedCount = 0;
};

// Never destroyed: timers still running at exit must not reach a table that is going away.
Table& TheTable() {
    static Table* table = new Table;
    return *table;
}

}  // namespace

bool TimerCreate(const std::shared_ptr<CTimer>& timer) {
    const UINT_PTR id =
        SetTimer(nullptr, 0, static_cast<UINT>(timer->interval_), &MTimer::TimerProc);
    timer->timerId_ = id;
    if (id == 0) {
        timer->Interval(0);  // no slot holds the timer, so this only clears the interval
        return false;
    }

    Table& table = TheTable();
    for (int i = 0; i < kSlotCount; ++i) {
        if (!table.slots[i]) {
            table.slots[i] = timer;
            if (table.usedCount < i + 1) table.usedCount = static_cast<int16_t>(i + 1);
            return true;
        }
    }
    // No slot: the system timer would fire for nobody, and a stale identifier could later match
    // a reused one, so the timer is put back to stopped.
    KillTimer(nullptr, id);
    timer->timerId_ = 0;
    timer->Interval(0);
    throw ObjectError(kErrTooManyTimers, "No more than 10 timers allowed per class");
}

bool TimerDestroy(CTimer& timer) {
    Table& table = TheTable();
    for (int i = 0; i < table.usedCount; ++i) {
        if (table.slots[i] && table.slots[i]->timerId_ == timer.timerId_) {
            KillTimer(nullptr, timer.timerId_);
            const std::shared_ptr<CTimer> released = std::move(table.slots[i]);
            table.slots[i].reset();
            return true;
        }
    }
    return false;
}

void CALLBACK TimerProc(HWND, UINT, UINT_PTR idEvent, DWORD) noexcept {
    Table& table = TheTable();
    for (int i = 0; i < table.usedCount; ++i) {
        if (table.slots[i] && table.slots[i]->timerId_ == idEvent) {
            // Our own reference: the handler may stop the timer and so empty its slot.
            const std::shared_ptr<CTimer> timer = table.slots[i];
            RunGuarded(
                "TimerProc", [&] { return (timer->PulseTimer(), 0); }, [] { return 0; });
            return;
        }
    }
}

int16_t UsedCount() {
    return TheTable().usedCount;
}

std::shared_ptr<CTimer> SlotTimer(int slot) {
    if (slot < 1 || slot > kSlotCount) return nullptr;
    return TheTable().slots[slot - 1];
}

}  // namespace MTimer
}  // namespace quenlor
