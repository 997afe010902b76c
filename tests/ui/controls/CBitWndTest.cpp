#include <gtest/gtest.h>

#include <QMouseEvent>
#include <QSignalSpy>
#include <QTest>
#include <functional>

#include "ui/controls/CBitWnd.h"
#include "ui/support/UiTestSupport.h"

namespace tavrin {
namespace {

const QColor kNormal(200, 0, 0);
const QColor kOver(0, 200, 0);
const QColor kPressed(0, 0, 200);

// Remembers the mouse events the button passes on.
class RecordingParent : public QWidget {
public:
    struct Seen {
        QEvent::Type type;
        QPoint position;
    };
    std::vector<Seen> seen;

protected:
    void mousePressEvent(QMouseEvent* e) override { record(e); }
    void mouseReleaseEvent(QMouseEvent* e) override { record(e); }
    void mouseMoveEvent(QMouseEvent* e) override { record(e); }

private:
    void record(QMouseEvent* e) { seen.push_back({e->type(), e->position().toPoint()}); }
};

class CBitWndTest : public ::testing::Test {
protected:
    static constexpr QPoint kInside{5, 5};
    static constexpr QPoint kOutsideInParent{150, 80};

    void SetUp() override {
        parent.resize(200, 100);
        parent.setMouseTracking(true);
        button = new CBitWnd(&parent, 1234);
        button->setGeometry(20, 30, 30, 20);
        useFrames({kNormal, kOver, kPressed});
        parent.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&parent));
        test::ParkMouse(parent);
    }

    void useFrames(const std::vector<QColor>& colours) {
        button->setStrip(
            std::make_unique<BitmapStrip>(test::FrameStrip({30, 20}, colours, true), 30, 20));
    }

    QColor shown() { return button->grab().toImage().pixelColor(10, 10); }

    void moveIn() { QTest::mouseMove(button, kInside); }
    void moveOut() { QTest::mouseMove(&parent, kOutsideInParent); }
    void press() { QTest::mousePress(button, Qt::LeftButton, {}, kInside); }
    void release() { QTest::mouseRelease(button, Qt::LeftButton, {}, kInside); }
    void click() {
        press();
        release();
    }

    RecordingParent parent;
    CBitWnd* button = nullptr;
};

TEST_F(CBitWndTest, ShowsNormalOverAndPressedFrames) {
    EXPECT_EQ(button->frame(), CBitWnd::Normal);
    EXPECT_EQ(shown(), kNormal);
    moveIn();
    EXPECT_EQ(button->frame(), CBitWnd::Over);
    EXPECT_EQ(shown(), kOver);
    press();
    EXPECT_EQ(button->frame(), CBitWnd::Pressed);
    EXPECT_EQ(shown(), kPressed);
    release();
    EXPECT_EQ(button->frame(), CBitWnd::Over);
    moveOut();
    EXPECT_EQ(button->frame(), CBitWnd::Normal);
    EXPECT_FALSE(button->tracking());
    EXPECT_EQ(shown(), kNormal);
    test::SaveScreenshotIfAsked(parent, QStringLiteral("CBitWnd"));
}

TEST_F(CBitWndTest, OneFrameStripAlwaysShowsFrameZero) {
    useFrames({kNormal});
    const std::vector<std::function<void()>> steps = {[this] { moveIn(); }, [this] { press(); },
                                                      [this] { release(); }, [this] { moveOut(); }};
    for (const auto& step : steps) {
        step();
        EXPECT_EQ(button->frame(), CBitWnd::Normal);
        EXPECT_EQ(shown(), kNormal);
    }
}

TEST_F(CBitWndTest, TwoFrameStripHasNoPressedFrame) {
    useFrames({kNormal, kOver});
    moveIn();
    press();
    EXPECT_EQ(button->frame(), CBitWnd::Normal);
    release();
    EXPECT_EQ(button->frame(), CBitWnd::Over);
}

TEST_F(CBitWndTest, ToggleLatchesOnFirstPressAndEndsUnlatchedAfterTheSecond) {
    button->setToggle(true);
    QSignalSpy commands(button, &CBitWnd::command);
    moveIn();
    click();
    EXPECT_TRUE(button->latched());
    EXPECT_EQ(button->frame(), CBitWnd::Pressed);  // the release leaves a latched button alone
    moveOut();
    EXPECT_EQ(button->frame(), CBitWnd::Pressed);  // latched shows pressed without the pointer
    moveIn();
    EXPECT_EQ(button->frame(), CBitWnd::Pressed);
    press();
    EXPECT_FALSE(button->latched());
    EXPECT_EQ(button->frame(), CBitWnd::Normal);
    release();
    EXPECT_EQ(button->frame(), CBitWnd::Over);
    ASSERT_EQ(commands.count(), 2);
    EXPECT_EQ(commands.at(1).at(0).toInt(), 1234);
}

TEST_F(CBitWndTest, CommandGoesOutOnPressOrOnRelease) {
    for (bool onPress : {true, false}) {
        SCOPED_TRACE(onPress ? "on press" : "on release");
        button->setCommandOnPress(onPress);
        QSignalSpy commands(button, &CBitWnd::command);
        press();
        EXPECT_EQ(commands.count(), onPress ? 1 : 0);
        release();
        ASSERT_EQ(commands.count(), 1);
        EXPECT_EQ(commands.at(0).at(0).toInt(), 1234);
    }
}

TEST_F(CBitWndTest, ReleaseAwayFromTheButtonIsNoClick) {
    QSignalSpy commands(button, &CBitWnd::command);
    moveIn();
    press();
    QTest::mouseRelease(button, Qt::LeftButton, {}, QPoint(100, 60));
    EXPECT_EQ(commands.count(), 0);
}

TEST_F(CBitWndTest, ForwardsMouseEventsToTheParentInItsCoordinates) {
    button->setForwardMouse(true);
    moveIn();
    press();
    release();
    std::vector<RecordingParent::Seen> forwarded;
    for (const auto& seen : parent.seen) {
        if (seen.position == QPoint(25, 35)) {
            forwarded.push_back(seen);
        }
    }
    ASSERT_EQ(forwarded.size(), 3u);
    EXPECT_EQ(forwarded[0].type, QEvent::MouseMove);
    EXPECT_EQ(forwarded[1].type, QEvent::MouseButtonPress);
    EXPECT_EQ(forwarded[2].type, QEvent::MouseButtonRelease);
}

TEST_F(CBitWndTest, KeepsMouseEventsWithoutForwarding) {
    moveIn();
    click();
    for (const auto& seen : parent.seen) {
        EXPECT_NE(seen.position, QPoint(25, 35)) << "event " << seen.type << " was forwarded";
    }
}

}  // namespace
}  // namespace tavrin
