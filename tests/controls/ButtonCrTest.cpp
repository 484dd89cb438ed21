// ButtonCr under the mouse and the keyboard: its looks through a click, and what clicks it.
#include <gtest/gtest.h>

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

TEST_F(ButtonCrTest, KeysDoNotClick) {
    SetForegroundWindow(host_);
    SetFocus(button_.hWnd());
    for (WORD vk : {VK_SPACE, VK_RETURN}) {
        Key(vk);
    }
    PumpFor(100);
    // Also keys delivered straight to the window.
    SendMessageW(button_.hWnd(), WM_KEYDOWN, VK_SPACE, 0);
    SendMessageW(button_.hWnd(), WM_KEYUP, VK_SPACE, 0);
    SendMessageW(button_.hWnd(), WM_CHAR, L' ', 0);
    EXPECT_EQ(clicks_, 0);
    EXPECT_EQ(CurrentLook(), Look::Normal);
}

}  // namespace
}  // namespace quenlor::test
