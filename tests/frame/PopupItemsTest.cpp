// Owner-drawn popup items: sizes and pixels of items prepared and drawn through the host's
// messages, a mnemonic inside an open popup, and every item put back on each way a popup closes.
#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>

#include "tests/frame/MenuBarHost.h"
#include "frame/StdFont.h"
#include "frame/cToolbarMenu.h"
#include "frame/CaptionLayout.h"
#include "win/CallbackBarrier.h"
#include "win/MemorySurface.h"

namespace quenlor::test {
namespace {

struct ItemState {
    UINT type, id;
    ULONG_PTR data;
    std::wstring text;
    bool operator==(const ItemState& o) const {
        return std::tie(type, id, data, text) == std::tie(o.type, o.id, o.data, o.text);
    }
};

std::vector<ItemState> Items(HMENU popup) {
    std::vector<ItemState> items;
    for (int p = 0; p < GetMenuItemCount(popup); ++p) {
        wchar_t text[256] = {};
        MENUITEMINFOW info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_FTYPE | MIIM_ID | MIIM_DATA | MIIM_STRING;
        info.dwTypeData = text;
        info.cch = 256;
        GetMenuItemInfoW(popup, p, TRUE, &info);
        items.push_back({info.fType, info.wID, info.dwItemData, text});
    }
    return items;
}

std::vector<ItemState> AllItems(BarHost& host) {
    std::vector<ItemState> all;
    for (HMENU popup : {host.file(), host.sub(), host.edit(), host.help()}) {
        const std::vector<ItemState> items = Items(popup);
        all.insert(all.end(), items.begin(), items.end());
    }
    return all;
}

// Widest text + 1 in the menu font, as the popup's columns are measured.
int Widest(std::initializer_list<const wchar_t*> texts, int* height = nullptr) {
    StdFont font;
    MemorySurface surface;
    surface.Resize(0, 0);
    const SelectScope selected(surface.dc(), font.hFont());
    int widest = 0;
    for (const wchar_t* text : texts) {
        RECT r{};
        DrawTextW(surface.dc(), text, -1, &r, DT_CALCRECT | DT_SINGLELINE);
        widest = std::max<int>(widest, r.right + 1);
        if (height) *height = r.bottom + 1;
    }
    return widest;
}

// An item of a prepared popup drawn into a surface of its own, through the host window.
class DrawnItem {
  public:
    DrawnItem(BarHost& host, HMENU popup, int position, UINT state, int w = 140, int h = 20) {
        surface_.Resize(w + 2, h + 2);  // the item is drawn one pixel larger than its rectangle
        MENUITEMINFOW info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_ID | MIIM_DATA;
        GetMenuItemInfoW(popup, position, TRUE, &info);
        DRAWITEMSTRUCT draw{ODT_MENU,       0,
                            info.wID,       ODA_DRAWENTIRE,
                            state,          reinterpret_cast<HWND>(popup),
                            surface_.dc(),  RECT{0, 0, w, h},
                            info.dwItemData};
        SendMessageW(host.hwnd(), WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&draw));
        area_ = {0, 0, w, h};
    }
    COLORREF At(int x, int y) const { return GetPixel(surface_.dc(), x, y); }
    int Count(COLORREF colour) const { return CountColour(surface_.dc(), area_, colour); }
    // Pixels other than the background in `area`: the ink of text and glyphs.
    std::vector<POINT> Ink(RECT area) const {
        std::vector<POINT> ink;
        for (int y = area.top; y < area.bottom; ++y) {
            for (int x = area.left; x < area.right; ++x) {
                if (At(x, y) != kBackground) ink.push_back({x, y});
            }
        }
        return ink;
    }

    // Width and height of the `colour` pixels in `area`.
    SIZE Size(RECT area, COLORREF colour) const {
        int x0 = area.right, y0 = area.bottom, x1 = area.left, y1 = area.top;
        for (POINT p : Ink(area)) {
            if (At(p.x, p.y) != colour) continue;
            x0 = std::min<int>(x0, p.x), y0 = std::min<int>(y0, p.y);
            x1 = std::max<int>(x1, p.x + 1), y1 = std::max<int>(y1, p.y + 1);
        }
        return {std::max(0, x1 - x0), std::max(0, y1 - y0)};
    }
    // Whether the item stays as drawn when the menu paints over it (as with its own arrow).
    bool KeptWhole() {
        const GdiHandle<HBRUSH> foreign(CreateSolidBrush(RGB(0, 255, 0)));
        FillRect(surface_.dc(), &area_, foreign.get());
        return Count(RGB(0, 255, 0)) == 0;
    }

