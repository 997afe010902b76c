#include <gtest/gtest.h>

#include <QKeyEvent>
#include <QSignalSpy>
#include <QTest>
#include <memory>

#include "model/LocalFiles.h"
#include "support/TempDir.h"
#include "ui/controls/BitmapResources.h"
#include "ui/controls/CBitSlider.h"
#include "ui/main/COstraDlg.h"
#include "ui/support/UiTestSupport.h"

namespace tavrin {
namespace {

using test::SolidImage;
using test::WritePng;

// A program directory whose skin images are flat colours, so pixels tell which image was drawn.
class MainFrameTest : public testing::Test {
protected:
    static constexpr QRgb kBackground = 0xFF202020;
    static constexpr QRgb kHelpNormal = 0xFFFF0000;
    static constexpr QRgb kHelpOver = 0xFF00FF00;
    static constexpr QRgb kThumb = 0xFF0000FF;

    void SetUp() override {
        const auto skin = dir.path() / "png" / "english";
        WritePng(skin / "main.png", SolidImage({1000, 640}, QColor::fromRgb(kBackground)));
        WritePng(skin / "button-help-normal.png",
                 SolidImage({17, 16}, QColor::fromRgb(kHelpNormal)));
        WritePng(skin / "button-help-over.png", SolidImage({17, 16}, QColor::fromRgb(kHelpOver)));
        WritePng(skin / "Thumb.png", SolidImage({15, 14}, QColor::fromRgb(kThumb)));
        model->layoutVariant = 1;
        ProgramPaths paths;
        paths.dataDir = dir.path();
        paths.skinRoots = {dir.path()};
        window = std::make_unique<COstraDlg>(*model, paths);
        window->show();
        window->paintAll();
    }

    QRgb pixel(int x, int y) const {
        return test::LogicalPixel(window->composedImage(), {x, y});
    }

