// Subclassing on real windows: dispatch order and results, the property bookkeeping, the errors,
// nested dispatch, removal during dispatch, and registrations that leave nothing behind.
#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <string>
#include <utility>

#include "../support/PoisonFreedMemory.h"
#include "TestWindows.h"
#include "win/CallbackBarrier.h"
#include "win/GSubclass.h"
#include "win/MSubclass.h"
#include "win/ObjectError.h"

namespace quenlor {
namespace {

using namespace quenlor::test;
using MSubclass::AttachMessage;
using MSubclass::CallOldWindowProc;
using MSubclass::CurrentMessage;
using MSubclass::DetachMessage;
using Log = std::vector<std::string>;

std::string Entry(const char* who, UINT msg, WPARAM wParam) {
    return std::string(who) + ":" + std::to_string(msg) + ":" + std::to_string(wParam);
}

class Handler : public ISubclass {
  public:
    virtual ~Handler() = default;
    Handler(const char* name, EMsgResponse response, LRESULT result)
        : name_(name), response_(response), result_(result) {}
    EMsgResponse MsgResponse() override { return response_; }
    void MsgResponse(EMsgResponse response) override { response_ = response; }
    LRESULT WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) override {
        CallLog().push_back(Entry(name_, msg, wParam));
        if (onMessage) return onMessage(hwnd, msg, wParam, lParam);
        return result_;
    }
    std::function<LRESULT(HWND, UINT, WPARAM, LPARAM)> onMessage;

