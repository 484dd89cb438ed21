// The caption layout against the worked example of the design (a 400-pixel window with the main
// window's skin numbers) and its variants, and the Alt-key filter of the keyboard hook.
#include <gtest/gtest.h>

#include <vector>

#include "frame/CaptionLayout.h"
#include "frame/NCKeyboardHook.h"

namespace quenlor {
namespace {

constexpr SkinMetrics kMainSkin = {48, 10, 19, 20, 90, 140, 240, 400};
constexpr DWORD kAllButtons = WS_SYSMENU | WS_MAXIMIZEBOX | WS_MINIMIZEBOX;

struct ButtonCase {
    bool present;
    RECT rect;
    int32_t sourceX;
    UINT command;
};

struct LayoutCase {
    const char* name;
    int32_t width, height;
    DWORD style;
    bool active;
    int32_t cw, xr;
    bool narrow;
    ButtonCase close, max, min;
    std::vector<std::pair<int32_t, int32_t>> middle;  // x, width
    RECT title;
    int32_t menuLeft, menuTop, menuWidth, menuHeight, menuOffset;
    int32_t sourceOffset, bottomY;
};

const LayoutCase kLayouts[] = {
    {"worked example, 400 wide",
     400,
     300,
     kAllButtons,
     true,
     101,
     300,
     false,
     {true, {375, 5, 395, 25}, 241, SC_CLOSE},
     {true, {355, 5, 375, 25}, 278, SC_MAXIMIZE},
     {true, {335, 5, 355, 25}, 297, SC_MINIMIZE},
     {{90, 52}, {142, 52}, {194, 52}, {246, 52}, {298, 2}},
     {92, 11, 304, 29},
     80,
     24,
     210,
     24,
     -22,
     0,
     290},
    {"inactive: band from x + 400",
     400,
     300,
     kAllButtons,
     false,
     101,
     300,
     false,
     {true, {375, 5, 395, 25}, 241, SC_CLOSE},
     {true, {355, 5, 375, 25}, 278, SC_MAXIMIZE},
     {true, {335, 5, 355, 25}, 297, SC_MINIMIZE},
     {{90, 52}, {142, 52}, {194, 52}, {246, 52}, {298, 2}},
     {92, 11, 304, 29},
     80,
     24,
     210,
     24,
     -22,
     400,
     290},
    {"maximised: restore image and command",
     400,
     300,
     kAllButtons | WS_MAXIMIZE,
     true,
     101,
     300,
     false,
     {true, {375, 5, 395, 25}, 241, SC_CLOSE},
     {true, {355, 5, 375, 25}, 259, SC_RESTORE},
     {true, {335, 5, 355, 25}, 297, SC_MINIMIZE},
     {{90, 52}, {142, 52}, {194, 52}, {246, 52}, {298, 2}},
     {92, 11, 304, 29},
     80,
     24,
     210,
     24,
     -22,
     0,
     290},
    {"no maximise box: minimise next to close",
     400,
     300,
     WS_SYSMENU | WS_MINIMIZEBOX,
     true,
     101,
     300,
     false,
     {true, {375, 5, 395, 25}, 241, SC_CLOSE},
     {false, {}, 0, 0},
     {true, {355, 5, 375, 25}, 297, SC_MINIMIZE},
     {{90, 52}, {142, 52}, {194, 52}, {246, 52}, {298, 2}},
     {92, 11, 304, 29},
     80,
     24,
     210,
     24,
     -22,
     0,
     290},
    {"no system menu: no close button",
     400,
     300,
     WS_MAXIMIZEBOX | WS_MINIMIZEBOX,
     true,
     101,
     300,
     false,
     {false, {}, 0, 0},
     {true, {375, 5, 395, 25}, 278, SC_MAXIMIZE},
     {true, {355, 5, 375, 25}, 297, SC_MINIMIZE},
     {{90, 52}, {142, 52}, {194, 52}, {246, 52}, {298, 2}},
     {92, 11, 304, 29},
     80,
     24,
     210,
     24,
     -22,
     0,
     290},
    {"main window, 437 x 416",
     437,
     416,
     WS_SYSMENU | WS_MINIMIZEBOX,
     true,
     101,
     337,
     false,
     {true, {412, 5, 432, 25}, 241, SC_CLOSE},
     {false, {}, 0, 0},
     {true, {392, 5, 412, 25}, 297, SC_MINIMIZE},
     {{90, 52}, {142, 52}, {194, 52}, {246, 52}, {298, 39}},
     {92, 11, 341, 29},
     80,
     24,
     247,
     24,
     -22,
     0,
     406},
    {"narrow: right end at cw, no title",
     150,
     60,
     kAllButtons,
     true,
     101,
     101,
     true,
     {true, {176, 5, 196, 25}, 241, SC_CLOSE},
     {true, {156, 5, 176, 25}, 278, SC_MAXIMIZE},
     {true, {136, 5, 156, 25}, 297, SC_MINIMIZE},
     {{90, 11}},
     {92, 11, 54, 29},
     80,
     24,
     11,
     24,
     -22,
     0,
     50},
    {"shorter than the caption: bottom row not above it",
     300,
     40,
     kAllButtons,
     true,
     101,
     200,
     false,
     {true, {275, 5, 295, 25}, 241, SC_CLOSE},
     {true, {255, 5, 275, 25}, 278, SC_MAXIMIZE},
     {true, {235, 5, 255, 25}, 297, SC_MINIMIZE},
     {{90, 52}, {142, 52}, {194, 6}},
     {92, 11, 204, 29},
     80,
     24,
     110,
     24,
     -22,
     0,
     48},
};

void ExpectButton(const CaptionLayout::Button& actual, const ButtonCase& expected,
                  const char* which) {
    SCOPED_TRACE(which);
    ASSERT_EQ(actual.present, expected.present);
    if (!expected.present) return;
    EXPECT_TRUE(EqualRect(&actual.rect, &expected.rect))
        << actual.rect.left << "," << actual.rect.top << "," << actual.rect.right << ","
        << actual.rect.bottom;
    EXPECT_EQ(actual.sourceX, expected.sourceX);
    EXPECT_EQ(actual.command, expected.command);
}

TEST(CaptionLayout, MatchesTheWorkedExampleAndItsVariants) {
    for (const LayoutCase& c : kLayouts) {
        SCOPED_TRACE(c.name);
        const CaptionLayout l =
            ComputeCaptionLayout(kMainSkin, c.width, c.height, c.style, c.active);
        EXPECT_EQ(l.cw, c.cw);
        EXPECT_EQ(l.xr, c.xr);
        EXPECT_EQ(l.narrow, c.narrow);
        EXPECT_EQ(l.sourceOffset, c.sourceOffset);
        ExpectButton(l.buttons[kCloseButton], c.close, "close");
        ExpectButton(l.buttons[kMaxButton], c.max, "maximise");
        ExpectButton(l.buttons[kMinButton], c.min, "minimise");
        std::vector<std::pair<int32_t, int32_t>> middle;
        for (const auto& piece : l.middle) middle.emplace_back(piece.x, piece.width);
        EXPECT_EQ(middle, c.middle);
        EXPECT_TRUE(EqualRect(&l.title, &c.title));
        EXPECT_EQ(l.menu.left, c.menuLeft);
        EXPECT_EQ(l.menu.top, c.menuTop);
        EXPECT_EQ(l.menu.width, c.menuWidth);
        EXPECT_EQ(l.menu.height, c.menuHeight);
        EXPECT_EQ(l.menu.yOffset, c.menuOffset);
        EXPECT_EQ(l.sideTop, 48);
        EXPECT_EQ(l.bottomY, c.bottomY);
    }
}

TEST(KeyboardHook, OffersOnlyAltLetterPressesToThePainter) {
    constexpr LPARAM kAlt = 1 << 29, kUp = static_cast<LPARAM>(0x80000000u);
    struct Case {
        const char* name;
        WPARAM key;
        LPARAM flags;
        bool ctrl, offered;
    } cases[] = {
        {"Alt+F", 'F', kAlt, false, true},
        {"Alt+H", 'H', kAlt, false, true},
        {"F without Alt", 'F', 0, false, false},
        {"Alt+F released", 'F', kAlt | kUp, false, false},
        {"Ctrl+Alt+F", 'F', kAlt, true, false},
        {"lone Alt", VK_MENU, kAlt, false, false},
        {"Alt+F4", VK_F4, kAlt, false, false},
        {"Alt+F1", VK_F1, kAlt, false, false},
        {"Alt+F12", VK_F12, kAlt, false, false},
        {"Alt+Esc", VK_ESCAPE, kAlt, false, false},
        {"Alt+Delete", VK_DELETE, kAlt, false, false},
        {"no key", 0, kAlt, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(NCKeyboardHook::IsAltKeyForPainter(c.key, c.flags, c.ctrl), c.offered);
    }
}

}  // namespace
}  // namespace quenlor