  private:
    MemorySurface surface_;
    RECT area_;
};

class PopupItemsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        host.bar().PreparePopup(host.file());
        host.bar().PreparePopup(host.edit());
    }
    void TearDown() override { host.bar().RestorePopups(); }

    MEASUREITEMSTRUCT Measure(HMENU popup, int position) {
        MENUITEMINFOW info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_ID | MIIM_DATA;
        GetMenuItemInfoW(popup, position, TRUE, &info);
        MEASUREITEMSTRUCT measure{ODT_MENU, 0, info.wID, 0, 0, info.dwItemData};
        SendMessageW(host.hwnd(), WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&measure));
        return measure;
    }

    BarHost& host = SharedHost();
};

TEST_F(PopupItemsTest, WidthsFollowTheCaptionAndAcceleratorColumns) {
    int textHeight = 0;
    const int captions =
        Widest({L"&Open", L"Sub&menu", L"&Check", L"&Radio", L"&Disabled", L"E&xit"}, &textHeight);
    const int accelerators = Widest({L"Ctrl+O"});
    // Caption column at 24, accelerator column 18 after the widest caption, 6 px margin.
    const UINT withAccelerators = 24 + captions + 18 + accelerators + 6;
    struct Case {
        const char* name;
        HMENU popup;
        int position;
        UINT width, height;
    } const cases[] = {
        {"item with an accelerator", host.file(), 0, withAccelerators, UINT(textHeight + 8)},
        {"item of the same popup without one", host.file(), 6, withAccelerators,
         UINT(textHeight + 8)},
        {"separator", host.file(), 2, withAccelerators, 6},
        {"popup without accelerators", host.edit(), 1, UINT(Widest({L"&Copy", L"&Paste"}) + 30),
         UINT(textHeight + 8)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const MEASUREITEMSTRUCT m = Measure(c.popup, c.position);
        EXPECT_EQ(m.itemWidth, c.width);
        EXPECT_EQ(m.itemHeight, c.height);
    }
}

TEST_F(PopupItemsTest, ColumnsSeparatorGlyphsAndLooksByPixels) {
    const COLORREF light = GetSysColor(COLOR_BTNHIGHLIGHT), dark = GetSysColor(COLOR_BTNSHADOW);
    {
        SCOPED_TRACE("caption at x = 24, accelerator at 24 + widest caption + 18");
        const int captions =
            Widest({L"&Open", L"Sub&menu", L"&Check", L"&Radio", L"&Disabled", L"E&xit"});
        const DrawnItem open(host, host.file(), 0, 0);
        EXPECT_TRUE(open.Ink({0, 0, 24, 20}).empty());
        EXPECT_FALSE(open.Ink({24, 0, 27, 20}).empty());
        EXPECT_TRUE(open.Ink({24 + captions, 0, 24 + captions + 18, 20}).empty());
        EXPECT_FALSE(open.Ink({24 + captions + 18, 0, 24 + captions + 21, 20}).empty());
        EXPECT_GT(open.Count(kActive), 0);
    }
    {
        SCOPED_TRACE("separator: etched line across the middle, 8 px short of both edges");
        const DrawnItem line(host, host.file(), 2, 0, 100, 6);
        for (int x : {8, 50, 91}) {
            EXPECT_EQ(line.At(x, 2), dark) << x;
            EXPECT_EQ(line.At(x, 3), light) << x;
        }
        for (POINT p : {POINT{7, 2}, POINT{92, 3}, POINT{50, 1}, POINT{50, 4}}) {
            EXPECT_EQ(line.At(p.x, p.y), kBackground) << p.x << "," << p.y;
        }
    }
    {
        SCOPED_TRACE("check mark and radio dot from Marlett in a sunken square");
        const RECT inside{7, 5, 18, 15};  // the box (6, 4)-(19, 16) without its edge
        const DrawnItem check(host, host.file(), 3, ODS_CHECKED);
        const DrawnItem radio(host, host.file(), 4, ODS_CHECKED);
        EXPECT_EQ(check.At(6, 4), dark);
        EXPECT_EQ(check.At(18, 15), light);
        const std::vector<POINT> mark = check.Ink(inside), dot = radio.Ink(inside);
        ASSERT_FALSE(mark.empty());
        ASSERT_FALSE(dot.empty());
        // A check mark rises to the right: its top ink lies right of its bottom ink (a letter
        // "b" of a stand-in font has its stem top left).
        auto byY = [](POINT a, POINT b) { return a.y < b.y; };
        const POINT top = *std::min_element(mark.begin(), mark.end(), byY);
        const POINT bottom = *std::max_element(mark.begin(), mark.end(), byY);
        EXPECT_GT(top.x, bottom.x + 2);
        // The radio dot is a round blob: as wide as high and centred in the box.
        RECT box{LONG_MAX, LONG_MAX, LONG_MIN, LONG_MIN};
        for (POINT p : dot) {
            box = {std::min(box.left, p.x), std::min(box.top, p.y), std::max(box.right, p.x + 1),
                   std::max(box.bottom, p.y + 1)};
        }
        EXPECT_LE(std::abs((box.right - box.left) - (box.bottom - box.top)), 1);
        EXPECT_LE(std::abs((box.left - inside.left) - (inside.right - box.right)), 1);
        EXPECT_LE(box.bottom - box.top, 7);
    }
    {
        SCOPED_TRACE("highlighted: raised frame, ActiveMenuColorOver");
        const DrawnItem exit(host, host.file(), 6, ODS_SELECTED);
        EXPECT_EQ(exit.At(2, 0), light);
        EXPECT_EQ(exit.At(137, 19), dark);
        EXPECT_GT(exit.Count(kActiveOver), 0);
        EXPECT_EQ(exit.Count(kActive), 0);
    }
    {
        SCOPED_TRACE("disabled and highlighted: no frame, embossed text");
        const DrawnItem disabled(host, host.file(), 5, ODS_SELECTED | ODS_GRAYED | ODS_DISABLED);
        EXPECT_EQ(disabled.At(2, 0), kBackground);
        EXPECT_EQ(disabled.At(2, 10), kBackground);
        EXPECT_EQ(disabled.Count(kActiveOver), 0);
        int embossed = 0;
        for (POINT p : disabled.Ink({24, 0, 140, 20})) {
            embossed += disabled.At(p.x, p.y) == dark && disabled.At(p.x + 1, p.y + 1) == light;
        }
        EXPECT_GT(embossed, 3);
    }
}

// The check mark and the submenu arrow grow with the resolution, and nothing of the menu's own is
// drawn over the highlighted submenu item.
TEST_F(PopupItemsTest, MarksGrowWithTheResolution) {
    SIZE mark96{}, arrow96{};
    for (int dpi : {96, 120, 144, 192}) {
        SCOPED_TRACE(dpi);
        host.bar().Metrics(ComputeMenuMetrics(dpi));
        const int w = 140 * dpi / 96, h = 20 * dpi / 96, left = 24 * dpi / 96;
        DrawnItem check(host, host.file(), 3, ODS_CHECKED, w, h);
        DrawnItem sub(host, host.file(), 1, ODS_SELECTED, w, h);
        const SIZE mark = check.Size({0, 0, left, h}, kActive);
        const SIZE arrow = sub.Size({w - left, 0, w, h}, kActiveOver);
        if (dpi == 96) mark96 = mark, arrow96 = arrow;
        EXPECT_GE(mark.cx, std::max<LONG>(4, mark96.cx * dpi / 96 - 1));
        EXPECT_GE(arrow.cy, std::max<LONG>(5, arrow96.cy * dpi / 96 - 1));
        EXPECT_TRUE(sub.KeptWhole());
    }
    host.bar().Metrics(ComputeMenuMetrics(96));
}

TEST(PopupItemsMenuTest, MnemonicLetterExecutesItsItem) {
    BarHost& host = SharedHost();
    host.commands.clear();
    {
        Script script({{"file", Settled({host.file()}), [] { Key('Q'); }},
                       {"no match keeps it open", Settled({host.file()}), [] { Key('C'); }}});
        EXPECT_TRUE(host.bar().OpenByMnemonic('F'));
        EXPECT_TRUE(script.Done());
        EXPECT_TRUE(script.failures().empty()) << script.failures().front();
    }
    PumpFor(100);
    EXPECT_EQ(host.commands, std::vector<UINT>{kCheck});
}

TEST_F(PopupItemsTest, LongEmptyAndTrailingAmpersandTextsComeBackWhole) {
    const std::wstring longText = std::wstring(300, L'w') + L"&\t" + std::wstring(150, L'k');
    HMENU popup = CreatePopupMenu();
    AppendMenuW(popup, MF_STRING, 1, longText.c_str());
    AppendMenuW(popup, MF_STRING, 2, L"");
    AppendMenuW(popup, MF_STRING, 3, L"End&");
    const std::vector<ItemState> before = Items(popup);
    host.bar().PreparePopup(popup);
    const std::wstring caption = longText.substr(0, 301), accelerator = longText.substr(302);
    EXPECT_EQ(Measure(popup, 1).itemWidth,
              UINT(24 + Widest({caption.c_str()}) + 18 + Widest({accelerator.c_str()}) + 6));
    for (wchar_t letter : {L'W', L'K', L'E'}) {  // no "&" is followed by a letter
        EXPECT_EQ(SendMessageW(host.hwnd(), WM_MENUCHAR, MAKEWPARAM(letter, MF_POPUP),
                               reinterpret_cast<LPARAM>(popup)),
                  0);
    }
    host.bar().RestorePopups();
    EXPECT_TRUE(Items(popup) == before);
    EXPECT_EQ(GetMenuStringW(popup, 0, nullptr, 0, MF_BYPOSITION), int(longText.size()));
    DestroyMenu(popup);
}

// Every way a popup closes puts every item back as it was, and leaves no hook behind.
TEST(PopupItemsMenuTest, EveryItemIsPutBackWhicheverWayThePopupCloses) {
    struct Case {
        const char* name;
        bool ownHost;  // the host window goes away
        std::function<void(BarHost&)> close;
    } const cases[] = {
        {"escape", false,
         [](BarHost&) {
             Key(VK_ESCAPE);  // the submenu
             Key(VK_ESCAPE);  // the popup, to its bar item
             Key(VK_ESCAPE);  // menu mode
         }},
        {"WM_CANCELMODE", false, [](BarHost& h) { SendMessageW(h.hwnd(), WM_CANCELMODE, 0, 0); }},
        {"click elsewhere", false,
         [](BarHost& h) {
             MoveTo(AwayFromBar(h));
             Click();
         }},
        {"window destroyed with its bar", true, [](BarHost& h) { DestroyWindow(h.hwnd()); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::unique_ptr<BarHost> own;
        if (c.ownHost) {
            own = std::make_unique<BarHost>();
            own->deleteBarOnDestroy = true;
        }
        BarHost& host = own ? *own : SharedHost();
        MoveTo(AwayFromBar(host));  // a pointer resting on the popup would move its selection
        PumpFor(100);
        const std::vector<ItemState> before = AllItems(host);
        bool switched = false;
        Script script({{"file", Settled({host.file()}),
                        [] {
                            // Opened from the keyboard: its first item is already selected.
                            Key(VK_DOWN);
                            Key(VK_RIGHT);
                        }},
                       {"submenu", Settled({host.file(), host.sub()}), [&] {
                            switched = (Items(host.sub())[0].type & MFT_OWNERDRAW) &&
                                       (Items(host.file())[0].type & MFT_OWNERDRAW);
                            c.close(host);
                        }}});
        if (own) host.Repaint();
        EXPECT_TRUE(host.bar().OpenByMnemonic('F'));
        EXPECT_TRUE(PumpUntil([&] { return script.Done() && OpenPopups().empty(); }));
        EXPECT_TRUE(script.failures().empty()) << script.failures().front();
        EXPECT_TRUE(switched) << "the items were owner-drawn while shown";
        EXPECT_TRUE(AllItems(host) == before);
        EXPECT_FALSE(MenuHook::Installed());
        EXPECT_EQ(CallbackFailureCount(), 0) << LastCallbackFailure();
    }
}

}  // namespace
}  // namespace quenlor::test
