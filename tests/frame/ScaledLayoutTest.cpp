// The caption layout at 100, 125, 150 and 200 %: the design's worked example (a 400 x 300 window
// with the main window's skin) seen at each scale, where every piece sits where a person would
// look for it, whole pixels allowed; and which drawn skin serves which screen.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

#include "tests/support/Dib.h"
#include "frame/CaptionLayout.h"
#include "frame/SkinPicture.h"

namespace quenlor {
namespace {

constexpr SkinMetrics kMainSkin = {48, 10, 19, 20, 90, 140, 240, 400};
constexpr DWORD kAllButtons = WS_SYSMENU | WS_MAXIMIZEBOX | WS_MINIMIZEBOX;

struct ScaleCase {
    const char* name;
    int32_t dpi;
    int32_t captionHeight, borderSize;  // the pictures drawn for this scale
} const kScales[] = {
    {"100 %", 96, 48, 10},
    {"125 %", 120, 60, 13},
    {"150 %", 144, 72, 15},
    {"200 %", 192, 96, 20},
};

TEST(ScaledCaptionLayout, TheWorkedExampleAtEachScale) {
    for (const ScaleCase& c : kScales) {
        SCOPED_TRACE(c.name);
        const SkinMetrics skin = ScaleSkin(kMainSkin, c.dpi);
        EXPECT_EQ(skin.captionHeight, c.captionHeight);
        EXPECT_EQ(skin.borderSize, c.borderSize);
        const int32_t width = 400 * c.dpi / 96, height = 300 * c.dpi / 96;
        const CaptionLayout l = ComputeCaptionLayout(skin, width, height, kAllButtons, true);
        // A distance of the worked example at 96 DPI, seen here: within a pixel of dpi / 96 times.
        const auto scaled = [&](int32_t actual, double at96, const char* what) {
            EXPECT_LE(std::abs(actual - at96 * c.dpi / 96), 1.0) << what << ": " << actual;
        };
        const RECT &title = l.title, &icon = l.iconArea;
        const struct {
            const char* what;
            int32_t actual;
            double at96;
        } distances[] = {
            {"right end", l.xr, 300},
            {"close button's right", l.buttons[kCloseButton].rect.right, 395},
            {"title left", title.left, 92},
            {"title top", title.top, 11},
            {"title right", title.right, 304},
            {"title bottom", title.bottom, 29},
            {"icon left", icon.left, 12},
            {"icon top", icon.top, 11},
            {"icon right", icon.right, 42},
            {"icon bottom", icon.bottom, 43},
            {"middle start", l.middle.at(0).x, 90},
            {"menu left", l.menu.left, 80},
            {"menu width", l.menu.width, 210},
            {"menu offset", l.menu.yOffset, -22},
            {"bottom row", l.bottomY, 290},
        };
        for (const auto& d : distances) scaled(d.actual, d.at96, d.what);

        // The buttons: as large as their images, side by side from the close button, which keeps
        // its place from the right edge; the row may grow by the images' whole pixels.
        int32_t right = l.buttons[kCloseButton].rect.right;
        for (const auto& button : l.buttons) {
            ASSERT_TRUE(button.present);
            const RECT& r = button.rect;
            scaled(r.top, 5, "button top");
            scaled(r.bottom - r.top, 20, "button height");
            scaled(r.right - r.left, 20, "button width");
            EXPECT_GE(r.right - r.left, skin.buttonWidth) << "the image fits its place";
            EXPECT_EQ(r.right, right) << "next to the one on its right";
            right = r.left;
        }
        EXPECT_GT(right, l.xr) << "the buttons lie on the band's right end";

        // The middle: from where the left end stops, piece after piece up to the right end.
        EXPECT_EQ(l.middle.front().x, skin.activeLeftEnd);
        for (size_t i = 1; i < l.middle.size(); ++i)
            EXPECT_EQ(l.middle[i].x, l.middle[i - 1].x + l.middle[i - 1].width);
        EXPECT_EQ(l.middle.back().x + l.middle.back().width, l.xr);

        EXPECT_EQ(l.menu.top, c.captionHeight / 2) << "the menu row is the band's lower half";
        EXPECT_EQ(l.menu.top + l.menu.height, c.captionHeight);
        // The bar's items are found where they are drawn: the offset stored with them is the
        // band's own distance below the menu row's top.
        EXPECT_EQ(l.menu.yOffset + l.menu.top, ComputeMenuMetrics(c.dpi).bandTop);
        EXPECT_EQ(l.sideTop, c.captionHeight);
    }
}

TEST(ScaledCaptionLayout, TheTitleIsWholeAboveTheMenuRow) {
    for (const ScaleCase& c : kScales) {
        SCOPED_TRACE(c.name);
        const SkinMetrics skin = ScaleSkin(kMainSkin, c.dpi);
        const CaptionLayout l = ComputeCaptionLayout(skin, 600, 400, kAllButtons, true);
        // 9-point 宋体 is as high as its size at this resolution: it stays where the design puts
        // it. A face with more leading (the substitute of a system without 宋体) moves up.
        const int32_t nine = MulDiv(9, c.dpi, 72);
        const RECT plain = FitTitle(l, skin, nine);
        EXPECT_TRUE(EqualRect(&plain, &l.title));
        EXPECT_LE(plain.top + nine, c.captionHeight / 2);
        const int32_t tall = nine * 13 / 10;
        const RECT moved = FitTitle(l, skin, tall);
        EXPECT_LE(moved.top + tall, c.captionHeight / 2) << "cut by the menu row";
        EXPECT_GE(moved.top, 2) << "on the band's top edge";
        EXPECT_EQ(moved.left, l.title.left);
    }
}

TEST(ScaledCaptionLayout, EachScreenGetsAWholePixelSkin) {
    const std::vector<int32_t> drawn = {96, 120, 144, 192};
    struct Case {
        const char* name;
        int32_t dpi, drawnDpi, factor;
    } const cases[] = {
        {"drawn for 100 %", 96, 96, 1},
        {"drawn for 125 %", 120, 120, 1},
        {"drawn for 150 %", 144, 144, 1},
        {"drawn for 200 %", 192, 192, 1},
        {"175 %: the 150 % skin", 168, 144, 1},
        {"250 %: the 200 % skin", 240, 192, 1},
        {"300 %: 100 % tripled", 288, 96, 3},
        {"400 %: 100 % four times", 384, 96, 4},
        {"below 100 %", 72, 96, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const SkinChoice choice = ChooseSkin(c.dpi, drawn);
        EXPECT_EQ(choice.drawnDpi, c.drawnDpi);
        EXPECT_EQ(choice.factor, c.factor);
    }
}

TEST(ScaledCaptionLayout, EnlargedPicturesKeepTheirPixelsWhole) {
    // Neighbouring pixels far apart in colour: any smoothing shows as a colour in between.
    const auto pattern = [](int x, int y) { return (x + y) % 2 ? 0xFFFFFFu : 0x102030u * (x % 5); };
    test::Dib picture(7, 5);
    picture.Fill(pattern);
    for (int32_t factor : {2, 3}) {
        SCOPED_TRACE(factor);
        const GdiHandle<HBITMAP> large = EnlargePicture(picture.get(), factor);
        ASSERT_TRUE(large);
        test::Dib shown(7 * factor, 5 * factor);
        {
            const WindowDC screen;
            const MemoryDC from(CreateCompatibleDC(screen.get())),
                to(CreateCompatibleDC(screen.get()));
            const SelectScope a(from.get(), large.get()), b(to.get(), shown.get());
            BitBlt(to.get(), 0, 0, 7 * factor, 5 * factor, from.get(), 0, 0, SRCCOPY);
            GdiFlush();
        }
        int wrong = 0;
        for (int y = 0; y < 5 * factor; ++y)
            for (int x = 0; x < 7 * factor; ++x)
                wrong += shown.at(x, y) != (pattern(x / factor, y / factor) & 0xFFFFFF);
        EXPECT_EQ(wrong, 0);
    }
}

}  // namespace
}  // namespace quenlor
