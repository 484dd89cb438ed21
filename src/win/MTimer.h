// MTimer: the process-wide table behind CTimer. System timers are created without a window and
// all call TimerProc, which finds the CTimer of the firing identifier in a table of 100 slots.
// A slot holds a counted reference, so a running timer stays alive until it is stopped.
// User-interface thread only (timer callbacks arrive through its message loop).
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>

namespace quenlor {

class CTimer;

namespace MTimer {

constexpr int kSlotCount = 100;

// Error codes raised as ObjectError (combined with the object-error base).
constexpr int32_t kErrTooManyTimers = 13651;    // "No more than 10 timers allowed per class"
constexpr int32_t kErrCantCreateTimer = 13652;  // "Can't create system timer"

// Creates the system timer for `timer`'s interval and puts the timer into the lowest free slot.
// False (timer stopped, interval 0) when the system refuses the timer; throws ObjectError 13651
// when all slots are in use (the new system timer is killed and the timer stopped first).
bool TimerCreate(const std::shared_ptr<CTimer>& timer);

// Kills the system timer of the first slot holding `timer`'s identifier and empties the slot.
// False when no slot matches. The timer's identifier is left as it was.
bool TimerDestroy(CTimer& timer);

// The callback given to SetTimer: raises ThatTime of the timer that owns `idEvent`.
void CALLBACK TimerProc(HWND hwnd, UINT uMsg, UINT_PTR idEvent, DWORD dwTime) noexcept;

// Read-only views for diagnostics and tests: the highest slot number ever filled (never
// decreases) and the timer in slot 1..kSlotCount (null when empty).
int16_t UsedCount();
std::shared_ptr<CTimer> SlotTimer(int slot);

}  // namespace MTimer
}  // namespace quenlor
