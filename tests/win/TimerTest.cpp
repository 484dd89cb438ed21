// Window-less timers with real system timers: events through the message loop, the Interval
// rules, the 100-slot table and its errors, and start/stop loops that leave no system timer behind.
#include <gtest/gtest.h>

#include <windows.h>

#include <memory>
#include <vector>

#include "tests/support/Pump.h"
#include "win/CTimer.h"
#include "win/MTimer.h"
#include "win/ObjectError.h"

namespace quenlor {
namespace {

// Runs the thread's message loop for `ms` milliseconds; returns how many window-less WM_TIMER
// messages went through it.
int PumpFor(DWORD ms) {
    int timerMessages = 0;
    test::PumpFor(static_cast<int>(ms), [&](const MSG& msg) {
        if (msg.message == WM_TIMER && msg.hwnd == nullptr) ++timerMessages;
    });
    return timerMessages;
}

// Pumps until `done` or `ms` milliseconds have passed; returns the time taken.
template <typename Done>
ULONGLONG PumpUntil(Done done, DWORD ms) {
    const ULONGLONG start = GetTickCount64();
    test::PumpUntil(done, static_cast<int>(ms));
    return GetTickCount64() - start;
}

std::vector<int> OccupiedSlots() {
    std::vector<int> slots;
    for (int i = 1; i <= MTimer::kSlotCount; ++i) {
        if (MTimer::SlotTimer(i)) slots.push_back(i);
    }
    return slots;
}

class TimerTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(OccupiedSlots().empty()) << "a timer ran on"; }
    void TearDown() override {
        EXPECT_TRUE(OccupiedSlots().empty()) << "a test left a timer running";
        EXPECT_EQ(PumpFor(50), 0) << "a system timer outlived its CTimer";
    }
};

TEST_F(TimerTest, EventsArriveThroughTheMessageLoopOnly) {
    auto timer = CTimer::Create();
    int events = 0;
    timer->ThatTime = [&] { ++events; };
    timer->Item(std::string("menu bar"));
    EXPECT_EQ(timer->Interval(), 0);
    timer->Interval(20);
    EXPECT_EQ(OccupiedSlots(), std::vector<int>{1});
    EXPECT_EQ(MTimer::SlotTimer(1), timer);

    Sleep(150);
    EXPECT_EQ(events, 0);  // nothing arrives while no messages are processed
    PumpFor(300);
    EXPECT_GE(events, 3);
    EXPECT_EQ(std::any_cast<std::string>(timer->Item()), "menu bar");

    timer->Interval(0);
    EXPECT_TRUE(OccupiedSlots().empty());
    const int stoppedAt = events;
    PumpFor(150);
    EXPECT_EQ(events, stoppedAt);
}

// Setting the interval it already has keeps the running period; a different one starts anew.
TEST_F(TimerTest, SameIntervalDoesNotRestartADifferentOneDoes) {
    auto timer = CTimer::Create();
    int events = 0;
    timer->ThatTime = [&] { ++events; };

    timer->Interval(400);
    PumpFor(250);
    timer->Interval(400);
    const ULONGLONG kept = 250 + PumpUntil([&] { return events > 0; }, 2000);
    EXPECT_EQ(events, 1);
    EXPECT_LT(kept, 600u) << "the timer was restarted";

    timer->Interval(0);
    events = 0;
    timer->Interval(400);
    PumpFor(250);
    timer->Interval(401);
    const ULONGLONG restarted = 250 + PumpUntil([&] { return events > 0; }, 2000);
    EXPECT_EQ(events, 1);
    EXPECT_GE(restarted, 600u);
    EXPECT_EQ(timer->Interval(), 401);
    EXPECT_EQ(OccupiedSlots(), std::vector<int>{1});
    timer->Interval(0);
}

TEST_F(TimerTest, ZeroOrNegativeStopsARunningTimerAndIsIgnoredOtherwise) {
    auto timer = CTimer::Create();
    int events = 0;
    timer->ThatTime = [&] { ++events; };

    timer->Interval(-5);  // stopped: nothing
    EXPECT_EQ(timer->Interval(), 0);
    EXPECT_TRUE(OccupiedSlots().empty());

    timer->Interval(15);
    timer->Interval(-5);
    EXPECT_EQ(timer->Interval(), 0);
    EXPECT_TRUE(OccupiedSlots().empty());
    PumpFor(100);
    EXPECT_EQ(events, 0);

    timer->Interval(15);
    timer->Interval(0);
    EXPECT_EQ(timer->Interval(), 0);
    timer->Interval(0);
    PumpFor(100);
    EXPECT_EQ(events, 0);
}