  private:
    const char* name_;
    EMsgResponse response_;
    LRESULT result_;
};

class SubclassTest : public ::testing::Test {
  protected:
    void SetUp() override { CallLog().clear(); }
    LRESULT Send(UINT msg, WPARAM wParam = 0) { return SendMessageW(win.hwnd(), msg, wParam, 0); }
    WNDPROC CurrentProc() const {
        return reinterpret_cast<WNDPROC>(GetWindowLongPtrW(win.hwnd(), GWLP_WNDPROC));
    }
    std::wstring Name(const std::wstring& pattern) const {  // '@' stands for the handle
        std::wstring name = pattern;
        name.replace(name.find(L'@'), 1, Decimal(win.hwnd()));
        return name;
    }
    TestWindow win;
};

intptr_t Ptr(const ISubclass& handler) {
    return reinterpret_cast<intptr_t>(static_cast<const ISubclass*>(&handler));
}

TEST_F(SubclassTest, OtherMessagesGoStraightToThePreviousProcedure) {
    Handler h("h", mrConsume, 7);
    AttachMessage(&h, win.hwnd(), kMsgA);
    EXPECT_EQ(CurrentProc(), &MSubclass::SharedWindowProc);
    EXPECT_EQ(SendMessageW(win.hwnd(), kMsgB, 5, 0), kBaseResult + 5);
    EXPECT_EQ(CallLog(), Log({Entry("base", kMsgB, 5)}));
    DetachMessage(&h, win.hwnd(), kMsgA);
    EXPECT_EQ(CurrentProc(), win.ClassProc());
}

struct OneHandlerCase {
    EMsgResponse response;
    Log log;
    LRESULT result;
};

class OneHandler : public SubclassTest, public ::testing::WithParamInterface<OneHandlerCase> {};

TEST_P(OneHandler, RunsThePreviousProcedureAsAnswered) {
    const OneHandlerCase& c = GetParam();
    Handler h("h", c.response, 7);
    AttachMessage(&h, win.hwnd(), kMsgA);
    EXPECT_EQ(Send(kMsgA, 3), c.result);
    EXPECT_EQ(CallLog(), c.log);
    DetachMessage(&h, win.hwnd(), kMsgA);
}

INSTANTIATE_TEST_SUITE_P(
    Responses, OneHandler,
    ::testing::Values(
        OneHandlerCase{mrCallOldBefore, {Entry("base", kMsgA, 3), Entry("h", kMsgA, 3)}, 7},
        OneHandlerCase{
            mrCallOldAfter, {Entry("h", kMsgA, 3), Entry("base", kMsgA, 3)}, kBaseResult + 3},
        OneHandlerCase{mrConsume, {Entry("h", kMsgA, 3)}, 7}));

struct TwoHandlerCase {
    EMsgResponse first, second;
    Log log;
    LRESULT result;
};

class TwoHandlers : public SubclassTest, public ::testing::WithParamInterface<TwoHandlerCase> {};

// The first handler decides "before", the last one "after"; the previous procedure runs at most
// once, and each result overwrites the one before it.
TEST_P(TwoHandlers, FirstDecidesBeforeLastDecidesAfter) {
    const TwoHandlerCase& c = GetParam();
    Handler h1("h1", c.first, 11), h2("h2", c.second, 22);
    AttachMessage(&h1, win.hwnd(), kMsgA);
    AttachMessage(&h2, win.hwnd(), kMsgA);
    EXPECT_EQ(Send(kMsgA, 1), c.result);
    EXPECT_EQ(CallLog(), c.log);
    DetachMessage(&h1, win.hwnd(), kMsgA);
    DetachMessage(&h2, win.hwnd(), kMsgA);
    EXPECT_EQ(CurrentProc(), win.ClassProc());
}

const std::string kB = Entry("base", kMsgA, 1), kH1 = Entry("h1", kMsgA, 1),
                  kH2 = Entry("h2", kMsgA, 1);
INSTANTIATE_TEST_SUITE_P(
    Responses, TwoHandlers,
    ::testing::Values(TwoHandlerCase{mrCallOldBefore, mrCallOldAfter, {kB, kH1, kH2}, 22},
                      TwoHandlerCase{mrCallOldBefore, mrCallOldBefore, {kB, kH1, kH2}, 22},
                      TwoHandlerCase{mrCallOldAfter, mrCallOldBefore, {kH1, kH2}, 22},
                      TwoHandlerCase{mrConsume, mrCallOldAfter, {kH1, kH2, kB}, kBaseResult + 1},
                      TwoHandlerCase{
                          mrCallOldAfter, mrCallOldAfter, {kH1, kH2, kB}, kBaseResult + 1},
                      TwoHandlerCase{mrConsume, mrConsume, {kH1, kH2}, 22}));

TEST_F(SubclassTest, DoubleAttachFailsAndOneDetachRemovesTheSubclass) {
    Handler h("h", mrConsume, 7);
    AttachMessage(&h, win.hwnd(), kMsgA);
    const auto before = Properties(win.hwnd());
    EXPECT_EQ(before.size(), 4u);
    EXPECT_EQ(before.at(Name(L"@")), reinterpret_cast<intptr_t>(win.ClassProc()));
    EXPECT_EQ(before.at(Name(L"C@")), 1);
    EXPECT_EQ(before.at(Name(L"@#32769C")), 1);
    EXPECT_EQ(before.at(Name(L"@#32769#1")), Ptr(h));

    try {
        GSubclass().AttachMessage(&h, win.hwnd(), kMsgA);
        ADD_FAILURE() << "second attach accepted";
    } catch (const ObjectError& e) {
        EXPECT_EQ(e.Number(), -2147208422);
        EXPECT_EQ(e.Description(), "Message already handled by another class");
        EXPECT_EQ(e.Source(), L"test_win_subclass.WindowProc");
    }
    EXPECT_EQ(Properties(win.hwnd()), before);

    DetachMessage(&h, win.hwnd(), kMsgA);
    EXPECT_EQ(CurrentProc(), win.ClassProc());
    EXPECT_TRUE(Properties(win.hwnd()).empty());  // the count goes with the last registration
    EXPECT_EQ(Send(kMsgA, 2), kBaseResult + 2);
    EXPECT_EQ(CallLog(), Log({Entry("base", kMsgA, 2)}));
}

TEST_F(SubclassTest, DetachingTheFirstOfTwoHandlersMovesTheSecondUp) {
    Handler h1("h1", mrConsume, 11), h2("h2", mrConsume, 22), hb("hb", mrConsume, 33);
    AttachMessage(&h1, win.hwnd(), kMsgA);
    AttachMessage(&h2, win.hwnd(), kMsgA);
    AttachMessage(&hb, win.hwnd(), kMsgB);
    auto props = Properties(win.hwnd());
    EXPECT_EQ(props.at(Name(L"C@")), 3);  // all messages together
    EXPECT_EQ(props.at(Name(L"@#32769C")), 2);
    EXPECT_EQ(props.at(Name(L"@#32769#2")), Ptr(h2));
    EXPECT_EQ(props.at(Name(L"@#32770C")), 1);

    DetachMessage(&h1, win.hwnd(), kMsgA);
    props = Properties(win.hwnd());
    EXPECT_EQ(props.at(Name(L"C@")), 2);
    EXPECT_EQ(props.at(Name(L"@#32769C")), 1);
    EXPECT_EQ(props.at(Name(L"@#32769#1")), Ptr(h2));
    EXPECT_EQ(props.count(Name(L"@#32769#2")), 0u);
    EXPECT_EQ(CurrentProc(), &MSubclass::SharedWindowProc);
    EXPECT_EQ(Send(kMsgA), 22);
    EXPECT_EQ(CallLog(), Log({Entry("h2", kMsgA, 0)}));

    DetachMessage(&h1, win.hwnd(), kMsgA);  // no longer registered: nothing happens
    EXPECT_EQ(Properties(win.hwnd()), props);
    DetachMessage(&h2, win.hwnd(), kMsgA);
    EXPECT_EQ(CurrentProc(), &MSubclass::SharedWindowProc);  // kMsgB still registered
    EXPECT_EQ(Properties(win.hwnd()).at(Name(L"@#32769C")), 0);
    DetachMessage(&hb, win.hwnd(), kMsgB);
    EXPECT_EQ(CurrentProc(), win.ClassProc());
    EXPECT_TRUE(Properties(win.hwnd()).empty());
}

TEST_F(SubclassTest, ReattachAfterDetachStartsAgainAtIndexOne) {
    Handler h1("h1", mrConsume, 11), h2("h2", mrCallOldAfter, 22);
    AttachMessage(&h1, win.hwnd(), kMsgA);
    DetachMessage(&h1, win.hwnd(), kMsgA);
    AttachMessage(&h2, win.hwnd(), kMsgA);
    AttachMessage(&h1, win.hwnd(), kMsgA);
    const auto props = Properties(win.hwnd());
    EXPECT_EQ(props.at(Name(L"@#32769#1")), Ptr(h2));
    EXPECT_EQ(props.at(Name(L"@#32769#2")), Ptr(h1));
    EXPECT_EQ(Send(kMsgA), 11);  // h1 is last now and consumes
    EXPECT_EQ(CallLog(), Log({Entry("h2", kMsgA, 0), Entry("h1", kMsgA, 0)}));
    DetachMessage(&h1, win.hwnd(), kMsgA);
    DetachMessage(&h2, win.hwnd(), kMsgA);
    EXPECT_EQ(CurrentProc(), win.ClassProc());
}

TEST_F(SubclassTest, InvalidWindowIsRefused) {
    Handler h("h", mrConsume, 7);
    HWND gone;
    {
        TestWindow w;
        gone = w.hwnd();
    }
    try {
        AttachMessage(&h, gone, kMsgA);
        ADD_FAILURE() << "attach to a destroyed window accepted";
    } catch (const ObjectError& e) {
        EXPECT_EQ(e.Number(), -2147208421);
        EXPECT_EQ(e.Code(), 13083);
        EXPECT_EQ(e.Description(), "Invalid window");
    }
    EXPECT_THROW(AttachMessage(nullptr, win.hwnd(), kMsgA), std::invalid_argument);
    DetachMessage(&h, gone, kMsgA);  // harmless
    EXPECT_TRUE(Properties(win.hwnd()).empty());
}

TEST_F(SubclassTest, HandlerCanPassOnAChangedMessage) {
    Handler h("h", mrConsume, 7);
    h.onMessage = [](HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
        return GSubclass().CallOldWindowProc(hwnd, msg, wParam + 40, lParam) + 1;
    };
    AttachMessage(&h, win.hwnd(), kMsgA);
    EXPECT_EQ(Send(kMsgA, 2), kBaseResult + 42 + 1);
    EXPECT_EQ(CallLog(), Log({Entry("h", kMsgA, 2), Entry("base", kMsgA, 42)}));
    // After the dispatch the values still describe the last message handled.
    EXPECT_EQ(CurrentMessage(), kMsgA);
    EXPECT_EQ(CallOldWindowProc(win.hwnd(), kMsgB, 1, 0), kBaseResult + 1);
    DetachMessage(&h, win.hwnd(), kMsgA);
}

// A handler that sends a message to another subclassed window still sees its own message and
// reaches its own window's previous procedure afterwards.
TEST_F(SubclassTest, NestedDispatchKeepsEachHandlersMessage) {
    TestWindow other(true);
    Handler outer("outer", mrConsume, 0), inner("inner", mrConsume, 0);
    std::vector<UINT> seen;
    inner.onMessage = [&](HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
        seen.push_back(GSubclass().CurrentMessage());
        return CallOldWindowProc(hwnd, msg, wParam, lParam);
    };
    outer.onMessage = [&](HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
        seen.push_back(CurrentMessage());
        const LRESULT nested = SendMessageW(other.hwnd(), kMsgC, 9, 0);
        seen.push_back(CurrentMessage());
        return nested + CallOldWindowProc(hwnd, msg, wParam, lParam);
    };
    AttachMessage(&outer, win.hwnd(), kMsgA);
    AttachMessage(&inner, other.hwnd(), kMsgC);
    EXPECT_EQ(Send(kMsgA, 1), kOtherResult + 9 + kBaseResult + 1);
    EXPECT_EQ(seen, (std::vector<UINT>{kMsgA, kMsgC, kMsgA}));
    EXPECT_EQ(CurrentMessage(), kMsgA);
    EXPECT_EQ(CallLog(), Log({Entry("outer", kMsgA, 1), Entry("inner", kMsgC, 9),
                              Entry("other", kMsgC, 9), Entry("base", kMsgA, 1)}));
    DetachMessage(&inner, other.hwnd(), kMsgC);
    DetachMessage(&outer, win.hwnd(), kMsgA);
}

// The same, when the nested message arrives at the same window and MsgResponse is computed from
// CurrentMessage: the answer after the handler belongs to the outer message.
TEST_F(SubclassTest, ResponseAfterNestedDispatchIsForTheOuterMessage) {
    class ByMessage : public Handler {
      public:
        using Handler::Handler;
        EMsgResponse MsgResponse() override {
            return CurrentMessage() == kMsgA ? mrCallOldAfter : mrConsume;
        }
    } h("h", mrConsume, 5);
    h.onMessage = [](HWND hwnd, UINT msg, WPARAM, LPARAM) -> LRESULT {
        if (msg == kMsgA) SendMessageW(hwnd, kMsgB, 0, 0);
        return 5;
    };
    AttachMessage(&h, win.hwnd(), kMsgA);
    AttachMessage(&h, win.hwnd(), kMsgB);
    EXPECT_EQ(Send(kMsgA, 1), kBaseResult + 1);
    EXPECT_EQ(CallLog(),
              Log({Entry("h", kMsgA, 1), Entry("h", kMsgB, 0), Entry("base", kMsgA, 1)}));
    DetachMessage(&h, win.hwnd(), kMsgA);
    DetachMessage(&h, win.hwnd(), kMsgB);
}

TEST_F(SubclassTest, AHandlerThatThrowsLeavesTheMessageToThePreviousProcedure) {
    Handler h("h", mrConsume, 7);
    h.onMessage = [](HWND, UINT, WPARAM, LPARAM) -> LRESULT { throw std::runtime_error("boom"); };
    AttachMessage(&h, win.hwnd(), kMsgA);
    const int failures = CallbackFailureCount();
    EXPECT_EQ(Send(kMsgA, 3), kBaseResult + 3);  // the program goes on
    EXPECT_EQ(CallbackFailureCount(), failures + 1);
    EXPECT_EQ(CallLog(), Log({Entry("h", kMsgA, 3), Entry("base", kMsgA, 3)}));
    DetachMessage(&h, win.hwnd(), kMsgA);
}

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
    enum Deletion { kFirstItself, kSecondItself, kFirstTheSecond, kPreviousTheFirst } deletion;
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
    constexpr int kCycles = 5000;
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
