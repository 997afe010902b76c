#include <gtest/gtest.h>

#include <QTest>
#include <QWheelEvent>

#include "device/WindowMessages.h"
#include "ui/controls/CBitSlider.h"
#include "ui/controls/CBitWnd.h"
#include "ui/support/RecordingTarget.h"
#include "ui/support/UiTestSupport.h"

namespace tavrin {
namespace {

using test::RecordingTarget;
using test::SolidImage;

class CBitSliderTest : public ::testing::Test {
protected:
    // The set-up order of the main window, on bitmaps of the given width.
    void setUp(int trackWidth, int maximum) {
        parent.resize(400, 100);
        slider = new CBitSlider(&parent);
        slider->setGeometry(28, 40, 30, 10);
        slider->CreateThumb(SolidImage({15, 14}, Qt::white));
        slider->SetBitmaps(SolidImage({trackWidth, 17}, Qt::darkGray),
                           SolidImage({trackWidth, 17}, Qt::red));
        slider->setThumbOffset(0);
        slider->setRange(0, maximum);
        slider->setSingleStep(1);
        slider->setPageStep(1);
        slider->SetPos(1);
        slider->setControlId(1017);
        slider->setMessageTarget(&target);
        parent.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&parent));
        test::ParkMouse(parent);
    }

    void clickAt(int x) { QTest::mouseClick(slider, Qt::LeftButton, {}, QPoint(x, 8)); }

    QWidget parent;
    CBitSlider* slider = nullptr;
    RecordingTarget target;
};

TEST_F(CBitSliderTest, TakesTheSizeOfTheFilledTrackAndKeepsItsPlace) {
    setUp(220, 4);
    EXPECT_EQ(slider->geometry(), QRect(28, 40, 220, 17));
    slider->SetBitmaps(QImage(), QImage());  // bitmaps that did not load
    EXPECT_EQ(slider->size(), QSize(220, 17));
    ASSERT_NE(slider->thumb(), nullptr);
    EXPECT_EQ(slider->thumb()->size(), QSize(15, 14));
    EXPECT_TRUE(slider->thumb()->isHidden());
}

struct ClickCase {
    const char* name;
    int trackWidth;
    int numerator;  // the click lands this share of the channel along
    int denominator;
    int expected;
};

class CBitSliderClicks : public CBitSliderTest, public ::testing::WithParamInterface<ClickCase> {};

TEST_P(CBitSliderClicks, SetThePositionUnderThePointerRoundedHalfUp) {
    const ClickCase& c = GetParam();
    setUp(c.trackWidth, 4);
    const QRect channel = slider->channelRect();
    ASSERT_EQ(channel.width() * c.numerator % c.denominator, 0) << "the share must be a pixel";
    const int x = channel.x() + channel.width() * c.numerator / c.denominator;
    clickAt(x);
    EXPECT_EQ(slider->value(), c.expected) << "click at x = " << x;
}

// A 216-pixel track has a 200-pixel channel, so 60 % and 62.5 % fall on whole pixels.
INSTANTIATE_TEST_SUITE_P(
    Shares, CBitSliderClicks,
    ::testing::Values(ClickCase{"RightEnd", 216, 1, 1, 4},
                      ClickCase{"SixtyPercentIsTwoPointFourDown", 216, 3, 5, 2},
                      ClickCase{"SixtyTwoAndAHalfPercentIsTwoPointFiveUp", 216, 5, 8, 3},
                      ClickCase{"LeftEnd", 216, 0, 1, 0},
                      ClickCase{"JustBelowHalfAStep", 216, 12, 100, 0},
                      ClickCase{"HalfAStep", 216, 1, 8, 1},
                      ClickCase{"RightEndOfTheRealTrack", 220, 1, 1, 4}),
    [](const auto& p) { return std::string(p.param.name); });

TEST_F(CBitSliderTest, ClicksBeyondTheChannelStayInTheRange) {
    setUp(220, 4);
    clickAt(219);
    EXPECT_EQ(slider->value(), 4);
    clickAt(1);
    EXPECT_EQ(slider->value(), 0);
}