    test::TempDir dir;
    std::unique_ptr<Model> model = std::make_unique<Model>();
    std::unique_ptr<COstraDlg> window;
};

TEST_F(MainFrameTest, TakesTheSizeOfItsBackground) {
    EXPECT_EQ(window->size(), QSize(1000, 640));
    EXPECT_EQ(pixel(500, 50), kBackground);
}

TEST_F(MainFrameTest, HoverSwapsTheHelpButtonImage) {
    EXPECT_EQ(pixel(940, 10), kHelpNormal);
    QTest::mouseMove(window.get(), QPoint(940, 10));
    EXPECT_EQ(window->state().lastHoverRegion, static_cast<int>(Region::Help));
    EXPECT_EQ(pixel(940, 10), kHelpOver);
    QTest::mouseMove(window.get(), QPoint(600, 20));  // bare background
    EXPECT_EQ(pixel(940, 10), kHelpNormal);
    EXPECT_EQ(window->state().lastHoverRegion, kNoRegion);
}

TEST_F(MainFrameTest, OnlyBareBackgroundDrags) {
    struct Case {
        QPoint press;
        int drags;
    };
    const Case cases[] = {
        {{100, 60}, 0},   // logo area
        {{361, 198}, 0},  // Esc key
        {{600, 20}, 1},   // bare background
    };
    int expected = 0;
    for (const Case& c : cases) {
        QTest::mousePress(window.get(), Qt::LeftButton, {}, c.press);
        QMouseEvent move(QEvent::MouseMove, QPointF(c.press + QPoint(3, 3)),
                         QPointF(window->mapToGlobal(c.press + QPoint(3, 3))), Qt::NoButton,
                         Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(window.get(), &move);
        QTest::mouseRelease(window.get(), Qt::LeftButton, {}, c.press + QPoint(3, 3));
        expected += c.drags;
        EXPECT_EQ(window->dragStarts(), expected) << c.press.x() << "," << c.press.y();
    }
}

// Where the window system starts no move of its own (here the offscreen platform; X11 without a
// window manager), the window follows the held pointer itself, and the release ends the move
// without clicking what lies under the pointer.
TEST_F(MainFrameTest, WithoutASystemMoveTheWindowFollowsThePointer) {
    // Events sent straight to the window: QTest would move the pointer (button held) before a
    // release elsewhere, and that move would carry the window along.
    const auto send = [this](QEvent::Type type, QPoint local, Qt::MouseButton button,
                             Qt::MouseButtons buttons) {
        QMouseEvent event(type, QPointF(local), QPointF(window->mapToGlobal(local)), button,
                          buttons, Qt::NoModifier);
        QApplication::sendEvent(window.get(), &event);
    };
    const QPoint press(600, 20);
    const QPoint before = window->pos();
    send(QEvent::MouseButtonPress, press, Qt::LeftButton, Qt::LeftButton);
    send(QEvent::MouseMove, press + QPoint(3, 3), Qt::NoButton, Qt::LeftButton);
    ASSERT_EQ(window->dragStarts(), 1);
    // The pointer 50 right and 40 down of where it held the window.
    send(QEvent::MouseMove, press + QPoint(53, 43), Qt::NoButton, Qt::LeftButton);
    EXPECT_EQ(window->pos(), before + QPoint(50, 40));

    // Released over the help button: the end of the move, no click; then the window stays.
    const QPoint moved = window->pos();
    send(QEvent::MouseButtonRelease, QPoint(940, 10), Qt::LeftButton, Qt::NoButton);
    EXPECT_FALSE(window->state().helpOpen);
    send(QEvent::MouseMove, press + QPoint(30, 30), Qt::NoButton, Qt::NoButton);
    EXPECT_EQ(window->pos(), moved);

    // The next press and release on the button is a click again.
    send(QEvent::MouseButtonPress, QPoint(940, 10), Qt::LeftButton, Qt::LeftButton);
    send(QEvent::MouseButtonRelease, QPoint(940, 10), Qt::LeftButton, Qt::NoButton);
    EXPECT_TRUE(window->state().helpOpen);
}

TEST_F(MainFrameTest, EnterAndEscapeDoNothing) {
    QSignalSpy closed(window.get(), &COstraDlg::closeRequested);
    const SettingsBlock before = model->settings;
    for (int key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape, Qt::Key_F1}) {
        QTest::keyClick(window.get(), static_cast<Qt::Key>(key));
    }
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(closed.count(), 0);
    EXPECT_EQ(model->settings, before);
    EXPECT_FALSE(std::filesystem::exists(dir / "keymap.bin"));
}

TEST_F(MainFrameTest, HeadersToggleTheirSections) {
    QTest::mouseClick(window.get(), Qt::LeftButton, {}, QPoint(100, 115));  // Light
    EXPECT_FALSE(window->state().panel.lightCollapsed);
    QTest::mouseClick(window.get(), Qt::LeftButton, {}, QPoint(100, 450));  // Response Time
    EXPECT_FALSE(window->state().panel.responseCollapsed);
    QTest::mouseClick(window.get(), Qt::LeftButton, {}, QPoint(100, 525));  // USB Report Rate
    EXPECT_FALSE(window->state().panel.reportCollapsed);
}

TEST_F(MainFrameTest, ReportThumbSitsTwoPixelsRightAtPositionZero) {
    window->state().panel.reportCollapsed = false;
    CBitSlider* report = window->slider(kReportSliderId);
    ASSERT_NE(report, nullptr);
    report->SetPos(0);
    window->paintAll();
    const QRect r = report->geometry();
    const int tx = std::clamp(report->thumbX(), 0, 205) + 2;
    const int ty = std::max(report->thumbY(), 0);
    EXPECT_EQ(QColor(pixel(r.left() + tx, r.top() + ty + 1)).rgb(), kThumb);
    EXPECT_NE(QColor(pixel(r.left() + tx - 1, r.top() + ty + 1)).rgb(), kThumb);
    EXPECT_EQ(model->settings.reportInterval(), 0);
}

TEST_F(MainFrameTest, CloseWritesTheSavedState) {
    model->takeSavedCopies();
    model->settings.setEffectCode(9);  // an edit never sent to the keyboard
    QSignalSpy closed(window.get(), &COstraDlg::closeRequested);
    QTest::mouseClick(window.get(), Qt::LeftButton, {}, QPoint(985, 10));
    EXPECT_EQ(closed.count(), 1);
    const auto file = test::ReadWholeFile(dir / "keymap.bin");
    ASSERT_EQ(file.size(), kKeymapFileSize);
    EXPECT_EQ(file[SettingsBlock::kEffectCodeOffset], 0);
}

}  // namespace
}  // namespace tavrin
