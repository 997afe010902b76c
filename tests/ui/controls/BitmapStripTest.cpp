#include <gtest/gtest.h>

#include <QPainter>

#include "ui/controls/BitmapStrip.h"
#include "ui/support/UiTestSupport.h"

namespace tavrin {
namespace {

using test::FrameStrip;
using test::SolidImage;

struct StripCase {
    const char* name;
    QSize bitmap;
    int frameWidth;
    int frameHeight;
    int frameCount;
    QSize frame;
    bool vertical;
};

class BitmapStripSizes : public ::testing::TestWithParam<StripCase> {};

TEST_P(BitmapStripSizes, CutsTheBitmapIntoFrames) {
    const StripCase& c = GetParam();
    const QImage bitmap = c.bitmap.isEmpty() ? QImage() : SolidImage(c.bitmap, Qt::red);
    const BitmapStrip strip(bitmap, c.frameWidth, c.frameHeight);
    EXPECT_EQ(strip.frameCount(), c.frameCount);
    EXPECT_EQ(strip.frameWidth(), c.frame.width());
    EXPECT_EQ(strip.frameHeight(), c.frame.height());
    EXPECT_EQ(strip.vertical(), c.vertical);
}

INSTANTIATE_TEST_SUITE_P(
    Strips, BitmapStripSizes,
    ::testing::Values(StripCase{"Track220x17Whole", {220, 17}, 0, 0, 1, {220, 17}, false},
                      StripCase{"Thumb15x14", {15, 14}, 15, 14, 1, {15, 14}, false},
                      StripCase{"ThreeSideBySide", {45, 14}, 15, 14, 3, {15, 14}, false},
                      StripCase{"ThreeStacked", {15, 42}, 15, 14, 3, {15, 14}, true},
                      StripCase{"LeftoverColumnsDropped", {50, 14}, 15, 0, 3, {15, 14}, false},
                      StripCase{"FrameWiderThanBitmap", {10, 5}, 20, 0, 0, {20, 5}, false},
                      StripCase{"BitmapThatDidNotLoad", {}, 0, 0, 0, {0, 0}, false},
                      StripCase{
                          "BitmapThatDidNotLoadWithFrameSize", {}, 15, 14, 0, {15, 14}, false}),
    [](const auto& p) { return std::string(p.param.name); });

TEST(BitmapStrip, FrameRectanglesFollowTheDirectionAndStopAtTheLastFrame) {
    const BitmapStrip across(SolidImage({45, 14}, Qt::red), 15, 14);
    EXPECT_EQ(across.frameRect(2), QRect(30, 0, 15, 14));
    const BitmapStrip stacked(SolidImage({15, 42}, Qt::red), 15, 14);
    EXPECT_EQ(stacked.frameRect(1), QRect(0, 14, 15, 14));
    for (int index : {-1, 3, 100}) {
        EXPECT_FALSE(across.frameRect(index).has_value()) << index;
    }
}

TEST(BitmapStrip, DrawCopiesTheFrameUnchangedAtItsPosition) {
    const QColor translucent(10, 200, 30, 128);
    BitmapStrip strip(FrameStrip({4, 3}, {Qt::red, translucent, Qt::blue}, false), 4, 3);
    strip.setDrawPosition({5, 6});
    QImage target = SolidImage({20, 20}, Qt::white);
    {
        QPainter painter(&target);
        strip.draw(painter, 1);
        strip.draw(painter, 3);  // no such frame: nothing
    }
    // Copied, not blended over the white: the translucent pixel keeps its own value.
    EXPECT_EQ(target.pixelColor(5, 6), translucent);
    EXPECT_EQ(target.pixelColor(8, 8), translucent);
    EXPECT_EQ(target.pixelColor(9, 6), QColor(Qt::white));
    EXPECT_EQ(target.pixelColor(4, 6), QColor(Qt::white));
    EXPECT_EQ(target.pixelColor(5, 9), QColor(Qt::white));
}

}  // namespace
}  // namespace tavrin