TEST_F(TimerTest, FreedSlotsAreReusedLowestFirstAndTheUsedCountNeverFalls) {
    std::vector<std::shared_ptr<CTimer>> timers;
    for (int i = 0; i < 5; ++i) {
        timers.push_back(CTimer::Create());
        timers.back()->Interval(100000);
    }
    EXPECT_EQ(OccupiedSlots(), (std::vector<int>{1, 2, 3, 4, 5}));
    const int16_t used = MTimer::UsedCount();
    EXPECT_GE(used, 5);

    timers[3]->Interval(0);  // slot 4
    timers[1]->Interval(0);  // slot 2
    auto d = CTimer::Create();
    d->Interval(100000);
    EXPECT_EQ(MTimer::SlotTimer(2), d);
    auto e = CTimer::Create();
    e->Interval(100000);
    EXPECT_EQ(MTimer::SlotTimer(4), e);

    for (auto& t : timers) t->Interval(0);
    d->Interval(0);
    e->Interval(0);
    EXPECT_EQ(MTimer::UsedCount(), used);
}

TEST_F(TimerTest, TheHundredAndFirstTimerFailsAndLeavesNoSystemTimer) {
    std::vector<std::shared_ptr<CTimer>> timers;
    for (int i = 0; i < MTimer::kSlotCount; ++i) {
        timers.push_back(CTimer::Create());
        timers.back()->Interval(100000);
    }
    EXPECT_EQ(OccupiedSlots().size(), 100u);
    EXPECT_EQ(MTimer::UsedCount(), 100);

    auto extra = CTimer::Create();
    int events = 0;
    extra->ThatTime = [&] { ++events; };
    try {
        extra->Interval(10);
        ADD_FAILURE() << "a 101st timer started";
    } catch (const ObjectError& err) {
        EXPECT_EQ(err.Number(), -2147207853);
        EXPECT_EQ(err.Description(), "No more than 10 timers allowed per class");
        EXPECT_EQ(err.Source(), L"test_win_timer.WindowProc");
    }
    EXPECT_EQ(extra->Interval(), 0);  // it does not run, so it does not claim to
    EXPECT_EQ(PumpFor(100), 0);       // its system timer was killed
    EXPECT_EQ(events, 0);

    timers[41]->Interval(0);
    extra->Interval(10);  // the same value again starts it now that a slot is free
    EXPECT_EQ(MTimer::SlotTimer(42), extra);
    PumpUntil([&] { return events > 0; }, 2000);
    EXPECT_GE(events, 1);
    extra->Interval(0);
    for (auto& t : timers) t->Interval(0);
}

// The table keeps a running timer alive after its owner let go; its handler can still stop it,
// and the timer goes away only after the handler has returned.
TEST_F(TimerTest, AHandlerCanStopItsOwnTimer) {
    auto timer = CTimer::Create();
    std::weak_ptr<CTimer> watch = timer;
    int events = 0;
    bool aliveInHandler = false;
    timer->ThatTime = [&events, &aliveInHandler, watch] {
        ++events;
        watch.lock()->Interval(0);
        aliveInHandler = !watch.expired();
    };
    timer->Interval(15);
    timer.reset();
    EXPECT_FALSE(watch.expired());
    PumpFor(200);
    EXPECT_EQ(events, 1);
    EXPECT_TRUE(aliveInHandler);
    EXPECT_TRUE(watch.expired());
}

// Starting and stopping over and over, also with a changed interval while running: each cycle
// gets its slot and system timer back. A system timer left behind would show up as window-less
// WM_TIMER messages nobody claims.
TEST_F(TimerTest, StartStopLoopLeavesNothingBehind) {
    auto a = CTimer::Create();
    auto b = CTimer::Create();
    constexpr int kCycles = 10000;
    int completed = 0;
    for (int i = 0; i < kCycles; ++i) {
        a->Interval(10);
        b->Interval(10);
        a->Interval(20);  // restart with another period
        if (OccupiedSlots() != std::vector<int>{1, 2}) break;
        a->Interval(0);
        b->Interval(-1);
        ++completed;
    }
    EXPECT_EQ(completed, kCycles);
    EXPECT_EQ(PumpFor(100), 0);
}

}  // namespace
}  // namespace quenlor
