// Subclassing on real windows while handlers come and go: handlers that detach or are deleted
// during a message, windows that end with registrations on them, and registrations made and
// undone many times that leave nothing behind.
#include <new>
#include <utility>

#include "tests/support/PoisonFreedMemory.h"
#include "tests/win/SubclassFixture.h"

namespace quenlor {
namespace {

using namespace quenlor::test;
using MSubclass::AttachMessage;
using MSubclass::DetachMessage;

const std::string kH1 = Entry("h1", kMsgA, 1), kH2 = Entry("h2", kMsgA, 1);

TEST_F(SubclassTest, HandlerMayDetachItselfDuringItsOwnMessage) {
    Handler h("h", mrCallOldAfter, 7);
    h.onMessage = [&](HWND hwnd, UINT msg, WPARAM, LPARAM) -> LRESULT {
        DetachMessage(&h, hwnd, msg);
        return 7;
    };
    AttachMessage(&h, win.hwnd(), kMsgA);
    EXPECT_EQ(Send(kMsgA, 1), kBaseResult + 1);  // the previous procedure still runs after it
    EXPECT_EQ(CurrentProc(), win.ClassProc());
    EXPECT_EQ(Send(kMsgA, 2), kBaseResult + 2);
    EXPECT_EQ(CallLog(),
              Log({Entry("h", kMsgA, 1), Entry("base", kMsgA, 1), Entry("base", kMsgA, 2)}));
}

// A handler that leaves during a message does not take the next one's turn: the second handler
// still runs, and the previous procedure is not called in its place.
TEST_F(SubclassTest, FirstOfTwoDetachingItselfDuringDispatch) {
    Handler h1("h1", mrConsume, 11), h2("h2", mrConsume, 22);
    h1.onMessage = [&](HWND hwnd, UINT msg, WPARAM, LPARAM) -> LRESULT {
        DetachMessage(&h1, hwnd, msg);
        return 11;
    };
    AttachMessage(&h1, win.hwnd(), kMsgA);
    AttachMessage(&h2, win.hwnd(), kMsgA);
    EXPECT_EQ(Send(kMsgA, 1), 22);
    EXPECT_EQ(Send(kMsgA, 2), 22);
    EXPECT_EQ(CallLog(),
              Log({Entry("h1", kMsgA, 1), Entry("h2", kMsgA, 1), Entry("h2", kMsgA, 2)}));
    DetachMessage(&h2, win.hwnd(), kMsgA);
    EXPECT_EQ(CurrentProc(), win.ClassProc());
}

// Heap handlers that go away in the middle of a message: deleted by themselves, by the handler
// before them or by the window's previous procedure. Freed memory is poisoned
// (PoisonFreedMemory.cpp): a call into a deleted handler crashes the test.
struct GoneCase {
    const char* name;
    EMsgResponse first, second;
    enum Deletion {
        kFirstItself,
        kSecondItself,
        kFirstTheSecond,
        kPreviousTheFirst,
        kFirstRecyclesTheSecond,  // deletes it and attaches a new handler at its address
    } deletion;
    Log log;
    LRESULT result;
};

const std::string kBase1 = Entry("base", kMsgA, 1);
const GoneCase kGoneCases[] = {
    {"the first deletes itself", mrConsume, mrConsume, GoneCase::kFirstItself, {kH1, kH2}, 22},
    {"the last deletes itself after asking for the previous procedure",
     mrConsume,
     mrCallOldAfter,
     GoneCase::kSecondItself,
     {kH1, kH2, kBase1},
     kBaseResult + 1},
    {"the first deletes the second", mrConsume, mrConsume, GoneCase::kFirstTheSecond, {kH1}, 11},
    {"the first deletes the second and asked for the previous procedure after",
     mrCallOldAfter,
     mrConsume,
     GoneCase::kFirstTheSecond,
     {kH1, kBase1},
     kBaseResult + 1},
    {"the previous procedure, called before, deletes the first",
     mrCallOldBefore,
     mrConsume,
     GoneCase::kPreviousTheFirst,
     {kBase1, kH2},
     22},
    {"the previous procedure, called before, deletes the first; the second asked for after",
     mrCallOldBefore,
     mrCallOldAfter,
     GoneCase::kPreviousTheFirst,
     {kBase1, kH2},
     22},
    {"the first deletes the second and attaches a new handler at its address",
     mrConsume,
     mrConsume,
     GoneCase::kFirstRecyclesTheSecond,
     {kH1},
     11},
};

TEST_F(SubclassTest, HandlersDeletedDuringAMessageAreNeverCalledAgain) {
    const int faults = AccessViolations();
    for (const GoneCase& c : kGoneCases) {
        SCOPED_TRACE(c.name);
        CallLog().clear();
        const HWND hwnd = win.hwnd();
        Handler* h1 = new Handler("h1", c.first, 11);
        Handler* h2 = new Handler("h2", c.second, 22);
        const auto kill = [hwnd](Handler*& h) {
            DetachMessage(h, hwnd, kMsgA);
            delete std::exchange(h, nullptr);
        };
        auto killing = [&](Handler*& victim, LRESULT result) {
            return [&victim, kill, result](HWND, UINT, WPARAM, LPARAM) {
                kill(victim);  // may delete this very function: nothing of it is used after
                return result;
            };
        };
        if (c.deletion == GoneCase::kFirstItself) h1->onMessage = killing(h1, 11);
        if (c.deletion == GoneCase::kSecondItself) h2->onMessage = killing(h2, 22);
        if (c.deletion == GoneCase::kFirstTheSecond) h1->onMessage = killing(h2, 11);
        if (c.deletion == GoneCase::kFirstRecyclesTheSecond) {
            h1->onMessage = [&h2, hwnd](HWND, UINT, WPARAM, LPARAM) -> LRESULT {
                DetachMessage(h2, hwnd, kMsgA);
                h2->~Handler();
                AttachMessage(new (h2) Handler("h3", mrConsume, 33), hwnd, kMsgA);
                return 11;
            };
        }
        if (c.deletion == GoneCase::kPreviousTheFirst)
            OnWindowProc() = [&h1, kill](HWND, UINT) { kill(h1); };
        AttachMessage(h1, hwnd, kMsgA);
        AttachMessage(h2, hwnd, kMsgA);
        EXPECT_EQ(Send(kMsgA, 1), c.result);
        OnWindowProc() = nullptr;
        EXPECT_EQ(CallLog(), c.log);
        for (Handler** h : {&h1, &h2}) {
            if (*h) kill(*h);
        }
        EXPECT_EQ(CurrentProc(), win.ClassProc());
        EXPECT_TRUE(Properties(hwnd).empty());
        EXPECT_EQ(AccessViolations(), faults) << "a deleted handler was called";
    }
}

// A window that ends with registrations still on it keeps no property of ours past its
// WM_NCDESTROY (a procedure above the subclass looks once the message has been through it).
TEST(SubclassEnd, RegistrationsLeftAtTheWindowsEndGoWithIt) {
    Handler h1("h1", mrConsume, 11), h2("h2", mrCallOldAfter, 22);
    TestWindow w;
    AttachMessage(&h1, w.hwnd(), kMsgA);
    AttachMessage(&h2, w.hwnd(), kMsgA);
    AttachMessage(&h1, w.hwnd(), kMsgB);
    static WNDPROC below = nullptr;
    static std::map<std::wstring, intptr_t> left;
    static bool seen = false;
    below = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(
        w.hwnd(), GWLP_WNDPROC,
        reinterpret_cast<LONG_PTR>(+[](HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
            const LRESULT result = CallWindowProcW(below, hwnd, msg, wParam, lParam);
            if (msg == WM_NCDESTROY) {
                left = Properties(hwnd);
                seen = true;
            }
            return result;
        })));
    DestroyWindow(w.hwnd());
    EXPECT_TRUE(seen);
    EXPECT_TRUE(left.empty()) << left.size() << " properties left";
    DetachMessage(&h1, w.hwnd(), kMsgA);  // the window is gone: harmless
}

// Windows created, subclassed for several messages, released and destroyed, over and over. Each
// cycle uses seven property names never seen before (the handle differs); were they kept past the
// window's end, the atom table behind property names (about 16,000 entries) would run out and an
// attach would fail long before the last cycle. Every other window ends with its registrations
// still on it.
TEST(SubclassLoop, ManyWindowsLeaveNothingBehind) {
    Handler h1("h1", mrConsume, 1), h2("h2", mrCallOldBefore, 2);
    constexpr int kCycles = 3000;  // 21,000 property names: past the atom table's end if kept
    int completed = 0;
    for (int i = 0; i < kCycles; ++i) {
        TestWindow w(i % 2 == 1, true);
        AttachMessage(&h1, w.hwnd(), kMsgA);
        AttachMessage(&h2, w.hwnd(), kMsgA);
        AttachMessage(&h1, w.hwnd(), kMsgB);
        if (SendMessageW(w.hwnd(), kMsgA, 0, 0) != 2) break;
        if (i % 2 == 0) {
            ++completed;
            continue;
        }
        DetachMessage(&h1, w.hwnd(), kMsgA);
        DetachMessage(&h2, w.hwnd(), kMsgA);
        DetachMessage(&h1, w.hwnd(), kMsgB);
        if (!Properties(w.hwnd()).empty() || GetWindowLongPtrW(w.hwnd(), GWLP_WNDPROC) !=
                                                 reinterpret_cast<LONG_PTR>(w.ClassProc())) {
            break;
        }
        ++completed;
    }
    EXPECT_EQ(completed, kCycles);
}

// One window, the same registrations made and undone many times: every cycle ends with no property
// of ours and the window's own procedure, so nothing accumulates.
TEST(SubclassLoop, RepeatedRegistrationOnOneWindowLeavesNothing) {
    TestWindow w;
    Handler h1("h1", mrConsume, 1), h2("h2", mrCallOldAfter, 2);
    constexpr int kCycles = 5000;
    int completed = 0;
    const std::map<std::wstring, intptr_t> expected;
    for (int i = 0; i < kCycles; ++i) {
        AttachMessage(&h1, w.hwnd(), kMsgA);
        AttachMessage(&h2, w.hwnd(), kMsgB);
        AttachMessage(&h2, w.hwnd(), kMsgA);
        DetachMessage(&h1, w.hwnd(), kMsgA);
        DetachMessage(&h2, w.hwnd(), kMsgA);
        DetachMessage(&h2, w.hwnd(), kMsgB);
        if (i % 500 == 0 && Properties(w.hwnd()) != expected) break;
        ++completed;
    }
    EXPECT_EQ(completed, kCycles);
    EXPECT_EQ(Properties(w.hwnd()), expected);
    EXPECT_EQ(GetWindowLongPtrW(w.hwnd(), GWLP_WNDPROC), reinterpret_cast<LONG_PTR>(w.ClassProc()));
}

}  // namespace
}  // namespace quenlor
