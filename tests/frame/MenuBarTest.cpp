// The bar itself: layout of the top-level popups, the hover look under real pointer moves with its
// timer, the pressed look of an open item, and Alt+letter.
#include <gtest/gtest.h>

#include "tests/frame/MenuBarHost.h"
#include "frame/MenuText.h"
#include "win/MTimer.h"

namespace quenlor::test {
namespace {

int RunningTimers() {
    int n = 0;
    for (int i = 1; i <= MTimer::kSlotCount; ++i) n += MTimer::SlotTimer(i) != nullptr;
    return n;
}

// The item's rectangle in client coordinates of the host.
RECT ClientRect(BarHost& host, int index) {
    RECT rect{};
    host.bar().ItemScreenRect(index, rect);
    MapWindowPoints(nullptr, host.hwnd(), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

// Bounding box of the pixels of `colour` inside `area` of the host's client area.
RECT InkBox(HWND hwnd, const RECT& area, COLORREF colour) {
    RECT box{LONG_MAX, LONG_MAX, LONG_MIN, LONG_MIN};
    HDC dc = GetDC(hwnd);
    for (int y = area.top; y < area.bottom; ++y) {
        for (int x = area.left; x < area.right; ++x) {
            if (GetPixel(dc, x, y) != colour) continue;
            box = {std::min<LONG>(box.left, x), std::min<LONG>(box.top, y),
                   std::max<LONG>(box.right, x + 1), std::max<LONG>(box.bottom, y + 1)};
        }
    }
    ReleaseDC(hwnd, dc);
    return box;
}

COLORREF Pixel(HWND hwnd, int x, int y) {
    HDC dc = GetDC(hwnd);
    const COLORREF c = GetPixel(dc, x, y);
    ReleaseDC(hwnd, dc);
    return c;
}

class MenuBarTest : public ::testing::Test {
  protected:
    void SetUp() override {
        MoveTo(AwayFromBar(host));
        ASSERT_TRUE(PumpUntil([&] { return host.bar().HotItem() <= 0 && RunningTimers() == 0; }));
        host.Repaint();
    }
    BarHost& host = SharedHost();
};

TEST(MenuTextTest, MnemonicIsTheLetterAfterASingleAmpersand) {
    struct Case {
        const wchar_t* text;
        wchar_t mnemonic;
    } const cases[] = {
        {L"&File", L'F'},  {L"E&xit", L'X'}, {L"文件(&F)", L'F'}, {L"Save&", 0}, {L"&&Both", 0},
        {L"A&&B&c", L'C'}, {L"", 0},         {L"plain", 0},
    };
    for (const Case& c : cases) EXPECT_EQ(MnemonicOf(c.text), c.mnemonic) << c.text;
    EXPECT_EQ(SplitMenuText(L"&Open\tCtrl+O").caption, L"&Open");
    EXPECT_EQ(SplitMenuText(L"&Open\tCtrl+O").accelerator, L"Ctrl+O");
    EXPECT_EQ(SplitMenuText(L"a\tb\tc").accelerator, L"b\tc");
}

TEST_F(MenuBarTest, PopupsAreLaidOutFromX8ElevenPixelsApartAndCommandItemsSkipped) {
    cMenuBar& bar = host.bar();
    ASSERT_EQ(bar.ItemCount(), 3);
    EXPECT_EQ(bar.ItemSubMenu(1), host.file());
    EXPECT_EQ(bar.ItemSubMenu(2), host.edit()) << "the command item Go is not a bar item";
    EXPECT_EQ(bar.ItemSubMenu(3), host.help());
    EXPECT_EQ(bar.ItemSubMenu(0), nullptr);
    EXPECT_EQ(bar.ItemSubMenu(4), nullptr);
    RECT untouched{1, 2, 3, 4};
    EXPECT_FALSE(bar.ItemScreenRect(4, untouched));
    EXPECT_EQ(untouched.right, 3);

    HDC dc = GetDC(host.hwnd());
    SelectObject(dc, host.barFont());
    int x = 8;
    for (int i = 1; i <= 3; ++i) {
        const wchar_t* texts[] = {L"&File", L"&Edit", L"&Help"};
        SCOPED_TRACE(i);
        RECT text{0, 0, 0, kBandHeight};
        DrawTextW(dc, texts[i - 1], -1, &text, DT_CALCRECT);
        const RECT r = ClientRect(host, i);
        EXPECT_EQ(r.left, x - 2);
        EXPECT_EQ(r.top, kBandTop);
        EXPECT_EQ(r.right - r.left, text.right + 4);
        EXPECT_EQ(r.bottom - r.top, text.bottom + 4);
        // Flat look: text in ActiveMenuColor, no frame.
        EXPECT_GT(CountColour(dc, r, kActive), 0);
        EXPECT_EQ(CountColour(dc, r, kActiveOver), 0);
        EXPECT_EQ(GetPixel(dc, r.left, r.top), kBand);
        EXPECT_EQ(bar.ItemFromPoint(ItemCentre(bar, i)), i);
        x += text.right + 11;
    }
    ReleaseDC(host.hwnd(), dc);
    POINT past = ItemCentre(bar, 3);
    past.x += 100;  // still in the band, right of the last item
    EXPECT_EQ(bar.ItemFromPoint(past), 0);
}

TEST_F(MenuBarTest, HoverRaisesTheItemUnderThePointerUntilItLeavesTheBar) {
    cMenuBar& bar = host.bar();
    MoveTo(ItemCentre(bar, 2));
    ASSERT_TRUE(PumpUntil([&] { return bar.HotItem() == 2; }));
    PumpFor(60);
    const RECT hot = ClientRect(host, 2), flat = ClientRect(host, 1);
    HDC dc = GetDC(host.hwnd());
    EXPECT_GT(CountColour(dc, hot, kActiveOver), 0);
    EXPECT_EQ(CountColour(dc, hot, kActive), 0);
    EXPECT_EQ(GetPixel(dc, hot.left, hot.top), GetSysColor(COLOR_BTNHIGHLIGHT)) << "raised";
    EXPECT_EQ(GetPixel(dc, hot.right - 1, hot.bottom - 1), GetSysColor(COLOR_BTNSHADOW));
    EXPECT_GT(CountColour(dc, flat, kActive), 0);
    EXPECT_EQ(GetPixel(dc, flat.left, flat.top), kBand);
    ReleaseDC(host.hwnd(), dc);
    EXPECT_EQ(RunningTimers(), 1) << "the hover timer polls while an item is hot";

    // Off the window no mouse message arrives: the timer notices, clears the look and stops.
    MoveTo(AwayFromBar(host));
    EXPECT_TRUE(PumpUntil([&] { return bar.HotItem() == 0; }, 1000));
    EXPECT_EQ(Pixel(host.hwnd(), hot.left, hot.top), kBand);
    EXPECT_TRUE(PumpUntil([&] { return RunningTimers() == 0; }, 1000));
}

TEST_F(MenuBarTest, ClickedItemIsSunkenWithItsTextShiftedWhileItsPopupIsOpen) {
    cMenuBar& bar = host.bar();
    const RECT r = ClientRect(host, 1);
    const RECT flatText = InkBox(host.hwnd(), r, kActive);
    RECT pressedText{};
    COLORREF topLeft = 0;
    Script script({{"file popup open", Settled({host.file()}), [&] {
                        pressedText = InkBox(host.hwnd(), r, kActiveOver);
                        topLeft = Pixel(host.hwnd(), r.left, r.top);
                        Key(VK_ESCAPE);  // to the bar item
                        Key(VK_ESCAPE);  // out of menu mode
                    }}});
    MoveTo(ItemCentre(bar, 1));
    ASSERT_TRUE(PumpUntil([&] { return bar.HotItem() == 1; }));
    Click();
    EXPECT_TRUE(PumpUntil([&] { return script.Done() && OpenPopups().empty(); }));
    EXPECT_TRUE(script.failures().empty()) << script.failures().front();
    EXPECT_EQ(topLeft, GetSysColor(COLOR_BTNSHADOW)) << "sunken";
    EXPECT_EQ(pressedText.left, flatText.left + 1);
    EXPECT_EQ(pressedText.top, flatText.top + 1);
    EXPECT_EQ(bar.OpenItem(), -1);
}

TEST_F(MenuBarTest, AltLetterOpensThePopupWithThatMnemonic) {
    cMenuBar& bar = host.bar();
    EXPECT_FALSE(bar.OpenByMnemonic('X'));
    EXPECT_TRUE(OpenPopups().empty());
    Script script({{"edit popup open", Settled({host.edit()}), [] {
                        Key(VK_ESCAPE);
                        Key(VK_ESCAPE);
                    }}});
    EXPECT_TRUE(bar.OpenByMnemonic('E'));
    EXPECT_TRUE(script.Done());
    EXPECT_TRUE(script.failures().empty()) << script.failures().front();
    EXPECT_TRUE(OpenPopups().empty());
}

// Attaching a bar takes no system-wide window-update lock, so one held elsewhere stays held.
TEST_F(MenuBarTest, AttachingLeavesAWindowUpdateLockHeldElsewhereAlone) {
    const HWND other = CreateWindowExW(0, L"STATIC", L"", WS_CHILD, 0, 0, 10, 10, host.hwnd(),
                                       nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_TRUE(LockWindowUpdate(other));
    {
        cMenuBar bar;
        bar.Attach(host.hwnd());
    }
    EXPECT_FALSE(LockWindowUpdate(host.hwnd())) << "the other window's lock was released";
    LockWindowUpdate(nullptr);
    DestroyWindow(other);
}

}  // namespace
}  // namespace quenlor::test