TEST_F(CBitSliderTest, DraggingWithTheButtonDownFollowsThePointer) {
    setUp(220, 3);
    QTest::mousePress(slider, Qt::LeftButton, {}, QPoint(10, 8));
    EXPECT_EQ(slider->value(), 0);
    QTest::mouseMove(slider, QPoint(210, 8));
    EXPECT_EQ(slider->value(), 3);
    QTest::mouseRelease(slider, Qt::LeftButton, {}, QPoint(210, 8));
    EXPECT_FALSE(slider->isSliderDown());
}

TEST_F(CBitSliderTest, WheelChangesNothing) {
    setUp(220, 4);
    slider->SetPos(2);
    for (int delta : {120, -120, 480}) {
        QWheelEvent wheel(QPointF(100, 8), slider->mapToGlobal(QPointF(100, 8)), QPoint(),
                          QPoint(0, delta), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(slider, &wheel);
        EXPECT_TRUE(wheel.isAccepted()) << "the wheel must not reach the window beneath";
        EXPECT_EQ(slider->value(), 2) << delta;
    }
}

TEST_F(CBitSliderTest, EveryRepaintSendsOneSliderMovedWithItsControlId) {
    setUp(220, 4);
    target.messages.clear();
    slider->repaint();
    ASSERT_EQ(target.messages.size(), 1u);
    EXPECT_EQ(target.messages[0], (RecordingTarget::Message{WM_SLIDER_MOVED, 1017, 0}));
}

TEST_F(CBitSliderTest, PointerMovementSendsSliderMoved) {
    setUp(220, 4);
    slider->setControlId(1010);
    target.messages.clear();
    QTest::mouseMove(slider, QPoint(50, 8));
    ASSERT_FALSE(target.messages.empty());
    EXPECT_EQ(target.messages[0], (RecordingTarget::Message{WM_SLIDER_MOVED, 1010, 0}));
}

TEST_F(CBitSliderTest, MovingTheThumbPublishesItsNewOffsetBeforeTellingTheWindow) {
    setUp(220, 4);
    struct Watcher : MessageTarget {
        CBitSlider* slider = nullptr;
        std::vector<int> seen;
        std::intptr_t send(std::uint32_t, std::uintptr_t, std::intptr_t) override {
            seen.push_back(slider->thumbX());
            return 0;
        }
    } watcher;
    watcher.slider = slider;
    slider->setMessageTarget(&watcher);
    clickAt(slider->channelRect().x() + slider->channelRect().width());
    QTest::mouseMove(slider, QPoint(200, 8));
    ASSERT_FALSE(watcher.seen.empty());
    EXPECT_EQ(watcher.seen.back(), slider->thumbX());
    EXPECT_GT(slider->thumbX(), 150);
}

struct OffsetCase {
    int position;
    int thumbX;
};

TEST_F(CBitSliderTest, PublishedOffsetRunsFromZeroAlongTheTrack) {
    setUp(220, 4);
    // The channel is 204 pixels, the trackbar's own thumb 11: 193 pixels of travel.
    for (const OffsetCase& c :
         {OffsetCase{0, 0}, OffsetCase{1, 48}, OffsetCase{2, 96}, OffsetCase{4, 193}}) {
        slider->SetPos(c.position);
        slider->repaint();
        EXPECT_EQ(slider->thumbX(), c.thumbX) << "position " << c.position;
        EXPECT_EQ(slider->thumbY(), 0);
    }
    slider->setThumbOffset(3);
    slider->repaint();
    EXPECT_EQ(slider->thumbY(), 3);
    EXPECT_TRUE(slider->thumb()->isHidden());
}

TEST_F(CBitSliderTest, DrawsNothingItself) {
    setUp(220, 4);
    parent.setAutoFillBackground(true);
    QPalette palette = parent.palette();
    palette.setColor(QPalette::Window, QColor(1, 2, 3));
    parent.setPalette(palette);
    const QImage image = parent.grab(slider->geometry()).toImage();
    for (QPoint p : {QPoint(0, 0), QPoint(110, 8), QPoint(219, 16)}) {
        EXPECT_EQ(image.pixelColor(p), QColor(1, 2, 3)) << p.x() << "," << p.y();
    }
}

}  // namespace
}  // namespace tavrin
