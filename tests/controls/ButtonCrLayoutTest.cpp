// The face's geometry at the display densities the window supports.
#include "controls/ButtonCrLayout.h"

#include <gtest/gtest.h>

namespace quenlor {
namespace {

class ButtonCrLayoutAtDpi : public ::testing::TestWithParam<int> {};

TEST_P(ButtonCrLayoutAtDpi, FrameCoversTheOutermostTwoPixelsOnEachSide) {
    const int dpi = GetParam();
    for (int width : {57, 64, 71, 96}) {
        for (int height : {22, 25, 31}) {
            const ButtonCrLayout l = LayOutButtonCr(width, height, 24, 12, true, dpi, dpi);
            const RECT left = l.lines[0], top = l.lines[1], right = l.lines[2], bottom = l.lines[3];
            EXPECT_EQ(left.left, 0);
            EXPECT_EQ(left.right, 2);
            EXPECT_EQ(left.top, 0);
            EXPECT_EQ(left.bottom, height);
            EXPECT_EQ(top.top, 0);
            EXPECT_EQ(top.bottom, 2);
            EXPECT_EQ(top.right, width);
            EXPECT_EQ(right.left, width - 2) << "width " << width << " at " << dpi;
            EXPECT_EQ(right.right, width);
            EXPECT_EQ(bottom.top, height - 2) << "height " << height << " at " << dpi;
            EXPECT_EQ(bottom.bottom, height);
        }
    }
}

TEST_P(ButtonCrLayoutAtDpi, EnabledCaptionHasALightCopyOnePixelToTheLeft) {
    const int dpi = GetParam();
    for (int textWidth : {0, 23, 24, 60, 80}) {
        const ButtonCrLayout l = LayOutButtonCr(57, 25, textWidth, 12, true, dpi, dpi);
        EXPECT_EQ(l.second.x - l.first.x, 1) << "text width " << textWidth << " at " << dpi;
        EXPECT_EQ(l.second.y, l.first.y);
    }
}

TEST_P(ButtonCrLayoutAtDpi, DisabledCaptionHasItsShadowCopyOnePixelUpAndLeft) {
    const int dpi = GetParam();
    for (int textWidth : {0, 23, 24, 60}) {
        for (int textHeight : {11, 12}) {
            const ButtonCrLayout l = LayOutButtonCr(57, 25, textWidth, textHeight, false, dpi, dpi);
            EXPECT_EQ(l.first.x - l.second.x, 1);
            EXPECT_EQ(l.first.y - l.second.y, 1);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Densities, ButtonCrLayoutAtDpi, ::testing::Values(96, 120, 144));

TEST(ButtonCrLayout, CaptionIsCentredInTwips) {
    // 855 x 375 twips with a 360 x 180 twips caption at 96 DPI: (855 - 360) / 2 = 247.5 twips,
    // 16.5 pixels, rounds to 17; the light copy 10 twips left of it, 237.5 twips, to 16.
    const ButtonCrLayout l = LayOutButtonCr(57, 25, 24, 12, true, 96, 96);
    EXPECT_EQ(l.second.x, 17);
    EXPECT_EQ(l.first.x, 16);
    EXPECT_EQ(l.second.y, 7);  // (375 - 180) / 2 = 97.5 twips = 6.5 pixels
    // A caption wider than the face starts left of it, symmetrically.
    const ButtonCrLayout wide = LayOutButtonCr(40, 25, 60, 12, true, 96, 96);
    EXPECT_EQ(wide.second.x, -10);
    EXPECT_EQ(wide.first.x, -11);
}

TEST(ButtonCrLayout, TwipsConvertAtTheGivenDensity) {
    EXPECT_EQ(TwipsToPixels(855, 96), 57);
    EXPECT_EQ(TwipsToPixels(855, 120), 71);  // 71.25
    EXPECT_EQ(TwipsToPixels(855, 144), 86);  // 85.5 rounds up
    EXPECT_EQ(TwipsToPixels(-10, 96), -1);   // -0.67
    EXPECT_EQ(TwipsToPixels(7.5, 96), 1);    // a half pixel rounds up
    EXPECT_EQ(TwipsToPixels(-7.5, 96), 0);   // also below zero, so copies keep their spacing
}

}  // namespace
}  // namespace quenlor
