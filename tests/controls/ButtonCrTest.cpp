// ButtonCr under the mouse and the keyboard: its looks through a click, and what clicks it.
#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "tests/controls/ButtonCrFixture.h"

namespace quenlor::test {
namespace {

TEST_F(ButtonCrTest, LooksFollowTheMouseThroughAClick) {
    EXPECT_EQ(CurrentLook(), Look::Normal);
    MoveTo(Inside());
    EXPECT_TRUE(LooksSoon(Look::Hover));
    Press();
    EXPECT_TRUE(LooksSoon(Look::Pressed));
    EXPECT_EQ(clicks_, 0);
    Release();
    EXPECT_EQ(clicks_, 1);
    // Releasing the capture makes the system send a move, which brings the hover look back.
    MoveTo(Inside(3));
    EXPECT_TRUE(LooksSoon(Look::Hover));
    MoveTo(Outside());
    EXPECT_TRUE(LooksSoon(Look::Normal, 500)) << "the hover timer notices the cursor outside";
    EXPECT_EQ(clicks_, 1);
}

TEST_F(ButtonCrTest, ClickFiresOnReleaseOffTheButtonAndNotWithoutAPressOnIt) {
    MoveTo(Inside());
    Press();
    EXPECT_TRUE(LooksSoon(Look::Pressed));
    MoveTo(Outside());
    EXPECT_TRUE(LooksSoon(Look::Normal, 500)) << "cursor outside while held";
    EXPECT_EQ(GetCapture(), button_.hWnd());
    Release();
    EXPECT_EQ(clicks_, 1);
    EXPECT_EQ(GetCapture(), nullptr);

    // Pressed on the host, released over the button: not a click of the button.
    Press();
    MoveTo(Inside());
    Release();
    EXPECT_EQ(clicks_, 1);
}

TEST_F(ButtonCrTest, RightButtonNeitherChangesTheLookNorClicks) {
    MoveTo(Inside());
    ASSERT_TRUE(LooksSoon(Look::Hover));
    SendMouse(MOUSEEVENTF_RIGHTDOWN);
    PumpFor(100);
    EXPECT_EQ(CurrentLook(), Look::Hover);
    EXPECT_NE(GetCapture(), button_.hWnd());
    SendMouse(MOUSEEVENTF_RIGHTUP);
    PumpFor(100);
    EXPECT_EQ(CurrentLook(), Look::Hover);
    EXPECT_EQ(clicks_, 0);
}

TEST_F(ButtonCrTest, SpaceAndEnterClickOnlyTheFocusedButton) {
    SetForegroundWindow(host_);
    using Step = std::pair<UINT, WPARAM>;  // a message and its key
    const Step kSpaceDown{WM_KEYDOWN, VK_SPACE}, kSpaceUp{WM_KEYUP, VK_SPACE};
    struct Case {
        const char* name;
        std::vector<Step> steps;
        int clicks;
        Look look;
    };
    const Case cases[] = {
        {"Space pressed and released", {kSpaceDown, kSpaceUp}, 1, Look::Normal},
        {"Space held", {kSpaceDown}, 0, Look::Pressed},
        {"Enter", {{WM_KEYDOWN, VK_RETURN}}, 1, Look::Normal},
        {"Space released without its press", {kSpaceUp}, 0, Look::Normal},
        {"focus lost mid-press", {kSpaceDown, {WM_KILLFOCUS, 0}, kSpaceUp}, 0, Look::Normal},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        clicks_ = 0;
        SetFocus(button_.hWnd());
        for (const auto& [message, key] : c.steps)
            SendMessageW(button_.hWnd(), message, key, message == WM_KEYUP ? 0xC0000001 : 1);
        EXPECT_EQ(clicks_, c.clicks);
        EXPECT_EQ(CurrentLook(), c.look);
        SendMessageW(button_.hWnd(), WM_KILLFOCUS, 0, 0);  // ends a held Space
    }
}

}  // namespace
}  // namespace quenlor::test
