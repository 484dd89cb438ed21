// Subclassing on real windows: dispatch order and results, the property bookkeeping, the errors
// and nested dispatch.
#include <stdexcept>

#include "tests/win/SubclassFixture.h"
#include "win/CallbackBarrier.h"
#include "win/GSubclass.h"
#include "win/ObjectError.h"

namespace quenlor {
namespace {

using namespace quenlor::test;

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

}  // namespace
}  // namespace quenlor
