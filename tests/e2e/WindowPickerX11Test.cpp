// Picking a window by clicking it, on a real X server (Xvfb, without a window manager): the
// windows are made here with xcb, the clicks come from xdotool. Run by app/on_xvfb.sh.

#include <gtest/gtest.h>
#include <xcb/xcb.h>

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <cstdlib>
#include <cstring>
#include <string>

#include "X11Windows.h"
#include "ui/rules/RuleEditDialog.h"
#include "ui/rules/WindowPicker.h"
#include "ui/support/Waits.h"

namespace tavrin {
namespace {

// xdotool on the X server; true when it ran and succeeded.
bool Xdotool(const QStringList& arguments) {
    return QProcess::execute(QStringLiteral("xdotool"), arguments) == 0;
}

bool ClickAt(int x, int y, int button = 1) {
    return Xdotool({QStringLiteral("mousemove"), QString::number(x), QString::number(y),
                    QStringLiteral("click"), QString::number(button)});
}

class WindowPickerX11 : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(WindowPicker::available()) << "run on the xcb platform";
        ASSERT_TRUE(x.ok()) << "no X server";
        // A framed application: the frame (which names itself, as some managers' frames do)
        // holds the client window, which carries WM_STATE and the application's WM_CLASS.
        frame = x.make(XCB_NONE, 100, 100, 300, 200);
        x.setClass(frame, "frame", "SomeWindowManager");
        const xcb_window_t client = x.make(frame, 10, 30, 280, 160);
        x.setClass(client, "probe-client", "Probe-Client");
        x.setWmState(client);
        // An application without a window manager: a top-level window that names itself.
        plain = x.make(XCB_NONE, 500, 100, 200, 200);
        x.setClass(plain, "plain", "Plain-App");
        // A window that names no application.
        anonymous = x.make(XCB_NONE, 800, 100, 100, 100);
        x.sync();
    }

    PickedWindow pick(const std::function<bool()>& act) {
        WindowPicker picker;
        QSignalSpy finished(&picker, &WindowPicker::finished);
        QString error;
        EXPECT_TRUE(picker.start(error)) << error.toStdString();
        EXPECT_TRUE(act());
        EXPECT_TRUE(finished.wait(5000));
        EXPECT_FALSE(picker.active());
        return finished.isEmpty() ? PickedWindow{} : finished.at(0).at(0).value<PickedWindow>();
    }

    X11Windows x;
    xcb_window_t frame = XCB_NONE;
    xcb_window_t plain = XCB_NONE;
    xcb_window_t anonymous = XCB_NONE;
};

TEST_F(WindowPickerX11, TheClickedWindowsApplicationOrWhyNot) {
    using O = PickedWindow::Outcome;
    struct Case {
        const char* name;
        std::function<bool()> act;
        O outcome;
        QString instance;
        QString windowClass;
    };
    const Case cases[] = {
        {"framed client", [] { return ClickAt(250, 200); }, O::Picked, "probe-client",
         "Probe-Client"},
        {"the frame's title bar", [] { return ClickAt(250, 110); }, O::Picked, "probe-client",
         "Probe-Client"},
        {"no window manager", [] { return ClickAt(600, 200); }, O::Picked, "plain", "Plain-App"},
        {"nameless window", [] { return ClickAt(850, 150); }, O::NoClass, {}, {}},
        {"the desktop", [] { return ClickAt(50, 600); }, O::NoClass, {}, {}},
        {"right button", [] { return ClickAt(250, 200, 3); }, O::Cancelled, {}, {}},
        {"a key",
         [] {
             return Xdotool({QStringLiteral("key"), QStringLiteral("Escape")});
         },
         O::Cancelled,
         {},
         {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const PickedWindow picked = pick(c.act);
        EXPECT_EQ(picked.outcome, c.outcome);
        EXPECT_EQ(picked.instance, c.instance);
        EXPECT_EQ(picked.windowClass, c.windowClass);
    }
}

TEST_F(WindowPickerX11, ThePointerHeldElsewhereIsToldAndReleasedAfterAPick) {
    WindowPicker first;
    QString error;
    ASSERT_TRUE(first.start(error)) << error.toStdString();
    WindowPicker second;
    EXPECT_FALSE(second.start(error));
    EXPECT_EQ(error, QStringLiteral("another program holds the pointer"));
    first.cancel();
    EXPECT_TRUE(second.start(error)) << error.toStdString();
    second.cancel();
}

TEST_F(WindowPickerX11, TheRuleEditorTakesTheClickedWindowsClass) {
    RuleEditDialog dialog({QStringLiteral("Game")},
                          {ProfileRule::Match::Process, QStringLiteral("steam"),
                           ProfileRule::Kind::WhileRunning, QStringLiteral("Game")});
    dialog.move(100, 450);
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    auto* pickButton = dialog.findChild<QPushButton*>(QStringLiteral("pickButton"));
    ASSERT_TRUE(pickButton->isEnabled());
    pickButton->click();
    EXPECT_FALSE(pickButton->isEnabled());  // while the pointer is grabbed
    ASSERT_TRUE(ClickAt(600, 200));
    TAVRIN_WAIT_TRUE_FOR(pickButton->isEnabled(), 5000);
    EXPECT_EQ(dialog.rule(),
              (ProfileRule{ProfileRule::Match::WindowClass, QStringLiteral("Plain-App"),
                           ProfileRule::Kind::WhileFocused, QStringLiteral("Game")}));
}

}  // namespace
}  // namespace tavrin

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
