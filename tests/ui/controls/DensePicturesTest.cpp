#include <gtest/gtest.h>

#include <QPainter>

#include "ui/controls/DensePictures.h"
#include "ui/support/UiTestSupport.h"

namespace tavrin {
namespace {

using test::SolidImage;

const QColor kSingle(200, 0, 0);
const QColor kTwice(0, 0, 200);

struct RatioCase {
    const char* name;
    bool single;  // a 10 x 6 picture at scale 1
    bool twice;   // its 20 x 12 twin
    qreal ratio;
    QSize device;
    QColor from;  // which file the pixels come from
};

class PictureForRatioTest : public ::testing::TestWithParam<RatioCase> {};

TEST_P(PictureForRatioTest, TakesTheRightFileAtTheRightSize) {
    const RatioCase& c = GetParam();
    const QImage single = c.single ? SolidImage({10, 6}, kSingle) : QImage();
    const QImage twice = c.twice ? SolidImage({20, 12}, kTwice) : QImage();
    const QImage picture = PictureForRatio(single, twice, c.ratio);
    ASSERT_FALSE(picture.isNull());
    EXPECT_EQ(picture.size(), c.device);
    EXPECT_DOUBLE_EQ(picture.devicePixelRatio(), c.ratio);
    // Drawn at its logical size, whatever the ratio.
    EXPECT_EQ(LogicalSize(picture), QSize(10, 6));
    EXPECT_EQ(picture.pixelColor(picture.width() / 2, picture.height() / 2), c.from);
}

INSTANTIATE_TEST_SUITE_P(
    Ratios, PictureForRatioTest,
    ::testing::Values(RatioCase{"Single", true, true, 1.0, {10, 6}, kSingle},
                      RatioCase{"Twice", true, true, 2.0, {20, 12}, kTwice},
                      // Fractional ratios scale the sharper picture down, rounded up to cover.
                      RatioCase{"OneAndAHalf", true, true, 1.5, {15, 9}, kTwice},
                      RatioCase{"OneAndAQuarter", true, true, 1.25, {13, 8}, kTwice},
                      RatioCase{"Three", true, true, 3.0, {30, 18}, kTwice},
                      // A skin without twins still fills the same place, only less sharp.
                      RatioCase{"NoTwinAtTwo", true, false, 2.0, {20, 12}, kSingle},
                      RatioCase{"NoTwinAtOneAndAHalf", true, false, 1.5, {15, 9}, kSingle},
                      RatioCase{"OnlyTwinAtOne", false, true, 1.0, {10, 6}, kTwice}),
    [](const ::testing::TestParamInfo<RatioCase>& param) { return param.param.name; });

TEST(PictureForRatio, NothingFromNothing) {
    EXPECT_TRUE(PictureForRatio(QImage(), QImage(), 2.0).isNull());
}

TEST(PictureForRatio, AZeroRatioCountsAsOne) {
    // A widget that has no screen yet may report 0.
    const QImage picture = PictureForRatio(SolidImage({10, 6}, kSingle), QImage(), 0.0);
    EXPECT_EQ(picture.size(), QSize(10, 6));
    EXPECT_DOUBLE_EQ(picture.devicePixelRatio(), 1.0);
}

TEST(TwiceName, GoesBeforeTheExtension) {
    EXPECT_EQ(TwiceName(QStringLiteral("kb_BK.png")), QStringLiteral("kb_BK@2x.png"));
    EXPECT_EQ(TwiceName(QStringLiteral("/a.b/c.png")), QStringLiteral("/a.b/c@2x.png"));
    EXPECT_EQ(TwiceName(QStringLiteral("plain")), QStringLiteral("plain@2x"));
}

// Two logical columns, red then blue, at `ratio`.
QImage Halves(qreal ratio) {
    QImage image = NewSurface({4, 2}, ratio, QImage::Format_RGB32);
    QPainter p(&image);
    p.fillRect(QRect(0, 0, 2, 2), Qt::red);
    p.fillRect(QRect(2, 0, 2, 2), Qt::blue);
    return image;
}

class DrawPartTest : public ::testing::TestWithParam<qreal> {};

TEST_P(DrawPartTest, CopiesALogicalRectangleAtAnyRatio) {
    const qreal ratio = GetParam();
    QImage target = NewSurface({6, 2}, ratio, QImage::Format_RGB32);
    EXPECT_EQ(LogicalSize(target), QSize(6, 2));
    target.fill(Qt::white);
    {
        QPainter p(&target);
        // The blue half lands at x 0..1, the red half at x 4..5; x 2..3 stays white.
        DrawPart(p, QPoint(0, 0), Halves(ratio), QRect(2, 0, 2, 2));
        DrawPart(p, QPoint(4, 0), Halves(ratio), QRect(0, 0, 2, 2));
    }
    const QColor expected[] = {Qt::blue, Qt::blue, Qt::white, Qt::white, Qt::red, Qt::red};
    for (int x = 0; x < 6; ++x) {
        EXPECT_EQ(test::LogicalPixelColor(target, {x, 1}), expected[x]) << "x " << x;
    }
    // Every device pixel of the logical column 1 is blue: nothing of the red half leaked in.
    const QRect column = DeviceRect(QRect(1, 0, 1, 2), ratio);
    for (int y = column.top(); y <= column.bottom(); ++y) {
        for (int x = column.left(); x <= column.right(); ++x) {
            EXPECT_EQ(target.pixelColor(x, y), QColor(Qt::blue)) << x << "," << y;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Ratios, DrawPartTest, ::testing::Values(1.0, 2.0, 3.0));

}  // namespace
}  // namespace tavrin
